#pragma once

#include <functional>
#include <string>

namespace vantor {

// Opens a document or URL with the user's default program (xdg-open),
// without waiting for it to close. Returns false when nothing could show it.
// VANTOR_OPEN_COMMAND replaces xdg-open (tests point it at a recorder).
//
// When the system cannot open it (no display, no xdg-open, or xdg-open gives
// up), the fallback the front end installed gets the target: the GUI shows
// the document itself or the address to copy. Every caller goes through
// here, so none of them has to think of a machine without a browser.
bool shellOpen(const std::string &target);

// Only the system's opener, never the fallback: what "Im Browser öffnen" of
// the built-in viewer asks for.
bool systemOpen(const std::string &target);

// Tests may catch the calls instead of starting anything; the fallback still
// runs when the caught call says it failed.
using ShellOpener = std::function<bool(const std::string &target)>;
void setShellOpener(ShellOpener opener);

// Returns whether the user was shown the target after all.
using OpenFallback = std::function<bool(const std::string &target)>;
void setOpenFallback(OpenFallback fallback);

// Web addresses (http, https) as opposed to local documents.
bool isWebAddress(const std::string &target);

} // namespace vantor
