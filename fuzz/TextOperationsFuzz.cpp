// Feeds arbitrary pages and needles to every text operation. Beyond the
// sanitizers it checks what the operations promise: an unchanged page when
// they say false, no loose tag or entity left behind the strippers, and the
// quick forms agreeing with plain ones: the rescanning replace with "replace,
// start again", the removal of all hidden links with removing one at a time,
// cutting and reading marked blocks with both markers looked for in the whole
// page, and our search with std::string::find.

#include "optimizer/FindLiteral.h"
#include "optimizer/PageFiles.h"
#include "optimizer/PageText.h"
#include "optimizer/TermText.h"
#include "platform/Files.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

using namespace vantor;

void check(bool condition)
{
    if (!condition)
        std::abort();
}

std::string rescanEverything(const std::string &replacement, const std::string &pattern, std::string text)
{
    for (auto pos = text.find(pattern); pos != std::string::npos; pos = text.find(pattern))
        text.replace(pos, pattern.size(), replacement);
    return text;
}

// Start and end as they first occur in the page; an end before the start
// cuts nothing.
bool plainCut(const std::string &start, const std::string &end, std::string &text)
{
    if (start.empty() || end.empty())
        return false;
    const std::size_t from = text.find(start);
    const std::size_t to = text.find(end);
    if (from == std::string::npos || to == std::string::npos || to < from)
        return false;
    text.erase(from, to + end.size() - from);
    return true;
}

bool plainMarkedBlock(const std::string &start, const std::string &end, std::string content, int index,
                      std::string &result)
{
    if (index < 1 || start.empty() || end.empty())
        return false;
    for (int i = 1; i < index; ++i) {
        if (!plainCut(start, end, content))
            return false;
    }
    const std::size_t startPos = content.find(start);
    const std::size_t firstEnd = content.find(end);
    if (startPos == std::string::npos || firstEnd == std::string::npos || firstEnd < startPos)
        return false;
    std::size_t from = startPos + start.size();
    if (from < content.size() && content[from] == ' ')
        ++from;
    const std::size_t endPos = content.find(end, from);
    if (endPos == std::string::npos)
        return false;
    result = content.substr(from, endPos - from);
    return true;
}

// Random bytes hardly ever spell a hidden link, so the link check gets a page
// built from pieces of links: every byte below 32 stands for one of them.
std::string linkPieces(const std::string &page)
{
    static const std::array<std::string, 24> pieces = {
        R"(<a href="h">)", "<A HREF=h>", "<a", "<A", "</a>", "</A >", "</a", "</",
        R"(><img src="vantor.gif")", R"(><IMG src="vantor.gif")", R"(><IMG SRC="vantor.gif")",
        R"(><img src="van)", R"(tor.gif")", "><IMG ", R"(SRC="vantor.gif")", R"(src="vantor.gif")",
        R"(<img src="vantor.gif")", R"(><IMG SRC="vantor.gif)", "\"", ">", "<", std::string(20, 'x'),
        std::string(45, 'y'), "a>"};
    std::string out;
    for (const char c : page) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 32)
            out += pieces[byte % pieces.size()];
        else
            out += c;
    }
    return out;
}

// A rescanning replace may only run where it is sure to end quickly: a
// shrinking replacement, one that cannot take part in a new match, or one
// that holds the pattern (single pass).
bool replaceEnds(const std::string &replacement, const std::string &pattern)
{
    if (pattern.empty() || replacement.size() < pattern.size() || replacement.find(pattern) != std::string::npos)
        return true;
    return !replacement.empty() && replacement.find_first_of(pattern) == std::string::npos;
}

// After stripping, a remaining open byte can only be one with the page end
// inside its reach and no close after it.
void checkStripped(const std::string &text, char open, char close, std::size_t reach)
{
    const std::size_t first = text.find(open);
    if (first == std::string::npos)
        return;
    check(text.size() - first - 1 < reach);
    check(text.find(close, first) == std::string::npos);
}

template <typename Operation>
void unchangedWhenFalse(const std::string &page, Operation operation)
{
    std::string text = page;
    if (!operation(text))
        check(text == page);
}

