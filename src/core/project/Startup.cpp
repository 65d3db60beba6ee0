#include "project/Startup.h"

#include "platform/Files.h"
#include "platform/SettingsStore.h"
#include "platform/Text.h"
#include "project/ProgramSettings.h"
#include "project/ProjectFile.h"
#include "project/StartupView.h"
#include "ui/Ui.h"

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

namespace vantor {

namespace {

std::string getEnv(const char *name)
{
    const char *v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

bool isShippedDirectory(const fs::path &dir)
{
    std::error_code ec;
    return fs::is_regular_file(dir / "projects" / "project.qx!", ec);
}

// Where the files that ship with the program are: an explicit override, the
// installed share directory (next to the binary or where it was configured
// to go), or the source tree when running from the build directory.
std::optional<fs::path> shippedDirectory()
{
    std::vector<fs::path> candidates;
    if (const std::string env = getEnv("VANTOR_DATA_DIR"); !env.empty())
        candidates.emplace_back(env);
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec)
        candidates.push_back(exe.parent_path().parent_path() / "share" / "vantor");
    candidates.emplace_back(VANTOR_SHARE_DIR);
    candidates.emplace_back(VANTOR_SOURCE_DATA_DIR);
    for (const auto &c : candidates)
        if (isShippedDirectory(c))
            return c;
    return std::nullopt;
}

// Where the program directory goes when there is none yet: the user's own
// data directory. It is the only directory the program ever creates for
// itself; a configured one that is relative or gone is not made anew, since
// we cannot know where such a path would end up.
std::optional<fs::path> defaultProgramDirectory()
{
    std::string base = getEnv("XDG_DATA_HOME");
    if (base.empty() || base.front() != '/') {
        const std::string home = getEnv("HOME");
        if (home.empty() || home.front() != '/')
            return std::nullopt;
        base = home + "/.local/share";
    }
    return fs::path(base) / "vantor";
}

// Copies the shipped tree into the program directory, file by file through a
// temporary file, so a fill cut short by a full disk never leaves a
// half-written file. Files that are there stay, since they may be the user's;
// only one that is missing, or empty where the shipped one is not (what an
// older, interrupted fill left), is written. Run at every start, this
// completes a fill that was cut short.
bool fillProgramDirectory(const fs::path &from, const fs::path &to)
{
    std::error_code ec;
    fs::create_directories(to, ec);
    if (ec)
        return false;
    bool complete = true;
    for (auto it = fs::recursive_directory_iterator(from, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        const fs::path target = to / fs::relative(it->path(), from);
        std::error_code step;
        if (it->is_directory(step)) {
            fs::create_directories(target, step);
            if (step)
                complete = false;
            continue;
        }
        if (!it->is_regular_file(step))
            continue;
        const auto shippedSize = it->file_size(step);
        const auto status = fs::symlink_status(target, step);
        const bool present = fs::exists(status);
        const bool truncated = fs::is_regular_file(status) && fs::file_size(target, step) == 0 && shippedSize > 0;
        if (present && !truncated)
            continue;
        std::string content;
        if (!files::read(toCp1252(it->path().string()), content)) {
            complete = false;
            continue;
        }
        files::AtomicWrite how;
        how.replaceExisting = truncated;
        if (!files::writeAtomicOsPath(target.string(), content, how) && !(present || fs::exists(fs::symlink_status(target, step))))
            complete = false;
    }
    return complete && !ec && fs::is_directory(to / "projects");
}

bool isUsable(const std::string &programDirectory)
{
    // Relative paths would depend on where the program happens to be started.
    if (programDirectory.empty() || programDirectory.front() != '/')
        return false;
    for (char c : programDirectory)
        if (static_cast<unsigned char>(c) < 0x20)
            return false;
    const std::string projects = files::osPath(programDirectory + "/projects");
    return files::isDirectory(programDirectory + "/projects") && ::access(projects.c_str(), W_OK) == 0;
}

std::string settingsUnreadableText()
{
    return settingsWriteFailedText() + de("\n\nDie Einstellungsdatei \"")
        + toCp1252(settingsStore().filePath())
        + de("\" ist vorhanden, kann aber nicht gelesen werden. Vantor!! verändert sie nicht, damit Ihre "
             "Einstellungen erhalten bleiben.");
}

} // namespace

std::string projectNameFromArgument(const std::string &argument)
{
    std::string name = argument;
    const auto slash = name.find_last_of("\\/");
    if (slash != std::string::npos)
        name = name.substr(slash + 1);
    const auto ext = name.find(".qx!");
    if (ext == std::string::npos)
        return "default";
    name = name.substr(0, ext);
    return isPlainProjectName(name) ? name : std::string("default");
}

bool ensureProgramDirectory(Ui &ui)
{
    ProgramSettings &s = programSettings();
    const auto perUser = defaultProgramDirectory();
    const std::string perUserText = perUser ? toCp1252(perUser->string()) : std::string();
    const auto shipped = shippedDirectory();
    if (isUsable(s.programDirectory)) {
        // Our own directory is completed quietly if an earlier fill was cut short.
        if (perUser && shipped && s.programDirectory == perUserText)
            fillProgramDirectory(*shipped, *perUser);
        return true;
    }
    if (perUser && shipped && fillProgramDirectory(*shipped, *perUser) && isUsable(perUserText)) {
        s.programDirectory = perUserText;
        settingsStore().writeText("progpath", perUserText);
        return true;
    }
    const std::string shown = perUser ? perUserText : s.programDirectory;
    ui.message(de("Programmverzeichnis nicht gefunden"),
               de("Das Programmverzeichnis von Vantor!! (\"") + shown
                   + de("\") fehlt oder kann nicht beschrieben werden, und es konnte nicht neu angelegt werden. Dort "
                        "liegen die Projekte, Vorlagen und Daten-Dateien.\n\nÜberprüfen Sie die Zugriffsrechte und "
                        "führen Sie notfalls die Installation erneut durch."));
    return false;
}

StartupResult prepareProgram(const std::optional<std::string> &argument, Ui &ui, StartupView *view)
{
    StartupResult result;
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    ResetProjectRecord();
    programSettings().currentProject = "default";
    // Settings that are there but cannot be read must not be replaced by the
    // defaults that the following steps would write.
    if (settingsStore().fileState() == SettingsStore::FileState::Unreadable) {
        ui.systemError(de("Fehler Code 7001"), settingsUnreadableText());
        return result;
    }
    ReadInternetSettings();
    ProgramStartStatus status = ReadProgramSettings();
    const std::string configured = programSettings().programDirectory;
    if (!ensureProgramDirectory(ui))
        return result;
    // A directory made or chosen just now has its own standard project.
    if (programSettings().programDirectory != configured)
        status = ReadProgramSettings();

    result.firstStart = status.firstStart;
    if (status.firstStart) {
        ResetProjectRecord();
        WriteInitialSettings();
        // A failed copy is not reported here: loading default.qx! below says so.
        files::copy(projectFilePath("project"), projectFilePath("default"), true);
    }

    bool splashOpen = view != nullptr;
    if (view) {
        const auto beforeDialog = [&] {
            if (splashOpen) {
                ui.pause(2500);
                view->closeSplash();
                splashOpen = false;
            }
        };
        if (status.firstStart) {
            beforeDialog();
            view->runFirstStartDialogs();
        }
        if (programSettings().userLevel == 0) {
            beforeDialog();
            view->userLevelDialog();
        }
        if (programSettings().accessType == ProgramSettings::kAccessNotConfigured) {
            beforeDialog();
            view->internetAccessDialog();
        }
    }

    if (argument && !argument->empty())
        programSettings().currentProject = projectNameFromArgument(*argument);

    std::string &current = programSettings().currentProject;
    // Said once: the standard project cannot be read, whichever project
    // comes up.
    bool standardReported = false;
    if (status.standardProjectDamaged) {
        showProjectFailure(ui, ProjectFailure::LoadDefaultAtStart, "default");
        standardReported = true;
    }
    // A stored name that is not a plain file name cannot be a project of
    // ours: it fails like a missing project, never reaching outside.
    if (!(isPlainProjectName(current) && LoadProjectData(current))) {
        bool loaded = false;
        if (current.find("default") == std::string::npos) {
            showProjectFailure(ui, ProjectFailure::LoadAtStart, current);
            current = "default";
            loaded = LoadProjectData(current);
        }
        if (!loaded && !standardReported)
            showProjectFailure(ui, ProjectFailure::LoadDefaultAtStart, current);
    }
    if (splashOpen) {
        ui.pause(1000);
        view->closeSplash();
    }
    result.ok = true;
    return result;
}

int StartProgram(const std::optional<std::string> &argument, StartupView &view, Ui &ui)
{
    view.showSplash();
    const StartupResult started = prepareProgram(argument, ui, &view);
    if (!started.ok) {
        view.closeSplash();
        return 1;
    }
    view.mainWindow();
    SaveLastProject(programSettings().currentProject);
    return 0;
}

} // namespace vantor
