#include "optimizer/PageText.h"

#include "optimizer/FindLiteral.h"
#include "optimizer/OutOfMemory.h"
#include "optimizer/TermText.h"
#include "platform/Text.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <map>
#include <set>
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
            const std::size_t w = findLiteral(window, pattern);
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
            const std::size_t j = findLiteral(text, pattern, inPos);
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
    std::size_t j = findLiteral(text, pattern);
    if (j == npos)
        return;
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (j != npos) {
        out.append(text, pos, j - pos);
        out += replacement;
        pos = j + pattern.size();
        j = findLiteral(text, pattern, pos);
    }
    out.append(text, pos, npos);
    text = std::move(out);
}

// Shared by stripTags and stripEntities. Everything before the current open
// byte is already clean, so one pass over the page is enough.
bool stripDelimited(char open, char close, std::size_t reach, std::string &text)
{
    std::size_t i = findLiteral(text, open);
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
        std::size_t next = findLiteral(text, open, i);
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

constexpr std::array<std::string_view, 3> kTrackingImages = {
    R"(><img src="vantor.gif")", R"(><IMG src="vantor.gif")", R"(><IMG SRC="vantor.gif")"};
static_assert(kTrackingImages[0].size() == kTrackingImages[1].size() &&
              kTrackingImages[1].size() == kTrackingImages[2].size());
constexpr std::array<std::string_view, 2> kLinkCloses = {"</a", "</A"};
constexpr std::array<std::string_view, 1> kTagEnd = {">"};
// How far before the image the link's "<a" may start.
constexpr std::size_t kLinkReach = 50;

// The first place at or after from where one of the literals starts. Once
// one is found, the others are only looked for up to it, so a spelling the
// page does not use costs no walk to the end of the page.
template <std::size_t N>
std::size_t findFirstOf(std::string_view text, const std::array<std::string_view, N> &literals, std::size_t from)
{
    std::size_t hit = npos;
    for (const std::string_view literal : literals) {
        const std::string_view upToHit = hit == npos ? text : text.substr(0, hit + literal.size() - 1);
        hit = std::min(hit, findLiteral(upToHit, literal, from));
    }
    return hit;
}

// The page after some removals, without moving a byte of it: the original
// text with the removed stretches marked dead. Positions are those of the
// original text; a live one is one whose byte is still on the page.
class RemainingPage
{
public:
    explicit RemainingPage(std::string_view text) : m_text(text) {}

    std::string_view original() const { return m_text; }
    std::size_t size() const { return m_text.size(); }
    char at(std::size_t pos) const { return m_text[pos]; }

    // The first live position at or after pos, size() when there is none.
    std::size_t liveFrom(std::size_t pos) const
    {
        const auto dead = deadAt(pos);
        return dead == m_dead.end() ? pos : dead->second;
    }

    // The last live position before pos, npos when there is none.
    std::size_t liveBefore(std::size_t pos) const
    {
        if (pos == 0)
            return npos;
        const auto dead = deadAt(pos - 1);
        if (dead == m_dead.end())
            return pos - 1;
        return dead->first == 0 ? npos : dead->first - 1;
    }

    // Offers pos and the live positions before it, nearest first, to accept
    // until it takes one or count have been offered. The taken one, or npos.
    template <typename Accept>
    std::size_t findBackwards(std::size_t pos, std::size_t count, Accept accept) const
    {
        while (count > 0) {
            const std::size_t start = runStart(pos);
            for (;;) {
                if (accept(pos))
                    return pos;
                if (--count == 0)
                    return npos;
                if (pos == start)
                    break;
                --pos;
            }
            pos = liveBefore(start);
            if (pos == npos)
                return npos;
        }
        return npos;
    }

    // Whether the n bytes from pos are all live, so they still stand side
    // by side as in the original.
    bool liveRun(std::size_t pos, std::size_t n) const
    {
        return pos + n <= m_text.size() && deadAt(pos) == m_dead.end() && runEnd(pos) >= pos + n;
    }

    // Whether the live bytes from the live position pos spell literal.
    bool spells(std::size_t pos, std::string_view literal) const
    {
        std::size_t done = 0;
        while (done < literal.size()) {
            pos = liveFrom(pos);
            if (pos >= m_text.size())
                return false;
            const std::size_t n = std::min(runEnd(pos) - pos, literal.size() - done);
            if (m_text.compare(pos, n, literal.substr(done, n)) != 0)
                return false;
            done += n;
            pos += n;
        }
        return true;
    }

    // The first live position at or after pos where the live bytes spell
    // one of the literals, which must all have one length.
    template <std::size_t N>
    std::size_t find(const std::array<std::string_view, N> &literals, std::size_t pos) const
    {
        const std::size_t reachOver = literals.front().size() - 1;
        for (pos = liveFrom(pos); pos < m_text.size(); pos = liveFrom(pos)) {
            const std::size_t end = runEnd(pos);
            const std::size_t hit = findFirstOf(m_text.substr(0, end), literals, pos);
            if (hit != npos)
                return hit;
            // Anything else starts in the last bytes of this run and goes on
            // behind the dead stretch that ends it.
            for (std::size_t p = end - std::min(reachOver, end - pos); p < end; ++p) {
                for (const std::string_view literal : literals) {
                    if (spells(p, literal))
                        return p;
                }
            }
            pos = end;
        }
        return npos;
    }

    // Removes first through last, both live.
    void kill(std::size_t first, std::size_t last)
    {
        std::size_t begin = first;
        std::size_t end = last + 1;
        auto it = m_dead.lower_bound(begin);
        if (it != m_dead.begin() && std::prev(it)->second == begin) {
            --it;
            begin = it->first;
        }
        while (it != m_dead.end() && it->first <= end) {
            end = std::max(end, it->second);
            it = m_dead.erase(it);
        }
        m_dead.emplace_hint(it, begin, end);
        m_afterLow = 1;
        m_afterHigh = 0;
    }

    std::string live() const
    {
        std::string out;
        out.reserve(m_text.size());
        std::size_t pos = 0;
        for (const auto &[begin, end] : m_dead) {
            out.append(m_text.substr(pos, begin - pos));
            pos = end;
        }
        out.append(m_text.substr(pos));
        return out;
    }

private:
    // Dead stretches as first -> one past last; they never overlap or touch,
    // so the byte after one and the byte before one are live.
    using DeadMap = std::map<std::size_t, std::size_t>;

    DeadMap::const_iterator deadAt(std::size_t pos) const
    {
        auto it = deadAfter(pos);
        if (it == m_dead.begin())
            return m_dead.end();
        --it;
        return pos < it->second ? it : m_dead.end();
    }

    // Where the run of live bytes that holds the live position pos begins.
    std::size_t runStart(std::size_t pos) const
    {
        const auto next = deadAfter(pos);
        return next == m_dead.begin() ? 0 : std::prev(next)->second;
    }

    // Where the run of live bytes that holds the live position pos ends.
    std::size_t runEnd(std::size_t pos) const
    {
        const auto next = deadAfter(pos);
        return next == m_dead.end() ? m_text.size() : next->first;
    }

    // The first dead stretch that begins after pos. One removal asks about
    // the same few places many times, so the last answer is kept together
    // with the positions it holds for.
    DeadMap::const_iterator deadAfter(std::size_t pos) const
    {
        if (pos >= m_afterLow && pos < m_afterHigh)
            return m_after;
        m_after = m_dead.upper_bound(pos);
        m_afterLow = m_after == m_dead.begin() ? 0 : std::prev(m_after)->first;
        m_afterHigh = m_after == m_dead.end() ? npos : m_after->first;
        return m_after;
    }

    std::string_view m_text;
    DeadMap m_dead;
    mutable DeadMap::const_iterator m_after;
    mutable std::size_t m_afterLow = 1; // m_after answers for m_afterLow <= pos < m_afterHigh
    mutable std::size_t m_afterHigh = 0;
};

// Where one spelling of the image may stand on the remaining page: the next
// place of the original page where it stands unchanged, and the places where
// a removal joined it together from two pieces.
struct ImageSpots
{
    std::size_t original = npos;
    std::set<std::size_t> joined;
};

// The first place of the image on the remaining page. A place that a removal
// broke stays broken unless a later removal joins it up again, and then that
// removal put it into joined; so broken places can be dropped for good.
std::size_t firstImage(const RemainingPage &page, std::string_view image, ImageSpots &spots)
{
    while (spots.original != npos && !page.liveRun(spots.original, image.size()))
        spots.original = findLiteral(page.original(), image, spots.original + 1);
    while (!spots.joined.empty()) {
        const std::size_t spot = *spots.joined.begin();
        if (page.liveFrom(spot) == spot && page.spells(spot, image))
            return std::min(spot, spots.original);
        spots.joined.erase(spots.joined.begin());
    }
    return spots.original;
}

// After a removal, an image can only have come together across the gap, so
// it starts in the live bytes just before it; before is the last of them.
void noteJoinedImages(const RemainingPage &page, std::size_t before,
                      std::array<ImageSpots, kTrackingImages.size()> &spots)
{
    if (before == npos)
        return;
    page.findBackwards(before, kTrackingImages.front().size() - 1, [&](std::size_t pos) {
        if (page.at(pos) == kTrackingImages.front().front()) {
            for (std::size_t k = 0; k < spots.size(); ++k) {
                if (page.spells(pos, kTrackingImages[k]))
                    spots[k].joined.insert(pos);
            }
        }
        return false;
    });
}

// The live position where the line end directly before pos begins; pos
// itself when there is none.
std::size_t lineEndBefore(const RemainingPage &page, std::size_t pos, std::string_view lineEnd)
{
    std::size_t p = pos;
    for (std::size_t k = lineEnd.size(); k-- > 0;) {
        p = page.liveBefore(p);
        if (p == npos || page.at(p) != lineEnd[k])
            return pos;
    }
    return p;
}

// The last live position of the line end directly after last; last itself
// when there is none.
std::size_t lineEndAfter(const RemainingPage &page, std::size_t last, std::string_view lineEnd)
{
    std::size_t p = page.liveFrom(last + 1);
    if (p >= page.size() || !page.spells(p, lineEnd))
        return last;
    for (std::size_t k = 1; k < lineEnd.size(); ++k)
        p = page.liveFrom(p + 1);
    return p;
}

// Whether the link from first to the image at pos leads into a directory:
// a doorway page's link, which we put on a line of its own.
bool leadsIntoDirectory(const RemainingPage &page, std::size_t first, std::size_t pos)
{
    for (std::size_t p = page.liveFrom(first); p < pos; p = page.liveFrom(p + 1))
        if (page.at(p) == '/')
            return true;
    return false;
}

} // namespace

