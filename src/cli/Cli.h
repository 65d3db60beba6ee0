#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace vantor {

// The command line: "settings" and "project" commands on the same settings
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
    int usageError(const std::string &problem);
    int fail(const std::string &title, const std::string &text);

    std::ostream &m_out;
    std::ostream &m_err;
};

} // namespace vantor
