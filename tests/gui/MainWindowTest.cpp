#include "GuiTestSupport.h"

#include "platform/Help.h"
#include "platform/SettingsStore.h"
#include "project/MainMenu.h"
#include "project/MainWindow.h"
#include "project/ProgramSettings.h"
#include "ui/QtText.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>

#include <memory>

using namespace vantor;
using namespace vantor::gui;
using namespace vantor::guitest;

class MainWindowTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_env = std::make_unique<GuiTestEnvironment>(); }
    void cleanup() { m_env.reset(); }

    void opensWithStoredTipAndStoresTheNext_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("shown");
        QTest::addColumn<int>("next");
        QTest::newRow("first") << 1 << 1 << 2;
        QTest::newRow("middle") << 7 << 7 << 8;
        QTest::newRow("last wraps") << 18 << 18 << 1;
        QTest::newRow("zero") << 0 << 1 << 2;
        QTest::newRow("above range") << 19 << 1 << 2;
    }
    void opensWithStoredTipAndStoresTheNext()
    {
        QFETCH(int, stored);
        QFETCH(int, shown);
        QFETCH(int, next);
        programSettings().tip = stored;

        MainWindow window;
        window.show();
        settle();

        QCOMPARE(window.tipNumber(), shown);
        QString expected = fromCp1252(tipText(shown));
        expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        auto *field = findChildNamed<QPlainTextEdit>(&window, QStringLiteral("tipText"));
        QVERIFY(field);
        QCOMPARE(field->toPlainText(), expected);
        QVERIFY(!field->toPlainText().contains(QLatin1Char('\r')));
        QCOMPARE(programSettings().tip, next);
        QCOMPARE(settingsStore().readNumber("tip").value_or(0), static_cast<std::uint32_t>(next));
    }

    void umlautsOfTipsSurviveTheCrossing()
    {
        programSettings().tip = 18;
        MainWindow window;
        auto *field = findChildNamed<QPlainTextEdit>(&window, QStringLiteral("tipText"));
        QVERIFY(field->toPlainText().startsWith(QStringLiteral("Seiten mit Frames sind äußerst ungünstig")));
    }

    void showsVersionAndProjectLines()
    {
        programSettings().currentProject = "default";
        MainWindow window;
        auto *project = findChildNamed<QLabel>(&window, QStringLiteral("projectLine"));
        auto *version = findChildNamed<QLabel>(&window, QStringLiteral("versionLine"));
        QCOMPARE(project->text(), QStringLiteral("Geladenes Projekt: Standardprojekt "));
        QCOMPARE(version->text(), QStringLiteral("Verwendete Version: Vantor!! 4.01 "));
        QCOMPARE(window.windowTitle(), QStringLiteral("Vantor!!"));

        programSettings().currentProject = toCp1252(QStringLiteral("Bäckerei"));
        window.refreshProjectLine();
        QCOMPARE(project->text(), QStringLiteral("Geladenes Projekt: Bäckerei "));

        programSettings().currentProject = toCp1252(QStringLiteral("Übersicht"));
        window.refreshProjectLine();
        window.show();
        settle();
        QVERIFY(umlautDotsShow(project));
    }

    void helpButtonsOpenTheirTopics()
    {
        programSettings().tip = 5;
        MainWindow window;
        window.show();
        QTest::mouseClick(findButton(&window, QStringLiteral("Hilfe")), Qt::LeftButton);
        QTest::mouseClick(findChildNamed<QPushButton>(&window, QStringLiteral("tipHelpButton")), Qt::LeftButton);
        QTest::mouseClick(findChildNamed<QPushButton>(&window, QStringLiteral("tipsButton")), Qt::LeftButton);
        QTest::keyClick(findButton(&window, QStringLiteral("Konfig")), Qt::Key_F1);
        QCOMPARE(m_env->helpTopics, (std::vector<int>{help::kMain, 955, 950, help::kMain}));
    }

    void wizardAndInfoOpenTheirDialogs()
    {
        MainWindow window;
        window.show();
        DialogWalk walk;
        closeNextDialogs(2, walk);
        QTest::mouseClick(findButton(&window, QStringLiteral("Wizard")), Qt::LeftButton);
        QTest::mouseClick(findButton(&window, QStringLiteral("Info")), Qt::LeftButton);
        QCOMPARE(walk.names, (std::vector<QString>{QStringLiteral("wizardMenu"), QStringLiteral("infoDialog")}));
        QVERIFY(window.isVisible());
    }

    void endAndClosingCloseTheHelp()
    {
        {
            MainWindow window;
            window.show();
            QTest::mouseClick(findButton(&window, QStringLiteral("Ende")), Qt::LeftButton);
            QVERIFY(!window.isVisible());
            QCOMPARE(m_env->helpClosed, 1);
        }
        {
            MainWindow window;
            window.show();
            window.close();
            QVERIFY(!window.isVisible());
            QCOMPARE(m_env->helpClosed, 2);
        }
    }

private:
    std::unique_ptr<GuiTestEnvironment> m_env;
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
