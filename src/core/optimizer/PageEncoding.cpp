#include "optimizer/PageEncoding.h"

#include "platform/Text.h"

#include <algorithm>
#include <cctype>

namespace vantor {

namespace {

constexpr unsigned char kEscapeStart = 0x81;
// The four other bytes cp1252 leaves undefined, as digits of the index.
constexpr unsigned char kDigits[4] = {0x8D, 0x8F, 0x90, 0x9D};
constexpr std::size_t kIndexDigits = 8;
constexpr std::size_t kEscapeLength = 1 + kIndexDigits;

int digitValue(unsigned char c)
{
    for (int d = 0; d < 4; ++d)
        if (kDigits[d] == c)
            return d;
    return -1;
}

std::string lowerAsciiCopy(std::string_view text)
{
    std::string out(text);
    for (char &c : out)
        c = lowerAscii(c);
    return out;
}

// The charset the head declares: <meta charset="..."> or a content type
// with charset=..., looked for in the head only.
bool declaredCharset(std::string_view page, Charset &charset)
{
    std::string head = lowerAsciiCopy(page.substr(0, std::min<std::size_t>(page.size(), 65536)));
    const std::size_t headEnd = head.find("</head");
    if (headEnd != std::string::npos)
        head.resize(headEnd);
    for (std::size_t at = head.find("charset"); at != std::string::npos; at = head.find("charset", at + 7)) {
        std::size_t v = at + 7;
        while (v < head.size() && (head[v] == ' ' || head[v] == '"' || head[v] == '\''))
            ++v;
        if (v >= head.size() || head[v] != '=')
            continue;
        ++v;
        while (v < head.size() && (head[v] == ' ' || head[v] == '"' || head[v] == '\''))
            ++v;
        std::size_t e = v;
        while (e < head.size() && (std::isalnum(static_cast<unsigned char>(head[e])) || head[e] == '-' || head[e] == '_'))
            ++e;
        const std::string name = head.substr(v, e - v);
        if (name == "utf-8" || name == "utf8") {
            charset = Charset::Utf8;
            return true;
        }
        if (name == "windows-1252" || name == "cp1252" || name == "iso-8859-1" || name == "iso-8859-15" ||
            name == "latin1" || name == "us-ascii") {
            charset = Charset::Cp1252;
            return true;
        }
    }
    return false;
}

// Valid UTF-8 with at least one multi-byte sequence.
bool looksLikeUtf8(std::string_view page)
{
    bool multiByte = false;
    for (std::size_t i = 0; i < page.size();) {
        if (static_cast<unsigned char>(page[i]) < 0x80) {
            ++i;
            continue;
        }
        char32_t cp = 0;
        const std::size_t len = decodeUtf8(page, i, cp);
        if (len == 0)
            return false;
        multiByte = true;
        i += len;
    }
    return multiByte;
}

bool holeOfCp1252(char32_t cp) { return cp == 0x81 || cp == 0x8D || cp == 0x8F || cp == 0x90 || cp == 0x9D; }

} // namespace

Utf16 detectUtf16(std::string_view page)
{
    if (page.size() >= 2 && page[0] == '\xFF' && page[1] == '\xFE')
        return Utf16::LittleEndian;
    if (page.size() >= 2 && page[0] == '\xFE' && page[1] == '\xFF')
        return Utf16::BigEndian;
    if (page.size() >= 2 && page[0] == '<' && page[1] == '\0')
        return Utf16::LittleEndian;
    if (page.size() >= 2 && page[0] == '\0' && page[1] == '<')
        return Utf16::BigEndian;
    return Utf16::None;
}

std::string utf16ToUtf8(std::string_view page, Utf16 order)
{
    const bool little = order == Utf16::LittleEndian;
    const auto unit = [&](std::size_t i) -> char32_t {
        const auto a = static_cast<unsigned char>(page[i]);
        const auto b = static_cast<unsigned char>(page[i + 1]);
        return little ? static_cast<char32_t>(a | (b << 8)) : static_cast<char32_t>((a << 8) | b);
    };
    std::size_t i = 0;
    if (page.size() >= 2 && unit(0) == 0xFEFF)
        i = 2;
    std::string out;
    out.reserve(page.size() / 2 + 16);
    for (; i + 1 < page.size(); i += 2) {
        char32_t cp = unit(i);
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 3 < page.size()) {
            const char32_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            } else {
                cp = 0xFFFD;
            }
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        appendUtf8(out, cp);
    }
    return out;
}

