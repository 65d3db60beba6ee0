#include "platform/Shell.h"

#include "platform/Text.h"

#include <chrono>
#include <cstdlib>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

namespace vantor {

namespace {

ShellOpener &opener()
{
    static ShellOpener o;
    return o;
}

OpenFallback &fallback()
{
    static OpenFallback f;
    return f;
}

// xdg-open says within moments whether it found a way to show the target
// ("no method available" is exit status 3). When it hands the document to a
// browser that stays in front of it, it does not come back at all; after this
// long we take the browser as started.
constexpr auto kVerdictTime = std::chrono::milliseconds(2500);

bool hasDisplay()
{
    const char *x11 = std::getenv("DISPLAY");
    const char *wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 && *x11) || (wayland && *wayland);
}

bool spawnAndJudge(const std::string &command, const std::string &argument)
{
    const pid_t child = ::fork();
    if (child < 0)
        return false;
    if (child == 0) {
        // A session of its own, so closing our terminal does not take the
        // browser with it.
        ::setsid();
        ::execlp(command.c_str(), command.c_str(), argument.c_str(), static_cast<char *>(nullptr));
        ::_exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + kVerdictTime;
    int status = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        const pid_t done = ::waitpid(child, &status, WNOHANG);
        if (done == child)
            return WIFEXITED(status) && WEXITSTATUS(status) == 0;
        if (done < 0)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    // Still running: a browser in the foreground. Someone has to collect it
    // when it ends, or it stays a zombie for the rest of our run.
    std::thread([child]() {
        int ignored = 0;
        ::waitpid(child, &ignored, 0);
    }).detach();
    return true;
}

} // namespace

void setShellOpener(ShellOpener o) { opener() = std::move(o); }

void setOpenFallback(OpenFallback f) { fallback() = std::move(f); }

bool isWebAddress(const std::string &target)
{
    const std::string lower = lowerCp1252(target.substr(0, 8));
    return lower.rfind("http://", 0) == 0 || lower.rfind("https://", 0) == 0;
}

bool systemOpen(const std::string &target)
{
    if (opener())
        return opener()(target);
    const char *custom = std::getenv("VANTOR_OPEN_COMMAND");
    if (custom && *custom)
        return spawnAndJudge(custom, toUtf8(target));
    // Without a display, xdg-open would fall back to a text browser on a
    // terminal we may not have; nothing the user would see.
    if (!hasDisplay())
        return false;
    // URLs stay as they are; local paths go to the system in UTF-8.
    return spawnAndJudge("xdg-open", toUtf8(target));
}

bool shellOpen(const std::string &target)
{
    if (systemOpen(target))
        return true;
    return fallback() ? fallback()(target) : false;
}

} // namespace vantor
