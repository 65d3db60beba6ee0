#include "platform/Help.h"

#include "platform/Files.h"
#include "platform/Shell.h"
#include "project/ProgramSettings.h"

namespace vantor {

namespace {
HelpOpener &helpOpener()
{
    static HelpOpener o;
    return o;
}
std::function<void()> &helpCloser()
{
    static std::function<void()> c;
    return c;
}
} // namespace

std::string helpTopicPath(int topic)
{
    const std::string dir = programSettings().programDirectory + "/help";
    const std::string page = dir + "/" + std::to_string(topic) + ".htm";
    if (topic != help::kMain && files::isFile(page))
        return page;
    return dir + "/index.htm";
}

bool openHelp(int topic)
{
    if (helpOpener())
        return helpOpener()(topic);
    return shellOpen(helpTopicPath(topic));
}

void setHelpOpener(HelpOpener opener) { helpOpener() = std::move(opener); }

void closeHelp()
{
    if (helpCloser())
        helpCloser()();
}

void setHelpCloser(std::function<void()> closer) { helpCloser() = std::move(closer); }

} // namespace vantor