std::string utf8ToUtf16(std::string_view text, Utf16 order)
{
    const bool little = order == Utf16::LittleEndian;
    std::string out;
    out.reserve(text.size() * 2 + 2);
    const auto put = [&](char32_t u) {
        const char high = static_cast<char>((u >> 8) & 0xFF);
        const char low = static_cast<char>(u & 0xFF);
        out += little ? low : high;
        out += little ? high : low;
    };
    put(0xFEFF);
    for (std::size_t i = 0; i < text.size();) {
        char32_t cp = 0;
        std::size_t len = static_cast<unsigned char>(text[i]) < 0x80 ? 1 : decodeUtf8(text, i, cp);
        if (static_cast<unsigned char>(text[i]) < 0x80)
            cp = static_cast<unsigned char>(text[i]);
        if (len == 0) {
            cp = 0xFFFD;
            len = 1;
        }
        if (cp >= 0x10000) {
            const char32_t v = cp - 0x10000;
            put(0xD800 + (v >> 10));
            put(0xDC00 + (v & 0x3FF));
        } else {
            put(cp);
        }
        i += len;
    }
    return out;
}

const char *encodingName(const PageEncoding &encoding)
{
    return encoding.utf16 != Utf16::None ? "UTF-16" : charsetName(encoding.charset);
}

