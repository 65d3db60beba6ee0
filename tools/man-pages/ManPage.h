#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

// The man pages are written in a small markdown, read by people in the
// repository and turned into roff at build time. What the pages need and
// nothing more:
//
//   % vantor-cli 1 2026-12-09        front line: name, section, date of the page
//   # ÜBERSICHT                      .SH        ## Unterabschnitt   .SS
//   text lines                       a paragraph (.PP); blank lines separate them
//   line ending in a backslash\      a line break (.br) after that line
//   **fett**  *kursiv*  `code`       \fB \fI, code in bold
//   - Punkt                          a bullet list item (.IP); indented lines continue it
//   Begriff                          a definition (.TP) for options and commands:
//   : Erklärung                      the term on one line, the text on the next
//     weiter                         starting with ": ", further lines continue it
//   ```                              an example (.RS/.nf ... .fi/.RE), taken literally
//   <!-- Kommentar -->               dropped (only as whole lines)
//
// A backslash before a punctuation character makes it literal (\* \` \\).
// The date is the page's own so that every build writes the same bytes.
//
// Minus or hyphen: in code and examples every "-" is a minus (\-), so that
// what the reader copies runs. In text a word that starts with "-" is an
// option, and a word in plain lower-case ASCII like vantor-cli or
// version-check is a name; their "-" become \- as well. Everything else
// (Web-Site, E-Mail) keeps the hyphen.
namespace vantor::manpage {

class Error : public std::runtime_error
{
public:
    Error(int line, const std::string &what)
        : std::runtime_error(what)
        , m_line(line)
    {
    }
    int line() const { return m_line; }

private:
    int m_line;
};

// The page as roff. source goes into the .TH header ("Vantor!! 4.01").
// Throws Error for input outside the subset, so a typo cannot slip into a
// page unnoticed.
std::string toRoff(std::string_view markdown, std::string_view source);

// The gzip file man-db reads, at the highest level, with no time stamp and
// no file name in its header: the same page gives the same bytes.
std::string gzip(std::string_view data);

} // namespace vantor::manpage
