#include "GuiTestSupport.h"

#include "platform/Help.h"
#include "project/ProgramSettings.h"
#include "project/ProjectFile.h"
#include "submit/ExtensionsDialog.h"
#include "submit/SubmitDocuments.h"
#include "submit/SubmitListDialog.h"
#include "submit/SubmitSettings.h"
#include "ui/QtText.h"

#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

#include <memory>

using namespace vantor;
using namespace vantor::gui;
using namespace vantor::guitest;

namespace {

const std::string kUrl = "www.beispiel.de";

QStringList rows(QListWidget *list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts << list->item(row)->text();
    return texts;
}

void selectRows(QListWidget *list, const QStringList &texts)
{
    list->clearSelection();
    for (const QString &text : texts) {
        const QList<QListWidgetItem *> found = list->findItems(text, Qt::MatchExactly);
        QVERIFY2(!found.isEmpty(), qPrintable(text));
        found.front()->setSelected(true);
    }
}

std::vector<std::string> cp1252(const QStringList &texts)
{
    std::vector<std::string> result;
    for (const QString &text : texts)
        result.push_back(toCp1252(text));
    return result;
}

} // namespace

class SubmitListDialogTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_env = std::make_unique<GuiTestEnvironment>();
        m_env->hooks().setIntercepting(true);
        m_site = m_env->path() + QStringLiteral("/site");
        QDir().mkpath(m_site + QStringLiteral("/Über uns"));
        writeAll(m_site + QStringLiteral("/index.htm"), "<html></html>");
        writeAll(m_site + QStringLiteral("/Über uns/team.htm"), "<html></html>");
        writeAll(m_env->path() + QStringLiteral("/fremd.htm"), "<html></html>");
        m_projectFile = toCp1252(standardProjectPath());
        storeStandardProject(homepage());
    }
    void cleanup() { m_env.reset(); }

    void opensWithTheBuiltListAndNothingChosen()
    {
        SubmitListDialog dialog = makeDialog({"www.beispiel.de", "www.beispiel.de/index.htm"});
        dialog.show();
        settle();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Anmelde-Liste"));
        QCOMPARE(rows(documents(dialog)), (QStringList{QStringLiteral("www.beispiel.de"),
                                                       QStringLiteral("www.beispiel.de/index.htm")}));
        QCOMPARE(rows(offered(dialog)),
                 (QStringList{QStringLiteral("Suchmaschine A"), QStringLiteral("Suchmaschine B"),
                              QStringLiteral("Liste: Verzeichnisse (120)")}));
        QCOMPARE(chosen(dialog)->count(), 0);
        for (const QString &text :
             {QStringLiteral("Hinzufügen"), QStringLiteral("Entfernen"), QStringLiteral("Speichern"),
              QStringLiteral("Laden"), QStringLiteral("-- Hinzufügen -->"), QStringLiteral("Entfernen <---"),
              QStringLiteral("Starten"), QStringLiteral("Abbrechen")})
            QVERIFY2(findButton(&dialog, text), qPrintable(text));
        QCOMPARE(dialog.helpTopic(), help::kSubmitList);

        // The lists take the room the user gives the window.
        const int before = documents(dialog)->width();
        dialog.resize(dialog.width() + 200, dialog.height() + 150);
        settle();
        QVERIFY(documents(dialog)->width() > before);
    }

    void addingTakesOnlyDocumentsBelowTheHomepage()
    {
        SubmitListDialog dialog = makeDialog({"www.beispiel.de"});
        dialog.show();
        settle();
        QPushButton *add = findButton(&dialog, QStringLiteral("Hinzufügen"));

        m_env->hooks().pushFileName(m_env->path() + QStringLiteral("/fremd.htm"));
        QTest::mouseClick(add, Qt::LeftButton);
        const ShownBox refused = lastShown(QStringLiteral("message"));
        QCOMPARE(refused.title, QStringLiteral("Pfad-Fehler"));
        QCOMPARE(refused.text, QStringLiteral("Es können nur Dokumente unterhalb des Pfades\n%1\nhinzugefügt werden. "
                                              "Dort befindet sich auch die Startseite der Internet-Präsenz.")
                                   .arg(m_site));
        QCOMPARE(documents(dialog)->count(), 1);
        const auto &request = m_env->hooks().fileRequests().back();
        QCOMPARE(request.caption, QStringLiteral("Homepage öffnen (Startseite der Web-Site)"));
        QCOMPARE(request.directory, homepage());
        QVERIFY(request.filter.startsWith(QStringLiteral("HTML Datei (*.htm;*.html;*.htx;*.asp;*.shtml;*.shtm;*.sht)")));

        // A sibling directory whose name begins like the homepage's is no
        // directory below it.
        QDir().mkpath(m_site + QStringLiteral("2"));
        writeAll(m_site + QStringLiteral("2/x.htm"), "<html></html>");
        m_env->hooks().clearShown();
        m_env->hooks().pushFileName(m_site + QStringLiteral("2/x.htm"));
        QTest::mouseClick(add, Qt::LeftButton);
        QCOMPARE(lastShown(QStringLiteral("message")).title, QStringLiteral("Pfad-Fehler"));

        m_env->hooks().clearShown();
        m_env->hooks().pushFileName(m_site + QStringLiteral("/Über uns/team.htm"));
        QTest::mouseClick(add, Qt::LeftButton);
        QVERIFY(m_env->hooks().shown().empty());
        QCOMPARE(rows(documents(dialog)),
                 (QStringList{QStringLiteral("www.beispiel.de"), QStringLiteral("www.beispiel.de/Über uns/team.htm")}));

        // Once is enough.
        m_env->hooks().pushFileName(m_site + QStringLiteral("/Über uns/team.htm"));
        QTest::mouseClick(add, Qt::LeftButton);
        QCOMPARE(documents(dialog)->count(), 2);

        // Cancelled: nothing happens.
        m_env->hooks().pushFileName(QString());
        QTest::mouseClick(add, Qt::LeftButton);
        QCOMPARE(documents(dialog)->count(), 2);
        QVERIFY(m_env->hooks().shown().empty());
    }

    void removingKeepsTheLastDocument()
    {
        SubmitListDialog dialog = makeDialog({"www.beispiel.de", "www.beispiel.de/a.htm", "www.beispiel.de/b.htm"});
        dialog.show();
        settle();
        QPushButton *remove = findButton(&dialog, QStringLiteral("Entfernen"));

        selectRows(documents(dialog), {QStringLiteral("www.beispiel.de/a.htm")});
        QTest::mouseClick(remove, Qt::LeftButton);
        QCOMPARE(rows(documents(dialog)),
                 (QStringList{QStringLiteral("www.beispiel.de"), QStringLiteral("www.beispiel.de/b.htm")}));
        QVERIFY(m_env->hooks().shown().empty());

        documents(dialog)->selectAll();
        QTest::mouseClick(remove, Qt::LeftButton);
        QCOMPARE(documents(dialog)->count(), 1);
        QCOMPARE(m_env->hooks().countKind(QStringLiteral("message")), 1);
        const ShownBox box = lastShown(QStringLiteral("message"));
        QCOMPARE(box.title, QStringLiteral("Leere Liste"));
        QCOMPARE(box.text, QStringLiteral("Die Liste darf nicht leer sein!"));
        QVERIFY(remove->isEnabled());
    }

    void savedListComesBackUpToTheFirstGap()
    {
        SubmitListDialog dialog =
            makeDialog({"www.beispiel.de", "www.beispiel.de/a.htm", "www.beispiel.de/b.htm", "www.beispiel.de/c.htm"});
        dialog.show();
        settle();
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Speichern")), Qt::LeftButton);
        const ShownBox saved = lastShown(QStringLiteral("message"));
        QCOMPARE(saved.title, QStringLiteral("Liste gespeichert"));
        QCOMPARE(saved.text, QStringLiteral("Die Liste der anzumeldenden Seiten wurde beim Projekt gespeichert. Sie "
                                            "können diese in Zukunft an dieser Stelle jederzeit laden."));
        QCOMPARE(submitsettings::readFileList(m_projectFile).size(), std::size_t(4));

        // Keys 1, 2 and 4: the third one is missing.
        QByteArray text = readAll(standardProjectPath());
        const int third = text.indexOf("www.beispiel.de/b.htm");
        QVERIFY(third > 0);
        const int lineStart = text.lastIndexOf('\n', third) + 1;
        const int lineEnd = text.indexOf('\n', third);
        text.remove(lineStart, lineEnd - lineStart + 1);
        writeAll(standardProjectPath(), text);

        documents(dialog)->clear();
        documents(dialog)->addItem(QStringLiteral("www.anders.de"));
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Laden")), Qt::LeftButton);
        QCOMPARE(rows(documents(dialog)),
                 (QStringList{QStringLiteral("www.beispiel.de"), QStringLiteral("www.beispiel.de/a.htm")}));
        QVERIFY(findButton(&dialog, QStringLiteral("Starten"))->isEnabled());
    }

    void targetsMoveBetweenTheListsAndKeepTheirPlaces()
    {
        SubmitListDialog dialog = makeDialog({"www.beispiel.de"});
        dialog.show();
        settle();
        QPushButton *choose = findButton(&dialog, QStringLiteral("-- Hinzufügen -->"));
        QPushButton *giveBack = findButton(&dialog, QStringLiteral("Entfernen <---"));

        selectRows(offered(dialog), {QStringLiteral("Liste: Verzeichnisse (120)"), QStringLiteral("Suchmaschine A")});
        QTest::mouseClick(choose, Qt::LeftButton);
        QCOMPARE(rows(chosen(dialog)),
                 (QStringList{QStringLiteral("Suchmaschine A"), QStringLiteral("Liste: Verzeichnisse (120)")}));
        QCOMPARE(rows(offered(dialog)), QStringList{QStringLiteral("Suchmaschine B")});

        selectRows(chosen(dialog), {QStringLiteral("Suchmaschine A")});
        QTest::mouseClick(giveBack, Qt::LeftButton);
        QCOMPARE(rows(offered(dialog)),
                 (QStringList{QStringLiteral("Suchmaschine A"), QStringLiteral("Suchmaschine B")}));

        selectRows(offered(dialog), {QStringLiteral("Suchmaschine B")});
        QTest::mouseClick(choose, Qt::LeftButton);
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Starten")), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.targets(), cp1252({QStringLiteral("Liste: Verzeichnisse (120)"), QStringLiteral("Suchmaschine B")}));
        QCOMPARE(dialog.documents(), std::vector<std::string>{kUrl});
    }

    void cancelChoosesNothing()
    {
        SubmitListDialog dialog = makeDialog({"www.beispiel.de"});
        dialog.show();
        settle();
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Abbrechen")), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(dialog.targets().empty());
    }

    void extensionsStartWithTheDefaultsAndCannotBeLeftEmpty()
    {
        ExtensionsDialog dialog(m_projectFile);
        dialog.show();
        settle();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Datei-Endungen"));
        QCOMPARE(dialog.helpTopic(), help::kExtensions);
        QCOMPARE(dialog.extensions(), submitdocs::defaultExtensions());
        auto *list = findChildNamed<QListWidget>(&dialog, QStringLiteral("extensionList"));
        auto *edit = findChildNamed<QLineEdit>(&dialog, QStringLiteral("extensionEdit"));
        QVERIFY(list && edit);

        list->selectAll();
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Entfernen")), Qt::LeftButton);
        QCOMPARE(list->count(), 0);
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Schliessen")), Qt::LeftButton);
        QVERIFY(dialog.isVisible());
        const ShownBox missing = lastShown(QStringLiteral("message"));
        QCOMPARE(missing.title, QStringLiteral("Datei-Endung fehlt"));
        QCOMPARE(missing.text, QStringLiteral("Geben Sie mindestens eine Datei-Endung (z.B. \"htm\") ein, sonst kann "
                                              "die Anmeldung nicht funktionieren."));
        // Escape is no way around it either.
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(dialog.isVisible());
        QVERIFY(submitsettings::readExtensions(m_projectFile).empty());

        QTest::keyClicks(edit, QStringLiteral("*.php"));
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Hinzufügen")), Qt::LeftButton);
        edit->setText(QStringLiteral("htm"));
        QTest::keyClick(edit, Qt::Key_Return);
        edit->setText(QStringLiteral("PHP"));
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Hinzufügen")), Qt::LeftButton);
        QCOMPARE(rows(list), (QStringList{QStringLiteral("php"), QStringLiteral("htm")}));
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Schliessen")), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(submitsettings::readExtensions(m_projectFile), (std::vector<std::string>{"php", "htm"}));

        // Opened again, the stored list replaces the defaults.
        ExtensionsDialog again(m_projectFile);
        QCOMPARE(again.extensions(), (std::vector<std::string>{"php", "htm"}));
    }

private:
    QString homepage() const { return m_site + QStringLiteral("/index.htm"); }

    SubmitListDialog makeDialog(const std::vector<std::string> &documents)
    {
        return SubmitListDialog(documents, {"Suchmaschine A", "Suchmaschine B", "Liste: Verzeichnisse (120)"}, kUrl,
                                toCp1252(homepage()), m_projectFile);
    }
    static QListWidget *documents(QWidget &dialog)
    {
        return findChildNamed<QListWidget>(&dialog, QStringLiteral("documentList"));
    }
    static QListWidget *offered(QWidget &dialog)
    {
        return findChildNamed<QListWidget>(&dialog, QStringLiteral("offeredList"));
    }
    static QListWidget *chosen(QWidget &dialog)
    {
        return findChildNamed<QListWidget>(&dialog, QStringLiteral("chosenList"));
    }

    std::unique_ptr<GuiTestEnvironment> m_env;
    QString m_site;
    std::string m_projectFile;
};

QTEST_MAIN(SubmitListDialogTest)
#include "SubmitListDialogTest.moc"
