#include "GuiTestSupport.h"

#include "project/InternetAccess.h"
#include "ui/BusyCursor.h"
#include "ui/ConnectionErrorDialog.h"
#include "ui/MessageDialog.h"
#include "ui/QtText.h"
#include "ui/WaitWindow.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QRadioButton>
#include <QTest>

#include <memory>

using namespace vantor;
using namespace vantor::gui;
using namespace vantor::guitest;

class QtUiTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_env = std::make_unique<GuiTestEnvironment>(); }
    void cleanup() { m_env.reset(); }

    void interceptedBoxesAreRecordedAndAnsweredFromTheQueue()
    {
        QtUi &ui = m_env->ui();
        ui.message(toCp1252(QStringLiteral("Hinweis")), toCp1252(QStringLiteral("Größe: 3 \"Wörter\"")));
        m_env->hooks().pushQuestionAnswer(false);
        QVERIFY(!ui.question("Frage", "Eins?"));
        QVERIFY(ui.question("Frage", "Zwei?"));
        ui.systemError("Fehler Code 7001", "Text");
        m_env->hooks().pushConnectionAnswer(ConnectionAnswer::Retry);
        QCOMPARE(ui.connectionError("T", "x", false), ConnectionAnswer::Retry);
        QCOMPARE(ui.connectionError("T", "x", false), ConnectionAnswer::Cancel);

        const auto &shown = m_env->hooks().shown();
        QCOMPARE(shown.size(), std::size_t(6));
        QCOMPARE(shown[0].kind, QStringLiteral("message"));
        QCOMPARE(shown[0].text, QStringLiteral("Größe: 3 \"Wörter\""));
        QCOMPARE(shown[3].kind, QStringLiteral("systemError"));
        QCOMPARE(shown[3].title, QStringLiteral("Fehler Code 7001"));
    }

    void interceptedCredentialsComeBackInCp1252()
    {
        std::string user = "alt";
        std::string password;
        QVERIFY(!m_env->ui().credentials("Anmeldung", user, password));
        QCOMPARE(user, std::string("alt"));
        m_env->hooks().pushCredentials(true, QStringLiteral("jürgen"), QStringLiteral("geheim"));
        QVERIFY(m_env->ui().credentials("Anmeldung", user, password));
        QCOMPARE(user, toCp1252(QStringLiteral("jürgen")));
        QCOMPARE(user.size(), std::size_t(6));
        QCOMPARE(password, std::string("geheim"));
    }

    void realMessageAndQuestionBoxes()
    {
        m_env->hooks().setIntercepting(false);
        QString shownText;
        QString shownTitle;
        m_env->hooks().onNextShown([&](QWidget *window) {
            auto *box = qobject_cast<MessageDialog *>(window);
            QVERIFY(box);
            shownTitle = box->windowTitle();
            shownText = box->text();
            QVERIFY(!findButton(box, QStringLiteral("Abbruch")));
            QTest::mouseClick(findButton(box, QStringLiteral("OK")), Qt::LeftButton);
        });
        m_env->ui().message(toCp1252(QStringLiteral("Übersicht")), "Zeile 1\nZeile 2");
        QCOMPARE(shownTitle, QStringLiteral("Übersicht"));
        QCOMPARE(shownText, QStringLiteral("Zeile 1\nZeile 2"));

        // A capital umlaut on the first line keeps its dots.
        bool dotsShow = false;
        m_env->hooks().onNextShown([&](QWidget *window) {
            dotsShow = umlautDotsShow(findChildNamed<QLabel>(window, QStringLiteral("textLabel")));
            QTest::mouseClick(findButton(window, QStringLiteral("OK")), Qt::LeftButton);
        });
        m_env->ui().message(toCp1252(QStringLiteral("Ändern der Sonderzeichen")),
                            toCp1252(QStringLiteral("Beachten Sie bitte: Beim Ändern der Sonderzeichen müssen Sie die "
                                                    "Dokumente neu erstellen.")));
        QVERIFY(dotsShow);

        m_env->hooks().onNextShown(
            [](QWidget *window) { QTest::mouseClick(findButton(window, QStringLiteral("Abbruch")), Qt::LeftButton); });
        QVERIFY(!m_env->ui().question("Frage", "Weiter?"));
        m_env->hooks().onNextShown(
            [](QWidget *window) { QTest::mouseClick(findButton(window, QStringLiteral("OK")), Qt::LeftButton); });
        QVERIFY(m_env->ui().question("Frage", "Weiter?"));
        QCOMPARE(m_env->hooks().pendingActions(), 0);
        QVERIFY(m_env->hooks().shown().empty());
    }

    void realSystemErrorIsAWarningBox()
    {
        m_env->hooks().setIntercepting(false);
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QString title;
        m_env->hooks().onNextShown([&](QWidget *window) {
            auto *box = qobject_cast<QMessageBox *>(window);
            QVERIFY(box);
            icon = box->icon();
            title = box->windowTitle();
            box->accept();
        });
        m_env->ui().systemError("Fehler Code 6001", "Die Datei konnte nicht erzeugt werden.");
        QCOMPARE(icon, QMessageBox::Warning);
        QCOMPARE(title, QStringLiteral("Fehler Code 6001"));
    }

    void detailsShowTheErrorTextWithoutClosing()
    {
        const QString text = QStringLiteral("Es ist ein Fehler aufgetreten.\nDer exakte Fehlertext lautet: Host nicht gefunden");
        ConnectionErrorDialog box(QStringLiteral("Fehler beim Verbindungsaufbau"), text, true);
        box.show();
        QVERIFY(!box.detailsShown());
        QTest::mouseClick(findButton(&box, QStringLiteral("Details")), Qt::LeftButton);
        QVERIFY(box.isVisible());
        QVERIFY(box.detailsShown());
        QCOMPARE(box.detailsText(), QStringLiteral("Host nicht gefunden"));
        saveScreenshot(&box);
        QTest::mouseClick(findButton(&box, QStringLiteral("Konfigurieren")), Qt::LeftButton);
        QVERIFY(!box.isVisible());
        QCOMPARE(box.answer(), ConnectionAnswer::Configure);
    }

    void configureOpensTheInternetAccessDialogAndKeepsTheBox()
    {
        m_env->hooks().setIntercepting(false);
        DialogWalk walk;
        bool boxStayed = false;
        m_env->hooks().onNextShown([&](QWidget *window) {
            walk.names.push_back(window->objectName());
            QTest::mouseClick(findButton(window, QStringLiteral("Konfigurieren")), Qt::LeftButton);
            boxStayed = window->isVisible();
            QTest::mouseClick(findButton(window, QStringLiteral("Nochmal")), Qt::LeftButton);
        });
        closeNextDialogs(1, walk);
        const ConnectionAnswer answer =
            m_env->ui().connectionError("Fehler beim Verbindungsaufbau", "Der exakte Fehlertext lautet: x", false);
        QCOMPARE(answer, ConnectionAnswer::Retry);
        QVERIFY(boxStayed);
        QCOMPARE(walk.names,
                 (std::vector<QString>{QStringLiteral("connectionErrorDialog"), QStringLiteral("internetAccessDialog")}));
    }

    void waitWindowHoldsTheWaitCursorUntilClosed()
    {
        QtUi &ui = m_env->ui();
        ui.showWait(toCp1252(QStringLiteral("Bitte warten...\nVerbindung wird getestet")));
        QVERIFY(ui.waitWindow());
        QVERIFY(ui.waitWindow()->isVisible());
        QCOMPARE(ui.waitWindow()->text(), QStringLiteral("Bitte warten...\nVerbindung wird getestet"));
        QVERIFY(ui.waitWindow()->findChildren<QPushButton *>().isEmpty());
        QVERIFY(QApplication::overrideCursor());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        saveScreenshot(ui.waitWindow());

        // A second text replaces the first without stacking cursors.
        ui.showWait("Noch einen Moment");
        QCOMPARE(ui.waitWindow()->text(), QStringLiteral("Noch einen Moment"));
        ui.closeWait();
        QVERIFY(!ui.waitWindow());
        QVERIFY(!QApplication::overrideCursor());
        ui.closeWait();
        QVERIFY(!QApplication::overrideCursor());
    }

    void boxesShowTheNormalCursorUnderAnyWaitCursor()
    {
        m_env->hooks().setIntercepting(false);
        std::vector<Qt::CursorShape> cursors;
        const auto answer = [&](const QString &button) {
            m_env->hooks().onNextShown([&cursors, button](QWidget *window) {
                cursors.push_back(QApplication::overrideCursor()->shape());
                QTest::mouseClick(findButton(window, button), Qt::LeftButton);
            });
        };
        {
            BusyCursor busy;
            answer(QStringLiteral("OK"));
            m_env->ui().message("Titel", "Text");
            answer(QStringLiteral("Abbruch"));
            m_env->ui().question("Frage", "Weiter?");
            answer(QStringLiteral("Abbrechen"));
            m_env->ui().connectionError("Fehler beim Verbindungsaufbau", "x", false);
            answer(QStringLiteral("Abbrechen"));
            std::string user;
            std::string password;
            m_env->ui().credentials("Anmeldung", user, password);
            QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        }
        QCOMPARE(cursors, std::vector<Qt::CursorShape>(4, Qt::ArrowCursor));
        QVERIFY(!QApplication::overrideCursor());
    }

    void configureLeavesTheFailedActionItsWaitWindow()
    {
        // The feedback waits under its box; "Konfigurieren" and a successful
        // "Testen" in the Internet access dialog come and go in between.
        setConnectionTestFetcher([](const std::string &, bool, Ui &, std::string &body, std::string &) {
            body = "4.01 0";
            return true;
        });
        m_env->hooks().setIntercepting(false);
        QtUi &ui = m_env->ui();
        ui.showWait("Bitte warten...\nNachricht wird versendet");
        QPointer<WaitWindow> wait = ui.waitWindow();
        Qt::CursorShape cursorOverBox = Qt::BlankCursor;
        std::vector<QString> names;
        m_env->hooks().onNextShown([&](QWidget *box) {
            names.push_back(box->objectName());
            QTest::mouseClick(findButton(box, QStringLiteral("Konfigurieren")), Qt::LeftButton);
            cursorOverBox = QApplication::overrideCursor()->shape();
            QTest::mouseClick(findButton(box, QStringLiteral("Abbrechen")), Qt::LeftButton);
        });
        m_env->hooks().onNextShown([&](QWidget *access) {
            names.push_back(access->objectName());
            clickIndicator(findChildNamed<QRadioButton>(access, QStringLiteral("directRadio")));
            QTest::mouseClick(findButton(access, QStringLiteral("Testen")), Qt::LeftButton);
            QTest::mouseClick(findButton(access, QStringLiteral("OK")), Qt::LeftButton);
        });
        m_env->hooks().onNextShown([&](QWidget *success) {
            names.push_back(success->windowTitle());
            QTest::mouseClick(findButton(success, QStringLiteral("OK")), Qt::LeftButton);
        });
        ui.connectionError("Fehler beim Verbindungsaufbau", "x", false);
        resetConnectionTestFetcher();

        QCOMPARE(names, (std::vector<QString>{QStringLiteral("connectionErrorDialog"),
                                              QStringLiteral("internetAccessDialog"),
                                              QStringLiteral("Erfolgreicher Test")}));
        QCOMPARE(cursorOverBox, Qt::ArrowCursor);
        QVERIFY(wait);
        QCOMPARE(ui.waitWindow(), wait.data());
        settle();
        QVERIFY(wait->isVisible());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        ui.closeWait();
        QVERIFY(!wait);
        QVERIFY(!QApplication::overrideCursor());
    }

    void realCredentialsDialog()
    {
        m_env->hooks().setIntercepting(false);
        m_env->hooks().onNextShown([](QWidget *window) {
            auto *user = findChildNamed<QLineEdit>(window, QStringLiteral("userEdit"));
            QCOMPARE(user->text(), QStringLiteral("vorher"));
            user->setText(QStringLiteral("müller"));
            findChildNamed<QLineEdit>(window, QStringLiteral("passwordEdit"))->setText(QStringLiteral("pw"));
            QTest::mouseClick(findButton(window, QStringLiteral("OK")), Qt::LeftButton);
        });
        std::string user = "vorher";
        std::string password;
        QVERIFY(m_env->ui().credentials("Anmeldung erforderlich", user, password));
        QCOMPARE(fromCp1252(user), QStringLiteral("müller"));
        QCOMPARE(password, std::string("pw"));
    }

    void fileDialogsTakeTheQueuedName()
    {
        m_env->hooks().pushFileName(QStringLiteral("/tmp/seite.htm"));
        m_env->hooks().pushFileName(QString());
        QCOMPARE(askOpenFileName(nullptr, QStringLiteral("Homepage"), QString(), QString()),
                 QStringLiteral("/tmp/seite.htm"));
        QVERIFY(askSaveFileName(nullptr, QStringLiteral("Speichern"), QString(), QString()).isEmpty());
    }

private:
    std::unique_ptr<GuiTestEnvironment> m_env;
};

QTEST_MAIN(QtUiTest)
#include "QtUiTest.moc"
