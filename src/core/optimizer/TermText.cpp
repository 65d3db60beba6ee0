#include "optimizer/TermText.h"

#include "net/PercentEncoding.h"
#include "optimizer/FindLiteral.h"
#include "optimizer/OutOfMemory.h"
#include "platform/Text.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace vantor {

namespace {

// The cp1252 bytes of the letters the conversions know.
constexpr char kAUml = '\xC4';
constexpr char kaUml = '\xE4';
constexpr char kOUml = '\xD6';
constexpr char koUml = '\xF6';
constexpr char kUUml = '\xDC';
constexpr char kuUml = '\xFC';
constexpr char kSzlig = '\xDF';
constexpr char keAcute = '\xE9';
constexpr char kEAcute = '\xC9';
constexpr char keGrave = '\xE8';
constexpr char kEGrave = '\xC8';
constexpr char kiCirc = '\xEE';
constexpr char kaCirc = '\xE2';
constexpr char kaGrave = '\xE0';
constexpr char kAGrave = '\xC0';
constexpr char keCirc = '\xEA';

std::string_view beforeHash(std::string_view text) { return text.substr(0, findLiteral(text, '#')); }

// Runs a byte-to-text mapping over the whole text.
template <typename Map>
std::string mapBytes(std::string_view text, Map map)
{
    return exitWhenOutOfMemory([&] {
        std::string out;
        out.reserve(text.size());
        for (const char c : text)
            map(c, out);
        return out;
    });
}

std::string_view spelledOut(char c)
{
    switch (c) {
    case kAUml: return "Ae";
    case kaUml: return "ae";
    case kOUml: return "Oe";
    case koUml: return "oe";
    case kUUml: return "Ue";
    case kuUml: return "ue";
    case kSzlig: return "ss";
    case keAcute: return "e";
    case kEAcute: return "E";
    case keGrave: return "e";
    case kEGrave: return "E";
    case kiCirc: return "i";
    case kaCirc: return "a";
    case kaGrave: return "a";
    case kAGrave: return "A";
    default: return {};
    }
}

std::string_view namedEntity(char c)
{
    switch (c) {
    case kAUml: return "&Auml;";
    case kaUml: return "&auml;";
    case kOUml: return "&Ouml;";
    case koUml: return "&ouml;";
    case kUUml: return "&Uuml;";
    case kuUml: return "&uuml;";
    case kSzlig: return "&szlig;";
    case keAcute: return "&eacute;";
    case kEAcute: return "&Eacute;";
    case keGrave: return "&egrave;";
    case kEGrave: return "&Egrave;";
    case kaGrave: return "&agrave;";
    case kAGrave: return "&Agrave;";
    case kiCirc: return "&icirc;";
    case kaCirc: return "&acirc;";
    default: return {};
    }
}

struct EntityDecoding
{
    std::string_view entity;
    char letter;
};

// Tried in this order at every '&'; the forms without ';' come after their
// full forms because keyword services send both.
constexpr EntityDecoding kEntities[] = {
    {"&#34;", '"'},     {"&auml;", kaUml},  {"&auml", kaUml},   {"&ouml;", koUml},  {"&ouml", koUml},
    {"&uuml;", kuUml},  {"&uuml", kuUml},   {"&Auml;", kAUml},  {"&Auml", kAUml},   {"&Ouml;", kOUml},
    {"&Ouml", kOUml},   {"&Uuml;", kUUml},  {"&Uuml", kUUml},   {"&szlig;", kSzlig}, {"&szlig", kSzlig},
    {"&nbsp;", ' '},    {"&nbsp", ' '},     {"&amp;", '&'},     {"&#39", '\''},
};

// Second byte after 0xC3 of the UTF-8 letters we decode, with their cp1252 byte.
char utf8Letter(char second)
{
    switch (static_cast<unsigned char>(second)) {
    case 0xA8: return keGrave;
    case 0xA9: return keAcute;
    case 0xAA: return keCirc;
    case 0x84: return kAUml;
    case 0xA4: return kaUml;
    case 0x9C: return kUUml;
    case 0xBC: return kuUml;
    case 0x96: return kOUml;
    case 0xB6: return koUml;
    case 0x9F: return kSzlig;
    default: return '\0';
    }
}

bool isKeptLetter(char c)
{
    if (c == ' ' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))
        return true;
    switch (c) {
    case kAUml:
    case kOUml:
    case kUUml:
    case kSzlig:
    case kaUml:
    case keGrave:
    case keAcute:
    case keCirc:
    case koUml:
    case kuUml:
        return true;
    default:
        return false;
    }
}

} // namespace

std::string fileNameForm(std::string_view term)
{
    return mapBytes(beforeHash(term), [](char c, std::string &out) {
        if (c == ' ')
            return;
        const std::string_view spelled = spelledOut(c);
        if (spelled.empty())
            out += c;
        else
            out += spelled;
    });
}