bool replaceFirst(const std::string &replacement, const std::string &pattern, std::string &text)
{
    if (pattern.empty())
        return false;
    const std::size_t pos = findLiteral(text, pattern);
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
        if (findLiteral(replacement, pattern) != npos)
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
    const std::size_t pos = findLiteral(text, anchor);
    if (pos == npos)
        return false;
    exitWhenOutOfMemory([&] { text.insert(pos, insertion); });
    return true;
}

bool insertAfter(const std::string &insertion, const std::string &anchor, std::string &text)
{
    if (anchor.empty())
        return false;
    const std::size_t pos = findLiteral(text, anchor);
    if (pos == npos)
        return false;
    exitWhenOutOfMemory([&] { text.insert(pos + anchor.size(), insertion); });
    return true;
}

bool insertAfterHeadTag(const std::string &insertion, std::string &text)
{
    constexpr std::string_view head = "<HEAD";
    const std::size_t pos = findLiteral(text, head);
    if (pos == npos)
        return false;
    const std::size_t close = findLiteral(text, '>', pos + head.size());
    if (close == npos)
        return false;
    exitWhenOutOfMemory([&] { text.insert(close + 1, insertion); });
    return true;
}

void eraseWithLineEnds(std::string &text, std::size_t first, std::size_t end, const std::string &lineEnd,
                       bool before, bool after)
{
    const std::size_t n = lineEnd.size();
    if (n > 0) {
        const bool tookAfter = after && text.compare(end, n, lineEnd) == 0;
        if (tookAfter)
            end += n;
        if (before && first >= n && text.compare(first - n, n, lineEnd) == 0) {
            first -= n;
        } else if (tookAfter && !before) {
            // Alone on its line, maybe indented: the whole line goes, not
            // just the element, or the indentation would stay as a line of
            // blanks.
            std::size_t start = first;
            while (start > 0 && (text[start - 1] == ' ' || text[start - 1] == '\t'))
                --start;
            if (start == 0 || text[start - 1] == '\n' || text[start - 1] == '\r')
                first = start;
        }
    }
    text.erase(first, end - first);
}

