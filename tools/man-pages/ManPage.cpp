#include "ManPage.h"

#define ZLIB_CONST
#include <zlib.h>

#include <cctype>
#include <vector>

namespace vantor::manpage {

namespace {

bool isBlank(std::string_view line) { return line.find_first_not_of(" \t") == std::string_view::npos; }

std::string_view trimmed(std::string_view s)
{
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

bool startsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

bool isAsciiPunct(char c) { return c > ' ' && c < 127 && !std::isalnum(static_cast<unsigned char>(c)); }

bool isAsciiAlnum(char c) { return c >= 0 && c < 127 && std::isalnum(static_cast<unsigned char>(c)); }

// Which "-" of a text line are minus signs: every one in a word that starts
// with "-" (behind brackets, quotes or markup), and those between letters or
// digits of a word in plain lower-case ASCII.
std::vector<bool> minusPositions(std::string_view line)
{
    std::vector<bool> minus(line.size(), false);
    std::size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t') {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < line.size() && line[end] != ' ' && line[end] != '\t')
            ++end;
        const std::string_view word = line.substr(i, end - i);
        const auto start = word.find_first_not_of("[({\"*`\\|");
        const bool option = start != std::string_view::npos && word[start] == '-';
        bool plain = true;
        for (char c : word)
            if ((c >= 'A' && c <= 'Z') || static_cast<unsigned char>(c) >= 0x80)
                plain = false;
        for (std::size_t k = 0; k < word.size(); ++k)
            if (word[k] == '-')
                minus[i + k] = option
                    || (plain && k > 0 && k + 1 < word.size() && isAsciiAlnum(word[k - 1]) && isAsciiAlnum(word[k + 1]));
        i = end;
    }
    return minus;
}

// Text meant to be typed: every character as it is on the keyboard.
std::string codeText(std::string_view text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '\\': out += "\\e"; break;
        case '-': out += "\\-"; break;
        case '\'': out += "\\(aq"; break;
        case '`': out += "\\(ga"; break;
        default: out += c;
        }
    }
    return out;
}

// A line that starts with a control character would be read as a request.
std::string textLine(std::string line)
{
    if (!line.empty() && (line.front() == '.' || line.front() == '\''))
        line.insert(0, "\\&");
    return line;
}

// The inline markup of one block, line by line: a font set on one line may
// end on a later one.
class InlineText
{
public:
    std::string line(std::string_view text, int lineNo)
    {
        const std::vector<bool> minus = minusPositions(text);
        std::string out;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char c = text[i];
            const bool spaceAfter = i + 1 >= text.size() || text[i + 1] == ' ' || text[i + 1] == '\t';
            if (c == '\\' && i + 1 < text.size() && isAsciiPunct(text[i + 1])) {
                ++i;
                out += text[i] == '\\' ? std::string("\\e") : std::string(1, text[i]);
            } else if (c == '\\') {
                out += "\\e";
            } else if (c == '`') {
                const auto close = text.find('`', i + 1);
                if (close == std::string_view::npos)
                    throw Error(lineNo, "` ohne schließendes ` in derselben Zeile");
                push(out, 'B');
                out += codeText(text.substr(i + 1, close - i - 1));
                pop(out);
                i = close;
            } else if (c == '*' && i + 1 < text.size() && text[i + 1] == '*') {
                const bool spaceAfterPair = i + 2 >= text.size() || text[i + 2] == ' ';
                if (!m_fonts.empty() && m_fonts.back() == 'B')
                    pop(out);
                else if (!spaceAfterPair)
                    push(out, 'B');
                else
                    throw Error(lineNo, "** ohne Text dahinter (ein einzelnes Sternchen als \\*)");
                ++i;
            } else if (c == '*') {
                if (!m_fonts.empty() && m_fonts.back() == 'I')
                    pop(out);
                else if (!spaceAfter)
                    push(out, 'I');
                else
                    out += '*';
            } else if (c == '-') {
                out += minus[i] ? "\\-" : "-";
            } else {
                out += c;
            }
        }
        return out;
    }

    void finish(int lineNo) const
    {
        if (!m_fonts.empty())
            throw Error(lineNo, m_fonts.back() == 'B' ? "** nicht geschlossen" : "* nicht geschlossen");
    }

