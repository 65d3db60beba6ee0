#include "GuiTestSupport.h"

#include "platform/SettingsStore.h"
#include "project/ProgramSettings.h"
#include "project/QtStartupView.h"
#include "project/Startup.h"

#include <QRadioButton>
#include <QTest>

#include <memory>

using namespace vantor;
using namespace vantor::gui;
using namespace vantor::guitest;

// The whole start of the program with the real windows, each answered as a
// user would.
class StartupTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_env = std::make_unique<GuiTestEnvironment>(); }
    void cleanup() { m_env.reset(); }

    void firstStartWalksThroughEveryDialogToTheMainWindow()
    {
        // A first start: no settings at all, no program directory yet.
        programSettings() = ProgramSettings{};
        DialogWalk walk;
        closeNextDialogs(6, walk, [](QWidget *window) {
            const QString name = window->objectName();
            if (name == QStringLiteral("userLevelDialog")) {
                clickIndicator(findChildNamed<QRadioButton>(window, QStringLiteral("developerRadio")));
                QTest::mouseClick(findButton(window, QStringLiteral("OK")), Qt::LeftButton);
            } else if (name == QStringLiteral("internetAccessDialog")) {
                clickIndicator(findChildNamed<QRadioButton>(window, QStringLiteral("directRadio")));
                QTest::mouseClick(findButton(window, QStringLiteral("OK")), Qt::LeftButton);
            } else if (name == QStringLiteral("mainWindow")) {
                QTest::mouseClick(findButton(window, QStringLiteral("Ende")), Qt::LeftButton);
            } else {
                QTest::mouseClick(findButton(window, QStringLiteral("OK")), Qt::LeftButton);
            }
        });

        QtStartupView view;
        const int status = StartProgram(std::nullopt, view, m_env->ui());

        QCOMPARE(status, 0);
        QCOMPARE(walk.names,
                 (std::vector<QString>{QStringLiteral("welcomeDialog"), QStringLiteral("introductionDialog"),
                                       QStringLiteral("warningDialog"), QStringLiteral("userLevelDialog"),
                                       QStringLiteral("internetAccessDialog"), QStringLiteral("mainWindow")}));
        QCOMPARE(settingsStore().readNumber("usertype").value_or(0), 2u);
        QCOMPARE(settingsStore().readNumber("accesstype").value_or(0), 1u);
        QCOMPARE(settingsStore().readNumber("tip").value_or(0), 2u);
        QCOMPARE(settingsStore().readText("lastproject").value_or(""), std::string("default"));
        QVERIFY(m_env->hooks().shown().empty());
        QCOMPARE(m_env->helpClosed, 1);
    }

private:
    std::unique_ptr<GuiTestEnvironment> m_env;
};

QTEST_MAIN(StartupTest)
#include "StartupTest.moc"
