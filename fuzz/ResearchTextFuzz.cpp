// Feeds arbitrary answer lines and markers to the cutting of research
// answers. Beyond the sanitizers it checks what the research relies on:
// every call that brings a term shortens the line (so the loop over a line
// ends), a term is part of the line it came from, and a cleaned term holds
// nothing but what a search term can hold.

#include "research/ResultText.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

using namespace vantor;

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::string resultStart = input.ConsumeRandomLengthString(6);
    const std::string resultEnd = input.ConsumeRandomLengthString(6);
    const std::string delimiter = input.ConsumeRandomLengthString(4);
    std::string line = input.ConsumeRemainingBytesAsString();
    const std::string original = line;

    std::string term;
    while (research::extractNextResult(line, resultStart, resultEnd, delimiter, term)) {
        check(line.size() < original.size());
        check(original.find(term) != std::string::npos);
        const std::size_t before = line.size();
        const std::string clean = research::cleanResultText(term);
        check(clean.size() <= term.size());
        for (unsigned char c : clean)
            check(c == ' ' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')
                  || std::string("\xC4\xD6\xDC\xDF\xE4\xE8\xE9\xEA\xF6\xFC").find(static_cast<char>(c))
                      != std::string::npos);
        // The next call must take at least one byte more off.
        std::string again = line;
        std::string next;
        if (research::extractNextResult(again, resultStart, resultEnd, delimiter, next))
            check(again.size() < before);
    }
    check(line.size() <= original.size());
    return 0;
}
