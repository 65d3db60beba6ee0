#include "wizard/PageSnippet.h"

#include "optimizer/PageEncoding.h"
#include "platform/Text.h"

#include <charconv>
#include <cstdint>
#include <map>

namespace vantor {

namespace {

std::string lowerAscii(std::string_view text)
{
    std::string out(text);
    for (char &c : out) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

// The entities titles and descriptions use; numeric ones of any kind.
std::uint32_t namedEntity(const std::string &name)
{
    static const std::map<std::string, std::uint32_t> names = {
        {"amp", '&'},       {"lt", '<'},        {"gt", '>'},         {"quot", '"'},      {"apos", '\''},
        {"nbsp", 0xA0},     {"auml", 0xE4},     {"ouml", 0xF6},      {"uuml", 0xFC},     {"Auml", 0xC4},
        {"Ouml", 0xD6},     {"Uuml", 0xDC},     {"szlig", 0xDF},     {"eacute", 0xE9},   {"egrave", 0xE8},
        {"agrave", 0xE0},   {"aacute", 0xE1},   {"ccedil", 0xE7},    {"copy", 0xA9},     {"reg", 0xAE},
        {"euro", 0x20AC},   {"ndash", 0x2013},  {"mdash", 0x2014},   {"hellip", 0x2026}, {"bdquo", 0x201E},
        {"ldquo", 0x201C},  {"rdquo", 0x201D},  {"sbquo", 0x201A},   {"lsquo", 0x2018},  {"rsquo", 0x2019},
        {"laquo", 0xAB},    {"raquo", 0xBB},    {"middot", 0xB7},    {"bull", 0x2022},   {"trade", 0x2122},
        {"deg", 0xB0},      {"sect", 0xA7},     {"para", 0xB6},      {"times", 0xD7},    {"shy", 0xAD},
    };
    const auto found = names.find(name);
    return found == names.end() ? 0 : found->second;
}

// UTF-8 text with its character references decoded, blanks (and line
// breaks) collapsed to one, trimmed.
std::string browserText(std::string_view text)
{
    std::string decoded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&') {
            const std::size_t semicolon = text.find(';', i);
            if (semicolon != std::string_view::npos && semicolon - i <= 10) {
                const std::string name(text.substr(i + 1, semicolon - i - 1));
                std::uint32_t cp = 0;
                if (name.size() > 1 && name[0] == '#') {
                    const bool hex = name[1] == 'x' || name[1] == 'X';
                    const char *begin = name.data() + (hex ? 2 : 1);
                    const auto [end, ec] = std::from_chars(begin, name.data() + name.size(), cp, hex ? 16 : 10);
                    if (ec != std::errc() || end != name.data() + name.size() || cp > 0x10FFFF)
                        cp = 0;
                } else {
                    cp = namedEntity(name);
                }
                if (cp != 0) {
                    appendUtf8(decoded, static_cast<char32_t>(cp));
                    i = semicolon;
                    continue;
                }
            }
        }
        decoded += text[i];
    }
    std::string out;
    for (char c : decoded) {
        const bool blank = c == ' ' || c == '\t' || c == '\r' || c == '\n';
        if (blank) {
            if (!out.empty() && out.back() != ' ')
                out += ' ';
        } else {
            out += c;
        }
    }
    if (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

// The value of an attribute in a tag's text (lower-cased copy for the
// search, the original for the value).
bool attribute(std::string_view tag, const std::string &lowerTag, const std::string &name, std::string &value)
{
    std::size_t at = 0;
    while ((at = lowerTag.find(name, at)) != std::string::npos) {
        const bool startsWord = at > 0 && (lowerTag[at - 1] == ' ' || lowerTag[at - 1] == '\t'
                                           || lowerTag[at - 1] == '\n' || lowerTag[at - 1] == '\r');
        std::size_t i = at + name.size();
        while (i < lowerTag.size() && lowerTag[i] == ' ')
            ++i;
        if (!startsWord || i >= lowerTag.size() || lowerTag[i] != '=') {
            at += name.size();
            continue;
        }
        ++i;
        while (i < lowerTag.size() && lowerTag[i] == ' ')
            ++i;
        if (i < tag.size() && (tag[i] == '"' || tag[i] == '\'')) {
            const char quote = tag[i];
            const std::size_t end = tag.find(quote, i + 1);
            value = std::string(tag.substr(i + 1, end == std::string_view::npos ? std::string_view::npos : end - i - 1));
        } else {
            const std::size_t end = tag.find_first_of(" \t\r\n>", i);
            value = std::string(tag.substr(i, end == std::string_view::npos ? std::string_view::npos : end - i));
        }
        return true;
    }
    return false;
}

} // namespace

PageSnippet PageSnippet::read(std::string_view bytes)
{
    PageSnippet snippet;
    std::string_view head = bytes.substr(0, kHeadLimit);
    const PageEncoding encoding = detectEncoding(head);
    std::string utf8;
    if (encoding.utf16 != Utf16::None)
        utf8 = utf16ToUtf8(head, encoding.utf16);
    else if (encoding.charset == Charset::Utf8)
        utf8 = std::string(head.substr(encoding.byteOrderMark ? 3 : 0));
    else
        utf8 = toUtf8(head);
    const std::string lower = lowerAscii(utf8);

    const std::size_t title = lower.find("<title");
    if (title != std::string::npos) {
        const std::size_t open = lower.find('>', title);
        const std::size_t close = open == std::string::npos ? open : lower.find("</title", open);
        if (close != std::string::npos) {
            snippet.hasTitle = true;
            snippet.title = toCp1252(browserText(std::string_view(utf8).substr(open + 1, close - open - 1)));
        }
    }
    for (std::size_t at = lower.find("<meta"); at != std::string::npos; at = lower.find("<meta", at + 5)) {
        const std::size_t end = lower.find('>', at);
        if (end == std::string::npos)
            break;
        const std::string_view tag = std::string_view(utf8).substr(at, end - at);
        const std::string lowerTag = lower.substr(at, end - at);
        std::string name;
        std::string content;
        if (attribute(tag, lowerTag, "name", name) && lowerAscii(name) == "description"
            && attribute(tag, lowerTag, "content", content)) {
            snippet.hasDescription = true;
            snippet.description = toCp1252(browserText(content));
            break;
        }
    }
    if (!snippet.hasTitle)
        snippet.title.clear();
    return snippet;
}

} // namespace vantor
