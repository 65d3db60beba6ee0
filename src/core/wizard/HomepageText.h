#pragma once

#include <string>

namespace vantor {

class Ui;
class WorkingText;

// The homepage as the wizard's analyses read it: the whole file as working
// text (a UTF-8 page turned into cp1252, see WorkingText) with every CR and
// LF removed. False when it cannot be read.
bool readHomepageText(const std::string &path, std::string &text, WorkingText &working);

// A value found in the homepage as the record holds it; lost is set when a
// character had to become '?'.
std::string recordValue(const WorkingText &working, const std::string &value, bool &lost);
// Tells the user that characters were replaced, after an analysis.
void showCharactersLost(Ui &ui);

// The text from start (one blank there skipped) up to the next end; to the
// end of the text when no end follows.
std::string valueAfter(const std::string &text, std::size_t start, const std::string &end);

// The text after the n-th (1..3) start ... end block, as the title analysis
// reads it: the blocks before it are skipped. False when there is none.
bool blockValue(const std::string &text, const std::string &start, const std::string &end, int n, std::string &value);

// "Keine Informationen gefunden".
void showNothingFound(Ui &ui);

} // namespace vantor
