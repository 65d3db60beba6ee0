#pragma once

#include <string>

namespace vantor::gui {

// Opens a page of the maker's server in the user's browser. When no browser
// starts, the address is shown to open by hand (the fallback behind
// shellOpen does that for every caller).
bool openInBrowser(const std::string &url);

} // namespace vantor::gui
