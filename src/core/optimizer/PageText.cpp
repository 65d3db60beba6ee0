#include "optimizer/PageText.h"

#include "optimizer/OutOfMemory.h"
#include "optimizer/TermText.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

namespace vantor {

namespace {

constexpr std::size_t npos = std::string::npos;

// Pages of several megabytes with thousands of matches must not cost a copy
// of the page per match, so the rescanning replace builds the result once.
// The page at any moment is `out` followed by text[inPos..]; nothing before
// `from` can start a match (everything there was searched before the last
// replacement, and a new match has to reach into the replacement).
void replaceRescanning(const std::string &replacement, const std::string &pattern, std::string &text)
{
    const std::size_t m = pattern.size();
    std::size_t inPos = 0;
    std::size_t from = 0;
    std::string out;
    out.reserve(text.size());
    std::string window;
    bool replaced = false;
    for (;;) {
        std::size_t match = npos; // position in `out` when it starts there
        if (from < out.size()) {
            // Only the tail of `out` plus m - 1 bytes of what follows can hold
            // a match that starts in `out`.
            window.assign(out, from, npos);
            window.append(text, inPos, m - 1);
            const std::size_t w = window.find(pattern);
            if (w != npos)
                match = from + w;
        }
        if (match != npos) {
            const std::size_t end = match + m;
            if (end <= out.size()) {
                // Entirely inside what we built: keep what follows it there.
                out.replace(match, m, replacement);
                replaced = true;
                from = match >= m - 1 ? match - (m - 1) : 0;
                continue;
            }
            inPos += end - out.size();
            out.resize(match);
        } else {
            const std::size_t j = text.find(pattern, inPos);
            if (j == npos)
                break;
            out.append(text, inPos, j - inPos);
            match = out.size();
            inPos = j + m;
        }
        out += replacement;
        replaced = true;
        from = match >= m - 1 ? match - (m - 1) : 0;
    }
    if (!replaced)
        return;
    out.append(text, inPos, npos);
    text = std::move(out);
}

// With a replacement that holds its own pattern, rescanning would never end.
void replaceSinglePass(const std::string &replacement, const std::string &pattern, std::string &text)
{
    std::size_t j = text.find(pattern);
    if (j == npos)
        return;
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (j != npos) {
        out.append(text, pos, j - pos);
        out += replacement;
        pos = j + pattern.size();
        j = text.find(pattern, pos);
    }
    out.append(text, pos, npos);
    text = std::move(out);
}

// Shared by stripTags and stripEntities. Everything before the current open
// byte is already clean, so one pass over the page is enough.
bool stripDelimited(char open, char close, std::size_t reach, std::string &text)
{
    std::size_t i = text.find(open);
    if (i == npos)
        return false;
    std::string out;
    out.reserve(text.size());
    out.append(text, 0, i);
    bool changed = false;
    while (i < text.size()) {
        std::size_t k = 1;
        bool pageEnded = false;
        for (; k <= reach; ++k) {
            if (i + k >= text.size()) {
                pageEnded = true;
                break;
            }
            if (text[i + k] == close)
                break;
        }
        if (pageEnded)
            break;
        // Without a close in reach the open byte and its neighbour go: that
        // is how "a <b" style text in pages has always come out.
        i += k <= reach ? k + 1 : 2;
        changed = true;
        std::size_t next = text.find(open, i);
        if (next == npos)
            next = text.size();
        out.append(text, i, next - i);
        i = next;
    }
    if (!changed)
        return false;
    out.append(text, i, npos);
    text = std::move(out);
    return true;
}

bool rewriteFirst(std::string_view from, std::string_view to, std::string &text)
{
    const std::size_t pos = text.find(from);
    if (pos == npos)
        return false;
    text.replace(pos, from.size(), to);
    return true;
}

} // namespace

bool replaceFirst(const std::string &replacement, const std::string &pattern, std::string &text)
{
    if (pattern.empty())
        return false;
    const std::size_t pos = text.find(pattern);
    if (pos == npos)
        return false;
    exitWhenOutOfMemory([&] { text.replace(pos, pattern.size(), replacement); });
    return true;
}

bool replaceAll(const std::string &replacement, const std::string &pattern, std::string &text)
{
    if (pattern.empty())
        return true;
    exitWhenOutOfMemory([&] {
        if (replacement.find(pattern) != npos)
            replaceSinglePass(replacement, pattern, text);
        else
            replaceRescanning(replacement, pattern, text);
    });
    return true;
}

bool insertBefore(const std::string &insertion, const std::string &anchor, std::string &text)
{
    if (anchor.empty())
        return false;
    const std::size_t pos = text.find(anchor);
    if (pos == npos)
        return false;
    exitWhenOutOfMemory([&] { text.insert(pos, insertion); });
    return true;
}

bool insertAfter(const std::string &insertion, const std::string &anchor, std::string &text)
{
    if (anchor.empty())
        return false;
    const std::size_t pos = text.find(anchor);
    if (pos == npos)
        return false;
    exitWhenOutOfMemory([&] { text.insert(pos + anchor.size(), insertion); });
    return true;
}

bool insertAfterHeadTag(const std::string &insertion, std::string &text)
{
    constexpr std::string_view head = "<HEAD";
    const std::size_t pos = text.find(head);
    if (pos == npos)
        return false;
    const std::size_t close = text.find('>', pos + head.size());
    if (close == npos)
        return false;
    exitWhenOutOfMemory([&] { text.insert(close + 1, insertion); });
    return true;
}

bool cutBetween(const std::string &start, const std::string &end, std::string &text)
{
    if (start.empty() || end.empty())
        return false;
    const std::size_t from = text.find(start);
    if (from == npos)
        return false;
    // Searching from the start's first byte lets an end that overlaps the
    // start count, as it does when both are looked for in the whole page.
    const std::size_t to = text.find(end, from);
    if (to == npos)
        return false;
    text.erase(from, to + end.size() - from);
    return true;
}

bool removeEnclosing(char open, char close, const std::string &needle, std::string &text)
{
    if (needle.empty())
        return false;
    const std::size_t pos = text.find(needle);
    if (pos == npos)
        return false;
    const std::size_t last = text.find(close, pos + needle.size() - 1);
    if (last == npos)
        return false;
    const std::size_t first = text.rfind(open, pos);
    if (first == npos)
        return false;
    text.erase(first, last + 1 - first);
    return true;
}

bool removeBlock(const std::string &open, const std::string &close, const std::string &anchor, std::string &text,
                 int reach)
{
    if (open.empty() || close.empty() || anchor.empty() || reach <= 0)
        return false;
    const std::size_t pos = text.find(anchor);
    if (pos == npos)
        return false;
    const std::size_t firstClose = text.find(close);
    if (firstClose == npos || firstClose < pos + anchor.size() - 1)
        return false;
    const std::size_t firstOpen = text.find(open);
    if (firstOpen == npos || firstOpen > pos || pos - firstOpen >= static_cast<std::size_t>(reach))
        return false;
    text.erase(firstOpen, firstClose + close.size() - firstOpen);
    return true;
}

bool removeElement(char open, char inner, const std::string &needle, std::string &text)
{
    constexpr std::size_t maxBack = 20;
    if (needle.empty())
        return false;
    const std::size_t pos = text.find(needle);
    if (pos == npos)
        return false;
    const std::size_t innerPos = text.find(inner, pos + needle.size() - 1);
    if (innerPos == npos)
        return false;
    const std::size_t last = text.find('>', innerPos + 1);
    if (last == npos)
        return false;
    const std::size_t first = text.rfind(open, pos);
    if (first == npos || pos - first > maxBack)
        return false;
    text.erase(first, last + 1 - first);
    return true;
}

bool removeTrackingLink(std::string &text)
{
    constexpr std::array<std::string_view, 3> images = {
        R"(><img src="vantor.gif")", R"(><IMG src="vantor.gif")", R"(><IMG SRC="vantor.gif")"};
    constexpr std::size_t maxBack = 50;
    std::size_t pos = npos;
    for (const std::string_view image : images) {
        pos = text.find(image);
        if (pos != npos)
            break;
    }
    if (pos == npos)
        return false;
    const std::size_t closeLower = text.find("</a", pos);
    const std::size_t closeUpper = text.find("</A", pos);
    const std::size_t closeTag = std::min(closeLower, closeUpper);
    if (closeTag == npos)
        return false;
    const std::size_t last = text.find('>', closeTag);
    if (last == npos)
        return false;
    const std::size_t lowest = pos > maxBack ? pos - maxBack : 0;
    for (std::size_t i = pos + 1; i-- > lowest;) {
        if (text[i] == '<' && i + 1 < text.size() && (text[i + 1] == 'a' || text[i + 1] == 'A')) {
            text.erase(i, last + 1 - i);
            return true;
        }
    }
    return false;
}

bool stripTags(std::string &text)
{
    return exitWhenOutOfMemory([&] { return stripDelimited('<', '>', 199, text); });
}

bool stripEntities(std::string &text)
{
    return exitWhenOutOfMemory([&] { return stripDelimited('&', ';', 6, text); });
}

bool countRepeats(const std::string &needle, const std::string &text, int &count)
{
    constexpr int maxCount = 20;
    count = 0;
    if (needle.empty())
        return false;
    exitWhenOutOfMemory([&] {
        std::string visible = text;
        stripDelimited('<', '>', 199, visible);
        stripDelimited('&', ';', 6, visible);
        visible = removeSpaces(removeLineBreaks(visible));
        std::string row;
        row.reserve(needle.size() * maxCount);
        for (int k = 0; k < maxCount; ++k)
            row += needle;
        for (int k = maxCount; k >= 1; --k) {
            if (visible.find(std::string_view(row).substr(0, needle.size() * static_cast<std::size_t>(k))) != npos) {
                count = k;
                break;
            }
        }
    });
    return count > 0;
}

bool upperCaseHeadBody(std::string &text)
{
    bool changed = rewriteFirst("<head", "<HEAD", text);
    changed = rewriteFirst("/head>", "/HEAD>", text) || changed;
    changed = rewriteFirst("<body", "<BODY", text) || changed;
    changed = rewriteFirst("/body>", "/BODY>", text) || changed;
    return changed;
}

} // namespace vantor
