#include "Cli.h"

#include "CliUi.h"
#include "optimizer/RunUndo.h"
#include "platform/Text.h"
#include "project/ProgramSettings.h"
#include "project/ProjectFile.h"
#include "ui/Ui.h"

#include <ctime>
#include <ostream>

namespace vantor {

int Cli::undoCommand(const std::vector<std::string> &args)
{
    std::string project = programSettings().currentProject;
    std::string runId;
    bool list = false;
    bool yes = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string &a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--list")
            list = true;
        else if (a == "--run" && hasValue)
            runId = args[++i];
        else if (a == "--project" && hasValue) {
            // The standard project may be named the way the lists show it.
            project = toCp1252(args[++i]);
            if (project == "Standardprojekt")
                project = "default";
        }
        else if (a == "--yes")
            yes = true;
        else
            return usageError("undo: falsches Argument / wrong argument: " + a);
    }
    if (!isPlainProjectName(project))
        return usageError("Ungültiger Projektname / invalid project name: " + toUtf8(project));
    if (list && !runId.empty())
        return usageError("undo: --list und --run schließen sich aus / --list and --run exclude each other");

    if (list) {
        // One line per kept run: its id, when it ran, how many files it
        // touched, and whether it is undone or was interrupted.
        for (const RunUndo::KeptRun &run : RunUndo::list(project)) {
            std::tm local{};
            localtime_r(&run.started, &local);
            char when[32];
            std::strftime(when, sizeof when, "%d.%m.%Y %H:%M:%S", &local);
            m_out << run.id << "  " << when << "  " << run.files << (run.files == 1 ? " Datei" : " Dateien");
            if (run.undone)
                m_out << toUtf8(de("  (rückgängig gemacht)"));
            else if (!run.finished)
                m_out << "  (abgebrochen)";
            m_out << '\n';
        }
        return 0;
    }

    CliUi ui(m_err, yes);
    setCurrentUi(&ui);
    std::string undone;
    int restored = 0;
    const RunUndo::Result result = RunUndo::undo(ui, project, runId, undone, restored);
    setCurrentUi(nullptr);
    if (result != RunUndo::Result::Done)
        return 1;
    m_out << toUtf8(de("Optimierung rückgängig gemacht: ")) << undone << " (" << restored
          << (restored == 1 ? " Datei" : " Dateien") << ")\n";
    return 0;
}

} // namespace vantor
