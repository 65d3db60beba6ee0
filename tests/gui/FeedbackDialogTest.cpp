#include "GuiTestSupport.h"
#include "MakerServerFixture.h"

#include "net/FeedbackDialog.h"
#include "platform/Help.h"
#include "ui/QtText.h"
#include "wizard/LimitedTextEdit.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <memory>

using namespace vantor;
using namespace vantor::gui;
using namespace vantor::guitest;

// The feedback form against the demo server: what arrives at the support
// script, and that the form stays with its text whenever nothing arrived.
class FeedbackDialogTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_env = std::make_unique<GuiTestEnvironment>();
        m_server = std::make_unique<MakerServerFixture>(toCp1252(m_env->path() + QStringLiteral("/server")));
        QVERIFY(m_server->running());
    }
    void cleanup()
    {
        m_server.reset();
        m_env.reset();
    }

    void sentMessageArrivesDecodedAndClosesTheForm()
    {
        FeedbackDialog dialog;
        dialog.show();
        // An address without a dot is fine as long as it has its '@'.
        address(dialog)->insert(QStringLiteral("jürgen@intranet"));
        message(dialog)->insertPlainText(QStringLiteral("Grüße & Dank für #4"));
        // Return in the message is a line break, not "Senden".
        QTest::keyClick(message(dialog), Qt::Key_Return);
        QVERIFY(dialog.isVisible());
        QVERIFY(!m_server->supportLogExists());
        QTest::keyClicks(message(dialog), QStringLiteral("Zeile 2: 100% ?a=b"));
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Senden")), Qt::LeftButton);

        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const std::string log = m_server->supportLog();
        // The line break arrives as CR LF; the log writes it escaped so that
        // no message can forge an entry.
        QVERIFY2(log.find(toCp1252(QStringLiteral(
                     "text: jürgen@intranet: Grüße & Dank für #4\\r\\nZeile 2: 100% ?a=b\n--\n")))
                     != std::string::npos,
                 log.c_str());
        QVERIFY(log.find("subject: Vantor!! 4.01 PC: ") != std::string::npos);

        const auto &shown = m_env->hooks().shown();
        QCOMPARE(shown.size(), std::size_t(2));
        QCOMPARE(shown[0].kind, QStringLiteral("wait"));
        QCOMPARE(shown[0].text, QStringLiteral("Bitte warten...\nNachricht wird versendet"));
        QCOMPARE(shown[1].title, QStringLiteral("Email versendet"));
        QVERIFY(!m_env->ui().waitWindow());
        QVERIFY(!QApplication::overrideCursor());
    }

    void aFullFormArrivesWhole()
    {
        // The worst case for the request's length: every character of both
        // fields percent-encoded. A server answers an over-long request line
        // with an error page, which would still count as sent.
        FeedbackDialog dialog;
        dialog.show();
        address(dialog)->setText(QStringLiteral("ä@") + QString(300, QChar(u'ö')));
        QCOMPARE(address(dialog)->text().size(), FeedbackDialog::kAddressLength);
        message(dialog)->setPlainText(QString(400, QChar(u'&')) + QStringLiteral("\n") + QString(5000, QChar(u'ü')));
        QCOMPARE(message(dialog)->storedLength(), FeedbackDialog::kMessageLength);
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Senden")), Qt::LeftButton);

        QVERIFY(!dialog.isVisible());
        const std::string expected = toCp1252(address(dialog)->text() + QStringLiteral(": ")
                                              + message(dialog)->storedText());
        QVERIFY(m_server->supportLog().find("text: " + demo::DemoServer::supportLogValue(expected) + "\n--\n")
                != std::string::npos);
    }

    void incompleteInputStaysInTheForm_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("text");
        QTest::newRow("no address") << QString() << QStringLiteral("Hallo");
        QTest::newRow("no message") << QStringLiteral("info@firma.de") << QString();
        QTest::newRow("no @") << QStringLiteral("info.firma.de") << QStringLiteral("Hallo");
    }
    void incompleteInputStaysInTheForm()
    {
        QFETCH(QString, address);
        QFETCH(QString, text);
        FeedbackDialog dialog;
        dialog.show();
        this->address(dialog)->setText(address);
        message(dialog)->setPlainText(text);
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Senden")), Qt::LeftButton);

        QVERIFY(dialog.isVisible());
        QCOMPARE(lastShown(QStringLiteral("message")).title, QStringLiteral("Daten nicht korrekt"));
        QVERIFY(lastShown(QStringLiteral("message")).text.startsWith(
            QStringLiteral("Eingegebene Daten fehlen oder sind nicht korrekt.")));
        QVERIFY(!m_server->supportLogExists());
        QCOMPARE(this->address(dialog)->text(), address);
        QCOMPARE(message(dialog)->toPlainText(), text);
        QVERIFY(!m_env->ui().waitWindow());
    }

    void failedConnectionKeepsTheFormAndNochmalSendsAgain()
    {
        QVERIFY(m_server->refuseConnections());
        FeedbackDialog dialog;
        dialog.show();
        address(dialog)->setText(QStringLiteral("info@firma.de"));
        message(dialog)->setPlainText(QStringLiteral("Meine Frage"));
        m_env->hooks().pushConnectionAnswer(ConnectionAnswer::Retry);
        m_env->hooks().pushConnectionAnswer(ConnectionAnswer::Cancel);
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Senden")), Qt::LeftButton);

        QVERIFY(dialog.isVisible());
        QCOMPARE(m_env->hooks().countKind(QStringLiteral("connectionError")), 2);
        const ShownBox box = lastShown(QStringLiteral("connectionError"));
        QCOMPARE(box.title, QStringLiteral("Fehler beim Verbindungsaufbau"));
        QVERIFY(box.text.startsWith(QStringLiteral("Es ist ein Fehler bei der Internet-Verbindung aufgetreten.")));
        QVERIFY(!m_env->hooks().showedTitle(QStringLiteral("Email versendet")));
        QCOMPARE(message(dialog)->toPlainText(), QStringLiteral("Meine Frage"));
        QVERIFY(!m_env->ui().waitWindow());
        QVERIFY(!QApplication::overrideCursor());
    }

    void fieldsHelpAndCancel()
    {
        FeedbackDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(address(dialog)));
        QCOMPARE(address(dialog)->maxLength(), 259);
        QCOMPARE(message(dialog)->maxLength(), 1500);

        QTest::keyClick(message(dialog), Qt::Key_F1);
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Hilfe")), Qt::LeftButton);
        QCOMPARE(m_env->helpTopics, (std::vector<int>{help::kFeedback, help::kFeedback}));
        QVERIFY(dialog.isVisible());
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Abbrechen")), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(m_env->hooks().shown().empty());
        QVERIFY(!m_server->supportLogExists());
    }

private:
    static QLineEdit *address(QWidget &dialog) { return findChildNamed<QLineEdit>(&dialog, QStringLiteral("addressEdit")); }
    static LimitedTextEdit *message(QWidget &dialog)
    {
        return findChildNamed<LimitedTextEdit>(&dialog, QStringLiteral("messageEdit"));
    }

    std::unique_ptr<GuiTestEnvironment> m_env;
    std::unique_ptr<MakerServerFixture> m_server;
};

QTEST_MAIN(FeedbackDialogTest)
#include "FeedbackDialogTest.moc"