namespace {

// Where the stretch that cutBetween deletes lies: [first, end).
bool betweenRange(const std::string &start, const std::string &end, const std::string &text, std::size_t &first,
                  std::size_t &last)
{
    if (start.empty() || end.empty())
        return false;
    const std::size_t from = findLiteral(text, start);
    if (from == npos)
        return false;
    // Start and end are both the first of the page. An end before the start
    // means the page is not laid out the way we wrote it, and cutting through
    // some later end would take text of the owner's with it. An end that
    // merely overlaps the start still counts.
    const std::size_t to = findLiteral(text, end);
    if (to == npos || to < from)
        return false;
    first = from;
    last = to + end.size();
    return true;
}

bool enclosingRange(char open, char close, const std::string &needle, const std::string &text, std::size_t &first,
                    std::size_t &end)
{
    if (needle.empty())
        return false;
    const std::size_t pos = findLiteral(text, needle);
    if (pos == npos)
        return false;
    const std::size_t last = findLiteral(text, close, pos + needle.size() - 1);
    if (last == npos)
        return false;
    first = text.rfind(open, pos);
    if (first == npos)
        return false;
    end = last + 1;
    return true;
}

bool elementRange(char open, char inner, const std::string &needle, const std::string &text, std::size_t &first,
                  std::size_t &end)
{
    constexpr std::size_t maxBack = 20;
    if (needle.empty())
        return false;
    const std::size_t pos = findLiteral(text, needle);
    if (pos == npos)
        return false;
    const std::size_t innerPos = findLiteral(text, inner, pos + needle.size() - 1);
    if (innerPos == npos)
        return false;
    const std::size_t last = findLiteral(text, '>', innerPos + 1);
    if (last == npos)
        return false;
    first = text.rfind(open, pos);
    if (first == npos || pos - first > maxBack)
        return false;
    end = last + 1;
    return true;
}

} // namespace