private:
    void push(std::string &out, char font)
    {
        m_fonts.push_back(font);
        select(out);
    }
    void pop(std::string &out)
    {
        m_fonts.pop_back();
        select(out);
    }
    void select(std::string &out) const
    {
        bool bold = false;
        bool italic = false;
        for (char f : m_fonts)
            (f == 'B' ? bold : italic) = true;
        out += bold && italic ? "\\f(BI" : bold ? "\\fB" : italic ? "\\fI" : "\\fR";
    }

    std::vector<char> m_fonts;
};

// A heading as a macro argument: quoted when it has blanks or quotes, with
// the quote itself escaped.
std::string macroArgument(std::string_view text, int lineNo)
{
    InlineText inl;
    const std::string rendered = inl.line(text, lineNo);
    inl.finish(lineNo);
    if (rendered.find_first_of(" \"") == std::string::npos)
        return rendered;
    std::string out = "\"";
    for (char c : rendered)
        out += c == '"' ? std::string("\\(dq") : std::string(1, c);
    return out + "\"";
}

struct Front
{
    std::string name;
    std::string section;
    std::string date;
};

Front frontLine(std::string_view line)
{
    const auto fail = [] {
        throw Error(1, "erste Zeile: \"% NAME ABSCHNITT JJJJ-MM-TT\" erwartet");
    };
    if (!startsWith(line, "% "))
        fail();
    std::vector<std::string> fields;
    std::size_t i = 2;
    while (i < line.size()) {
        if (line[i] == ' ') {
            ++i;
            continue;
        }
        const auto end = std::min(line.find(' ', i), line.size());
        fields.emplace_back(line.substr(i, end - i));
        i = end;
    }
    if (fields.size() != 3)
        fail();
    Front f{fields[0], fields[1], fields[2]};
    for (char c : f.name)
        if (!(isAsciiAlnum(c) || c == '-' || c == '_' || c == '.' || c == '+'))
            fail();
    if (f.section.size() != 1 || f.section[0] < '1' || f.section[0] > '9')
        fail();
    const std::string &d = f.date;
    if (d.size() != 10 || d[4] != '-' || d[7] != '-')
        fail();
    for (std::size_t k = 0; k < d.size(); ++k)
        if (k != 4 && k != 7 && !std::isdigit(static_cast<unsigned char>(d[k])))
            fail();
    return f;
}

class Converter
{
public:
    Converter(std::string_view markdown, std::string_view source)
        : m_source(source)
    {
        std::size_t start = 0;
        while (start <= markdown.size()) {
            auto end = markdown.find('\n', start);
            if (end == std::string_view::npos)
                end = markdown.size();
            std::string_view line = markdown.substr(start, end - start);
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            m_lines.push_back(line);
            start = end + 1;
        }
        while (!m_lines.empty() && isBlank(m_lines.back()))
            m_lines.pop_back();
    }

