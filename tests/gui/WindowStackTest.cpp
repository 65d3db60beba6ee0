#include "GuiTestSupport.h"

#include "platform/SettingsStore.h"
#include "project/FirstStartDialogs.h"
#include "project/InfoDialog.h"
#include "project/InternetAccessDialog.h"
#include "project/ProgramSettings.h"
#include "project/QtStartupView.h"
#include "project/Startup.h"
#include "project/UserLevelDialog.h"
#include "project/WizardMenu.h"
#include "ui/ConnectionErrorDialog.h"
#include "ui/CredentialsDialog.h"
#include "ui/MessageDialog.h"
#include "ui/QtText.h"
#include "ui/QtTranslation.h"
#include "ui/WaitWindow.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

Q_DECLARE_METATYPE(std::function<QDialog *()>)

using namespace vantor;
using namespace vantor::gui;
using namespace vantor::guitest;

namespace {

QWidget *topLevelNamed(const QString &name)
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (window->objectName() == name)
            return window;
    }
    return nullptr;
}

// What a box saw of the other windows while it stood.
struct BoxView {
    bool shown = false;
    bool modalInFront = false;
    bool active = false;
    bool passiveVisible = true;
    QWidget *parent = nullptr;
};

// Looks at the next box (and lets `also` look too), then closes it.
void inspectNextBox(BoxView &view, std::function<QWidget *()> passive, std::function<void(QWidget *)> also = {})
{
    DialogHooks::instance().onNextShown([&view, passive, also](QWidget *box) {
        if (also)
            also(box);
        view.shown = true;
        view.modalInFront = QApplication::activeModalWidget() == box;
        view.active = QTest::qWaitFor([box]() { return box->isActiveWindow(); }, 2000);
        QWidget *other = passive();
        view.passiveVisible = other && other->isVisible();
        view.parent = box->parentWidget();
        if (auto *dialog = qobject_cast<QDialog *>(box))
            dialog->accept();
    });
}

// A modal dialog that never closes would hang the test instead of failing it.
void closeStrayModalsLater()
{
    QTimer::singleShot(5000, qApp, []() {
        while (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
    });
}

} // namespace