std::string safeNameForm(std::string_view term)
{
    std::string name;
    for (const char c : lowerCp1252(fileNameForm(term))) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '/' || c == '\\' || c == ':' || byte < 0x20 || byte == 0x7F)
            continue;
        // Dots only count once something else stands before them: "..",
        // "../x" and ".htaccess" must not survive as such.
        if (c == '.' && name.empty())
            continue;
        name += c;
    }
    // A file name may have 255 bytes on the disk (UTF-8 there); with a start
    // sign in front and an extension behind, a long term would fail the
    // write and with it the whole run. Such a name is cut at a character
    // and gets a short hash of the whole name, so two long terms that begin
    // alike still get names of their own.
    constexpr std::size_t kMaxNameBytes = 200;
    constexpr std::size_t kHashBytes = 9; // "-" and 8 hex digits
    const auto utf8Length = [](char c) -> std::size_t {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x80 ? 1 : toUtf8(std::string(1, c)).size();
    };
    std::size_t length = 0;
    for (const char c : name)
        length += utf8Length(c);
    if (length > kMaxNameBytes) {
        std::uint32_t hash = 2166136261u;
        for (const char c : name) {
            hash ^= static_cast<unsigned char>(c);
            hash *= 16777619u;
        }
        std::size_t kept = 0;
        std::size_t bytes = 0;
        while (kept < name.size() && bytes + utf8Length(name[kept]) <= kMaxNameBytes - kHashBytes)
            bytes += utf8Length(name[kept++]);
        char tag[10];
        std::snprintf(tag, sizeof tag, "-%08x", static_cast<unsigned>(hash));
        name = name.substr(0, kept) + tag;
    }
    return name;
}

std::string entityForm(std::string_view term)
{
    // No entity holds a '#', so cutting first gives the same text.
    return mapBytes(beforeHash(term), [](char c, std::string &out) {
        const std::string_view entity = namedEntity(c);
        if (entity.empty())
            out += c;
        else
            out += entity;
    });
}

void decodeEntities(std::string &text)
{
    // Decoding only ever shortens, so writing behind the reading position is safe.
    const std::string_view source = text;
    std::size_t write = 0;
    std::size_t read = 0;
    while (read < source.size()) {
        const char c = source[read];
        if (c == '&') {
            bool decoded = false;
            for (const EntityDecoding &e : kEntities) {
                if (source.substr(read, e.entity.size()) == e.entity) {
                    text[write++] = e.letter;
                    read += e.entity.size();
                    decoded = true;
                    break;
                }
            }
            if (decoded)
                continue;
        } else if (c == '\xC3' && read + 1 < source.size()) {
            const char letter = utf8Letter(source[read + 1]);
            if (letter != '\0') {
                text[write++] = letter;
                read += 2;
                continue;
            }
        }
        text[write++] = c;
        ++read;
    }
    text.resize(write);
}

std::string cutAtHash(std::string_view text)
{
    return exitWhenOutOfMemory([&] { return std::string(beforeHash(text)); });
}

std::string removeLineBreaks(std::string_view text)
{
    return mapBytes(text, [](char c, std::string &out) {
        if (c != '\r' && c != '\n')
            out += c;
    });
}

std::string removeSpaces(std::string_view text)
{
    return mapBytes(text, [](char c, std::string &out) {
        if (c != ' ')
            out += c;
    });
}

std::string spacesToPlus(std::string_view text)
{
    return mapBytes(text, [](char c, std::string &out) { out += c == ' ' ? '+' : c; });
}

std::string plusToSpaces(std::string_view text)
{
    return mapBytes(text, [](char c, std::string &out) { out += c == '+' ? ' ' : c; });
}

std::string backslashToSlash(std::string_view text)
{
    return mapBytes(text, [](char c, std::string &out) { out += c == '\\' ? '/' : c; });
}

std::string colonToComma(std::string_view text)
{
    return mapBytes(text, [](char c, std::string &out) { out += (c == ':' || c == '>') ? ',' : c; });
}

std::string cutAtNewline(std::string_view text)
{
    return exitWhenOutOfMemory([&] { return std::string(text.substr(0, findLiteral(text, '\n'))); });
}

std::string escapeHash(std::string_view text)
{
    return mapBytes(text, [](char c, std::string &out) {
        if (c == '#')
            out += "%23";
        else
            out += c;
    });
}

std::string lettersOnly(std::string_view text)
{
    return mapBytes(text, [](char c, std::string &out) {
        if (isKeptLetter(c))
            out += c;
    });
}

std::string linkForm(std::string_view path)
{
    // Besides letters and digits the marks a path may hold as they are, the
    // start signs among them. ':' is left out because "a:b.htm" would be read
    // as a scheme, '&' because HTML reads it as the start of an entity.
    return percentEncodeKeeping(toUtf8(path), "/-._~!$'()*+,;=@");
}

} // namespace vantor
