#include "GuiTestSupport.h"

#include "platform/Help.h"
#include "position/PositionListDialog.h"
#include "position/PositionTerms.h"
#include "project/ProgramSettings.h"
#include "project/ProjectFile.h"
#include "ui/QtText.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <memory>

using namespace vantor;
using namespace vantor::gui;
using namespace vantor::guitest;

namespace {

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

QPushButton *named(QWidget &dialog, const char *name)
{
    return dialog.findChild<QPushButton *>(QString::fromLatin1(name));
}

} // namespace

class PositionListDialogTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_env = std::make_unique<GuiTestEnvironment>();
        m_projectFile = toCp1252(standardProjectPath());
        storeStandardProject(m_env->path() + QStringLiteral("/site/index.htm"));
    }
    void cleanup() { m_env.reset(); }

    void opensWithTheTermsAndEveryEngine()
    {
        PositionListDialog dialog = makeDialog({"gartenbau", toCp1252(QStringLiteral("müller bau"))});
        dialog.show();
        settle();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Anmelde-Liste"));
        QCOMPARE(dialog.helpTopic(), help::kPositionList);
        QCOMPARE(rows(terms(dialog)), (QStringList{QStringLiteral("gartenbau"), QStringLiteral("müller bau")}));
        QCOMPARE(rows(engines(dialog)),
                 (QStringList{QStringLiteral("Suchfix"), QStringLiteral("Spürnase"), QStringLiteral("Leerlauf")}));
        const QList<QLabel *> labels = dialog.findChildren<QLabel *>();
        for (const QString &text : {QStringLiteral("Liste der Suchbegriffe:"), QStringLiteral("Liste der Suchmaschinen:")})
            QVERIFY2(std::any_of(labels.begin(), labels.end(), [&text](QLabel *label) { return label->text() == text; }),
                     qPrintable(text));
        // Each list has an "Entfernen" of its own.
        const std::vector<std::pair<const char *, QString>> buttons{
            {"addTermButton", QStringLiteral("Hinzufügen")}, {"removeTermButton", QStringLiteral("Entfernen")},
            {"saveListButton", QStringLiteral("Speichern")},  {"loadListButton", QStringLiteral("Laden")},
            {"removeEngineButton", QStringLiteral("Entfernen")}, {"startButton", QStringLiteral("Starten")},
            {"cancelButton", QStringLiteral("Abbrechen")}};
        for (const auto &[name, text] : buttons) {
            QVERIFY2(named(dialog, name), name);
            QCOMPARE(named(dialog, name)->text(), text);
        }
        QVERIFY(named(dialog, "startButton")->isDefault());

        QTest::mouseClick(named(dialog, "helpButton"), Qt::LeftButton);
        QCOMPARE(m_env->helpTopics, std::vector<int>{help::kPositionList});

        // The lists take the room the user gives the window.
        const int before = terms(dialog)->width();
        dialog.resize(dialog.width() + 200, dialog.height() + 150);
        settle();
        QVERIFY(terms(dialog)->width() > before);
    }

    void aNewTermIsLowerCaseAndCutAtTheHash()
    {
        PositionListDialog dialog = makeDialog({"gartenbau"});
        dialog.show();
        settle();
        QLineEdit *field = newTerm(dialog);
        QTest::keyClicks(field, QStringLiteral("Rosen GARTEN#Sommer"));
        QCOMPARE(field->text(), QStringLiteral("rosen garten#sommer"));
        QTest::mouseClick(named(dialog, "addTermButton"), Qt::LeftButton);
        QCOMPARE(rows(terms(dialog)), (QStringList{QStringLiteral("gartenbau"), QStringLiteral("rosen garten")}));
        QVERIFY(field->text().isEmpty());

        // Enter adds too, and never starts the run.
        QTest::keyClicks(field, QStringLiteral("Übersicht"));
        QTest::keyClick(field, Qt::Key_Return);
        QVERIFY(dialog.isVisible());
        QCOMPARE(terms(dialog)->count(), 3);
        QCOMPARE(terms(dialog)->item(2)->text(), QStringLiteral("übersicht"));

        // The same term spelt otherwise is there already: it is only marked.
        field->setText(QStringLiteral("rosengarten"));
        QTest::mouseClick(named(dialog, "addTermButton"), Qt::LeftButton);
        field->setText(QStringLiteral("uebersicht"));
        QTest::mouseClick(named(dialog, "addTermButton"), Qt::LeftButton);
        QCOMPARE(terms(dialog)->count(), 3);
        QCOMPARE(terms(dialog)->currentRow(), 2);

        // Nothing before the hash, or blanks only: nothing to add.
        for (const QString &typed : {QStringLiteral("#abc"), QStringLiteral("   "), QString()}) {
            field->setText(typed);
            QTest::mouseClick(named(dialog, "addTermButton"), Qt::LeftButton);
        }
        QCOMPARE(terms(dialog)->count(), 3);
        QVERIFY(m_env->hooks().shown().empty());
    }

    void removingKeepsTheLastTerm()
    {
        PositionListDialog dialog = makeDialog({"eins", "zwei", "drei"});
        dialog.show();
        settle();
        QPushButton *remove = named(dialog, "removeTermButton");
        selectRows(terms(dialog), {QStringLiteral("zwei")});
        QTest::mouseClick(remove, Qt::LeftButton);
        QCOMPARE(rows(terms(dialog)), (QStringList{QStringLiteral("eins"), QStringLiteral("drei")}));
        QVERIFY(m_env->hooks().shown().empty());

        terms(dialog)->selectAll();
        QTest::mouseClick(remove, Qt::LeftButton);
        QCOMPARE(terms(dialog)->count(), 1);
        QCOMPARE(m_env->hooks().countKind(QStringLiteral("message")), 1);
        const ShownBox box = lastShown(QStringLiteral("message"));
        QCOMPARE(box.title, QStringLiteral("Leere Liste"));
        QCOMPARE(box.text, QStringLiteral("Die Liste darf nicht leer sein!"));
        QVERIFY(remove->isEnabled());
    }

    void enginesCanBeLeftOutButOneMustStay()
    {
        PositionListDialog dialog = makeDialog({"gartenbau"});
        dialog.show();
        settle();
        selectRows(engines(dialog), {QStringLiteral("Suchfix"), QStringLiteral("Leerlauf")});
        QTest::mouseClick(named(dialog, "removeEngineButton"), Qt::LeftButton);
        QCOMPARE(rows(engines(dialog)), QStringList{QStringLiteral("Spürnase")});
        // The terms stay as they were.
        QCOMPARE(terms(dialog)->count(), 1);

        engines(dialog)->selectAll();
        QTest::mouseClick(named(dialog, "removeEngineButton"), Qt::LeftButton);
        QCOMPARE(engines(dialog)->count(), 0);
        // Nobody to ask: no run.
        QTest::mouseClick(named(dialog, "startButton"), Qt::LeftButton);
        QVERIFY(dialog.isVisible());
        QCOMPARE(lastShown(QStringLiteral("message")).title, QStringLiteral("Leere Liste"));
        QVERIFY(dialog.engines().empty());
    }

    void startTakesBothListsInTheirOrder()
    {
        PositionListDialog dialog = makeDialog({"gartenbau", toCp1252(QStringLiteral("müller bau"))});
        dialog.show();
        settle();
        selectRows(engines(dialog), {QStringLiteral("Suchfix")});
        QTest::mouseClick(named(dialog, "removeEngineButton"), Qt::LeftButton);
        newTerm(dialog)->setText(QStringLiteral("rosen"));
        QTest::mouseClick(named(dialog, "addTermButton"), Qt::LeftButton);
        QTest::mouseClick(named(dialog, "startButton"), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.terms(),
                 cp1252({QStringLiteral("gartenbau"), QStringLiteral("müller bau"), QStringLiteral("rosen")}));
        QCOMPARE(dialog.engines(), cp1252({QStringLiteral("Spürnase"), QStringLiteral("Leerlauf")}));
    }

    void aSavedListComesBackWithTheWipe()
    {
        PositionListDialog dialog = makeDialog({"eins", toCp1252(QStringLiteral("zwei wörter")), "drei"});
        dialog.show();
        settle();
        QTest::mouseClick(named(dialog, "saveListButton"), Qt::LeftButton);
        const ShownBox saved = lastShown(QStringLiteral("message"));
        QCOMPARE(saved.title, QStringLiteral("Liste gespeichert"));
        QCOMPARE(saved.text, QStringLiteral("Die Liste der anzumeldenden Seiten wurde beim Projekt gespeichert. Sie "
                                            "können diese in Zukunft an dieser Stelle jederzeit laden."));
        QCOMPARE(positionterms::loadList(m_projectFile),
                 cp1252({QStringLiteral("eins"), QStringLiteral("zwei wörter"), QStringLiteral("drei")}));

        // Saving again replaces the stored list, it does not add to it.
        selectRows(terms(dialog), {QStringLiteral("drei")});
        QTest::mouseClick(named(dialog, "removeTermButton"), Qt::LeftButton);
        QTest::mouseClick(named(dialog, "saveListButton"), Qt::LeftButton);
        QCOMPARE(positionterms::loadList(m_projectFile), cp1252({QStringLiteral("eins"), QStringLiteral("zwei wörter")}));

        terms(dialog)->clear();
        terms(dialog)->addItem(QStringLiteral("anders"));
        // Watched while it loads: the list fills with empty lines first.
        int mostEmpty = 0;
        bool buttonsWereOff = false;
        QTimer watch;
        watch.setInterval(1);
        connect(&watch, &QTimer::timeout, &dialog, [&] {
            int empty = 0;
            for (int row = 0; row < terms(dialog)->count(); ++row)
                empty += terms(dialog)->item(row)->text().isEmpty() ? 1 : 0;
            mostEmpty = std::max(mostEmpty, empty);
            buttonsWereOff = buttonsWereOff || !named(dialog, "startButton")->isEnabled();
        });
        watch.start();
        QTest::mouseClick(named(dialog, "loadListButton"), Qt::LeftButton);
        watch.stop();
        QCOMPARE(rows(terms(dialog)), (QStringList{QStringLiteral("eins"), QStringLiteral("zwei wörter")}));
        QCOMPARE(mostEmpty, 14);
        QVERIFY(buttonsWereOff);
        QVERIFY(named(dialog, "startButton")->isEnabled());
    }

    void loadedTermsGoOutAsTheRunTakesThem()
    {
        // Edited by hand: capitals and a comment after '#'.
        QVERIFY(positionterms::saveList(m_projectFile, {"Gartenbau#Startseite", toCp1252(QStringLiteral("ÜBER UNS"))}));
        PositionListDialog dialog = makeDialog({"eins"});
        dialog.show();
        settle();
        QTest::mouseClick(named(dialog, "loadListButton"), Qt::LeftButton);
        QCOMPARE(rows(terms(dialog)), (QStringList{QStringLiteral("gartenbau"), QStringLiteral("über uns")}));
    }

private:
    PositionListDialog makeDialog(const std::vector<std::string> &terms)
    {
        return PositionListDialog(terms, {"Suchfix", toCp1252(QStringLiteral("Spürnase")), "Leerlauf"}, m_projectFile);
    }
    static QListWidget *terms(QWidget &dialog) { return findChildNamed<QListWidget>(&dialog, QStringLiteral("termList")); }
    static QListWidget *engines(QWidget &dialog)
    {
        return findChildNamed<QListWidget>(&dialog, QStringLiteral("engineList"));
    }
    static QLineEdit *newTerm(QWidget &dialog) { return findChildNamed<QLineEdit>(&dialog, QStringLiteral("newTermEdit")); }

    std::unique_ptr<GuiTestEnvironment> m_env;
    std::string m_projectFile;
};

QTEST_MAIN(PositionListDialogTest)
#include "PositionListDialogTest.moc"
