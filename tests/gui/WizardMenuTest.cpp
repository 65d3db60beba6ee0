#include "GuiTestSupport.h"
#include "MakerServerFixture.h"

#include "net/DataFileFetch.h"
#include "net/MakerServer.h"
#include "platform/Help.h"
#include "platform/SettingsStore.h"
#include "platform/Shell.h"
#include "project/MainMenu.h"
#include "project/ProgramSettings.h"
#include "project/WizardMenu.h"
#include "ui/QtText.h"

#include <QApplication>
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

    void researchNeedsItsFile()
    {
        // No research file, and the maker's server cannot be reached to
        // fetch one: the dialog never shows.
        MakerServerFixture server(toCp1252(m_env->path() + QStringLiteral("/server")));
        QVERIFY(server.refuseConnections());
        DataFileFetch::reset();
        WizardMenu menu;
        menu.show();
        DialogWalk walk;
        closeNextDialogs(1, walk);
        QTest::mouseClick(findButton(&menu, QStringLiteral("Recherche")), Qt::LeftButton);
        QVERIFY(walk.names.empty());
        QCOMPARE(lastShown(QStringLiteral("message")).title, QStringLiteral("Datei fehlt!"));
        QVERIFY(menu.isVisible());
        DataFileFetch::reset();
    }

    void versionCheckNamesWhatTheServerPublishes_data()
    {
        QTest::addColumn<QString>("published");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("opening");
        QTest::newRow("same") << QStringLiteral("4.01 0") << QStringLiteral("Keine neuere Version verfügbar")
                              << QStringLiteral("Sie arbeiten mit der aktuellsten Version von Vantor!!");
        QTest::newRow("free") << QStringLiteral("4.10 0\r\n") << QStringLiteral("Neuere Version verfügbar")
                              << QStringLiteral("Es ist eine neuere Version von Vantor!! verfügbar. ");
        QTest::newRow("chargeable") << QStringLiteral("4.10 1") << QStringLiteral("Neuere Version verfügbar")
                                    << QStringLiteral("Es ist eine neuere Version von Vantor!! verfügbar, diese IST "
                                                      "ABER KOSTENPFLICHTIG.");
        QTest::newRow("unreadable") << QStringLiteral("<html>404</html>") << QStringLiteral("Fehler aufgetreten")
                                    << QStringLiteral("Es ist ein Fehler beim Ermitteln der aktuellsten Version");
    }
    void versionCheckNamesWhatTheServerPublishes()
    {
        QFETCH(QString, published);
        QFETCH(QString, title);
        QFETCH(QString, opening);
        MakerServerFixture server(toCp1252(m_env->path() + QStringLiteral("/server")), published.toStdString());
        QVERIFY(server.running());
        WizardMenu menu;
        menu.show();
        QTest::mouseClick(findButton(&menu, QStringLiteral("Version prüfen")), Qt::LeftButton);

        QCOMPARE(m_env->hooks().shown().size(), std::size_t(1));
        const ShownBox box = m_env->hooks().shown().front();
        QCOMPARE(box.kind, QStringLiteral("message"));
        QCOMPARE(box.title, title);
        QVERIFY2(box.text.startsWith(opening), qPrintable(box.text));
        if (title == QStringLiteral("Neuere Version verfügbar"))
            QVERIFY(box.text.contains(QStringLiteral("http://127.0.0.1:%1/download/").arg(server.port())));
        QVERIFY(!QApplication::overrideCursor());
    }

    void versionCheckAsksAndAnswersUnderTheNormalCursor()
    {
        // The check runs under the wait cursor; the dial-up prompt and the
        // answer each need a click, so they must show the arrow.
        MakerServerFixture server(toCp1252(m_env->path() + QStringLiteral("/server")), "4.10 0");
        QVERIFY(server.running());
        programSettings().httpInform = 1;
        m_env->hooks().setIntercepting(false);
        WizardMenu menu;
        menu.show();
        std::vector<QString> boxes;
        std::vector<Qt::CursorShape> cursors;
        for (int i = 0; i < 2; ++i) {
            m_env->hooks().onNextShown([&](QWidget *window) {
                boxes.push_back(window->windowTitle());
                cursors.push_back(QApplication::overrideCursor() ? QApplication::overrideCursor()->shape()
                                                                 : Qt::ArrowCursor);
                QTest::mouseClick(findButton(window, QStringLiteral("OK")), Qt::LeftButton);
            });
        }
        QTest::mouseClick(findButton(&menu, QStringLiteral("Version prüfen")), Qt::LeftButton);

        QCOMPARE(boxes, (std::vector<QString>{QStringLiteral("Internet-Verbindung herstellen"),
                                              QStringLiteral("Neuere Version verfügbar")}));
        QCOMPARE(cursors, (std::vector<Qt::CursorShape>{Qt::ArrowCursor, Qt::ArrowCursor}));
        QVERIFY(!QApplication::overrideCursor());
    }

    void versionCheckWithoutServerOffersNochmal()
    {
        MakerServerFixture server(toCp1252(m_env->path() + QStringLiteral("/server")));
        QVERIFY(server.refuseConnections());
        m_env->hooks().pushConnectionAnswer(ConnectionAnswer::Retry);
        m_env->hooks().pushConnectionAnswer(ConnectionAnswer::Cancel);
        WizardMenu menu;
        menu.show();
        QTest::mouseClick(findButton(&menu, QStringLiteral("Version prüfen")), Qt::LeftButton);

        QCOMPARE(m_env->hooks().shown().size(), std::size_t(2));
        for (const ShownBox &box : m_env->hooks().shown()) {
            QCOMPARE(box.kind, QStringLiteral("connectionError"));
            QCOMPARE(box.title, QStringLiteral("Fehler beim Verbindungsaufbau"));
        }
        QVERIFY(menu.isVisible());
        QVERIFY(!QApplication::overrideCursor());
    }

    void feedbackAndNewsletterOpenTheirFormsAboveTheMenu_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("dialog");
        QTest::newRow("Feedback") << QStringLiteral("Feedback") << QStringLiteral("feedbackDialog");
        QTest::newRow("Newsletter") << QStringLiteral("Newsletter") << QStringLiteral("newsletterDialog");
    }
    void feedbackAndNewsletterOpenTheirFormsAboveTheMenu()
    {
        QFETCH(QString, button);
        QFETCH(QString, dialog);
        WizardMenu menu;
        menu.show();
        DialogWalk walk;
        QWidget *parent = nullptr;
        closeNextDialogs(1, walk, [&](QWidget *window) { parent = window->parentWidget(); });
        QTest::mouseClick(findButton(&menu, button), Qt::LeftButton);
        QCOMPARE(walk.names, std::vector<QString>{dialog});
        QCOMPARE(parent, static_cast<QWidget *>(&menu));
        QVERIFY(m_env->hooks().shown().empty());
        QVERIFY(menu.isVisible());
    }

    void documentsOpensTheMakersPage()
    {
        settingsStore().writeText("updateserver", "127.0.0.1:4711");
        WizardMenu menu;
        menu.show();
        QTest::mouseClick(findButton(&menu, QStringLiteral("Dokumente")), Qt::LeftButton);
        QCOMPARE(m_env->opened, std::vector<std::string>{"http://127.0.0.1:4711/sitecast/internetmarketingdoc.html"});
        QCOMPARE(m_env->opened.front(), makerserver::documentsUrl());
        QVERIFY(m_env->hooks().shown().empty());

        setShellOpener([](const std::string &) { return false; });
        QTest::mouseClick(findButton(&menu, QStringLiteral("Dokumente")), Qt::LeftButton);
        const ShownBox box = lastShown(QStringLiteral("address"));
        QCOMPARE(box.title, QStringLiteral("Browser nicht gestartet"));
        QVERIFY(box.text.endsWith(QStringLiteral("\nhttp://127.0.0.1:4711/sitecast/internetmarketingdoc.html")));
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
