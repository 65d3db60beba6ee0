#pragma once

#include <string>

namespace vantor::gui {

// Opens a page of the maker's server in the user's browser. When no browser
// starts, a message says so and shows the address (cp1252), so the user can
// still get there by hand.
bool openInBrowser(const std::string &url);
void showBrowserNotStarted(const std::string &url);

} // namespace vantor::gui
