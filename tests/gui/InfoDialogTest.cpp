#include "GuiTestSupport.h"

#include "platform/Help.h"
#include "project/FirstStartDialogs.h"
#include "project/InfoDialog.h"
#include "project/MainMenu.h"
#include "project/ProgramSettings.h"
#include "ui/QtText.h"

#include <QLabel>
#include <QPointer>
#include <QTest>

#include <memory>

using namespace vantor;
using namespace vantor::gui;
using namespace vantor::guitest;

// The information dialog, its support dialog, and the first-start dialogs
// that "Erste Schritte" brings back.
class InfoDialogTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_env = std::make_unique<GuiTestEnvironment>(); }
    void cleanup() { m_env.reset(); }

    void showsTheVersionWithItsTrailingBlank()
    {
        InfoDialog dialog;
        dialog.show();
        QCOMPARE(findChildNamed<QLabel>(&dialog, QStringLiteral("versionLabel"))->text(),
                 QStringLiteral("Vantor!! 4.01 "));
        QTest::keyClick(&dialog, Qt::Key_F1);
        QCOMPARE(m_env->helpTopics, std::vector<int>{help::kMain});
        QTest::mouseClick(findButton(&dialog, QStringLiteral("OK")), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
    }

    void feedbackOpensTheFormAboveTheInfo()
    {
        InfoDialog dialog;
        dialog.show();
        DialogWalk walk;
        QWidget *parent = nullptr;
        closeNextDialogs(1, walk, [&](QWidget *window) { parent = window->parentWidget(); });
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Feedback")), Qt::LeftButton);
        QCOMPARE(walk.names, std::vector<QString>{QStringLiteral("feedbackDialog")});
        QCOMPARE(parent, static_cast<QWidget *>(&dialog));
        QVERIFY(m_env->hooks().shown().empty());
        QVERIFY(dialog.isVisible());
    }

    void supportShowsVersionAndLeadsToFeedbackAfterClosing()
    {
        InfoDialog dialog;
        dialog.show();
        QString version;
        QString explanation;
        QPointer<QWidget> support;
        m_env->hooks().onNextShown([&](QWidget *window) {
            QCOMPARE(window->objectName(), QStringLiteral("supportDialog"));
            version = findChildNamed<QLabel>(window, QStringLiteral("versionLabel"))->text();
            explanation = findChildNamed<QLabel>(window, QStringLiteral("textLabel"))->text();
            support = window;
            QTest::mouseClick(findButton(window, QStringLiteral("Feedback Formular")), Qt::LeftButton);
        });
        DialogWalk walk;
        bool supportOpenUnderForm = true;
        QWidget *formParent = nullptr;
        closeNextDialogs(1, walk, [&](QWidget *window) {
            supportOpenUnderForm = support && support->isVisible();
            formParent = window->parentWidget();
        });
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Support")), Qt::LeftButton);

        QCOMPARE(m_env->hooks().pendingActions(), 0);
        QCOMPARE(version, QStringLiteral("Vantor!! 4.01 "));
        QVERIFY(explanation.contains(QStringLiteral("Version")));
        QVERIFY(explanation.contains(QStringLiteral("Betriebssystem")));
        QCOMPARE(walk.names, std::vector<QString>{QStringLiteral("feedbackDialog")});
        QVERIFY(!supportOpenUnderForm);
        QCOMPARE(formParent, static_cast<QWidget *>(&dialog));
        QVERIFY(m_env->hooks().shown().empty());
    }

    void supportOkOpensNothing()
    {
        InfoDialog dialog;
        dialog.show();
        m_env->hooks().onNextShown(
            [](QWidget *window) { QTest::mouseClick(findButton(window, QStringLiteral("OK")), Qt::LeftButton); });
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Support")), Qt::LeftButton);
        QCOMPARE(m_env->hooks().pendingActions(), 0);
        QVERIFY(m_env->hooks().shown().empty());
    }

    void firstStepsShowsTheThreeDialogsInOrder()
    {
        InfoDialog dialog;
        dialog.show();
        DialogWalk walk;
        closeNextDialogs(3, walk, [](QWidget *window) {
            QTest::mouseClick(findButton(window, QStringLiteral("OK")), Qt::LeftButton);
        });
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Erste Schritte")), Qt::LeftButton);
        QCOMPARE(walk.names, (std::vector<QString>{QStringLiteral("welcomeDialog"), QStringLiteral("introductionDialog"),
                                                   QStringLiteral("warningDialog")}));
        QVERIFY(dialog.isVisible());
    }

    void welcomeLeadsToTheBasics()
    {
        WelcomeDialog dialog;
        dialog.show();
        QCOMPARE(findChildNamed<QLabel>(&dialog, QStringLiteral("headingLabel"))->text(),
                 QStringLiteral("Herzlich willkommen bei Vantor!!"));
        QVERIFY(findChildNamed<QLabel>(&dialog, QStringLiteral("textLabel"))
                    ->text()
                    .endsWith(QStringLiteral("Zum Fortfahren klicken Sie bitte auf \"OK\".")));
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Grundlagen")), Qt::LeftButton);
        QCOMPARE(m_env->helpTopics, std::vector<int>{help::kBasics});
        QVERIFY(dialog.isVisible());
    }

    void introductionOpensTheOverviewWithItsButtonBusy()
    {
        programSettings().programDirectory = toCp1252(m_env->path() + QStringLiteral("/Programm Ä"));
        IntroductionDialog dialog;
        dialog.show();
        const QString text = findChildNamed<QLabel>(&dialog, QStringLiteral("textLabel"))->text();
        QVERIFY(text.contains(QStringLiteral("Kopien der Homepage optimiert für bestimmte Suchbegriffe")));
        QVERIFY(text.contains(QStringLiteral(
            "Zugangsdokumente: Dokumente erzeugt anhand einer Vorlage, optimiert für\n  einen einzelnen Suchbegriff")));

        QPushButton *overview = findButton(&dialog, QStringLiteral("So optimieren Sie eine Web-Site"));
        bool enabledDuringOpen = true;
        m_env->duringOpen = [&] { enabledDuringOpen = overview->isEnabled(); };
        QTest::mouseClick(overview, Qt::LeftButton);
        QCOMPARE(m_env->opened.size(), std::size_t(1));
        QCOMPARE(fromCp1252(m_env->opened.front()), m_env->path() + QStringLiteral("/Programm Ä/Überblick.htm"));
        QVERIFY(!enabledDuringOpen);
        QVERIFY(overview->isEnabled());
    }

    void warningNamesTheRisk()
    {
        WarningDialog dialog;
        dialog.show();
        QCOMPARE(findChildNamed<QLabel>(&dialog, QStringLiteral("headingLabel"))->text(), QStringLiteral("WARNUNG"));
        QVERIFY(findChildNamed<QLabel>(&dialog, QStringLiteral("textLabel"))
                    ->text()
                    .startsWith(QStringLiteral(
                        "Vantor!! verändert Internet-Dokumente auf verschiedenste Weise. Manche Veränderungen "
                        "können nicht rückgängig gemacht werden. Dies betrifft vor allem die Homepage, also die "
                        "Startseite einer Internet-Präsenz.")));
        QTest::mouseClick(findButton(&dialog, QStringLiteral("OK")), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

private:
    std::unique_ptr<GuiTestEnvironment> m_env;
};

QTEST_MAIN(InfoDialogTest)
#include "InfoDialogTest.moc"