bool cutBetween(const std::string &start, const std::string &end, std::string &text)
{
    std::size_t first = 0;
    std::size_t last = 0;
    if (!betweenRange(start, end, text, first, last))
        return false;
    text.erase(first, last - first);
    return true;
}

bool cutBetween(const std::string &start, const std::string &end, std::string &text, const std::string &lineEnd)
{
    std::size_t first = 0;
    std::size_t last = 0;
    if (!betweenRange(start, end, text, first, last))
        return false;
    eraseWithLineEnds(text, first, last, lineEnd, false, true);
    return true;
}

bool removeEnclosing(char open, char close, const std::string &needle, std::string &text)
{
    std::size_t first = 0;
    std::size_t end = 0;
    if (!enclosingRange(open, close, needle, text, first, end))
        return false;
    text.erase(first, end - first);
    return true;
}

bool removeEnclosing(char open, char close, const std::string &needle, std::string &text,
                     const std::string &lineEnd)
{
    std::size_t first = 0;
    std::size_t end = 0;
    if (!enclosingRange(open, close, needle, text, first, end))
        return false;
    eraseWithLineEnds(text, first, end, lineEnd, false, true);
    return true;
}

bool removeBlock(const std::string &open, const std::string &close, const std::string &anchor, std::string &text,
                 int reach)
{
    if (open.empty() || close.empty() || anchor.empty() || reach <= 0)
        return false;
    const std::size_t pos = findLiteral(text, anchor);
    if (pos == npos)
        return false;
    const std::size_t firstClose = findLiteral(text, close);
    if (firstClose == npos || firstClose < pos + anchor.size() - 1)
        return false;
    const std::size_t firstOpen = findLiteral(text, open);
    if (firstOpen == npos || firstOpen > pos || pos - firstOpen >= static_cast<std::size_t>(reach))
        return false;
    text.erase(firstOpen, firstClose + close.size() - firstOpen);
    return true;
}

bool removeElement(char open, char inner, const std::string &needle, std::string &text)
{
    std::size_t first = 0;
    std::size_t end = 0;
    if (!elementRange(open, inner, needle, text, first, end))
        return false;
    text.erase(first, end - first);
    return true;
}

bool removeElement(char open, char inner, const std::string &needle, std::string &text,
                   const std::string &lineEnd)
{
    std::size_t first = 0;
    std::size_t end = 0;
    if (!elementRange(open, inner, needle, text, first, end))
        return false;
    eraseWithLineEnds(text, first, end, lineEnd, true, true);
    return true;
}

