#include "GuiTestSupport.h"

#include "platform/Help.h"
#include "platform/SettingsStore.h"
#include "project/ConfigurationDialog.h"
#include "project/Guidelines.h"
#include "project/MainWindow.h"
#include "project/ProgramSettings.h"
#include "project/ProjectFile.h"
#include "project/ProjectOptions.h"
#include "project/ProjectRecord.h"
#include "ui/QtText.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QSet>
#include <QTest>
#include <QTextDocumentFragment>

#include <cmath>
#include <functional>
#include <memory>

using namespace vantor;
using namespace vantor::gui;
using namespace vantor::guitest;

namespace {

const QString kSignNoteTitle = QStringLiteral("Ändern der Sonderzeichen");

QCheckBox *box(ConfigurationDialog &dialog, const QString &name)
{
    auto *found = findChildNamed<QCheckBox>(&dialog, name);
    if (!found)
        qWarning("no check box %s", qPrintable(name));
    return found;
}

QRadioButton *radio(ConfigurationDialog &dialog, const QString &name)
{
    auto *found = findChildNamed<QRadioButton>(&dialog, name);
    if (!found)
        qWarning("no radio button %s", qPrintable(name));
    return found;
}

QRadioButton *signRadio(ConfigurationDialog &dialog, int set)
{
    return radio(dialog, QStringLiteral("signSet%1Radio").arg(set));
}

// The HP and ZK boxes of a row, as "--", "HP", "ZK" or "HP ZK".
QString shownRow(ConfigurationDialog &dialog, const QString &code)
{
    const bool homepage = box(dialog, code + QStringLiteral("Hp"))->isChecked();
    const bool copies = box(dialog, code + QStringLiteral("Zk"))->isChecked();
    if (homepage && copies)
        return QStringLiteral("HP ZK");
    if (homepage)
        return QStringLiteral("HP");
    return copies ? QStringLiteral("ZK") : QStringLiteral("--");
}

void click(ConfigurationDialog &dialog, const QString &name)
{
    QTest::mouseClick(findChildNamed<QPushButton>(&dialog, name), Qt::LeftButton);
}

// What the project file holds, read the way the next program start reads it.
ProjectOptions storedOptions()
{
    const ProjectOptions inMemory = projectOptions();
    projectOptions() = ProjectOptions{};
    const bool loaded = LoadProjectOptions(programSettings().currentProject);
    const ProjectOptions stored = projectOptions();
    projectOptions() = inMemory;
    if (!loaded)
        qWarning("the project file could not be read");
    return stored;
}

// A tool tip as the user reads it.
QString shownTip(const QWidget *widget) { return QTextDocumentFragment::fromHtml(widget->toolTip()).toPlainText(); }

// WCAG's contrast ratio of two colours, 1 to 21.
double contrast(const QColor &a, const QColor &b)
{
    const auto luminance = [](const QColor &colour) {
        const auto channel = [](double value) {
            return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) + 0.0722 * channel(colour.blueF());
    };
    const double first = luminance(a) + 0.05;
    const double second = luminance(b) + 0.05;
    return first > second ? first / second : second / first;
}

QString storedMakedirs()
{
    std::string value;
    if (!readSectionValue(readAll(standardProjectPath()).toStdString(), "homepage", "makedirs", value))
        return QStringLiteral("(none)");
    return QString::fromStdString(value);
}

const QString kModernText = QStringLiteral(
    "Alle Techniken, die die heutigen Richtlinien der Suchmaschinen als riskant oder wirkungslos einstufen, werden "
    "ausgeschaltet, die empfohlenen eingeschaltet. Vantor!! erstellt dann keine Kopien der Homepage und keine "
    "Zugangsseiten mehr.\n\nMit \"Zurücksetzen auf Standard\" kehren Sie jederzeit zur Standard-Konfiguration "
    "zurück; die Zugangsseiten schalten Sie im Wizard wieder ein.");

} // namespace

class ConfigurationDialogTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_env = std::make_unique<GuiTestEnvironment>();
        projectOptions() = ProjectOptions{};
        programSettings().userLevel = 1;
    }
    void cleanup()
    {
        projectOptions() = ProjectOptions{};
        m_env.reset();
    }

    void showsTheGroupsWithTheirRows()
    {
        store();
        ConfigurationDialog dialog;
        dialog.show();
        settle();
        saveScreenshot(&dialog);

        QStringList groups;
        for (QGroupBox *group : dialog.findChildren<QGroupBox *>())
            if (!group->title().isEmpty())
                groups << group->title();
        QCOMPARE(groups, (QStringList{QStringLiteral("Header-Informationen"), QStringLiteral("Standard META-Daten"),
                                      QStringLiteral("Techniken")}));
        // Every row of the table has its label in its own group, two boxes
        // or, for the copy switches, one.
        for (const configuration::Row &row : configuration::rows()) {
            const QString code = QString::fromLatin1(row.code);
            QCheckBox *first = row.single ? box(dialog, code + QStringLiteral("Box"))
                                          : box(dialog, code + QStringLiteral("Hp"));
            QVERIFY2(first, row.code);
            QCOMPARE(bool(findChildNamed<QCheckBox>(&dialog, code + QStringLiteral("Zk"))), !row.single);
            auto *group = qobject_cast<QGroupBox *>(first->parentWidget());
            QVERIFY(group);
            bool labelled = false;
            for (QLabel *label : group->findChildren<QLabel *>())
                labelled = labelled || (label->text() == QString::fromLatin1(row.label) && label->buddy() == first);
            QVERIFY2(labelled, row.label);
        }
        QCOMPARE(findChildNamed<QLabel>(&dialog, QStringLiteral("legendLabel"))->text(),
                 QStringLiteral("HP: Homepage\nZK: Zugangsseiten und Kopien"));
        QCOMPARE(findChildNamed<QLabel>(&dialog, QStringLiteral("resetCaption"))->text(),
                 QStringLiteral("Alle Einstellungen auf empfohlene Standardwerte zurücksetzen."));
        QCOMPARE(findChildNamed<QLabel>(&dialog, QStringLiteral("internetAccessCaption"))->text(),
                 QStringLiteral("Hier konfigurieren Sie Ihren Internet-Zugang."));
        QCOMPARE(findChildNamed<QLabel>(&dialog, QStringLiteral("userLevelText"))->text(),
                 QStringLiteral("Anpassung an den Benutzer: Sind Sie mit dem Erstellen von Internet- Dokumenten "
                                "vertraut, wählen Sie bitte \"Entwickler\", ansonsten \"Anwender\"."));
        QCOMPARE(signRadio(dialog, 1)->text(), QStringLiteral("Alternativ 1 (-+=)"));
        QCOMPARE(findChildNamed<QLabel>(&dialog, QStringLiteral("modernCaption"))->text(),
                 QStringLiteral("Nur noch empfohlene Techniken, ohne Kopien und Zugangsseiten."));
        for (const QString &text : {QStringLiteral("Zurücksetzen auf Standard"), QStringLiteral("Zeitgemäß"),
                                    QStringLiteral("Internet Zugang"), QStringLiteral("Hilfe"), QStringLiteral("OK"),
                                    QStringLiteral("Cancel")})
            QVERIFY2(findButton(&dialog, text), qPrintable(text));
        QVERIFY(findButton(&dialog, QStringLiteral("OK"))->isDefault());
        // Room for it on a 1024x768 screen, title bar and task bar included.
        QVERIFY2(dialog.width() <= 1000 && dialog.height() <= 700,
                 qPrintable(QStringLiteral("%1x%2").arg(dialog.width()).arg(dialog.height())));
    }

    void everyRowShowsItsMarkWithTheReason()
    {
        store();
        ConfigurationDialog dialog;
        dialog.show();
        settle();
        const QColor background = dialog.palette().color(QPalette::Window);
        QSet<QRgb> colours;
        for (const configuration::Row &row : configuration::rows()) {
            const QString code = QString::fromLatin1(row.code);
            const guidelines::Technique *technique = guidelines::find(row.code);
            QVERIFY2(technique, row.code);
            auto *mark = findChildNamed<QLabel>(&dialog, code + QStringLiteral("Mark"));
            QVERIFY2(mark, row.code);
            QCOMPARE(mark->text(), QString::fromLatin1(guidelines::markText(technique->mark)));
            QVERIFY2(mark->isVisible(), row.code);
            const QString reason = fromCp1252(guidelines::reason(*technique));
            QCOMPARE(shownTip(mark), reason);
            // Beside the row's boxes, in its group.
            QCheckBox *first = row.single ? box(dialog, code + QStringLiteral("Box"))
                                          : box(dialog, code + QStringLiteral("Hp"));
            QCOMPARE(mark->parentWidget(), first->parentWidget());
            QVERIFY2(qAbs(mark->geometry().center().y() - first->geometry().center().y()) <= 3, row.code);
            QCheckBox *last = box(dialog, code + (row.single ? QStringLiteral("Box") : QStringLiteral("Zk")));
            QVERIFY2(mark->geometry().left() > last->geometry().right(), row.code);
            QVERIFY2(mark->width() >= mark->sizeHint().width(), row.code);
            // The reason on the row's label and on each box as well.
            QCOMPARE(shownTip(first), reason);
            if (!row.single)
                QCOMPARE(shownTip(box(dialog, code + QStringLiteral("Zk"))), reason);
            for (QLabel *label : first->parentWidget()->findChildren<QLabel *>())
                if (label->buddy() == first)
                    QCOMPARE(shownTip(label), reason);
            const QColor colour = mark->palette().color(QPalette::WindowText);
            QVERIFY2(contrast(colour, background) >= 4.5, row.code);
            colours.insert(colour.rgb());
        }
        // Three marks, three colours.
        QCOMPARE(colours.size(), 3);
        QCOMPARE(findChildNamed<QLabel>(&dialog, QStringLiteral("canoMark"))->text(), QStringLiteral("empfohlen"));
        QCOMPARE(findChildNamed<QLabel>(&dialog, QStringLiteral("keywMark"))->text(), QStringLiteral("wirkungslos"));
        QCOMPARE(findChildNamed<QLabel>(&dialog, QStringLiteral("textMark"))->text(), QStringLiteral("riskant"));
        // A reason naming an element keeps its angle brackets in the tip.
        const QString langTip = shownTip(findChildNamed<QLabel>(&dialog, QStringLiteral("langMark")));
        QVERIFY2(langTip.contains(QStringLiteral("<html>")), qPrintable(langTip));

        auto *legend = findChildNamed<QLabel>(&dialog, QStringLiteral("guidelinesLegend"));
        QVERIFY(legend);
        const QString legendText = QTextDocumentFragment::fromHtml(legend->text()).toPlainText();
        QVERIFY2(legendText.startsWith(QStringLiteral("Bewertung nach den heutigen Richtlinien von Google und Bing")),
                 qPrintable(legendText));
        Q_EMIT legend->linkActivated(QStringLiteral("guidelines"));
        QCOMPARE(m_env->helpTopics, std::vector<int>{help::kGuidelines});
    }

    void newHeaderRowsAreStoredLikeTheOthers()
    {
        store([] { projectOptions().view = 1; });
        ConfigurationDialog dialog;
        dialog.show();
        QCOMPARE(shownRow(dialog, QStringLiteral("view")), QStringLiteral("HP"));
        QCOMPARE(shownRow(dialog, QStringLiteral("cano")), QStringLiteral("--"));
        auto *header = qobject_cast<QGroupBox *>(box(dialog, QStringLiteral("ogtgZk"))->parentWidget());
        QCOMPARE(header->title(), QStringLiteral("Header-Informationen"));
        clickIndicator(box(dialog, QStringLiteral("canoHp")));
        clickIndicator(box(dialog, QStringLiteral("ogtgZk")));
        clickIndicator(box(dialog, QStringLiteral("viewHp")));
        QTest::mouseClick(findButton(&dialog, QStringLiteral("OK")), Qt::LeftButton);
        const ProjectOptions stored = storedOptions();
        QCOMPARE(stored.cano, 1);
        QCOMPARE(stored.ogtg, 2);
        QCOMPARE(stored.view, 0);
        QCOMPARE(stored.lang, 0);
    }

    void modernAsksThenSwitchesAndSavesAtOnce()
    {
        store([] {
            projectOptions().sonz = 2;
            projectOptions().auth = 3;
        });
        QCOMPARE(storedMakedirs(), QStringLiteral("1"));
        ConfigurationDialog dialog;
        dialog.show();
        auto *modern = findChildNamed<QPushButton>(&dialog, QStringLiteral("modernButton"));
        QVERIFY(modern);
        QCOMPARE(modern->text(), QStringLiteral("Zeitgemäß"));
        QCOMPARE(modern->toolTip(), QStringLiteral("Riskante und wirkungslose Techniken aus-, empfohlene einschalten; "
                                                   "keine Kopien und keine Zugangsseiten."));
        clickIndicator(radio(dialog, QStringLiteral("developerRadio")));
        m_env->hooks().pushQuestionAnswer(true);
        click(dialog, QStringLiteral("modernButton"));

        const ShownBox question = lastShown(QStringLiteral("question"));
        QCOMPARE(question.title, QStringLiteral("Zeitgemäß"));
        QCOMPARE(question.text, kModernText);
        QCOMPARE(m_env->hooks().shown().size(), std::size_t(1));
        // Every box follows its mark.
        for (const configuration::Row &row : configuration::rows()) {
            const QString code = QString::fromLatin1(row.code);
            const bool on = guidelines::find(row.code)->mark == guidelines::Mark::Recommended;
            if (row.single)
                QCOMPARE(box(dialog, code + QStringLiteral("Box"))->isChecked(), on);
            else
                QCOMPARE(shownRow(dialog, code), on ? QStringLiteral("HP ZK") : QStringLiteral("--"));
        }
        // Saved before OK, the copies and the doorway pages with it.
        const ProjectOptions stored = storedOptions();
        QCOMPARE(stored.cano, 3);
        QCOMPARE(stored.ogtg, 3);
        QCOMPARE(stored.titl, 3);
        QCOMPARE(stored.auth, 0);
        QCOMPARE(stored.keyw, 0);
        QCOMPARE(stored.vcop, 0);
        QCOMPARE(stored.vlin, 0);
        QCOMPARE(stored.komm, 0);
        QCOMPARE(stored.sonz, 2);
        QCOMPARE(storedMakedirs(), QStringLiteral("0"));
        QCOMPARE(projectOptions().hiddenForm, 0);
        // The sign set and the user level the dialog shows stay.
        QVERIFY(signRadio(dialog, 2)->isChecked());
        QVERIFY(radio(dialog, QStringLiteral("developerRadio"))->isChecked());

        // Cancel does not take it back; the standard does.
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Cancel")), Qt::LeftButton);
        QCOMPARE(storedOptions().cano, 3);
        ConfigurationDialog again;
        again.show();
        QCOMPARE(shownRow(again, QStringLiteral("keyw")), QStringLiteral("--"));
        click(again, QStringLiteral("resetButton"));
        QCOMPARE(shownRow(again, QStringLiteral("keyw")), QStringLiteral("HP ZK"));
        QCOMPARE(shownRow(again, QStringLiteral("cano")), QStringLiteral("--"));
        QCOMPARE(storedOptions().vcop, 3);
    }

    void modernCancelledChangesNothing()
    {
        store([] { projectOptions().text = 3; });
        const QByteArray before = readAll(standardProjectPath());
        ConfigurationDialog dialog;
        dialog.show();
        clickIndicator(box(dialog, QStringLiteral("descHp")));
        m_env->hooks().pushQuestionAnswer(false);
        click(dialog, QStringLiteral("modernButton"));

        QCOMPARE(lastShown(QStringLiteral("question")).title, QStringLiteral("Zeitgemäß"));
        QCOMPARE(readAll(standardProjectPath()), before);
        QCOMPARE(shownRow(dialog, QStringLiteral("text")), QStringLiteral("HP ZK"));
        QCOMPARE(shownRow(dialog, QStringLiteral("cano")), QStringLiteral("--"));
        // A change not yet confirmed is still shown.
        QCOMPARE(shownRow(dialog, QStringLiteral("desc")), QStringLiteral("ZK"));
        QCOMPARE(projectOptions().vcop, 3);
    }

    void modernThatCannotBeSavedKeepsTheBoxes()
    {
        store();
        ConfigurationDialog dialog;
        dialog.show();
        QVERIFY(QFile::remove(standardProjectPath()));
        QVERIFY(QDir().mkdir(standardProjectPath()));
        m_env->hooks().pushQuestionAnswer(true);
        click(dialog, QStringLiteral("modernButton"));
        QCOMPARE(lastShown(QStringLiteral("message")).title, QStringLiteral("Fehler beim Schreiben der Daten"));
        QCOMPARE(shownRow(dialog, QStringLiteral("keyw")), QStringLiteral("HP ZK"));
        QCOMPARE(shownRow(dialog, QStringLiteral("cano")), QStringLiteral("--"));
        QCOMPARE(projectOptions().keyw, 3);
        QCOMPARE(projectRecord().makedirs, 1);
        QVERIFY(QDir().rmdir(standardProjectPath()));
    }

    void opensWithTheFileNotWithMemory()
    {
        store([] {
            projectOptions().link = 2;
            projectOptions().auth = 1;
            projectOptions().tico = 1;
            projectOptions().sonz = 3;
        });
        projectOptions() = ProjectOptions{};
        programSettings().userLevel = 2;
        ConfigurationDialog dialog;
        dialog.show();

        QCOMPARE(shownRow(dialog, QStringLiteral("link")), QStringLiteral("ZK"));
        QCOMPARE(shownRow(dialog, QStringLiteral("auth")), QStringLiteral("HP"));
        QCOMPARE(shownRow(dialog, QStringLiteral("titl")), QStringLiteral("HP ZK"));
        QCOMPARE(shownRow(dialog, QStringLiteral("text")), QStringLiteral("--"));
        QVERIFY(box(dialog, QStringLiteral("ticoBox"))->isChecked());
        QVERIFY(!box(dialog, QStringLiteral("decoBox"))->isChecked());
        QVERIFY(signRadio(dialog, 3)->isChecked());
        QVERIFY(radio(dialog, QStringLiteral("developerRadio"))->isChecked());
        QVERIFY(m_env->hooks().shown().empty());

        // Unchanged, OK writes back what it read.
        QTest::mouseClick(findButton(&dialog, QStringLiteral("OK")), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const ProjectOptions stored = storedOptions();
        QCOMPARE(stored.link, 2);
        QCOMPARE(stored.auth, 1);
        QCOMPARE(stored.tico, 1);
        QCOMPARE(stored.sonz, 3);
        QVERIFY(m_env->hooks().shown().empty());
    }

    void okWritesTheBoxesAndKeepsWhatTheDialogDoesNotShow()
    {
        store([] {
            projectOptions().expi = 5;
            projectOptions().door = 4;
            projectOptions().vcop = 1;
        });
        ConfigurationDialog dialog;
        dialog.show();
        clickIndicator(box(dialog, QStringLiteral("titlHp")));
        clickIndicator(box(dialog, QStringLiteral("authZk")));
        clickIndicator(box(dialog, QStringLiteral("buchHp")));
        clickIndicator(box(dialog, QStringLiteral("decoBox")));
        clickIndicator(box(dialog, QStringLiteral("nofrHp")));
        clickIndicator(box(dialog, QStringLiteral("nofrZk")));
        clickIndicator(radio(dialog, QStringLiteral("developerRadio")));
        QTest::mouseClick(findButton(&dialog, QStringLiteral("OK")), Qt::LeftButton);

        QVERIFY(!dialog.isVisible());
        const ProjectOptions stored = storedOptions();
        QCOMPARE(stored.titl, 2);
        QCOMPARE(stored.auth, 2);
        QCOMPARE(stored.buch, 1);
        QCOMPARE(stored.deco, 1);
        QCOMPARE(stored.nofr, 0);
        QCOMPARE(stored.desc, 3);
        // Codes without a row survive the dialog unchanged.
        QCOMPARE(stored.expi, 5);
        QCOMPARE(stored.door, 4);
        QCOMPARE(stored.vcop, 1);
        // In memory at once, for the next run of this session.
        QCOMPARE(projectOptions().titl, 2);
        QCOMPARE(programSettings().userLevel, 2);
        QCOMPARE(settingsStore().readNumber("usertype").value_or(0), 2u);
    }

    void cancelDiscardsEverything()
    {
        store();
        ConfigurationDialog dialog;
        dialog.show();
        clickIndicator(box(dialog, QStringLiteral("titlHp")));
        clickIndicator(signRadio(dialog, 2));
        clickIndicator(radio(dialog, QStringLiteral("developerRadio")));
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Cancel")), Qt::LeftButton);

        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(storedOptions().titl, 3);
        QCOMPARE(storedOptions().sonz, 0);
        QCOMPARE(projectOptions().titl, 3);
        QCOMPARE(programSettings().userLevel, 1);
        QVERIFY(!settingsStore().hasValue("usertype"));
    }

    void unknownSignSetShowsNoRadioAndOkWritesStandard()
    {
        store([] { projectOptions().sonz = 7; });
        ConfigurationDialog dialog;
        dialog.show();
        for (int set = 0; set < 4; ++set)
            QVERIFY(!signRadio(dialog, set)->isChecked());
        QTest::mouseClick(findButton(&dialog, QStringLiteral("OK")), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(storedOptions().sonz, 0);
        QVERIFY(!m_env->hooks().showedTitle(kSignNoteTitle));
    }

    void signNoteOnlyForASetOtherThanTheStoredOne()
    {
        store([] { projectOptions().sonz = 2; });
        ConfigurationDialog dialog;
        dialog.show();
        QVERIFY(signRadio(dialog, 2)->isChecked());

        clickIndicator(signRadio(dialog, 2));
        QVERIFY(m_env->hooks().shown().empty());

        clickIndicator(signRadio(dialog, 0));
        QVERIFY(signRadio(dialog, 0)->isChecked());
        QCOMPARE(m_env->hooks().shown().size(), std::size_t(1));
        const ShownBox note = lastShown(QStringLiteral("message"));
        QCOMPARE(note.title, kSignNoteTitle);
        QCOMPARE(note.text,
                 QStringLiteral("Beachten Sie bitte: Beim Ändern der Sonderzeichen müssen Sie die Dokumente, die "
                                "bereits mit anderen Sonderzeichen von Vantor!! erzeugt wurden, von Hand im "
                                "entsprechenden Verzeichnis löschen!\nDie automatische Anmeldung arbeitet ebenfalls "
                                "nur mit den neuen Sonderzeichen. Optimieren Sie also zuerst, bevor Sie bei den "
                                "Suchmaschinen anmelden!"));

        // Back to the stored set: nothing to warn about.
        clickIndicator(signRadio(dialog, 2));
        QCOMPARE(m_env->hooks().shown().size(), std::size_t(1));
        // Another set again, this time by keyboard.
        dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        signRadio(dialog, 2)->setFocus();
        QTest::keyClick(signRadio(dialog, 2), Qt::Key_Down);
        QVERIFY(signRadio(dialog, 3)->isChecked());
        QCOMPARE(m_env->hooks().shown().size(), std::size_t(2));

        // The choice takes effect with OK only.
        QCOMPARE(storedOptions().sonz, 2);
        QTest::mouseClick(findButton(&dialog, QStringLiteral("OK")), Qt::LeftButton);
        QCOMPARE(storedOptions().sonz, 3);
    }

    void resetIsSavedAtOnceAndCancelKeepsIt()
    {
        store([] {
            projectOptions().auth = 3;
            projectOptions().titl = 0;
            projectOptions().door = 5;
            projectOptions().sonz = 2;
            projectOptions().tico = 1;
            projectOptions().text = 3;
        });
        programSettings().userLevel = 2;
        ConfigurationDialog dialog;
        dialog.show();
        clickIndicator(box(dialog, QStringLiteral("descHp")));
        clickIndicator(radio(dialog, QStringLiteral("userRadio")));
        click(dialog, QStringLiteral("resetButton"));

        // Saved before anything else is confirmed.
        ProjectOptions stored = storedOptions();
        QCOMPARE(stored.auth, 0);
        QCOMPARE(stored.titl, 3);
        QCOMPARE(stored.door, 1);
        QCOMPARE(stored.sonz, 0);
        QCOMPARE(stored.tico, 0);
        QCOMPARE(stored.desc, 3);
        // The boxes show the standard again ...
        QCOMPARE(shownRow(dialog, QStringLiteral("auth")), QStringLiteral("--"));
        QCOMPARE(shownRow(dialog, QStringLiteral("titl")), QStringLiteral("HP ZK"));
        QCOMPARE(shownRow(dialog, QStringLiteral("desc")), QStringLiteral("HP ZK"));
        QCOMPARE(shownRow(dialog, QStringLiteral("text")), QStringLiteral("--"));
        QCOMPARE(shownRow(dialog, QStringLiteral("hiddenForm")), QStringLiteral("ZK"));
        QVERIFY(!box(dialog, QStringLiteral("ticoBox"))->isChecked());
        QVERIFY(signRadio(dialog, 0)->isChecked());
        // ... but the user level is not one of the project's settings.
        QVERIFY(radio(dialog, QStringLiteral("userRadio"))->isChecked());
        QVERIFY(!settingsStore().hasValue("usertype"));
        QVERIFY(m_env->hooks().shown().empty());

        // The reset stored sonz 0: choosing it now is no change.
        clickIndicator(signRadio(dialog, 1));
        clickIndicator(signRadio(dialog, 0));
        QCOMPARE(m_env->hooks().shown().size(), std::size_t(1));

        QTest::mouseClick(findButton(&dialog, QStringLiteral("Cancel")), Qt::LeftButton);
        stored = storedOptions();
        QCOMPARE(stored.auth, 0);
        QCOMPARE(stored.titl, 3);
        QCOMPARE(stored.door, 1);
        QCOMPARE(stored.sonz, 0);
        QCOMPARE(programSettings().userLevel, 2);
    }

    void hiddenFormLastsForTheSessionOnly()
    {
        store();
        {
            ConfigurationDialog dialog;
            dialog.show();
            QVERIFY(!box(dialog, QStringLiteral("hiddenFormHp"))->isChecked());
            QVERIFY(box(dialog, QStringLiteral("hiddenFormZk"))->isChecked());
            clickIndicator(box(dialog, QStringLiteral("hiddenFormHp")));
            clickIndicator(box(dialog, QStringLiteral("hiddenFormZk")));
            QTest::mouseClick(findButton(&dialog, QStringLiteral("OK")), Qt::LeftButton);
            QVERIFY(!dialog.isVisible());
        }
        QCOMPARE(projectOptions().hiddenForm, 1);
        QVERIFY(!readAll(standardProjectPath()).contains("hiddenForm"));
        {
            // Still HP only when the dialog opens again in this session.
            ConfigurationDialog dialog;
            QVERIFY(box(dialog, QStringLiteral("hiddenFormHp"))->isChecked());
            QVERIFY(!box(dialog, QStringLiteral("hiddenFormZk"))->isChecked());
        }
        // The next start begins with the record's standard and the file.
        projectOptions() = ProjectOptions{};
        ConfigurationDialog dialog;
        QVERIFY(!box(dialog, QStringLiteral("hiddenFormHp"))->isChecked());
        QVERIFY(box(dialog, QStringLiteral("hiddenFormZk"))->isChecked());
        QCOMPARE(projectOptions().hiddenForm, 2);
    }

    void writeFailureKeepsTheDialogOpen()
    {
        store();
        ConfigurationDialog dialog;
        dialog.show();
        clickIndicator(box(dialog, QStringLiteral("titlHp")));
        // A directory in the file's place stands for a file that cannot be
        // written, whoever runs the tests.
        QVERIFY(QFile::remove(standardProjectPath()));
        QVERIFY(QDir().mkdir(standardProjectPath()));

        QTest::mouseClick(findButton(&dialog, QStringLiteral("OK")), Qt::LeftButton);
        QVERIFY(dialog.isVisible());
        const ShownBox failure = lastShown(QStringLiteral("message"));
        QCOMPARE(failure.title, QStringLiteral("Fehler beim Schreiben der Daten"));
        QCOMPARE(failure.text, QStringLiteral("Die Daten konnten nicht in die Konfigurationsdatei \"default.qx!\" "
                                              "geschrieben werden. Möglicherweise existiert diese Datei nicht oder "
                                              "wird gerade von einem anderen Programm benutzt."));

        // A reset that cannot be saved leaves the boxes as they were.
        m_env->hooks().clearShown();
        click(dialog, QStringLiteral("resetButton"));
        QCOMPARE(lastShown(QStringLiteral("message")).title, QStringLiteral("Fehler beim Schreiben der Daten"));
        QVERIFY(!box(dialog, QStringLiteral("titlHp"))->isChecked());
        QVERIFY(dialog.isVisible());

        // Once the file can be written again, OK saves what is shown.
        QVERIFY(QDir().rmdir(standardProjectPath()));
        QTest::mouseClick(findButton(&dialog, QStringLiteral("OK")), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(storedOptions().titl, 2);
    }

    void readFailureShowsTheMessageAndTheValuesInMemory()
    {
        projectOptions().keyw = 1;
        projectOptions().sonz = 1;
        ConfigurationDialog dialog;
        dialog.show();
        const ShownBox failure = lastShown(QStringLiteral("message"));
        QCOMPARE(failure.title, QStringLiteral("Fehler beim Lesen der Daten"));
        QCOMPARE(failure.text, QStringLiteral("Die Daten konnten nicht aus der Konfigurationsdatei \"default.qx!\" "
                                              "gelesen werden. Möglicherweise existiert diese Datei nicht oder "
                                              "wurde manipuliert."));
        QVERIFY(box(dialog, QStringLiteral("keywHp"))->isChecked());
        QVERIFY(!box(dialog, QStringLiteral("keywZk"))->isChecked());
        QVERIFY(signRadio(dialog, 1)->isChecked());

        QTest::mouseClick(findButton(&dialog, QStringLiteral("OK")), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(storedOptions().keyw, 1);
        QCOMPARE(storedOptions().sonz, 1);
    }

    void helpDetailsAndInternetAccess()
    {
        store();
        ConfigurationDialog dialog;
        dialog.show();
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Hilfe")), Qt::LeftButton);
        QTest::keyClick(box(dialog, QStringLiteral("robo" "Zk")), Qt::Key_F1);
        click(dialog, QStringLiteral("headerDetailsButton"));
        click(dialog, QStringLiteral("metaDetailsButton"));
        click(dialog, QStringLiteral("techniquesDetailsButton"));
        QCOMPARE(m_env->helpTopics, (std::vector<int>{help::kConfiguration, help::kConfiguration, help::kConfigHeader,
                                                      help::kConfigMeta, help::kConfigTechniques}));

        DialogWalk walk;
        closeNextDialogs(1, walk);
        click(dialog, QStringLiteral("internetAccessButton"));
        QCOMPARE(walk.names, std::vector<QString>{QStringLiteral("internetAccessDialog")});
        QVERIFY(dialog.isVisible());
        QVERIFY(m_env->hooks().shown().empty());
    }

    void mainWindowOpensItWithKonfig()
    {
        store([] { projectOptions().gene = 3; });
        MainWindow window;
        window.show();
        DialogWalk walk;
        bool generatorShown = false;
        closeNextDialogs(1, walk, [&](QWidget *shown) {
            if (auto *dialog = qobject_cast<ConfigurationDialog *>(shown))
                generatorShown = box(*dialog, QStringLiteral("geneHp"))->isChecked();
        });
        QTest::mouseClick(findButton(&window, QStringLiteral("Konfig")), Qt::LeftButton);
        QCOMPARE(walk.names, std::vector<QString>{QStringLiteral("configurationDialog")});
        QVERIFY(generatorShown);
        QVERIFY(window.isVisible());
    }

private:
    void store(const std::function<void()> &fill = {})
    {
        storeStandardProject(m_env->path() + QStringLiteral("/site/index.htm"), fill);
    }

    std::unique_ptr<GuiTestEnvironment> m_env;
};

QTEST_MAIN(ConfigurationDialogTest)
#include "ConfigurationDialogTest.moc"
