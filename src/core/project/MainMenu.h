#pragma once

#include <string>

namespace vantor {

constexpr int kTipCount = 18;

// Tip number 1..18 as stored, with its padding line breaks.
const std::string &tipText(int number);

// Opening the main window: takes the stored tip (0 or above 18 shows tip 1),
// stores the following one (18 wraps to 1) in memory and in the settings and
// returns the number to show.
int takeNextTip();

// "Geladenes Projekt: " with the display name and a blank.
std::string projectLine();
// "Verwendete Version: Vantor!! 4.01 ".
std::string versionLine();

// Title and text of the "Position" button's announcement.
std::string positionTitle();
std::string positionText();

// The note of a menu button whose function is still to come.
std::string notYetAvailableTitle();
std::string notYetAvailableText(const std::string &function);

} // namespace vantor
