#include "GuiTestSupport.h"

#include "platform/Help.h"
#include "platform/Profile.h"
#include "platform/SettingsStore.h"
#include "project/MainWindow.h"
#include "project/NewProjectOptionsDialog.h"
#include "project/ProgramSettings.h"
#include "project/ProjectFile.h"
#include "project/ProjectManager.h"
#include "project/ProjectManagerDialog.h"
#include "project/ProjectRecord.h"
#include "ui/QtText.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QRadioButton>
#include <QTest>

#include <memory>

using namespace vantor;
using namespace vantor::gui;
using namespace vantor::guitest;

namespace {

struct Widgets {
    QListWidget *list;
    QLabel *current;
    QLineEdit *company;
    QLineEdit *contact;
    QLineEdit *tel;
    QLineEdit *mail;
    QLineEdit *lastOptimized;
    QLineEdit *newName;
    QProgressBar *progress;
    QLabel *status;
};

Widgets widgetsOf(QWidget *dialog)
{
    return { findChildNamed<QListWidget>(dialog, QStringLiteral("projectList")),
        findChildNamed<QLabel>(dialog, QStringLiteral("currentProjectLabel")),
        findChildNamed<QLineEdit>(dialog, QStringLiteral("companyEdit")),
        findChildNamed<QLineEdit>(dialog, QStringLiteral("contactEdit")),
        findChildNamed<QLineEdit>(dialog, QStringLiteral("telEdit")),
        findChildNamed<QLineEdit>(dialog, QStringLiteral("mailEdit")),
        findChildNamed<QLineEdit>(dialog, QStringLiteral("lastOptimizedEdit")),
        findChildNamed<QLineEdit>(dialog, QStringLiteral("newNameEdit")),
        findChildNamed<QProgressBar>(dialog, QStringLiteral("progressBar")),
        findChildNamed<QLabel>(dialog, QStringLiteral("statusLine")) };
}

QStringList shownEntries(QListWidget *list)
{
    QStringList entries;
    for (int i = 0; i < list->count(); ++i)
        entries << list->item(i)->text();
    return entries;
}

void select(QListWidget *list, const QString &entry)
{
    const QList<QListWidgetItem *> found = list->findItems(entry, Qt::MatchExactly);
    QCOMPARE(found.size(), 1);
    list->setCurrentItem(found.front());
}

void click(QWidget *dialog, const QString &text)
{
    QPushButton *button = findButton(dialog, text);
    QVERIFY2(button, qPrintable(text));
    QTest::mouseClick(button, Qt::LeftButton);
}

QString projectPath(const QString &name)
{
    return fromCp1252(projectFilePath(toCp1252(name)));
}

std::string infoValue(const QString &project, const char *key)
{
    return profile::readString(toCp1252(projectPath(project)), "project", key, "", 259);
}

// A project as the program leaves one: its file from the shipped template
// and its key in the settings.
void addProject(const QString &name, const QString &company = QString())
{
    QVERIFY(QFile::copy(QStringLiteral(VANTOR_SOURCE_DATA_DIR "/projects/project.qx!"), projectPath(name)));
    QFile(projectPath(name)).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QVERIFY(settingsStore().createSubkey(toCp1252(name)));
    if (!company.isEmpty())
        QVERIFY(profile::writeString(toCp1252(projectPath(name)), "project", "company", toCp1252(company)));
}

void makeCurrent(const QString &name)
{
    programSettings().currentProject = toCp1252(name);
    QVERIFY(LoadProjectData(programSettings().currentProject));
    QVERIFY(LoadProjectOptions(programSettings().currentProject));
}

} // namespace

class ProjectManagerDialogTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_env = std::make_unique<GuiTestEnvironment>();
        const QString projects = fromCp1252(projectDirectory());
        QVERIFY(QFile::copy(
            QStringLiteral(VANTOR_SOURCE_DATA_DIR "/projects/project.qx!"), projects + QStringLiteral("/project.qx!")));
        QVERIFY(QFile::copy(
            QStringLiteral(VANTOR_SOURCE_DATA_DIR "/projects/project.qx!"), projects + QStringLiteral("/default.qx!")));
        QFile(projects + QStringLiteral("/default.qx!"))
            .setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        makeCurrent(QStringLiteral("default"));
        m_loads = 0;
        projects::setProjectLoadedHandler([this]() { ++m_loads; });
    }
    void cleanup()
    {
        projects::setProjectLoadedHandler(nullptr);
        m_env.reset();
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    void showsTheProjectsAndTheCurrentInformation()
    {
        addProject(QStringLiteral("Zeta"));
        addProject(QStringLiteral("alpha"), QStringLiteral("Alpha GmbH"));
        addProject(QStringLiteral("Mitte"));
        // Neither a key called default nor one too long for a name is a project.
        QVERIFY(settingsStore().createSubkey("default"));
        QVERIFY(settingsStore().createSubkey(std::string(31, 'x')));
        const std::string file = toCp1252(projectPath(QStringLiteral("default")));
        QVERIFY(profile::writeString(file, "project", "company", toCp1252(QStringLiteral("Gärtnerei Lindenfeld"))));
        QVERIFY(profile::writeString(file, "project", "name", "Erika Muster"));
        QVERIFY(profile::writeString(file, "project", "lastoptimized", "12.03.2024 10:15"));

        ProjectManagerDialog dialog;
        dialog.show();
        settle();
        const Widgets w = widgetsOf(&dialog);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Projekte"));
        for (const QString &text :
            { QStringLiteral("Projekt öffnen"), QStringLiteral("Projekt löschen"), QStringLiteral("Speichern"),
                QStringLiteral("Neues Projekt erstellen"), QStringLiteral("Hilfe"), QStringLiteral("Cancel") })
            QVERIFY2(findButton(&dialog, text), qPrintable(text));
        QStringList labels;
        for (QLabel *label : dialog.findChildren<QLabel *>())
            labels << label->text();
        for (const QString &text : { QStringLiteral("Vorhandene Projekte:"), QStringLiteral("Aktuelles Projekt:"),
                 QStringLiteral("Firma:"), QStringLiteral("Kontaktperson:"), QStringLiteral("Telefonnummer:"),
                 QStringLiteral("Email:"), QStringLiteral("letzte Optimierung am:"), QStringLiteral("Projektname:") })
            QVERIFY2(labels.contains(text), qPrintable(text));

        QCOMPARE(shownEntries(w.list),
            (QStringList { QStringLiteral("alpha"), QStringLiteral("Mitte"), QStringLiteral("Standardprojekt"),
                QStringLiteral("Zeta") }));
        QCOMPARE(w.list->selectedItems().size(), 1);
        QCOMPARE(w.list->selectedItems().front()->text(), QStringLiteral("Standardprojekt"));
        QCOMPARE(w.current->text(), QStringLiteral("Standardprojekt"));
        QCOMPARE(w.company->text(), QStringLiteral("Gärtnerei Lindenfeld"));
        QCOMPARE(w.contact->text(), QStringLiteral("Erika Muster"));
        QCOMPARE(w.lastOptimized->text(), QStringLiteral("12.03.2024 10:15"));
        QVERIFY(w.lastOptimized->isReadOnly());
        QVERIFY(!w.company->isReadOnly());
        for (QLineEdit *field : { w.company, w.contact, w.tel, w.mail, w.newName })
            QCOMPARE(field->maxLength(), 259);
        QCOMPARE(w.progress->minimum(), 0);
        QCOMPARE(w.progress->maximum(), 100);
        QCOMPARE(w.progress->value(), 0);
        QVERIFY(w.status->text().isEmpty());

        // Choosing an entry shows that project's information.
        select(w.list, QStringLiteral("alpha"));
        QCOMPARE(w.company->text(), QStringLiteral("Alpha GmbH"));
        QVERIFY(w.contact->text().isEmpty());
        QVERIFY(w.lastOptimized->text().isEmpty());
        select(w.list, QStringLiteral("Standardprojekt"));
        QCOMPARE(w.company->text(), QStringLiteral("Gärtnerei Lindenfeld"));
        saveScreenshot(&dialog);

        click(&dialog, QStringLiteral("Hilfe"));
        QTest::keyClick(w.list, Qt::Key_F1);
        QCOMPARE(m_env->helpTopics, (std::vector<int> { help::kProjects, help::kProjects }));
    }

    void refusedNamesCreateNothing()
    {
        addProject(QStringLiteral("SHOP"));
        ProjectManagerDialog dialog;
        dialog.show();
        settle();
        const Widgets w = widgetsOf(&dialog);
        const QStringList before = shownEntries(w.list);
        int optionDialogs = 0;
        m_env->hooks().addShownObserver([&](QWidget *window) {
            if (window->objectName() == QStringLiteral("newProjectOptionsDialog")) {
                ++optionDialogs;
                static_cast<QDialog *>(window)->reject();
            }
        });
        const QString reserved = QStringLiteral("Unerlaubter Projektname");
        const std::vector<std::pair<QString, QString>> cases {
            { QStringLiteral("default"), reserved },
            { QStringLiteral("project"), reserved },
            { QStringLiteral("Standardprojekt"), reserved },
            { QString(), QStringLiteral("Kein Projektname") },
            { QString(31, QLatin1Char('a')), QStringLiteral("Projektname zu lang") },
            { QStringLiteral("shop"), QStringLiteral("Projekt existiert schon") },
            { QStringLiteral("Standardprojekt").toLower(), QStringLiteral("Projekt existiert schon") },
            { QStringLiteral("a/b"), reserved },
            { QStringLiteral("a\\b"), reserved },
            { QStringLiteral(".."), reserved },
            { QStringLiteral("x..y"), reserved },
        };
        for (const auto &[name, title] : cases) {
            m_env->hooks().clearShown();
            w.newName->setText(name);
            click(&dialog, QStringLiteral("Neues Projekt erstellen"));
            settle();
            QCOMPARE(m_env->hooks().countKind(QStringLiteral("message")), 1);
            QCOMPARE(lastShown(QStringLiteral("message")).title, title);
            QVERIFY(dialog.isVisible());
        }
        QCOMPARE(lastShown(QStringLiteral("message")).title, reserved);
        QCOMPARE(optionDialogs, 0);
        QCOMPARE(shownEntries(w.list), before);
        QCOMPARE(programSettings().currentProject, std::string("default"));
        // Nothing outside the project directory, nothing inside it but ours.
        QStringList files = QDir(fromCp1252(projectDirectory())).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        files.sort();
        QCOMPARE(files,
            (QStringList { QStringLiteral("SHOP.qx!"), QStringLiteral("default.qx!"), QStringLiteral("project.qx!") }));
        QVERIFY(!QFile::exists(fromCp1252(projectDirectory()) + QStringLiteral("/a")));
        QCOMPARE(m_loads, 0);
    }

    void newProjectsAreCreatedOpenedAndListedAgain()
    {
        QVERIFY(
            profile::writeString(toCp1252(projectPath(QStringLiteral("default"))), "project", "company", "Alte Firma"));
        const QString thirty = QStringLiteral("Gärtnerei Lindenfeld Stauden 1");
        QCOMPARE(thirty.size(), 30);
        for (const QString &name : { QStringLiteral("Default"), thirty }) {
            ProjectManagerDialog dialog;
            dialog.show();
            settle();
            const Widgets w = widgetsOf(&dialog);
            const QStringList before = shownEntries(w.list);
            QString header;
            m_env->hooks().onNextShown([&](QWidget *options) {
                header = findChildNamed<QLabel>(options, QStringLiteral("headerLabel"))->text();
                click(options, QStringLiteral("Neues Projekt erstellen"));
            });
            w.newName->setText(name);
            QTest::keyClick(w.newName, Qt::Key_Return);
            QCOMPARE(header, QStringLiteral("Neues Projekt: ") + name);
            // Created, made current and opened: the dialog has closed itself.
            QVERIFY(!dialog.isVisible());
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            QCOMPARE(fromCp1252(programSettings().currentProject), name);
            QVERIFY(QFile::exists(projectPath(name)));
            QVERIFY(settingsStore().hasSubkey(toCp1252(name)));
            QCOMPARE(infoValue(name, "company"), std::string());
            QCOMPARE(m_env->hooks().countKind(QStringLiteral("message")), 0);
            QCOMPARE(lastShown(QStringLiteral("wait")).text,
                QStringLiteral("Bitte warten...\nDie Merkliste wird aktualisiert."));
            QStringList expected = before;
            expected << name;
            std::sort(expected.begin(), expected.end(),
                [](const QString &a, const QString &b) { return a.toLower() < b.toLower(); });
            QCOMPARE(shownEntries(w.list), expected);
            QCOMPARE(w.list->currentItem()->text(), name);
        }
        QCOMPARE(m_loads, 2);

        ProjectManagerDialog again;
        again.show();
        settle();
        const Widgets w = widgetsOf(&again);
        QVERIFY(shownEntries(w.list).contains(thirty));
        QVERIFY(shownEntries(w.list).contains(QStringLiteral("Default")));
        QCOMPARE(w.current->text(), thirty);
        QCOMPARE(infoValue(QStringLiteral("default"), "company"), std::string("Alte Firma"));
    }

    void theOptionsDialogTakesOverWhatIsChecked()
    {
        ProjectRecord &record = projectRecord();
        record.title1.set("Stauden aus Lindenfeld");
        record.homepageKeywords[0].set("Stauden");
        record.doorwayKeywords[0].set("Beerenstraeucher");
        QVERIFY(SaveProjectData("default"));

        NewProjectOptionsDialog options("Neu");
        options.show();
        settle();
        QCOMPARE(options.windowTitle(), QStringLiteral("Neues Projekt"));
        QCOMPARE(findChildNamed<QLabel>(&options, QStringLiteral("headerLabel"))->text(),
            QStringLiteral("Neues Projekt: Neu"));
        QCOMPARE(findChildNamed<QLabel>(&options, QStringLiteral("fromLabel"))->text(),
            QStringLiteral("Vom aktuellen Projekt \"Standardprojekt\" folgende Daten übernehmen:"));
        auto *current = findChildNamed<QRadioButton>(&options, QStringLiteral("currentOptionsRadio"));
        auto *standard = findChildNamed<QRadioButton>(&options, QStringLiteral("standardOptionsRadio"));
        QCOMPARE(current->text(), QStringLiteral("Aktuelle Einstellungen für Parameter übernehmen"));
        QCOMPARE(standard->text(), QStringLiteral("Standard-Einstellungen für Parameter verwenden"));
        QVERIFY(standard->isChecked() && !current->isChecked());
        const QStringList boxTexts { QStringLiteral("Titel, Autor und Beschreibung(en) der Homepage"),
            QStringLiteral("Suchbegriffe der Homepage"), QStringLiteral("Titel und Beschreibung(en) der Kopien"),
            QStringLiteral("Suchbegriffe der Kopien (Gruppe 1-9)"),
            QStringLiteral("Suchbegriffe für Zugangsdokumente") };
        QStringList shownBoxes;
        for (QCheckBox *box : options.findChildren<QCheckBox *>()) {
            shownBoxes << box->text();
            QVERIFY(!box->isChecked());
        }
        QCOMPARE(shownBoxes, boxTexts);
        for (const QString &text :
            { QStringLiteral("Neues Projekt erstellen"), QStringLiteral("Hilfe"), QStringLiteral("Cancel") })
            QVERIFY(findButton(&options, text));
        saveScreenshot(&options);

        clickIndicator(current);
        const auto boxes = options.findChildren<QCheckBox *>();
        clickIndicator(boxes[1]);
        clickIndicator(boxes[4]);
        const projects::NewProjectChoice choice = options.choice();
        QVERIFY(choice.currentOptions);
        QVERIFY(!choice.keepHomepageTexts && choice.keepHomepageKeywords && !choice.keepCopyTexts
            && !choice.keepCopyKeywords && choice.keepDoorways);

        click(&options, QStringLiteral("Hilfe"));
        QCOMPARE(m_env->helpTopics, (std::vector<int> { help::kNewProject }));
        click(&options, QStringLiteral("Neues Projekt erstellen"));
        QCOMPARE(options.result(), int(QDialog::Accepted));
        QCOMPARE(programSettings().currentProject, std::string("Neu"));
        QVERIFY(LoadProjectData("Neu"));
        QCOMPARE(std::string(record.homepageKeywords[0].c_str()), std::string("Stauden"));
        QCOMPARE(std::string(record.doorwayKeywords[0].c_str()), std::string("Beerenstraeucher"));
        QCOMPARE(std::string(record.title1.c_str()), std::string());
    }

    void cancellingTheOptionsChangesNothing()
    {
        addProject(QStringLiteral("alpha"));
        ProjectManagerDialog dialog;
        dialog.show();
        settle();
        const Widgets w = widgetsOf(&dialog);
        const QStringList before = shownEntries(w.list);
        m_env->hooks().onNextShown([](QWidget *options) { click(options, QStringLiteral("Cancel")); });
        w.newName->setText(QStringLiteral("beta"));
        click(&dialog, QStringLiteral("Neues Projekt erstellen"));
        QCOMPARE(m_env->hooks().pendingActions(), 0);
        QVERIFY(dialog.isVisible());
        QCOMPARE(shownEntries(w.list), before);
        QCOMPARE(programSettings().currentProject, std::string("default"));
        QVERIFY(!QFile::exists(projectPath(QStringLiteral("beta"))));
        QVERIFY(!settingsStore().hasSubkey("beta"));
        QCOMPARE(m_loads, 0);
    }

    void aFailedWriteKeepsTheOptionsOpenAndTheDataSafe()
    {
        projectRecord().title1.set("Stauden aus Lindenfeld");
        QVERIFY(SaveProjectData("default"));
        // A directory where the file should go: no write can succeed.
        QVERIFY(QDir().mkpath(projectPath(QStringLiteral("Kaputt"))));
        ProjectManagerDialog dialog;
        dialog.show();
        settle();
        const Widgets w = widgetsOf(&dialog);
        const QStringList before = shownEntries(w.list);
        bool stayedOpen = false;
        m_env->hooks().onNextShown([&](QWidget *options) {
            QCheckBox *none = options->findChildren<QCheckBox *>().front();
            QVERIFY(!none->isChecked());
            click(options, QStringLiteral("Neues Projekt erstellen"));
            stayedOpen = options->isVisible();
            click(options, QStringLiteral("Cancel"));
        });
        w.newName->setText(QStringLiteral("Kaputt"));
        click(&dialog, QStringLiteral("Neues Projekt erstellen"));
        QVERIFY(stayedOpen);
        QCOMPARE(lastShown(QStringLiteral("message")).title, QStringLiteral("Fehler beim Schreiben der Daten"));
        QCOMPARE(shownEntries(w.list), before);
        QCOMPARE(programSettings().currentProject, std::string("default"));
        // The record is the current project's again, not the cleared one.
        QCOMPARE(std::string(projectRecord().title1.c_str()), std::string("Stauden aus Lindenfeld"));
        QCOMPARE(m_loads, 0);
    }

    void deletingMakesTheStandardProjectCurrent()
    {
        addProject(QStringLiteral("alpha"));
        addProject(QStringLiteral("beta"));
        makeCurrent(QStringLiteral("alpha"));
        ProjectManagerDialog dialog;
        dialog.show();
        settle();
        const Widgets w = widgetsOf(&dialog);
        QCOMPARE(w.current->text(), QStringLiteral("alpha"));

        select(w.list, QStringLiteral("Standardprojekt"));
        click(&dialog, QStringLiteral("Projekt löschen"));
        QCOMPARE(lastShown(QStringLiteral("message")).title, QStringLiteral("Standardprojekt nicht löschbar"));
        QCOMPARE(m_env->hooks().countKind(QStringLiteral("question")), 0);

        // "Abbruch" keeps the project.
        m_env->hooks().pushQuestionAnswer(false);
        select(w.list, QStringLiteral("beta"));
        click(&dialog, QStringLiteral("Projekt löschen"));
        QCOMPARE(lastShown(QStringLiteral("question")).title, QStringLiteral("Projektdaten löschen"));
        QVERIFY(lastShown(QStringLiteral("question"))
                    .text.startsWith(QStringLiteral("Wenn Sie die Projektdatei \"beta\" wirklich löschen möchten")));
        QVERIFY(QFile::exists(projectPath(QStringLiteral("beta"))));
        QCOMPARE(programSettings().currentProject, std::string("alpha"));

        std::vector<std::pair<int, QString>> steps;
        connect(w.progress, &QProgressBar::valueChanged, this,
            [&](int value) { steps.emplace_back(value, w.status->text()); });
        m_env->hooks().pushQuestionAnswer(true);
        select(w.list, QStringLiteral("beta"));
        click(&dialog, QStringLiteral("Projekt löschen"));
        QVERIFY(!QFile::exists(projectPath(QStringLiteral("beta"))));
        QVERIFY(!settingsStore().hasSubkey("beta"));
        // Not the deleted one was current, yet the standard project is now.
        QCOMPARE(programSettings().currentProject, std::string("default"));
        QCOMPARE(m_loads, 1);
        QVERIFY(dialog.isVisible());
        QCOMPARE(w.current->text(), QStringLiteral("Standardprojekt"));
        QCOMPARE(shownEntries(w.list), (QStringList { QStringLiteral("alpha"), QStringLiteral("Standardprojekt") }));
        QCOMPARE(w.progress->value(), 0);
        QVERIFY(w.status->text().isEmpty());
        QVERIFY(!steps.empty());
        QCOMPARE(steps.front(), std::make_pair(20, QStringLiteral("Lösche Projekt...")));
        QVERIFY(std::find(steps.begin(), steps.end(), std::make_pair(40, QStringLiteral("Projektdaten lesen...")))
            != steps.end());
        QCOMPARE(steps.back().first, 0);
    }

    void theMarkedRowIsTheOneTheButtonsTake()
    {
        addProject(QStringLiteral("alpha"), QStringLiteral("Alpha GmbH"));
        addProject(QStringLiteral("beta"), QStringLiteral("Beta KG"));
        makeCurrent(QStringLiteral("beta"));
        ProjectManagerDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        const Widgets w = widgetsOf(&dialog);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(w.list));
        QVERIFY(w.list->currentItem());
        QCOMPARE(w.list->currentItem()->text(), QStringLiteral("beta"));
        QCOMPARE(w.list->selectedItems(), QList<QListWidgetItem *> { w.list->currentItem() });
        QCOMPARE(w.company->text(), QStringLiteral("Beta KG"));

        // What is marked is what "Projekt löschen" asks about.
        m_env->hooks().pushQuestionAnswer(false);
        click(&dialog, QStringLiteral("Projekt löschen"));
        QCOMPARE(m_env->hooks().countKind(QStringLiteral("message")), 0);
        QVERIFY(lastShown(QStringLiteral("question"))
                    .text.startsWith(QStringLiteral("Wenn Sie die Projektdatei \"beta\" wirklich löschen möchten")));

        // Neither a click beside the rows nor a Ctrl+click leaves a frame
        // without a selection.
        const QPoint below(10, w.list->visualItemRect(w.list->item(w.list->count() - 1)).bottom() + 20);
        QTest::mouseClick(w.list->viewport(), Qt::LeftButton, Qt::NoModifier, below);
        QCOMPARE(w.list->selectedItems(), QList<QListWidgetItem *> { w.list->currentItem() });
        QCOMPARE(w.list->currentItem()->text(), QStringLiteral("beta"));
        QTest::mouseClick(w.list->viewport(), Qt::LeftButton, Qt::ControlModifier,
            w.list->visualItemRect(w.list->currentItem()).center());
        QCOMPARE(w.list->selectedItems(), QList<QListWidgetItem *> { w.list->currentItem() });

        // The keys move both, and the fields follow.
        QTest::keyClick(w.list, Qt::Key_Home);
        QCOMPARE(w.list->currentItem()->text(), QStringLiteral("alpha"));
        QCOMPARE(w.list->selectedItems(), QList<QListWidgetItem *> { w.list->currentItem() });
        QCOMPARE(w.company->text(), QStringLiteral("Alpha GmbH"));

        // After a deletion the standard project is current and marked.
        m_env->hooks().pushQuestionAnswer(true);
        click(&dialog, QStringLiteral("Projekt löschen"));
        QVERIFY(!QFile::exists(projectPath(QStringLiteral("alpha"))));
        QCOMPARE(w.list->currentItem()->text(), QStringLiteral("Standardprojekt"));
        QCOMPARE(w.list->selectedItems(), QList<QListWidgetItem *> { w.list->currentItem() });
    }

    void namesWithCapitalUmlautsKeepTheirDots()
    {
        addProject(QStringLiteral("Übersicht"));
        addProject(QStringLiteral("Ökologie"));
        makeCurrent(QStringLiteral("Übersicht"));
        ProjectManagerDialog dialog;
        dialog.show();
        settle();
        const Widgets w = widgetsOf(&dialog);
        QCOMPARE(w.current->text(), QStringLiteral("Übersicht"));
        QVERIFY(umlautDotsShow(w.current));
        const QList<QListWidgetItem *> other = w.list->findItems(QStringLiteral("Ökologie"), Qt::MatchExactly);
        QCOMPARE(other.size(), 1);
        QVERIFY(!other.front()->isSelected());
        QVERIFY(umlautDotsShow(w.list, w.list->row(other.front())));

        NewProjectOptionsDialog options(toCp1252(QStringLiteral("Ärzte")), &dialog);
        options.show();
        settle();
        QVERIFY(umlautDotsShow(findChildNamed<QLabel>(&options, QStringLiteral("headerLabel"))));
        QVERIFY(umlautDotsShow(findChildNamed<QLabel>(&options, QStringLiteral("fromLabel"))));
        options.reject();
    }

    void openingShowsItsStepsAndCloses()
    {
        addProject(QStringLiteral("alpha"), QStringLiteral("Alpha GmbH"));
        ProjectManagerDialog dialog;
        dialog.show();
        settle();
        const Widgets w = widgetsOf(&dialog);

        // The current project is the marked one.
        click(&dialog, QStringLiteral("Projekt öffnen"));
        QCOMPARE(lastShown(QStringLiteral("message")).title, QStringLiteral("Projekt bereits geladen"));
        QVERIFY(dialog.isVisible());
        QCOMPARE(m_loads, 0);

        struct Step {
            int value;
            QString status;
            bool waitCursor;
            bool buttonsEnabled;
        };
        std::vector<Step> steps;
        QPushButton *open = findButton(&dialog, QStringLiteral("Projekt öffnen"));
        connect(w.progress, &QProgressBar::valueChanged, this, [&](int value) {
            const QCursor *cursor = QApplication::overrideCursor();
            steps.push_back(
                { value, w.status->text(), cursor && cursor->shape() == Qt::WaitCursor, open->isEnabled() });
        });
        m_env->hooks().clearShown();
        select(w.list, QStringLiteral("alpha"));
        click(&dialog, QStringLiteral("Projekt öffnen"));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(programSettings().currentProject, std::string("alpha"));
        QCOMPARE(m_loads, 1);
        QCOMPARE(m_env->hooks().countKind(QStringLiteral("message")), 0);
        QCOMPARE(lastShown(QStringLiteral("wait")).text,
            QStringLiteral("Bitte warten...\nDie Merkliste wird aktualisiert."));
        QCOMPARE(steps.size(), std::size_t(5));
        const std::vector<std::pair<int, QString>> expected { { 20, QStringLiteral("Lade Projekt...") },
            { 60, QStringLiteral("Projektdaten lesen...") }, { 80, QStringLiteral("Konfiguration lesen...") },
            { 100, QStringLiteral("Konfiguration lesen...") }, { 0, QString() } };
        for (std::size_t i = 0; i < expected.size(); ++i) {
            QCOMPARE(steps[i].value, expected[i].first);
            QCOMPARE(steps[i].status, expected[i].second);
            QVERIFY(steps[i].waitCursor);
            QVERIFY(!steps[i].buttonsEnabled);
        }
        QVERIFY(open->isEnabled());
    }

    void saveWritesIntoTheCurrentProject()
    {
        addProject(QStringLiteral("alpha"), QStringLiteral("Alpha GmbH"));
        ProjectManagerDialog dialog;
        dialog.show();
        settle();
        const Widgets w = widgetsOf(&dialog);
        select(w.list, QStringLiteral("alpha"));
        QCOMPARE(w.company->text(), QStringLiteral("Alpha GmbH"));
        w.company->setText(QStringLiteral("Müller & Söhne"));
        w.contact->setText(QStringLiteral("Jürgen Müller"));
        w.tel->setText(QStringLiteral("0123 45678"));
        w.mail->setText(QStringLiteral("info@example.com"));
        click(&dialog, QStringLiteral("Speichern"));
        const ShownBox box = lastShown(QStringLiteral("message"));
        QCOMPARE(box.title, QStringLiteral("Projektinformationen gespeichert"));
        QCOMPARE(box.text, QStringLiteral("Die Projektinformationen wurden im geladenen Projekt gespeichert."));
        const QString current = QStringLiteral("default");
        QCOMPARE(fromCp1252(infoValue(current, "company")), QStringLiteral("Müller & Söhne"));
        QCOMPARE(fromCp1252(infoValue(current, "name")), QStringLiteral("Jürgen Müller"));
        QCOMPARE(infoValue(current, "tel"), std::string("0123 45678"));
        QCOMPARE(infoValue(current, "mail"), std::string("info@example.com"));
        QCOMPARE(infoValue(QStringLiteral("alpha"), "company"), std::string("Alpha GmbH"));
        QCOMPARE(programSettings().currentProject, std::string("default"));
    }

    void cancelWaitsForARunningJob()
    {
        addProject(QStringLiteral("alpha"));
        ProjectManagerDialog dialog;
        dialog.show();
        settle();
        const Widgets w = widgetsOf(&dialog);
        bool stayed = false;
        connect(w.progress, &QProgressBar::valueChanged, this, [&](int value) {
            if (value != 20)
                return;
            QTest::keyClick(&dialog, Qt::Key_Escape);
            stayed = dialog.isVisible() && dialog.busy();
        });
        select(w.list, QStringLiteral("alpha"));
        click(&dialog, QStringLiteral("Projekt öffnen"));
        QVERIFY(stayed);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    void theMainWindowShowsTheOpenedProject()
    {
        addProject(QStringLiteral("alpha"));
        MainWindow window;
        window.show();
        settle();
        auto *line = findChildNamed<QLabel>(&window, QStringLiteral("projectLine"));
        QVERIFY(line->text().contains(QStringLiteral("Standardprojekt")));
        QString opened;
        m_env->hooks().onNextShown([&](QWidget *dialog) {
            opened = dialog->objectName();
            select(widgetsOf(dialog).list, QStringLiteral("alpha"));
            click(dialog, QStringLiteral("Projekt öffnen"));
        });
        click(&window, QStringLiteral("Projekte"));
        QCOMPARE(opened, QStringLiteral("projectManagerDialog"));
        QCOMPARE(line->text(), QStringLiteral("Geladenes Projekt: alpha "));
        QVERIFY(window.isVisible());
    }

private:
    std::unique_ptr<GuiTestEnvironment> m_env;
    int m_loads = 0;
};

QTEST_MAIN(ProjectManagerDialogTest)
#include "ProjectManagerDialogTest.moc"
