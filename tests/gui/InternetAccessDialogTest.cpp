#include "GuiTestSupport.h"
#include "MakerServerFixture.h"

#include "platform/Help.h"
#include "platform/SettingsStore.h"
#include "project/InternetAccess.h"
#include "project/InternetAccessDialog.h"
#include "project/ProgramSettings.h"
#include "ui/QtText.h"
#include "ui/WaitWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include <memory>

using namespace vantor;
using namespace vantor::gui;
using namespace vantor::guitest;

namespace {

struct Widgets {
    QRadioButton *system;
    QRadioButton *direct;
    QRadioButton *proxyAccess;
    QLineEdit *proxy;
    QLineEdit *port;
    QCheckBox *inform;
    QLineEdit *updateServer;
};

Widgets widgetsOf(InternetAccessDialog &dialog)
{
    return {findChildNamed<QRadioButton>(&dialog, QStringLiteral("systemRadio")),
            findChildNamed<QRadioButton>(&dialog, QStringLiteral("directRadio")),
            findChildNamed<QRadioButton>(&dialog, QStringLiteral("proxyRadio")),
            findChildNamed<QLineEdit>(&dialog, QStringLiteral("proxyEdit")),
            findChildNamed<QLineEdit>(&dialog, QStringLiteral("portEdit")),
            findChildNamed<QCheckBox>(&dialog, QStringLiteral("informCheck")),
            findChildNamed<QLineEdit>(&dialog, QStringLiteral("updateServerEdit"))};
}

} // namespace

class InternetAccessDialogTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_env = std::make_unique<GuiTestEnvironment>(); }
    void cleanup()
    {
        setConnectionTestFetcher([](const std::string &, bool, Ui &, std::string &, std::string &error) {
            error = "no fetcher";
            return false;
        });
        m_env.reset();
    }

    void opensWithTheSettingsInMemory()
    {
        programSettings().accessType = ProgramSettings::kAccessDirect;
        programSettings().httpInform = 0;
        programSettings().proxy = toCp1252(QStringLiteral("proxy.müller.de"));
        programSettings().proxyPort = "8080";
        InternetAccessDialog dialog;
        dialog.show();
        const Widgets w = widgetsOf(dialog);
        QVERIFY(w.direct->isChecked());
        QCOMPARE(w.proxy->text(), QStringLiteral("proxy.müller.de"));
        QCOMPARE(w.port->text(), QStringLiteral("8080"));
        QVERIFY(!w.inform->isChecked());
        QVERIFY(!w.proxy->isEnabled());
        QVERIFY(!w.port->isEnabled());
    }

    void proxyFieldsFollowTheChosenAccess()
    {
        programSettings().accessType = ProgramSettings::kAccessProxy;
        InternetAccessDialog dialog;
        dialog.show();
        const Widgets w = widgetsOf(dialog);
        QVERIFY(w.proxyAccess->isChecked());
        QVERIFY(w.proxy->isEnabled() && w.port->isEnabled());

        clickIndicator(w.system);
        QVERIFY(!w.proxy->isEnabled() && !w.port->isEnabled());
        QCOMPARE(programSettings().accessType, ProgramSettings::kAccessSystem);

        clickIndicator(w.direct);
        QVERIFY(!w.proxy->isEnabled() && !w.port->isEnabled());
        QCOMPARE(programSettings().accessType, ProgramSettings::kAccessDirect);

        clickIndicator(w.proxyAccess);
        QVERIFY(w.proxy->isEnabled() && w.port->isEnabled());
        QCOMPARE(programSettings().accessType, ProgramSettings::kAccessProxy);
    }

    void proxyWithoutPortIsRefusedAndStaysOpen()
    {
        InternetAccessDialog dialog;
        dialog.show();
        const Widgets w = widgetsOf(dialog);
        clickIndicator(w.proxyAccess);
        w.proxy->setText(QStringLiteral("proxy.example.de"));
        QTest::mouseClick(findButton(&dialog, QStringLiteral("OK")), Qt::LeftButton);

        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        const ShownBox box = lastShown(QStringLiteral("message"));
        QCOMPARE(box.title, QStringLiteral("Eingabe ungültig"));
        QCOMPARE(box.text, QStringLiteral("Geben Sie den Proxynamen und einen gültigen Port ein. Details erfahren "
                                          "Sie durch Klicken auf 'Hilfe'."));
        QVERIFY(!settingsStore().hasValue("accesstype"));
    }

    void anyPortTextIsTakenAsItIs()
    {
        InternetAccessDialog dialog;
        dialog.show();
        const Widgets w = widgetsOf(dialog);
        clickIndicator(w.proxyAccess);
        w.proxy->setText(QStringLiteral("proxy.bäcker.de"));
        QTest::keyClicks(w.port, QStringLiteral("abc"));
        w.inform->setChecked(false);
        QTest::mouseClick(findButton(&dialog, QStringLiteral("OK")), Qt::LeftButton);

        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(m_env->hooks().shown().empty());
        QCOMPARE(settingsStore().readNumber("accesstype").value_or(0), 3u);
        QCOMPARE(settingsStore().readNumber("httpinform").value_or(9), 0u);
        QCOMPARE(settingsStore().readText("proxyport").value_or(""), std::string("abc"));
        QCOMPARE(fromCp1252(programSettings().proxy), QStringLiteral("proxy.bäcker.de"));
        QCOMPARE(fromCp1252(settingsStore().readText("proxy").value_or("")), QStringLiteral("proxy.bäcker.de"));
    }

    void unknownAccessTypeShowsAsSystemAndIsStoredAsZero()
    {
        settingsStore().writeNumber("accesstype", 2);
        programSettings().accessType = 2;
        InternetAccessDialog dialog;
        dialog.show();
        const Widgets w = widgetsOf(dialog);
        QVERIFY(w.system->isChecked());
        QVERIFY(!w.proxy->isEnabled());
        QTest::mouseClick(findButton(&dialog, QStringLiteral("OK")), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(programSettings().accessType, 0);
        QCOMPARE(settingsStore().readNumber("accesstype").value_or(99), 0u);
    }

    void tOnlineFillsTheProviderAndOpensItsHelp()
    {
        programSettings().accessType = ProgramSettings::kAccessDirect;
        programSettings().httpInform = 0;
        InternetAccessDialog dialog;
        dialog.show();
        const Widgets w = widgetsOf(dialog);
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Einstellungen für T-Online")), Qt::LeftButton);
        QVERIFY(w.proxyAccess->isChecked());
        QVERIFY(!w.proxy->text().isEmpty());
        QCOMPARE(w.port->text(), QStringLiteral("80"));
        QVERIFY(w.inform->isChecked());
        QVERIFY(w.proxy->isEnabled() && w.port->isEnabled());
        QCOMPARE(m_env->helpTopics, std::vector<int>{help::kTOnline});
        // Nothing is stored before OK.
        QVERIFY(!settingsStore().hasValue("proxyport"));
        QVERIFY(dialog.isVisible());
    }

    void helpButtonAndF1()
    {
        InternetAccessDialog dialog;
        dialog.show();
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Hilfe")), Qt::LeftButton);
        QTest::keyClick(&dialog, Qt::Key_F1);
        QCOMPARE(m_env->helpTopics, (std::vector<int>{help::kInternetAccess, help::kInternetAccess}));
    }

    void testWithRefusedInputMakesNoRequest()
    {
        int requests = 0;
        setConnectionTestFetcher([&](const std::string &, bool, Ui &, std::string &, std::string &) {
            ++requests;
            return true;
        });
        InternetAccessDialog dialog;
        dialog.show();
        const Widgets w = widgetsOf(dialog);
        clickIndicator(w.proxyAccess);
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Testen")), Qt::LeftButton);
        QCOMPARE(requests, 0);
        QVERIFY(m_env->hooks().showedTitle(QStringLiteral("Eingabe ungültig")));
        QVERIFY(!m_env->ui().waitWindow());
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(dialog.isVisible());
    }

    void testReportsSuccessUnderTheWaitWindow()
    {
        QString waitTextDuringRequest;
        bool cursorDuringRequest = false;
        std::string requested;
        setConnectionTestFetcher([&](const std::string &url, bool, Ui &, std::string &body, std::string &) {
            requested = url;
            if (WaitWindow *wait = m_env->ui().waitWindow())
                waitTextDuringRequest = wait->text();
            cursorDuringRequest = QApplication::overrideCursor() &&
                QApplication::overrideCursor()->shape() == Qt::WaitCursor;
            body = "4.01";
            return true;
        });
        InternetAccessDialog dialog;
        dialog.show();
        clickIndicator(widgetsOf(dialog).direct);
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Testen")), Qt::LeftButton);

        QCOMPARE(requested, std::string("http://127.0.0.1:8080/download/vantor/version.txt"));
        QCOMPARE(waitTextDuringRequest, QStringLiteral("Bitte warten...\nVerbindung wird getestet"));
        QVERIFY(cursorDuringRequest);
        QVERIFY(!m_env->ui().waitWindow());
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(lastShown(QStringLiteral("message")).title, QStringLiteral("Erfolgreicher Test"));
        // The test saves what it tried, and the dialog stays for OK.
        QCOMPARE(settingsStore().readNumber("accesstype").value_or(0), 1u);
        QVERIFY(dialog.isVisible());
        QVERIFY(findButton(&dialog, QStringLiteral("Testen"))->isEnabled());
    }

    void testKeepsTheKeyboardOnTesten()
    {
        setConnectionTestFetcher([](const std::string &, bool, Ui &, std::string &body, std::string &) {
            body = "4.01";
            return true;
        });
        InternetAccessDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        clickIndicator(widgetsOf(dialog).direct);
        QPushButton *test = findButton(&dialog, QStringLiteral("Testen"));
        test->setFocus();
        QTest::keyClick(test, Qt::Key_Space);
        QCOMPARE(m_env->hooks().countKind(QStringLiteral("message")), 1);

        // The next Return goes where the user left off, not to the button
        // after it.
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(test));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(m_env->hooks().countKind(QStringLiteral("message")), 2);
        QVERIFY(widgetsOf(dialog).direct->isChecked());
        QVERIFY(widgetsOf(dialog).proxy->text().isEmpty());
        QVERIFY(m_env->helpTopics.empty());
    }

    void testFailureShowsTheConnectionError()
    {
        setConnectionTestFetcher([](const std::string &, bool, Ui &, std::string &, std::string &error) {
            error = toCp1252(QStringLiteral("Zeitüberschreitung bei der Verbindung"));
            return false;
        });
        m_env->hooks().pushConnectionAnswer(ConnectionAnswer::Configure);
        InternetAccessDialog dialog;
        dialog.show();
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Testen")), Qt::LeftButton);

        const ShownBox box = lastShown(QStringLiteral("connectionError"));
        QCOMPARE(box.title, QStringLiteral("Fehler beim Verbindungsaufbau"));
        QVERIFY(box.text.startsWith(QStringLiteral("Es ist ein Fehler bei der Internet-Verbindung aufgetreten.\n")));
        QVERIFY(box.text.endsWith(QStringLiteral("Der exakte Fehlertext lautet: Zeitüberschreitung bei der Verbindung")));
        QCOMPARE(m_env->hooks().countKind(QStringLiteral("connectionError")), 1);
        QVERIFY(!m_env->ui().waitWindow());
        QVERIFY(dialog.isVisible());
    }

    void theUpdateServerIsLoadedCheckedAndSaved()
    {
        settingsStore().writeText("updateserver", "alt.example.de:81");
        InternetAccessDialog dialog;
        dialog.show();
        const Widgets w = widgetsOf(dialog);
        QVERIFY(w.updateServer);
        QVERIFY(w.updateServer->isEnabled());
        QCOMPARE(w.updateServer->text(), QStringLiteral("alt.example.de:81"));
        // Empty, the field shows the server that is used then.
        QCOMPARE(w.updateServer->placeholderText(), QStringLiteral("127.0.0.1:8080"));
        bool labelled = false;
        for (QLabel *label : dialog.findChildren<QLabel *>())
            labelled = labelled || (label->text() == QStringLiteral("Update-Server:") && label->buddy() == w.updateServer);
        QVERIFY(labelled);

        clickIndicator(w.direct);
        w.updateServer->clear();
        QTest::keyClicks(w.updateServer, QStringLiteral("update.example.de:99999"));
        QTest::mouseClick(findButton(&dialog, QStringLiteral("OK")), Qt::LeftButton);
        QVERIFY(dialog.isVisible());
        const ShownBox box = lastShown(QStringLiteral("message"));
        QCOMPARE(box.title, QStringLiteral("Eingabe ungültig"));
        QVERIFY(box.text.contains(QStringLiteral("Portnummer von 1 bis 65535")));
        QCOMPARE(settingsStore().readText("updateserver").value_or(""), std::string("alt.example.de:81"));
        QVERIFY(!settingsStore().hasValue("accesstype"));

        // The provider's proxy leaves the server as it is.
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Einstellungen für T-Online")), Qt::LeftButton);
        QCOMPARE(w.updateServer->text(), QStringLiteral("update.example.de:99999"));

        w.updateServer->clear();
        QTest::keyClicks(w.updateServer, QStringLiteral("update.example.de:8080"));
        QTest::mouseClick(findButton(&dialog, QStringLiteral("OK")), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(settingsStore().readText("updateserver").value_or(""), std::string("update.example.de:8080"));
        QCOMPARE(settingsStore().readText("proxyport").value_or(""), std::string("80"));

        // Emptied, the program's default applies again.
        InternetAccessDialog again;
        again.show();
        QCOMPARE(widgetsOf(again).updateServer->text(), QStringLiteral("update.example.de:8080"));
        widgetsOf(again).updateServer->clear();
        QTest::mouseClick(findButton(&again, QStringLiteral("OK")), Qt::LeftButton);
        QVERIFY(!again.isVisible());
        QCOMPARE(settingsStore().readText("updateserver").value_or("?"), std::string());
    }

    void testenAsksTheServerInTheField()
    {
        resetConnectionTestFetcher();
        MakerServerFixture server(toCp1252(m_env->path() + QStringLiteral("/server")));
        QVERIFY(server.running());
        // Stored is a server that refuses; typed is the one that answers.
        QVERIFY(server.refuseConnections());
        InternetAccessDialog dialog;
        dialog.show();
        const Widgets w = widgetsOf(dialog);
        QVERIFY(w.updateServer);
        clickIndicator(w.direct);
        w.inform->setChecked(false);
        w.updateServer->clear();
        QTest::keyClicks(w.updateServer, QStringLiteral("127.0.0.1:%1").arg(server.port()));
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Testen")), Qt::LeftButton);

        QCOMPARE(m_env->hooks().countKind(QStringLiteral("connectionError")), 0);
        QCOMPARE(lastShown(QStringLiteral("message")).title, QStringLiteral("Erfolgreicher Test"));
        QVERIFY(dialog.isVisible());
    }

private:
    std::unique_ptr<GuiTestEnvironment> m_env;
};

QTEST_MAIN(InternetAccessDialogTest)
#include "InternetAccessDialogTest.moc"
