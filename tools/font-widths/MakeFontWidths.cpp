// Writes the advance widths of a TrueType font for every cp1252 character
// as a C++ table, so the program measures texts as a browser lays them out
// in that font without shipping or reading the font itself. Run by the
// build on Liberation Sans (metric-compatible with Arial):
//
//   vantor-make-font-widths FONT.ttf OUTPUT.inc
//
// Only the tables every TrueType font has are read: head (units per em),
// hhea and hmtx (advances), cmap (the Unicode subtable of format 4).

#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>

namespace {

std::string g_font;

std::uint32_t u16(std::size_t at)
{
    if (at + 2 > g_font.size())
        throw std::runtime_error("font too short");
    return (static_cast<std::uint32_t>(static_cast<unsigned char>(g_font[at])) << 8)
        | static_cast<unsigned char>(g_font[at + 1]);
}

std::uint32_t u32(std::size_t at) { return (u16(at) << 16) | u16(at + 2); }

// The Unicode code point of each cp1252 byte; 0 where cp1252 has none.
std::uint32_t unicodeOf(unsigned byte)
{
    static const std::uint32_t high[32] = {0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                           0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
                                           0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                           0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};
    if (byte >= 0x80 && byte < 0xA0)
        return high[byte - 0x80];
    return byte;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "Aufruf / Usage: vantor-make-font-widths FONT.ttf OUTPUT.inc\n");
        return 2;
    }
    try {
        std::ifstream in(argv[1], std::ios::binary);
        g_font.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (!in && g_font.empty())
            throw std::runtime_error("cannot read the font");
        std::map<std::string, std::size_t> tables;
        const std::uint32_t count = u16(4);
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::size_t record = 12 + 16 * i;
            tables[g_font.substr(record, 4)] = u32(record + 8);
        }
        for (const char *needed : {"head", "hhea", "hmtx", "cmap"}) {
            if (!tables.count(needed))
                throw std::runtime_error(std::string("no table ") + needed);
        }
        const std::uint32_t unitsPerEm = u16(tables["head"] + 18);
        const std::uint32_t metrics = u16(tables["hhea"] + 34);
        const std::size_t hmtx = tables["hmtx"];
        const auto advanceOf = [&](std::uint32_t glyph) {
            return u16(hmtx + 4 * (glyph < metrics ? glyph : metrics - 1));
        };

        // The Unicode subtable: Windows Unicode BMP (3, 1), else Unicode (0, 3).
        const std::size_t cmap = tables["cmap"];
        std::size_t sub = 0;
        for (std::uint32_t i = 0, n = u16(cmap + 2); i < n; ++i) {
            const std::size_t record = cmap + 4 + 8 * i;
            const std::uint32_t platform = u16(record);
            const std::uint32_t encoding = u16(record + 2);
            if ((platform == 3 && encoding == 1) || (platform == 0 && encoding == 3 && sub == 0))
                sub = cmap + u32(record + 4);
        }
        if (sub == 0 || u16(sub) != 4)
            throw std::runtime_error("no Unicode subtable of format 4");
        const std::uint32_t segments = u16(sub + 6) / 2;
        const std::size_t ends = sub + 14;
        const std::size_t starts = ends + 2 * segments + 2;
        const std::size_t deltas = starts + 2 * segments;
        const std::size_t ranges = deltas + 2 * segments;
        const auto glyphOf = [&](std::uint32_t code) -> std::uint32_t {
            for (std::uint32_t s = 0; s < segments; ++s) {
                if (code > u16(ends + 2 * s))
                    continue;
                const std::uint32_t start = u16(starts + 2 * s);
                if (code < start)
                    return 0;
                const std::uint32_t delta = u16(deltas + 2 * s);
                const std::uint32_t range = u16(ranges + 2 * s);
                if (range == 0)
                    return (code + delta) & 0xFFFF;
                const std::uint32_t glyph = u16(ranges + 2 * s + range + 2 * (code - start));
                return glyph == 0 ? 0 : (glyph + delta) & 0xFFFF;
            }
            return 0;
        };

        std::array<std::uint32_t, 256> advances{};
        for (unsigned byte = 0x20; byte < 256; ++byte) {
            const std::uint32_t code = unicodeOf(byte);
            // A character the code page or the font lacks takes no room:
            // the text never holds it as itself.
            // The soft hyphen shows only where a line breaks, and a
            // result list does not break a title.
            const std::uint32_t glyph = code == 0 || byte == 0xAD ? 0 : glyphOf(code);
            advances[byte] = glyph == 0 ? 0 : advanceOf(glyph);
        }

        std::string out = "// Generated by vantor-make-font-widths from " + std::string(argv[1])
            + "; do not edit.\n// Advance widths in font units of every cp1252 character.\n"
              "constexpr int kUnitsPerEm = "
            + std::to_string(unitsPerEm) + ";\nconstexpr std::array<std::uint16_t, 256> kAdvances = {{\n";
        for (unsigned byte = 0; byte < 256; ++byte)
            out += std::to_string(advances[byte]) + (byte % 16 == 15 ? ",\n" : ", ");
        out += "}};\n";
        std::ofstream file(argv[2], std::ios::binary | std::ios::trunc);
        file << out;
        if (!file)
            throw std::runtime_error("cannot write the table");
    } catch (const std::exception &e) {
        std::fprintf(stderr, "vantor-make-font-widths: %s\n", e.what());
        return 1;
    }
    return 0;
}
