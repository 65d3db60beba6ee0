#include "GuiTestSupport.h"

#include "platform/Help.h"
#include "project/MainMenu.h"
#include "project/WizardMenu.h"
#include "ui/QtText.h"

#include <QGroupBox>
#include <QLabel>
#include <QTest>

#include <memory>

using namespace vantor;
using namespace vantor::gui;
using namespace vantor::guitest;

class WizardMenuTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_env = std::make_unique<GuiTestEnvironment>(); }
    void cleanup() { m_env.reset(); }

    void everyTaskHasItsCaptionInItsGroup_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("group");
        const QString before = QStringLiteral(" Vor einer Optimierung ");
        const QString optimize = QStringLiteral(" Optimieren und Anmelden ");
        const QString service = QStringLiteral(" Service ");
        const QString links = QStringLiteral(" Links");
        QTest::newRow("Recherche")
            << QStringLiteral("Recherche")
            << QStringLiteral("Suchbegriff-Recherche im Internet\n   Finden Sie relevante und ähnliche Begriffe") << before;
        QTest::newRow("Vorlagen-Wizard") << QStringLiteral("Vorlagen-Wizard")
                                         << QStringLiteral("Vorlage erstellen\n   Vorlage für eine Web-Site erzeugen")
                                         << before;
        QTest::newRow("Web-Site") << QStringLiteral("Web-Site")
                                  << QStringLiteral("Komplette Web-Site optimieren\n   Alle Daten für Optimierung eingeben")
                                  << optimize;
        QTest::newRow("Web-Site Quick")
            << QStringLiteral("Web-Site Quick")
            << QStringLiteral("Web-Site erneut optimieren\n   Optimierung anhand vorliegender Daten") << optimize;
        QTest::newRow("Anmelden") << QStringLiteral("Anmelden")
                                  << QStringLiteral("Anmelden bei den Suchmaschinen\n   Melden Sie eine ganze Web-Site an")
                                  << optimize;
        QTest::newRow("Position") << QStringLiteral("Position")
                                  << QStringLiteral("Platzierungen ermitteln\n   Ermittelt alle Top 50 Platzierungen")
                                  << optimize;
        QTest::newRow("Version prüfen")
            << QStringLiteral("Version prüfen")
            << QStringLiteral("Auf vorhandenes Update prüfen\n   Prüft über das Internet auf neuere Version") << service;
        QTest::newRow("Feedback") << QStringLiteral("Feedback")
                                  << QStringLiteral("Anregung, Kritik, Fragen?\n   Senden Sie hier direkt Ihr Feedback an uns")
                                  << service;
        QTest::newRow("Newsletter") << QStringLiteral("Newsletter")
                                    << QStringLiteral("Kostenlose Sitecast News \n   Tragen Sie sich hier direkt kostenlos ein")
                                    << service;
        QTest::newRow("Dokumente") << QStringLiteral("Dokumente")
                                   << QStringLiteral("Internet-Marketing Dokumente\n   Kompaktes Fachwissen für Experten")
                                   << links;
    }
    void everyTaskHasItsCaptionInItsGroup()
    {
        QFETCH(QString, button);
        QFETCH(QString, caption);
        QFETCH(QString, group);
        WizardMenu menu;
        menu.show();
        settle();
        QPushButton *task = findButton(&menu, button);
        QVERIFY(task);
        auto *label = findChildNamed<QLabel>(&menu, task->objectName() + QStringLiteral("Caption"));
        QVERIFY(label);
        QCOMPARE(label->text(), caption);
        auto *box = qobject_cast<QGroupBox *>(task->parentWidget());
        QVERIFY(box);
        QCOMPARE(box->title(), group);
        QCOMPARE(label->parentWidget(), box);
        // A caption that does not fit is cut off on screen.
        QVERIFY(label->width() >= label->sizeHint().width());
    }

    void positionAnnouncesTheLaterVersion()
    {
        WizardMenu menu;
        menu.show();
        QTest::mouseClick(findButton(&menu, QStringLiteral("Position")), Qt::LeftButton);
        QCOMPARE(m_env->hooks().shown().size(), std::size_t(1));
        const ShownBox box = m_env->hooks().shown().front();
        QCOMPARE(box.kind, QStringLiteral("message"));
        QCOMPARE(box.title, QStringLiteral("Platzierungen ermitteln"));
        QCOMPARE(box.text, QStringLiteral("Diese Funktion steht erst ab Version 4.1 zur Verfügung. Damit können Sie "
                                          "alle Top 50 Platzierungen aller Begriffe bei allen wichtigsten "
                                          "Suchmaschinen ermitteln."));
        QVERIFY(menu.isVisible());
    }

    void tasksStillToComeShowTheNote()
    {
        WizardMenu menu;
        menu.show();
        // "Web-Site", "Web-Site Quick" and "Vorlagen-Wizard" have tests of
        // their own: they run the site wizard and the template wizard.
        const QStringList tasks{QStringLiteral("Recherche"), QStringLiteral("Anmelden"),
                                QStringLiteral("Version prüfen"), QStringLiteral("Feedback"),
                                QStringLiteral("Newsletter")};
        for (const QString &task : tasks)
            QTest::mouseClick(findButton(&menu, task), Qt::LeftButton);
        const auto &shown = m_env->hooks().shown();
        QCOMPARE(shown.size(), std::size_t(tasks.size()));
        for (std::size_t i = 0; i < shown.size(); ++i) {
            QCOMPARE(shown[i].title, fromCp1252(notYetAvailableTitle()));
            QCOMPARE(shown[i].text, fromCp1252(notYetAvailableText(toCp1252(tasks[static_cast<int>(i)]))));
        }
        QVERIFY(m_env->opened.empty());
    }

    void documentsOpensTheMakersPage()
    {
        WizardMenu menu;
        menu.show();
        QTest::mouseClick(findButton(&menu, QStringLiteral("Dokumente")), Qt::LeftButton);
        QCOMPARE(m_env->opened.size(), std::size_t(1));
        QVERIFY(QString::fromStdString(m_env->opened.front()).endsWith(QStringLiteral("/sitecast/internetmarketingdoc.html")));
        QVERIFY(QString::fromStdString(m_env->opened.front()).startsWith(QStringLiteral("http://")));
        QVERIFY(m_env->hooks().shown().empty());
    }

    void helpAndCancel()
    {
        WizardMenu menu;
        menu.show();
        QTest::mouseClick(findButton(&menu, QStringLiteral("Hilfe")), Qt::LeftButton);
        QTest::keyClick(findButton(&menu, QStringLiteral("Anmelden")), Qt::Key_F1);
        QCOMPARE(m_env->helpTopics, (std::vector<int>{help::kWizardMenu, help::kWizardMenu}));
        QVERIFY(menu.isVisible());
        QTest::mouseClick(findButton(&menu, QStringLiteral("Cancel")), Qt::LeftButton);
        QVERIFY(!menu.isVisible());
        QVERIFY(m_env->hooks().shown().empty());
    }

private:
    std::unique_ptr<GuiTestEnvironment> m_env;
};

QTEST_MAIN(WizardMenuTest)
#include "WizardMenuTest.moc"
