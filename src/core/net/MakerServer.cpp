#include "net/MakerServer.h"

#include "platform/SettingsStore.h"

namespace vantor::makerserver {

std::string server()
{
    const auto value = settingsStore().readText("updateserver");
    std::string text = value ? *value : std::string();
    // Written by hand, the setting may well carry blanks, a scheme or a final slash.
    while (!text.empty() && text.front() == ' ')
        text.erase(0, 1);
    if (text.rfind("http://", 0) == 0)
        text.erase(0, 7);
    while (!text.empty() && (text.back() == '/' || text.back() == ' '))
        text.pop_back();
    return text.empty() ? std::string(kDefaultServer) : text;
}

std::string url(const std::string &pathAndQuery) { return "http://" + server() + pathAndQuery; }

std::string documentsUrl() { return url("/sitecast/internetmarketingdoc.html"); }

std::string downloadPage() { return url("/download/"); }

} // namespace vantor::makerserver
