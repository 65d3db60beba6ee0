#pragma once

#include <string>
#include <string_view>

namespace vantor {

// How much of a title and a description a result list shows. Result lists
// cut by pixels, not by characters: the widths here are those of Arial as
// browsers lay it out (measured on Liberation Sans, its metric twin), so
// "Ferienhäuser an der Nordsee" and "IIIIIIII…" of the same length come out
// as differently as they look. Texts are cp1252.
namespace snippet {

// The sizes and room of a result list; the one place to change them.
constexpr double kTitleSize = 20.0;       // px, titles
constexpr double kDescriptionSize = 14.0; // px, descriptions
constexpr double kDesktopTitle = 600.0;
constexpr double kMobileTitle = 600.0;
constexpr double kDesktopDescription = 920.0;
constexpr double kMobileDescription = 680.0;

// The width of a text in pixels at a font size (no kerning, as lists show
// titles); characters cp1252 lacks or the font has no glyph for take none.
double width(std::string_view text, double size);

// The text as a list shows it: whole when it fits, else cut after the last
// whole word that fits with " …" behind it (within a word when not even the
// first one does).
std::string cut(std::string_view text, double size, double limit);

} // namespace snippet

} // namespace vantor
