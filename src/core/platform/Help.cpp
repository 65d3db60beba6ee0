#include "platform/Help.h"

#include "platform/Files.h"
#include "platform/Shell.h"
#include "platform/Text.h"
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

std::string helpTopicTitle(int topic)
{
    const std::string path = helpTopicPath(topic);
    std::string page;
    if (!files::read(path, page))
        return path;
    std::string lower = page;
    for (char &c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    const std::size_t open = lower.find("<title>");
    const std::size_t close = open == std::string::npos ? open : lower.find("</title>", open);
    if (close == std::string::npos)
        return path;
    // The help pages are UTF-8; the engine's texts are cp1252.
    return toCp1252(page.substr(open + 7, close - open - 7));
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
