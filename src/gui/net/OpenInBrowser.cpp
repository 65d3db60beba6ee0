#include "net/OpenInBrowser.h"

#include "platform/Shell.h"

namespace vantor::gui {

bool openInBrowser(const std::string &url) { return shellOpen(url); }

} // namespace vantor::gui
