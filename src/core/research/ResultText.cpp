#include "research/ResultText.h"

#include "optimizer/PageText.h"
#include "optimizer/TermText.h"

namespace vantor::research {

namespace {

// An empty marker is never found, as with every literal search of ours.
std::size_t find(const std::string &text, const std::string &needle, std::size_t from = 0)
{
    return needle.empty() ? std::string::npos : text.find(needle, from);
}

bool contains(const std::string &text, const std::string &needle) { return find(text, needle) != std::string::npos; }

} // namespace

bool extractNextResult(std::string &line, const std::string &resultStart, const std::string &resultEnd,
                       const std::string &delimiter, std::string &term)
{
    term.clear();
    if (line.empty())
        return false;
    const std::size_t start = find(line, resultStart);
    std::string terminator;
    if (start != std::string::npos) {
        const std::size_t after = start + resultStart.size();
        if (!delimiter.empty()) {
            if (contains(line, delimiter))
                terminator = delimiter;
            else if (contains(line, resultEnd))
                terminator = resultEnd;
            else
                return false;
            const std::size_t stop = line.find(terminator, after);
            term = line.substr(after, stop == std::string::npos ? std::string::npos : stop - after);
        } else {
            if (resultEnd.empty()) {
                term = line.substr(after);
                line.clear();
                return true;
            }
            const std::size_t stop = line.find(resultEnd, after);
            if (stop == std::string::npos)
                return false;
            terminator = resultEnd;
            term = line.substr(after, stop - after);
        }
    } else {
        // The rest of a run that began on an earlier call.
        if (delimiter.empty())
            return false;
        if (contains(line, delimiter))
            terminator = delimiter;
        else if (contains(line, resultEnd))
            terminator = resultEnd;
        else
            return false;
        term = line.substr(0, line.find(terminator));
    }
    line.erase(0, line.find(terminator) + terminator.size());
    return true;
}

std::string cleanResultText(std::string text)
{
    stripTags(text);
    decodeEntities(text);
    return lettersOnly(text);
}

} // namespace vantor::research
