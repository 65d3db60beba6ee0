#pragma once

#include <functional>
#include <string>

namespace vantor {

// Opens a document or URL with the user's default program (xdg-open),
// without waiting for it. Returns false when it could not be started.
// VANTOR_OPEN_COMMAND replaces xdg-open (tests point it at a recorder).
bool shellOpen(const std::string &target);

// Tests may catch the calls instead of starting anything.
using ShellOpener = std::function<bool(const std::string &target)>;
void setShellOpener(ShellOpener opener);

} // namespace vantor
