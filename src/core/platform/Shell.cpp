#include "platform/Shell.h"

#include "platform/Text.h"

#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

namespace vantor {

namespace {

ShellOpener &opener()
{
    static ShellOpener o;
    return o;
}

bool spawnDetached(const std::string &command, const std::string &argument)
{
    const pid_t child = ::fork();
    if (child < 0)
        return false;
    if (child == 0) {
        // A grandchild runs the viewer, so we never leave a zombie behind and
        // never wait for the browser to close.
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild == 0) {
            ::execlp(command.c_str(), command.c_str(), argument.c_str(), static_cast<char *>(nullptr));
            ::_exit(127);
        }
        ::_exit(grandchild < 0 ? 1 : 0);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) < 0)
        return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

void setShellOpener(ShellOpener o) { opener() = std::move(o); }

bool shellOpen(const std::string &target)
{
    if (opener())
        return opener()(target);
    const char *custom = std::getenv("VANTOR_OPEN_COMMAND");
    const std::string command = custom && *custom ? custom : "xdg-open";
    // URLs stay as they are; local paths go to the system in UTF-8.
    return spawnDetached(command, toUtf8(target));
}

} // namespace vantor
