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

// Copies the shipped tree into the program directory, leaving every file
// that is already there alone: those may be the user's projects.
bool fillProgramDirectory(const fs::path &from, const fs::path &to)
{
    std::error_code ec;
    fs::create_directories(to, ec);
    if (ec)
        return false;
    for (auto it = fs::recursive_directory_iterator(from, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        const fs::path target = to / fs::relative(it->path(), from);
        std::error_code step;
        if (it->is_directory(step)) {
            fs::create_directories(target, step);
        } else if (!fs::exists(target, step)) {
            fs::copy_file(it->path(), target, step);
        }
        if (step)
            return false;
    }
    return !ec && fs::is_directory(to / "projects");
}

bool isUsable(const std::string &programDirectory)
{
    if (programDirectory.empty())
        return false;
    const std::string projects = files::osPath(programDirectory + "/projects");
    return files::isDirectory(programDirectory + "/projects") && ::access(projects.c_str(), W_OK) == 0;
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
    if (isUsable(s.programDirectory))
        return true;

    std::string target = s.programDirectory;
    if (target.empty()) {
        std::string base = getEnv("XDG_DATA_HOME");
        if (base.empty()) {
            const std::string home = getEnv("HOME");
            base = (home.empty() ? std::string(".") : home) + "/.local/share";
        }
        target = toCp1252(base + "/vantor");
    }
    const auto shipped = shippedDirectory();
    if (shipped && fillProgramDirectory(*shipped, fs::path(files::osPath(target))) && isUsable(target)) {
        s.programDirectory = target;
        settingsStore().writeText("progpath", target);
        return true;
    }
    ui.message(de("Programmverzeichnis nicht gefunden"),
               de("Das Programmverzeichnis von Vantor!! (\"") + target
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
    ReadInternetSettings();
    ProgramStartStatus status = ReadProgramSettings();
    if (status.programDirectoryMissing || !isUsable(programSettings().programDirectory)) {
        if (!ensureProgramDirectory(ui))
            return result;
        status = ReadProgramSettings();
    }

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
    // A stored name that is not a plain file name cannot be a project of
    // ours: it fails like a missing project, never reaching outside.
    if (!(isPlainProjectName(current) && LoadProjectData(current))) {
        bool loaded = false;
        if (current.find("default") == std::string::npos) {
            showProjectFailure(ui, ProjectFailure::LoadAtStart, current);
            current = "default";
            loaded = LoadProjectData(current);
        }
        if (!loaded)
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
