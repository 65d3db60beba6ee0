#include "GuiTestSupport.h"

#include "platform/Help.h"
#include "platform/SettingsStore.h"
#include "project/ProgramSettings.h"
#include "project/UserLevelDialog.h"

#include <QRadioButton>
#include <QTest>

#include <memory>

using namespace vantor;
using namespace vantor::gui;
using namespace vantor::guitest;

class UserLevelDialogTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_env = std::make_unique<GuiTestEnvironment>(); }
    void cleanup() { m_env.reset(); }

    void opensWithTheStoredLevel_data()
    {
        QTest::addColumn<int>("usertype");
        QTest::addColumn<bool>("developer");
        QTest::newRow("not chosen") << 0 << false;
        QTest::newRow("Anwender") << 1 << false;
        QTest::newRow("Entwickler") << 2 << true;
        QTest::newRow("unknown") << 7 << false;
    }
    void opensWithTheStoredLevel()
    {
        QFETCH(int, usertype);
        QFETCH(bool, developer);
        programSettings().userLevel = usertype;
        UserLevelDialog dialog;
        dialog.show();
        QCOMPARE(findChildNamed<QRadioButton>(&dialog, QStringLiteral("developerRadio"))->isChecked(), developer);
        QCOMPARE(findChildNamed<QRadioButton>(&dialog, QStringLiteral("userRadio"))->isChecked(), !developer);
        // Opening alone changes nothing.
        QCOMPARE(programSettings().userLevel, usertype);
        QVERIFY(!settingsStore().hasValue("usertype"));
    }

    void okStoresTheChoice_data()
    {
        QTest::addColumn<QString>("radio");
        QTest::addColumn<int>("level");
        QTest::newRow("Anwender") << QStringLiteral("userRadio") << 1;
        QTest::newRow("Entwickler") << QStringLiteral("developerRadio") << 2;
    }
    void okStoresTheChoice()
    {
        QFETCH(QString, radio);
        QFETCH(int, level);
        programSettings().userLevel = 0;
        UserLevelDialog dialog;
        dialog.show();
        clickIndicator(findChildNamed<QRadioButton>(&dialog, radio));
        QTest::mouseClick(findButton(&dialog, QStringLiteral("OK")), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(programSettings().userLevel, level);
        QCOMPARE(settingsStore().readNumber("usertype").value_or(0), static_cast<std::uint32_t>(level));
    }

    void f1OpensItsHelp()
    {
        UserLevelDialog dialog;
        dialog.show();
        QTest::keyClick(&dialog, Qt::Key_F1);
        QCOMPARE(m_env->helpTopics, std::vector<int>{help::kUserLevel});
    }

private:
    std::unique_ptr<GuiTestEnvironment> m_env;
};

QTEST_MAIN(UserLevelDialogTest)
#include "UserLevelDialogTest.moc"