bool removeTrackingLink(std::string &text)
{
    std::size_t pos = npos;
    for (const std::string_view image : kTrackingImages) {
        pos = findLiteral(text, image);
        if (pos != npos)
            break;
    }
    if (pos == npos)
        return false;
    const std::size_t closeTag = findFirstOf(text, kLinkCloses, pos);
    if (closeTag == npos)
        return false;
    const std::size_t last = findLiteral(text, '>', closeTag);
    if (last == npos)
        return false;
    const std::size_t lowest = pos > kLinkReach ? pos - kLinkReach : 0;
    for (std::size_t i = pos + 1; i-- > lowest;) {
        if (text[i] == '<' && i + 1 < text.size() && (text[i + 1] == 'a' || text[i + 1] == 'A')) {
            text.erase(i, last + 1 - i);
            return true;
        }
    }
    return false;
}

// Not one left-to-right pass: the single removal takes the lower-case
// spelling first wherever it stands, and gives up for good on a link it
// cannot take, so on pages with mixed spellings, nested links or links that
// a removal joins together the order matters. So this makes the very same
// choices, only on a page that is never moved: each search starts where the
// last one left off or in the few bytes a removal brought together, and what
// a search walks over is removed right after.
std::size_t removeAllTrackingLinks(std::string &text) { return removeAllTrackingLinks(text, std::string()); }

std::size_t removeAllTrackingLinks(std::string &text, const std::string &lineEnd)
{
    return exitWhenOutOfMemory([&] {
        RemainingPage page(text);
        std::array<ImageSpots, kTrackingImages.size()> spots;
        for (std::size_t k = 0; k < spots.size(); ++k)
            spots[k].original = findLiteral(text, kTrackingImages[k]);
        std::size_t removed = 0;
        for (;;) {
            // The same choices as removeTrackingLink on the page as it stands.
            std::size_t pos = npos;
            for (std::size_t k = 0; k < spots.size() && pos == npos; ++k)
                pos = firstImage(page, kTrackingImages[k], spots[k]);
            if (pos == npos)
                break;
            const std::size_t closeTag = page.find(kLinkCloses, pos);
            if (closeTag == npos)
                break;
            const std::size_t last = page.find(kTagEnd, closeTag);
            if (last == npos)
                break;
            const std::size_t first = page.findBackwards(pos, kLinkReach + 1, [&](std::size_t i) {
                if (page.at(i) != '<')
                    return false;
                const std::size_t next = page.liveFrom(i + 1);
                return next < page.size() && (page.at(next) == 'a' || page.at(next) == 'A');
            });
            if (first == npos)
                break;
            std::size_t from = first;
            std::size_t to = last;
            if (!lineEnd.empty()) {
                from = lineEndBefore(page, first, lineEnd);
                if (leadsIntoDirectory(page, first, pos))
                    to = lineEndAfter(page, last, lineEnd);
            }
            const std::size_t before = page.liveBefore(from);
            page.kill(from, to);
            ++removed;
            noteJoinedImages(page, before, spots);
        }
        if (removed > 0)
            text = page.live();
        return removed;
    });
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
            if (findLiteral(visible, std::string_view(row).substr(0, needle.size() * static_cast<std::size_t>(k))) != npos) {
                count = k;
                break;
            }
        }
    });
    return count > 0;
}

std::size_t findTag(std::string_view text, std::string_view tag)
{
    if (tag.empty())
        return npos;
    const auto sameLetters = [&](std::size_t pos) {
        for (std::size_t i = 1; i < tag.size(); ++i)
            if (lowerAscii(text[pos + i]) != lowerAscii(tag[i]))
                return false;
        return true;
    };
    const auto nameEnds = [&](std::size_t pos) {
        if (pos >= text.size())
            return true;
        const char c = text[pos];
        return c == '>' || c == '/' || c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
    };
    for (std::size_t pos = findLiteral(text, tag.front()); pos != npos && pos + tag.size() <= text.size();
         pos = findLiteral(text, tag.front(), pos + 1)) {
        if (sameLetters(pos) && nameEnds(pos + tag.size()))
            return pos;
    }
    return npos;
}

bool upperCaseHeadBody(std::string &text)
{
    // Editors write these tags in every case; what we insert, and look for
    // later, is spelled in upper case.
    bool changed = false;
    for (const std::string_view tag : {"<HEAD", "</HEAD", "<BODY", "</BODY"}) {
        const std::size_t pos = findTag(text, tag);
        if (pos != npos && text.compare(pos, tag.size(), tag) != 0) {
            text.replace(pos, tag.size(), tag);
            changed = true;
        }
    }
    return changed;
}

} // namespace vantor