    std::string run()
    {
        if (m_lines.empty())
            throw Error(1, "leere Seite");
        const Front front = frontLine(m_lines[0]);
        std::string upper;
        for (char c : front.name)
            upper += c == '-' ? std::string("\\-") : std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
        m_out += ".\\\" -*- coding: UTF-8 -*-\n";
        m_out += ".\\\" Erzeugt aus " + front.name + "." + front.section + ".md; bitte dort ändern.\n";
        std::string source;
        for (char c : m_source)
            source += c == '"' ? std::string("\\(dq") : c == '-' ? std::string("\\-") : std::string(1, c);
        m_out += ".TH " + upper + " " + front.section + " " + front.date + " \"" + source + "\" \"Vantor!!-Handbuch\"\n";
        // German text with English hyphenation patterns splits words wrongly
        // ("spe-ichert"), and justified option lists get holes: neither.
        m_out += ".nh\n.ad l\n";

        std::size_t i = 1;
        while (i < m_lines.size()) {
            const std::string_view line = m_lines[i];
            if (isBlank(line)) {
                ++i;
            } else if (startsWith(trimmed(line), "<!--")) {
                i = comment(i);
            } else if (startsWith(line, "```")) {
                i = example(i);
            } else if (startsWith(line, "#")) {
                i = heading(i);
            } else if (!m_sawName) {
                throw Error(lineNo(i), "Text vor \"# NAME\"");
            } else if (startsWith(line, "- ")) {
                i = list(i);
            } else if (startsWith(line, ": ")) {
                throw Error(lineNo(i), "\": \" ohne Begriff in der Zeile davor");
            } else if (i + 1 < m_lines.size() && startsWith(m_lines[i + 1], ": ")) {
                i = definitions(i);
            } else {
                i = paragraph(i);
            }
        }
        if (!m_sawName)
            throw Error(1, "die Seite braucht \"# NAME\"");
        return m_out;
    }

private:
    static int lineNo(std::size_t index) { return static_cast<int>(index) + 1; }

    std::size_t comment(std::size_t i)
    {
        for (std::size_t k = i; k < m_lines.size(); ++k)
            if (m_lines[k].find("-->") != std::string_view::npos) {
                if (!trimmed(m_lines[k].substr(m_lines[k].find("-->") + 3)).empty())
                    throw Error(lineNo(k), "Text hinter -->");
                return k + 1;
            }
        throw Error(lineNo(i), "<!-- ohne -->");
    }

    std::size_t heading(std::size_t i)
    {
        const std::string_view line = m_lines[i];
        std::string macro;
        std::string_view text;
        if (startsWith(line, "# ")) {
            macro = ".SH ";
            text = trimmed(line.substr(2));
        } else if (startsWith(line, "## ")) {
            macro = ".SS ";
            text = trimmed(line.substr(3));
        } else {
            throw Error(lineNo(i), "nur \"# \" und \"## \" als Überschrift");
        }
        if (text.empty())
            throw Error(lineNo(i), "leere Überschrift");
        if (!m_sawName) {
            if (macro != ".SH " || text != "NAME")
                throw Error(lineNo(i), "die erste Überschrift ist \"# NAME\"");
            m_sawName = true;
        }
        m_out += macro + macroArgument(text, lineNo(i)) + "\n";
        m_afterHeading = true;
        return i + 1;
    }

    // The lines of a block up to the next blank line.
    std::size_t blockEnd(std::size_t i) const
    {
        while (i < m_lines.size() && !isBlank(m_lines[i]))
            ++i;
        return i;
    }

    void startParagraph()
    {
        if (!m_afterHeading)
            m_out += ".PP\n";
        m_afterHeading = false;
    }

    // Text lines with their breaks; a trailing backslash asks for one.
    void textLines(InlineText &inl, std::size_t from, std::size_t to, std::string_view first)
    {
        for (std::size_t k = from; k < to; ++k) {
            std::string_view text = trimmed(k == from && !first.empty() ? first : m_lines[k]);
            bool lineBreak = false;
            if (!text.empty() && text.back() == '\\' && (text.size() < 2 || text[text.size() - 2] != '\\')) {
                text.remove_suffix(1);
                text = trimmed(text);
                lineBreak = true;
            }
            const std::string rendered = inl.line(text, lineNo(k));
            if (!rendered.empty())
                m_out += textLine(rendered) + "\n";
            if (lineBreak && k + 1 < to)
                m_out += ".br\n";
        }
    }

