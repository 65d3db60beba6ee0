#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace vantor {

class Ui;

// The command line: "settings", "project" and the other commands on the same settings
// store and project files as the GUI. Exit status 0 on success, 1 when the
// operation failed (the program's German message on stderr), 2 on a usage
// error.
class Cli
{
public:
    Cli(std::ostream &out, std::ostream &err);

    int run(const std::vector<std::string> &args);

    static std::string usage();

private:
    int settingsCommand(const std::vector<std::string> &args);
    int projectCommand(const std::vector<std::string> &args);
    int projectList();
    int projectShow(const std::string &name);
    int projectHomepage(const std::string &name, const std::string &path);
    // The homepage file named on the command line as an absolute cp1252 path;
    // 0, or the exit status of the message shown.
    int existingHomepage(const std::string &argument, std::string &path);
    int storeHomepage(const std::string &name, const std::string &path);
    // project new / open / delete / info, config, watchlist: the project
    // manager, the configuration dialog and the watch list without windows.
    int projectNew(const std::vector<std::string> &args);
    int projectOpen(const std::string &name);
    int projectDelete(const std::vector<std::string> &args);
    int projectInfo(const std::vector<std::string> &args);
    int configCommand(const std::vector<std::string> &args);
    int watchListCommand(const std::vector<std::string> &args);
    // The list entry a project name given on the command line stands for.
    static std::string entryOf(const std::string &utf8Name);
    int optimizeCommand(const std::vector<std::string> &args);
    int templateCommand(const std::vector<std::string> &args);
    // undo [--list] [--run ID] [--yes]: the optimisation runs of the
    // current project, taken back one by one from their backups.
    int undoCommand(const std::vector<std::string> &args);
    // datafile pack / unpack / get: the maker's data files without the
    // network (paths, section and key in cp1252).
    int dataFileCommand(const std::vector<std::string> &args);
    int dataFilePack(const std::string &textPath, const std::string &dataPath);
    int dataFileUnpack(const std::string &dataPath);
    int dataFileGet(const std::string &dataPath, const std::string &section, const std::string &key);
    // version-check, feedback, newsletter: the services of the maker's
    // server, without the dial-up prompt.
    int versionCheckCommand(const std::vector<std::string> &args);
    int feedbackCommand(const std::vector<std::string> &args);
    int newsletterCommand(const std::vector<std::string> &args);
    // sitemap: sitemap.xml and its line in robots.txt, for the engines that
    // read them instead of a submission.
    int sitemapCommand(const std::vector<std::string> &args);
    // submit: the site's documents to the engines of the maker's data files,
    // as the "Anmeldung" dialog does it.
    int submitCommand(const std::vector<std::string> &args);
    // indexnow: the site's new and changed documents to the IndexNow engines.
    int indexNowCommand(const std::vector<std::string> &args);
    // research: the keyword research of the "Recherche" dialog, its two
    // lists printed, optionally kept in the watch list.
    int researchCommand(const std::vector<std::string> &args);
    int positionCommand(const std::vector<std::string> &args);
    int ranksCommand(const std::vector<std::string> &args);
    int previewCommand(const std::vector<std::string> &args);
    int optimize(Ui &ui, const std::string &project, const std::optional<std::string> &homepage,
                 const std::optional<std::string> &reportCopy, bool withProjectData, bool withConfigData);
    int usageError(const std::string &problem);
    int fail(const std::string &title, const std::string &text);

    std::ostream &m_out;
    std::ostream &m_err;
};

} // namespace vantor
