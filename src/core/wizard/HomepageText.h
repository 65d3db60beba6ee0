#pragma once

#include <string>

namespace vantor {

class Ui;

// The homepage as the wizard's analyses read it: the whole file with every
// CR and LF removed. False when it cannot be read.
bool readHomepageText(const std::string &path, std::string &text);

// The text from start (one blank there skipped) up to the next end; to the
// end of the text when no end follows.
std::string valueAfter(const std::string &text, std::size_t start, const std::string &end);

// The text after the n-th (1..3) start ... end block, as the title analysis
// reads it: the blocks before it are skipped. False when there is none.
bool blockValue(const std::string &text, const std::string &start, const std::string &end, int n, std::string &value);

// "Keine Informationen gefunden".
void showNothingFound(Ui &ui);

} // namespace vantor
