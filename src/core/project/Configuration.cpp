#include "project/Configuration.h"

#include "platform/Text.h"
#include "project/Guidelines.h"
#include "project/ProgramSettings.h"
#include "project/ProjectFile.h"
#include "project/ProjectRecord.h"
#include "ui/Ui.h"

namespace vantor::configuration {

const std::array<Row, kRowCount> &rows()
{
    static const std::array<Row, kRowCount> table = {{
        {Group::Header, "title", "titl", false},
        {Group::Header, "link rel", "link", false},
        {Group::Header, "canonical", "cano", false},
        {Group::Header, "viewport", "view", false},
        {Group::Header, "lang", "lang", false},
        {Group::Header, "Open Graph", "ogtg", false},
        {Group::Meta, "author", "auth", false},
        {Group::Meta, "description", "desc", false},
        {Group::Meta, "robots", "robo", false},
        {Group::Meta, "keywords", "keyw", false},
        {Group::Meta, "copyright", "copy", false},
        {Group::Meta, "revisit", "revi", false},
        {Group::Meta, "generator", "gene", false},
        {Group::Techniques, "Noframes Tag", "nofr", false},
        {Group::Techniques, "ALT-Text", "altt", false},
        {Group::Techniques, "Suchwort-Tags", "text", false},
        {Group::Techniques, "Buchstabenfolge (!...)", "buch", false},
        {Group::Techniques, "Verborgenes Formular", "hiddenForm", false},
        {Group::Techniques, "Titel Kopien", "tico", true},
        {Group::Techniques, "Beschreibung Kopien", "deco", true},
    }};
    return table;
}

int &field(ProjectOptions &options, const Row &row)
{
    if (int *f = options.find(row.code))
        return *f;
    return options.hiddenForm;
}

int fieldValue(const ProjectOptions &options, const Row &row)
{
    ProjectOptions copy = options;
    return field(copy, row);
}

const Row *findRow(const std::string &code)
{
    for (const auto &row : rows())
        if (code == row.code)
            return &row;
    return nullptr;
}

namespace {

int signSetOf(int sonz) { return sonz >= 0 && sonz <= 3 ? sonz : -1; }

} // namespace

Values open(Ui &ui)
{
    const std::string &project = programSettings().currentProject;
    if (!LoadProjectOptions(project))
        showProjectFailure(ui, ProjectFailure::LoadOptions, project);
    Values values;
    values.options = projectOptions();
    values.userLevel = programSettings().userLevel == 2 ? 2 : 1;
    values.signSet = signSetOf(values.options.sonz);
    return values;
}

void chooseSignSet(Values &values, int set, Ui &ui)
{
    if (set != values.options.sonz)
        ui.message(de("Ändern der Sonderzeichen"),
                   de("Beachten Sie bitte: Beim Ändern der Sonderzeichen müssen Sie die Dokumente, die bereits mit "
                      "anderen Sonderzeichen von Vantor!! erzeugt wurden, von Hand im entsprechenden Verzeichnis "
                      "löschen!\nDie automatische Anmeldung arbeitet ebenfalls nur mit den neuen Sonderzeichen. "
                      "Optimieren Sie also zuerst, bevor Sie bei den Suchmaschinen anmelden!"));
    values.signSet = set;
}

bool apply(const Values &values, Ui &ui)
{
    ProjectOptions &options = projectOptions();
    // What the file still holds stays in memory when it cannot be written,
    // so that a Cancel afterwards does not leave the run using other options
    // than the file and the dialog's next opening show.
    const ProjectOptions before = options;
    for (const auto &row : rows()) {
        const int value = fieldValue(values.options, row);
        field(options, row) = row.single ? (value != 0 ? 1 : 0) : (value & 3);
    }
    options.sonz = values.signSet >= 1 && values.signSet <= 3 ? values.signSet : 0;
    SaveUserLevel(values.userLevel == 1 ? 1 : 2);
    const std::string &project = programSettings().currentProject;
    if (!SaveProjectOptions(project)) {
        options = before;
        showProjectFailure(ui, ProjectFailure::SaveOptions, project);
        return false;
    }
    return true;
}

bool reset(Values &values, Ui &ui)
{
    const ProjectOptions before = projectOptions();
    const int scope = projectRecord().scope;
    RestoreStandardOptions();
    const std::string &project = programSettings().currentProject;
    if (!SaveProjectOptions(project)) {
        projectOptions() = before;
        projectRecord().scope = scope;
        showProjectFailure(ui, ProjectFailure::SaveOptions, project);
        return false;
    }
    const int userLevel = values.userLevel;
    values.options = projectOptions();
    values.userLevel = userLevel;
    values.signSet = signSetOf(values.options.sonz);
    return true;
}

bool modern(Values &values, Ui &ui)
{
    ProjectOptions &options = projectOptions();
    ProjectRecord &record = projectRecord();
    const ProjectOptions before = options;
    const int makedirs = record.makedirs;
    guidelines::applyModern(options);
    record.makedirs = 0;
    const std::string &project = programSettings().currentProject;
    // The options first: without them nothing is changed, and makedirs
    // alone would only stop the doorway pages.
    if (!SaveProjectOptions(project) || !SaveMakeDirs(project)) {
        options = before;
        record.makedirs = makedirs;
        SaveProjectOptions(project);
        showProjectFailure(ui, ProjectFailure::SaveOptions, project);
        return false;
    }
    values.options = options;
    return true;
}

std::string signSetLabel(int set)
{
    switch (set) {
    case 0:
        return "Standard (!-#)";
    case 1:
        return "Alternativ 1 (-+=)";
    case 2:
        return "Alternativ 2 (012)";
    case 3:
        return "Alternativ 3 (=-!)";
    default:
        return "";
    }
}

} // namespace vantor::configuration