    std::size_t paragraph(std::size_t i)
    {
        const std::size_t end = blockEnd(i);
        for (std::size_t k = i; k < end; ++k)
            if (startsWith(m_lines[k], ": ") || startsWith(m_lines[k], "```"))
                throw Error(lineNo(k), "Begriff, Definition und Beispiel brauchen eine Leerzeile davor");
        startParagraph();
        InlineText inl;
        textLines(inl, i, end, {});
        inl.finish(lineNo(end - 1));
        return end;
    }

    std::size_t list(std::size_t i)
    {
        const std::size_t end = blockEnd(i);
        std::size_t item = i;
        while (item < end) {
            std::size_t next = item + 1;
            while (next < end && !startsWith(m_lines[next], "- "))
                ++next;
            m_out += ".IP \\(bu 2\n";
            InlineText inl;
            textLines(inl, item, next, m_lines[item].substr(2));
            inl.finish(lineNo(next - 1));
            item = next;
        }
        m_afterHeading = false;
        return end;
    }

    std::size_t definitions(std::size_t i)
    {
        const std::size_t end = blockEnd(i);
        std::size_t term = i;
        while (term < end) {
            if (term + 1 >= end || !startsWith(m_lines[term + 1], ": "))
                throw Error(lineNo(term), "Begriff ohne \": \"-Zeile darunter");
            std::size_t next = term + 2;
            while (next < end && !(next + 1 < end && startsWith(m_lines[next + 1], ": "))) {
                if (startsWith(m_lines[next], ": "))
                    throw Error(lineNo(next), "zweite \": \"-Zeile zu einem Begriff");
                ++next;
            }
            m_out += ".TP\n";
            InlineText termText;
            const std::string rendered = termText.line(trimmed(m_lines[term]), lineNo(term));
            termText.finish(lineNo(term));
            m_out += textLine(rendered) + "\n";
            InlineText inl;
            textLines(inl, term + 1, next, m_lines[term + 1].substr(2));
            inl.finish(lineNo(next - 1));
            term = next;
        }
        m_afterHeading = false;
        return end;
    }

    std::size_t example(std::size_t i)
    {
        std::size_t end = i + 1;
        while (end < m_lines.size() && trimmed(m_lines[end]) != "```")
            ++end;
        if (end >= m_lines.size())
            throw Error(lineNo(i), "``` ohne schließendes ```");
        startParagraph();
        m_out += ".RS 4\n.nf\n";
        for (std::size_t k = i + 1; k < end; ++k) {
            std::string_view text = m_lines[k];
            while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
                text.remove_suffix(1);
            m_out += text.empty() ? std::string("\\&") : textLine(codeText(text));
            m_out += "\n";
        }
        m_out += ".fi\n.RE\n";
        return end + 1;
    }

    std::string_view m_source;
    std::vector<std::string_view> m_lines;
    std::string m_out;
    bool m_sawName = false;
    bool m_afterHeading = false;
};

} // namespace

std::string toRoff(std::string_view markdown, std::string_view source)
{
    return Converter(markdown, source).run();
}

std::string gzip(std::string_view data)
{
    z_stream stream{};
    // 15 + 16: a gzip wrapper instead of zlib's own.
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("zlib: deflateInit2");
    // Set explicitly rather than trusting the defaults: time 0, no name,
    // Unix as the system.
    gz_header header{};
    header.time = 0;
    header.os = 3;
    deflateSetHeader(&stream, &header);
    std::string out(deflateBound(&stream, static_cast<uLong>(data.size())) + 64, '\0');
    stream.next_in = reinterpret_cast<const Bytef *>(data.data());
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    const int status = deflate(&stream, Z_FINISH);
    const auto written = stream.total_out;
    deflateEnd(&stream);
    if (status != Z_STREAM_END)
        throw std::runtime_error("zlib: deflate");
    out.resize(written);
    return out;
}

} // namespace vantor::manpage
