#include "GuiTestSupport.h"

#include "net/NewsletterDialog.h"
#include "platform/Help.h"
#include "platform/SettingsStore.h"
#include "platform/Shell.h"
#include "ui/QtText.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <memory>

using namespace vantor;
using namespace vantor::gui;
using namespace vantor::guitest;

// The newsletter form: the browser gets the subscription page of the
// configured server, or the user learns why not.
class NewsletterDialogTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_env = std::make_unique<GuiTestEnvironment>();
        settingsStore().writeText("updateserver", "127.0.0.1:4711");
    }
    void cleanup() { m_env.reset(); }

    void aGoodAddressOpensTheSubscriptionPage()
    {
        NewsletterDialog dialog;
        dialog.show();
        // '@' and '.' may stand anywhere, a final dot included.
        QTest::keyClicks(address(dialog), QStringLiteral("info.news@firma."));
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Eintragen")), Qt::LeftButton);

        QCOMPARE(m_env->opened,
                 std::vector<std::string>{
                     "http://127.0.0.1:4711/cgi-bin/sitecastget.pl?emailsitecast=info.news@firma.&subscribe=subscribe"});
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(m_env->hooks().shown().empty());
    }

    void aBadAddressIsRefusedAndStays_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString() << QStringLiteral("Email-Adresse")
                               << QStringLiteral("Bitte geben Sie Ihre Email-Adresse ein.");
        QTest::newRow("space") << QStringLiteral("a b@c.de") << QStringLiteral("Ungültige Zeichen")
                               << QStringLiteral("Die angegebene Email-Adresse enthält ungültige Zeichen.");
        QTest::newRow("plus") << QStringLiteral("a+b@c.de") << QStringLiteral("Ungültige Zeichen")
                              << QStringLiteral("Die angegebene Email-Adresse enthält ungültige Zeichen.");
        QTest::newRow("umlaut") << QStringLiteral("jürgen@c.de") << QStringLiteral("Ungültige Zeichen")
                                << QStringLiteral("Die angegebene Email-Adresse enthält ungültige Zeichen.");
        QTest::newRow("no @") << QStringLiteral("info.firma.de") << QStringLiteral("Email-Adresse")
                              << QStringLiteral("Die Email-Adresse muss das Zeichen '@' enthalten!");
        QTest::newRow("no dot") << QStringLiteral("info@firma") << QStringLiteral("Email-Adresse")
                                << QStringLiteral("Die Email-Adresse muss das Zeichen '.' enthalten!");
    }
    void aBadAddressIsRefusedAndStays()
    {
        QFETCH(QString, typed);
        QFETCH(QString, title);
        QFETCH(QString, text);
        NewsletterDialog dialog;
        dialog.show();
        address(dialog)->setText(typed);
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Eintragen")), Qt::LeftButton);

        QCOMPARE(m_env->hooks().shown().size(), std::size_t(1));
        QCOMPARE(m_env->hooks().shown().front().title, title);
        QVERIFY(m_env->hooks().shown().front().text.contains(text));
        QVERIFY(m_env->opened.empty());
        QVERIFY(dialog.isVisible());
        QCOMPARE(address(dialog)->text(), typed);
    }

    void noBrowserShowsTheAddressToOpenByHand()
    {
        setShellOpener([](const std::string &) { return false; });
        NewsletterDialog dialog;
        dialog.show();
        address(dialog)->setText(QStringLiteral("info@firma.de"));
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Eintragen")), Qt::LeftButton);

        const ShownBox box = lastShown(QStringLiteral("address"));
        QCOMPARE(box.title, QStringLiteral("Browser nicht gestartet"));
        QVERIFY(box.text.endsWith(
            QStringLiteral("\nhttp://127.0.0.1:4711/cgi-bin/sitecastget.pl?emailsitecast=info@firma.de&subscribe=subscribe")));
        QVERIFY(dialog.isVisible());
    }

    void fieldsHelpAndCancel()
    {
        NewsletterDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(address(dialog)));
        QCOMPARE(address(dialog)->maxLength(), 259);
        auto *intro = findChildNamed<QLabel>(&dialog, QStringLiteral("introLabel"));
        QVERIFY(intro->text().contains(QStringLiteral("\"Sitecast\"")));

        QTest::keyClick(address(dialog), Qt::Key_F1);
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Hilfe")), Qt::LeftButton);
        QCOMPARE(m_env->helpTopics, (std::vector<int>{help::kNewsletter, help::kNewsletter}));
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Abbrechen")), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(m_env->opened.empty());
        QVERIFY(m_env->hooks().shown().empty());
    }

private:
    static QLineEdit *address(QWidget &dialog) { return findChildNamed<QLineEdit>(&dialog, QStringLiteral("addressEdit")); }

    std::unique_ptr<GuiTestEnvironment> m_env;
};

QTEST_MAIN(NewsletterDialogTest)
#include "NewsletterDialogTest.moc"