// Where our windows stand to each other: every box in front of the splash
// and the wait window with the focus, dialogs without minimise and maximise,
// and Qt's own dialogs in German.
class WindowStackTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_env = std::make_unique<GuiTestEnvironment>(); }
    void cleanup() { m_env.reset(); }

    void startupMessageStandsOverTheSplash()
    {
        m_env->hooks().setIntercepting(false);
        QtStartupView view;
        view.showSplash();
        QWidget *splash = topLevelNamed(QStringLiteral("splashWindow"));
        QVERIFY(splash && splash->isVisible());

        BoxView box;
        inspectNextBox(box, []() { return topLevelNamed(QStringLiteral("splashWindow")); });
        m_env->ui().message(toCp1252(QStringLiteral("Fehler beim Lesen der Projektdaten")), "Verloren.");

        QVERIFY(box.shown);
        QVERIFY(box.modalInFront);
        QVERIFY(box.active);
        QVERIFY(!box.passiveVisible);
        QVERIFY(box.parent != splash);
        // The start-up goes on: the splash comes back until it closes.
        QVERIFY(splash->isVisible());
        view.closeSplash();
    }

    void wholeStartWithAMissingLastProject()
    {
        programSettings() = ProgramSettings{};
        QtStartupView view;
        // The first start brings the project file; the second start reads the
        // missing last project.
        {
            DialogWalk walk;
            closeNextDialogs(6, walk, [](QWidget *window) {
                if (window->objectName() == QStringLiteral("mainWindow"))
                    QTest::mouseClick(findButton(window, QStringLiteral("Ende")), Qt::LeftButton);
                else if (window->objectName() == QStringLiteral("internetAccessDialog"))
                    clickIndicator(findChildNamed<QRadioButton>(window, QStringLiteral("directRadio")));
                if (auto *ok = findButton(window, QStringLiteral("OK")); ok && window->isVisible())
                    QTest::mouseClick(ok, Qt::LeftButton);
            });
            QCOMPARE(StartProgram(std::nullopt, view, m_env->ui()), 0);
        }
        settingsStore().writeText("lastproject", "verloren");
        programSettings() = ProgramSettings{};

        m_env->hooks().setIntercepting(false);
        BoxView box;
        QString title;
        m_env->hooks().onNextShown([&](QWidget *window) {
            title = window->windowTitle();
            box.modalInFront = QApplication::activeModalWidget() == window;
            box.active = QTest::qWaitFor([window]() { return window->isActiveWindow(); }, 2000);
            QWidget *splash = topLevelNamed(QStringLiteral("splashWindow"));
            box.passiveVisible = splash && splash->isVisible();
            static_cast<QDialog *>(window)->accept();
        });
        DialogWalk walk;
        closeNextDialogs(1, walk);
        QCOMPARE(StartProgram(std::nullopt, view, m_env->ui()), 0);
        QCOMPARE(title, QStringLiteral("Fehler beim Lesen der Projektdaten"));
        QVERIFY(box.modalInFront);
        QVERIFY(box.active);
        QVERIFY(!box.passiveVisible);
        QCOMPARE(walk.names, std::vector<QString>{QStringLiteral("mainWindow")});
    }

    void waitWindowNeverCoversAMessage()
    {
        // "Testen" with a proxy but no port: the refusal comes while the wait
        // window stands.
        InternetAccessDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        clickIndicator(findChildNamed<QRadioButton>(&dialog, QStringLiteral("proxyRadio")));
        findChildNamed<QLineEdit>(&dialog, QStringLiteral("proxyEdit"))->setText(QStringLiteral("proxy.example.de"));
        m_env->hooks().setIntercepting(false);

        BoxView box;
        bool waitStood = false;
        QString text;
        inspectNextBox(
            box, [this]() -> QWidget * { return m_env->ui().waitWindow(); },
            [&](QWidget *window) {
                waitStood = m_env->ui().waitWindow() != nullptr;
                text = qobject_cast<MessageDialog *>(window)->text();
            });
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Testen")), Qt::LeftButton);

        QVERIFY(box.shown);
        QVERIFY(waitStood);
        QVERIFY(text.startsWith(QStringLiteral("Geben Sie den Proxynamen")));
        QVERIFY(box.modalInFront);
        QVERIFY(box.active);
        QVERIFY(!box.passiveVisible);
        QCOMPARE(box.parent, &dialog);
        QVERIFY(!m_env->ui().waitWindow());
    }

    void waitWindowComesBackAfterTheBoxAndNeverTakesTheFocus()
    {
        InfoDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        m_env->hooks().setIntercepting(false);
        QtUi &ui = m_env->ui();
        ui.showWait(toCp1252(QStringLiteral("Bitte warten...\nVerbindung wird getestet")));
        settle();
        QVERIFY(ui.waitWindow()->isVisible());
        QCOMPARE(QApplication::activeWindow(), &dialog);

        BoxView box;
        inspectNextBox(box, [&ui]() -> QWidget * { return ui.waitWindow(); });
        m_env->hooks().pushQuestionAnswer(true);
        QVERIFY(ui.question("Frage", "Weiter?"));
        QVERIFY(box.modalInFront);
        QVERIFY(box.active);
        QVERIFY(!box.passiveVisible);
        QCOMPARE(box.parent, &dialog);
        // The work goes on, so the wait window stands again.
        QVERIFY(ui.waitWindow()->isVisible());
        ui.closeWait();
    }

    void dialogsHaveNoMinimiseOrMaximise_data()
    {
        QTest::addColumn<std::function<QDialog *()>>("make");
        const auto row = [](const char *name, std::function<QDialog *()> make) { QTest::newRow(name) << make; };
        row("message", []() { return new MessageDialog(QStringLiteral("T"), QStringLiteral("x"), MessageDialog::Buttons::Ok); });
        row("question",
            []() { return new MessageDialog(QStringLiteral("T"), QStringLiteral("x"), MessageDialog::Buttons::OkCancel); });
        row("connection error", []() { return new ConnectionErrorDialog(QStringLiteral("T"), QStringLiteral("x"), true); });
        row("credentials", []() { return new CredentialsDialog(QStringLiteral("T")); });
        row("welcome", []() { return new WelcomeDialog; });
        row("introduction", []() { return new IntroductionDialog; });
        row("warning", []() { return new WarningDialog; });
        row("info", []() { return new InfoDialog; });
        row("support", []() { return new SupportDialog; });
        row("internet access", []() { return new InternetAccessDialog; });
        row("user level", []() { return new UserLevelDialog; });
        row("wizard menu", []() { return new WizardMenu; });
    }
    void dialogsHaveNoMinimiseOrMaximise()
    {
        QFETCH(std::function<QDialog *()>, make);
        std::unique_ptr<QDialog> dialog(make());
        dialog->show();
        const Qt::WindowFlags flags = dialog->windowHandle()->flags();
        QCOMPARE(flags & Qt::WindowType_Mask, Qt::Dialog);
        QVERIFY(flags & Qt::WindowTitleHint);
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QVERIFY(!(flags & Qt::WindowContextHelpButtonHint));
        // A layout of one size: nothing a maximise could do.
        QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
    }

    void systemErrorBoxIsGermanWithoutMinimise()
    {
        m_env->hooks().setIntercepting(false);
        QStringList buttons;
        Qt::WindowFlags flags;
        m_env->hooks().onNextShown([&](QWidget *window) {
            flags = window->windowHandle()->flags();
            for (QAbstractButton *button : window->findChildren<QAbstractButton *>())
                buttons << button->text();
            static_cast<QDialog *>(window)->accept();
        });
        m_env->ui().systemError("Fehler Code 6001", "Die Datei konnte nicht erzeugt werden.");
        QCOMPARE(buttons, QStringList{QStringLiteral("OK")});
        QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    }

    void fileDialogsSpeakGerman_data()
    {
        QTest::addColumn<bool>("save");
        QTest::addColumn<QString>("accept");
        QTest::newRow("open") << false << QStringLiteral("Öffnen");
        QTest::newRow("save") << true << QStringLiteral("Speichern");
    }
    void fileDialogsSpeakGerman()
    {
        QFETCH(bool, save);
        QFETCH(QString, accept);
        QStringList buttons;
        QStringList labels;
        m_env->hooks().onNextShown([&](QWidget *window) {
            const auto *box = window->findChild<QDialogButtonBox *>();
            for (QAbstractButton *button : box->buttons())
                buttons << button->text();
            for (const QLabel *label : window->findChildren<QLabel *>())
                labels << label->text();
            static_cast<QDialog *>(window)->reject();
        });
        closeStrayModalsLater();
        const QString name = save ? askSaveFileName(nullptr, QStringLiteral("Speichern unter"), m_env->path(), QString())
                                  : askOpenFileName(nullptr, QStringLiteral("Homepage"), m_env->path(), QString());
        QVERIFY(name.isEmpty());
        QVERIFY2(buttons.contains(accept), qPrintable(buttons.join(u'|')));
        QVERIFY2(buttons.contains(QStringLiteral("Abbrechen")), qPrintable(buttons.join(u'|')));
        QVERIFY2(labels.contains(QStringLiteral("Dateiname:")), qPrintable(labels.join(u'|')));
        QVERIFY(labels.contains(QStringLiteral("Suchen in:")));
        QVERIFY(labels.contains(QStringLiteral("Dateityp:")));
    }

    void qtsOwnButtonsAreGermanWhereItsTranslationIsInstalled()
    {
        const QString file = QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_de.qm");
        if (!QFileInfo::exists(file)) {
            QVERIFY(!installGermanQtTexts());
            QSKIP("Qt's German translation is not installed here");
        }
        QVERIFY(installGermanQtTexts());
        QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        QCOMPARE(box.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Abbrechen"));
    }

private:
    std::unique_ptr<GuiTestEnvironment> m_env;
};

QTEST_MAIN(WindowStackTest)
#include "WindowStackTest.moc"