PageEncoding detectEncoding(std::string_view page)
{
    if (const Utf16 order = detectUtf16(page); order != Utf16::None) {
        // Read as the UTF-8 it becomes; whatever its head declares, the bytes
        // are UTF-16.
        PageEncoding encoding;
        encoding.charset = Charset::Utf8;
        encoding.utf16 = order;
        encoding.byteOrderMark = true;
        return encoding;
    }
    PageEncoding encoding;
    encoding.byteOrderMark = page.substr(0, 3) == "\xEF\xBB\xBF";
    encoding.declared = declaredCharset(page, encoding.declaredCharset);
    const bool utf8Bytes = looksLikeUtf8(encoding.byteOrderMark ? page.substr(3) : page);
    if (encoding.byteOrderMark)
        encoding.charset = Charset::Utf8;
    else if (encoding.declared)
        encoding.charset = encoding.declaredCharset;
    else
        encoding.charset = utf8Bytes ? Charset::Utf8 : Charset::Cp1252;
    // What the bytes hold against what the page says: UTF-8 bytes under a
    // cp1252 declaration, or bytes that are no UTF-8 under a UTF-8 one.
    if (encoding.declared) {
        const bool bytesUtf8 = utf8Bytes || encoding.byteOrderMark;
        const bool anyHigh = std::any_of(page.begin(), page.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
        encoding.mismatch = encoding.declaredCharset == Charset::Utf8 ? (anyHigh && !bytesUtf8 && !encoding.byteOrderMark)
                                                                       : (bytesUtf8 || encoding.byteOrderMark);
    }
    return encoding;
}

const char *charsetName(Charset charset) { return charset == Charset::Utf8 ? "UTF-8" : "Windows-1252"; }

std::string WorkingText::escape(std::string original)
{
    auto it = std::find(m_originals.begin(), m_originals.end(), original);
    std::size_t index = static_cast<std::size_t>(it - m_originals.begin());
    if (it == m_originals.end())
        m_originals.push_back(std::move(original));
    std::string out(1, static_cast<char>(kEscapeStart));
    for (std::size_t d = 0; d < kIndexDigits; ++d)
        out += static_cast<char>(kDigits[(index >> (2 * (kIndexDigits - 1 - d))) & 3]);
    return out;
}

std::size_t WorkingText::unescape(std::string_view text, std::size_t i, const std::string *&original) const
{
    if (static_cast<unsigned char>(text[i]) != kEscapeStart || i + kEscapeLength > text.size())
        return 0;
    std::size_t index = 0;
    for (std::size_t d = 0; d < kIndexDigits; ++d) {
        const int digit = digitValue(static_cast<unsigned char>(text[i + 1 + d]));
        if (digit < 0)
            return 0;
        index = (index << 2) | static_cast<std::size_t>(digit);
    }
    if (index >= m_originals.size())
        return 0;
    original = &m_originals[index];
    return kEscapeLength;
}

std::string WorkingText::fromPage(std::string_view page, const PageEncoding &encoding)
{
    if (encoding.utf16 != Utf16::None) {
        PageEncoding asUtf8 = encoding;
        asUtf8.utf16 = Utf16::None;
        asUtf8.byteOrderMark = false;
        return fromPage(utf16ToUtf8(page, encoding.utf16), asUtf8);
    }
    if (encoding.charset == Charset::Cp1252)
        return std::string(page);
    if (encoding.byteOrderMark && page.substr(0, 3) == "\xEF\xBB\xBF")
        page.remove_prefix(3);
    std::string out;
    out.reserve(page.size());
    for (std::size_t i = 0; i < page.size();) {
        const auto b = static_cast<unsigned char>(page[i]);
        if (b < 0x80) {
            out += static_cast<char>(b);
            ++i;
            continue;
        }
        char32_t cp = 0;
        const std::size_t len = decodeUtf8(page, i, cp);
        if (len == 0) {
            out += escape(std::string(1, static_cast<char>(b)));
            ++i;
            continue;
        }
        const int byte = holeOfCp1252(cp) ? -1 : cp1252ByteFor(cp);
        if (byte >= 0)
            out += static_cast<char>(byte);
        else
            out += escape(std::string(page.substr(i, len)));
        i += len;
    }
    return out;
}

std::string WorkingText::toPage(std::string_view text, const PageEncoding &encoding) const
{
    if (encoding.utf16 != Utf16::None) {
        PageEncoding asUtf8 = encoding;
        asUtf8.utf16 = Utf16::None;
        asUtf8.byteOrderMark = false;
        return utf8ToUtf16(toPage(text, asUtf8), encoding.utf16);
    }
    // The common case, a cp1252 site: nothing to convert, nothing escaped.
    if (encoding.charset == Charset::Cp1252 && m_originals.empty())
        return std::string(text);
    std::string out;
    out.reserve(text.size() + text.size() / 8 + 3);
    if (encoding.charset == Charset::Utf8 && encoding.byteOrderMark)
        out += "\xEF\xBB\xBF";
    for (std::size_t i = 0; i < text.size();) {
        const std::string *original = nullptr;
        if (const std::size_t len = unescape(text, i, original)) {
            char32_t cp = 0;
            if (encoding.charset == Charset::Utf8 || decodeUtf8(*original, 0, cp) != original->size())
                out += *original; // UTF-8 as it was, or a stray byte as it stood
            else
                out += "&#" + std::to_string(static_cast<unsigned long>(cp)) + ";";
            i += len;
            continue;
        }
        const auto b = static_cast<unsigned char>(text[i]);
        if (encoding.charset == Charset::Utf8)
            appendUtf8(out, codePointOf(b));
        else
            out += static_cast<char>(b);
        ++i;
    }
    return out;
}

std::string WorkingText::toRecord(std::string_view text, bool &lost) const
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::string *original = nullptr;
        if (const std::size_t len = unescape(text, i, original)) {
            out += '?';
            lost = true;
            i += len;
            continue;
        }
        out += text[i++];
    }
    return out;
}

} // namespace vantor
