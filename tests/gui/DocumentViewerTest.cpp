#include "GuiTestSupport.h"

#include "platform/Help.h"
#include "platform/Shell.h"
#include "ui/DocumentBrowser.h"
#include "ui/DocumentViewer.h"
#include "ui/QtText.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QScreen>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <QTextBrowser>

#include <memory>

using namespace vantor;
using namespace vantor::gui;
using namespace vantor::guitest;

// A machine on which no browser starts: what the program opens must still
// reach the user, in the built-in viewer or as an address to copy.
class DocumentViewerTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_env = std::make_unique<GuiTestEnvironment>();
        setShellOpener([this](const std::string &target) {
            m_env->opened.push_back(target);
            return false;
        });
    }
    void cleanup() { m_env.reset(); }

    void aDocumentNoBrowserOpensShowsInTheViewer()
    {
        const QString page = writePage(QStringLiteral("bericht.htm"),
                                       "<html><head><title>Vantor!! Report</title></head><body>"
                                       "<p>Gr\xFC\xDF" "e aus der G\xE4rtnerei</p></body></html>");
        QVERIFY(shellOpen(toCp1252(page)));
        DocumentViewer *viewer = documentViewer();
        QVERIFY(viewer);
        QVERIFY(viewer->isVisible());
        QCOMPARE(viewer->currentPath(), page);
        QCOMPARE(viewer->windowTitle(), QStringLiteral("Vantor!! – Vantor!! Report"));
        QVERIFY(viewer->browser()->toPlainText().contains(QStringLiteral("Grüße aus der Gärtnerei")));

        // The same window takes the next document.
        const QString other = writePage(QStringLiteral("zweite.htm"), "<html><body>Zweite Seite</body></html>");
        QVERIFY(shellOpen(toCp1252(other)));
        QCOMPARE(documentViewer(), viewer);
        QCOMPARE(viewer->currentPath(), other);

        QTest::mouseClick(viewer->findChild<QPushButton *>(QStringLiteral("copyAddressButton")), Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(), other);

        // "Im Browser öffnen" asks the system once more, and says so when it fails.
        const std::size_t asked = m_env->opened.size();
        QTest::mouseClick(viewer->findChild<QPushButton *>(QStringLiteral("openInBrowserButton")), Qt::LeftButton);
        QCOMPARE(m_env->opened.size(), asked + 1);
        QVERIFY(m_env->hooks().shown().empty());

        QTest::keyClick(viewer, Qt::Key_F1);
        QCOMPARE(m_env->helpTopics, std::vector<int>{help::kViewer});

        QTest::keyClick(viewer, Qt::Key_Escape);
        settle();
        QVERIFY(!documentViewer() || !documentViewer()->isVisible());
    }

    void linksToLocalPagesAreFollowedAndWebAddressesShownToCopy()
    {
        // The copy's file begins with '#'; the link names it percent-encoded,
        // as a browser needs it.
        writePage(QStringLiteral("#strandkoerbe.htm"), "<html><body>Die Kopie</body></html>");
        const QString home = writePage(QStringLiteral("index.htm"),
                                       "<html><body><a href=\"%23strandkoerbe.htm\">Kopie</a> "
                                       "<a href=\"#unten\">unten</a> "
                                       "<a href=\"https://www.example.org/\">Netz</a><a name=\"unten\"></a>"
                                       "</body></html>");
        QVERIFY(shellOpen(toCp1252(home)));
        DocumentViewer *viewer = documentViewer();
        QVERIFY(viewer);

        Q_EMIT viewer->browser()->anchorClicked(QUrl(QStringLiteral("#unten")));
        QCOMPARE(viewer->currentPath(), home);

        Q_EMIT viewer->browser()->anchorClicked(QUrl(QStringLiteral("%23strandkoerbe.htm")));
        QCOMPARE(viewer->currentPath(), QDir(m_env->path()).filePath(QStringLiteral("#strandkoerbe.htm")));
        QVERIFY(viewer->browser()->toPlainText().contains(QStringLiteral("Die Kopie")));
        QVERIFY(viewer->findChild<QPushButton *>(QStringLiteral("backButton"))->isEnabled());

        Q_EMIT viewer->browser()->anchorClicked(QUrl(QStringLiteral("https://www.example.org/")));
        const ShownBox box = lastShown(QStringLiteral("address"));
        QCOMPARE(box.title, QStringLiteral("Browser nicht gestartet"));
        QVERIFY(box.text.endsWith(QStringLiteral("\nhttps://www.example.org/")));
    }

    void aWebAddressNoBrowserOpensIsShownToCopy()
    {
        QVERIFY(!shellOpen("http://127.0.0.1:4711/sitecast/internetmarketingdoc.html"));
        const ShownBox box = lastShown(QStringLiteral("address"));
        QCOMPARE(box.title, QStringLiteral("Browser nicht gestartet"));
        QVERIFY(box.text.endsWith(QStringLiteral("\nhttp://127.0.0.1:4711/sitecast/internetmarketingdoc.html")));
        QVERIFY(!documentViewer());
    }

    void theReportReadsInFull()
    {
        // Qt shows neither text fields nor text areas; the report keeps its
        // date, homepage and lines in them.
        const QString shown = DocumentBrowser::readablePage(
            "<HTML><BODY>   Homepage: <input type=\"text\" size=\"70\" value=\"C:\\site\\index.htm\"><br>"
            "<textarea rows=\"10\" name=\"report\">     FEHLER: Kein Element <HEAD> gefunden\r\nzweite &amp; Zeile"
            "</textarea></BODY></HTML>");
        QTextBrowser browser;
        browser.setHtml(shown);
        const QString text = browser.toPlainText();
        QVERIFY2(text.contains(QStringLiteral("C:\\site\\index.htm")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("Kein Element <HEAD> gefunden")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("zweite & Zeile")), qPrintable(text));

        // A UTF-8 page is read as UTF-8 whatever Qt would guess.
        QTextBrowser utf8;
        utf8.setHtml(DocumentBrowser::readablePage("<html><body>Stra\xC3\x9F" "e</body></html>"));
        QCOMPARE(utf8.toPlainText(), QStringLiteral("Straße"));
    }

    void theViewerLeavesTheAskingDialogsButtonsFree()
    {
        // The optimisation dialog keeps "Kopie", "Zugangsdokument kurz" and
        // "Optimierung rückgängig" in reach while the report is read.
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QDialog dialog;
        auto *layout = new QHBoxLayout(&dialog);
        layout->addStretch();
        layout->addWidget(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help,
                                               Qt::Vertical, &dialog),
                          0, Qt::AlignTop);
        dialog.setGeometry(area.adjusted(20, 20, -20, -20));
        dialog.setWindowModality(Qt::ApplicationModal);
        dialog.show();
        dialog.activateWindow();
        settle();

        const QString report = writePage(QStringLiteral("~report.htm"), "<HTML><BODY>Vantor!! Report</BODY></HTML>");
        QVERIFY(shellOpen(toCp1252(report)));
        const QRect frame = documentViewer()->frameGeometry();
        QVERIFY(area.contains(frame));
        for (const QAbstractButton *button : dialog.findChildren<QAbstractButton *>())
            QVERIFY(!frame.intersects(QRect(button->mapToGlobal(QPoint(0, 0)), button->size())));
    }

private:
    QString writePage(const QString &name, const QByteArray &content)
    {
        const QString path = QDir(m_env->path()).filePath(name);
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(content);
        return path;
    }

    std::unique_ptr<GuiTestEnvironment> m_env;
};

QTEST_MAIN(DocumentViewerTest)
#include "DocumentViewerTest.moc"
