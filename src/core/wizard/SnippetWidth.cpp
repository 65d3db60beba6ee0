#include "wizard/SnippetWidth.h"

#include <array>
#include <cstdint>

namespace vantor::snippet {

namespace {

// kUnitsPerEm and kAdvances, written by the build from the font.
#include "FontWidthsTable.inc"

// The ellipsis a result list puts behind a cut text: a blank and "…".
constexpr std::string_view kEllipsis = " \x85";

double units(std::string_view text)
{
    double sum = 0;
    for (const char c : text)
        sum += kAdvances[static_cast<unsigned char>(c)];
    return sum;
}

} // namespace

double width(std::string_view text, double size) { return units(text) * size / kUnitsPerEm; }

std::string cut(std::string_view text, double size, double limit)
{
    if (width(text, size) <= limit)
        return std::string(text);
    const double room = limit * kUnitsPerEm / size - units(kEllipsis);
    // Whole words from the start while they fit.
    std::size_t lastFit = std::string_view::npos;
    double used = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == ' ' && i > 0 && text[i - 1] != ' ' && used <= room)
            lastFit = i;
        used += kAdvances[static_cast<unsigned char>(text[i])];
        if (used > room)
            break;
    }
    if (lastFit != std::string_view::npos)
        return std::string(text.substr(0, lastFit)) + std::string(kEllipsis);
    // Not even the first word fits: as many of its characters as do.
    std::size_t end = 0;
    used = 0;
    while (end < text.size() && used + kAdvances[static_cast<unsigned char>(text[end])] <= room) {
        used += kAdvances[static_cast<unsigned char>(text[end])];
        ++end;
    }
    return std::string(text.substr(0, end)) + "\x85";
}

} // namespace vantor::snippet