const std::string &scratchFile()
{
    // Never destroyed, so the exit handler that removes the file can still use it.
    static const std::string *path = [] {
        const auto *name = new std::string(
            (std::filesystem::temp_directory_path() / ("vantor-fuzz-" + std::to_string(::getpid()) + ".htm")).string());
        std::atexit([] { std::filesystem::remove(scratchFile()); });
        return name;
    }();
    return *path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::string first = input.ConsumeRandomLengthString(24);
    const std::string second = input.ConsumeRandomLengthString(24);
    const char open = input.ConsumeIntegral<char>();
    const char close = input.ConsumeIntegral<char>();
    const int reach = input.ConsumeIntegralInRange<int>(-2, 300);
    const bool withFile = input.ConsumeBool();
    const std::string page = input.ConsumeRemainingBytesAsString();

    unchangedWhenFalse(page, [&](std::string &t) { return replaceFirst(second, first, t); });
    unchangedWhenFalse(page, [&](std::string &t) { return insertBefore(second, first, t); });
    unchangedWhenFalse(page, [&](std::string &t) { return insertAfter(second, first, t); });
    unchangedWhenFalse(page, [&](std::string &t) { return insertAfterHeadTag(second, t); });
    unchangedWhenFalse(page, [&](std::string &t) { return cutBetween(first, second, t); });
    unchangedWhenFalse(page, [&](std::string &t) { return removeEnclosing(open, close, first, t); });
    unchangedWhenFalse(page, [&](std::string &t) { return removeBlock(first, second, page.substr(0, 3), t, reach); });
    unchangedWhenFalse(page, [&](std::string &t) { return removeBlock(second, first, first, t, reach); });
    unchangedWhenFalse(page, [&](std::string &t) { return removeElement(open, close, first, t); });
    unchangedWhenFalse(page, [&](std::string &t) { return removeTrackingLink(t); });
    unchangedWhenFalse(page, [&](std::string &t) { return upperCaseHeadBody(t); });

    {
        std::string text = page;
        std::string plain = page;
        check(cutBetween(first, second, text) == plainCut(first, second, plain));
        check(text == plain);
    }
    if (!first.empty()) {
        for (std::size_t from = 0; from <= page.size(); from += 1 + page.size() / 8)
            check(findLiteral(page, first, from) == page.find(first, from));
    }
    check(findLiteral(page, "") == std::string::npos);
    if (page.size() <= 2048) {
        const std::string links = linkPieces(page);
        std::string oneByOne = links;
        std::size_t removed = 0;
        while (removeTrackingLink(oneByOne))
            ++removed;
        std::string all = links;
        check(removeAllTrackingLinks(all) == removed);
        check(all == oneByOne);
    }

    {
        std::string text = page;
        const bool changed = stripTags(text);
        check(changed || text == page);
        checkStripped(text, '<', '>', 199);
        text = page;
        stripEntities(text);
        checkStripped(text, '&', ';', 6);
    }
    {
        int count = -1;
        const bool found = countRepeats(first, page, count);
        check(count >= 0 && count <= 20 && found == (count > 0));
    }
    if (replaceEnds(second, first)) {
        std::string text = page;
        check(replaceAll(second, first, text));
        if (!first.empty() && second.find(first) == std::string::npos && page.size() <= 512)
            check(text == rescanEverything(second, first, page));
    }

    {
        const std::string name = fileNameForm(page);
        check(name.find_first_of(" #") == std::string::npos);
        check(entityForm(page).find('#') == std::string::npos);
        std::string decoded = page;
        decodeEntities(decoded);
        check(decoded.size() <= page.size());
        check(cutAtHash(page).find('#') == std::string::npos);
        check(removeLineBreaks(page).find_first_of("\r\n") == std::string::npos);
        check(removeSpaces(page).find(' ') == std::string::npos);
        check(plusToSpaces(spacesToPlus(page)).size() == page.size());
        check(backslashToSlash(page).find('\\') == std::string::npos);
        check(colonToComma(page).find_first_of(":>") == std::string::npos);
        check(cutAtNewline(page).find('\n') == std::string::npos);
        check(escapeHash(page).find('#') == std::string::npos);
        check(lettersOnly(page).size() <= page.size());
    }

    if (withFile && files::write(scratchFile(), page)) {
        const std::string content = removeLineBreaks(page);
        for (int index = 1; index <= 3; ++index) {
            std::string block = "unchanged";
            std::string plain = "unchanged";
            check(readMarkedBlock(first, second, scratchFile(), index, block) ==
                  plainMarkedBlock(first, second, content, index, plain));
            check(block == plain);
        }
    }
    return 0;
}
