#include "net/OpenInBrowser.h"

#include "platform/Shell.h"
#include "platform/Text.h"
#include "ui/Ui.h"

namespace vantor::gui {

bool openInBrowser(const std::string &url)
{
    if (shellOpen(url))
        return true;
    showBrowserNotStarted(url);
    return false;
}

void showBrowserNotStarted(const std::string &url)
{
    currentUi().message(de("Browser nicht gestartet"),
                        de("Der Web-Browser konnte nicht gestartet werden. Bitte öffnen Sie diese Adresse von "
                           "Hand:\n")
                            + url);
}

} // namespace vantor::gui
