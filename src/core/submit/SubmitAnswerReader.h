#pragma once

#include "submit/SubmitTarget.h"

#include <optional>
#include <string>
#include <string_view>

namespace vantor {

// Reads an engine's answer as it arrives, line by line, and stops at the
// first line that carries one of the target's markers. A line longer than
// kMaxLine is taken in pieces of that length, as the engine's old line
// reader did, so a huge answer never piles up in memory.
class SubmitAnswerReader
{
public:
    static constexpr std::size_t kMaxLine = 4095;

    explicit SubmitAnswerReader(const SubmitTarget &target)
        : m_target(target)
    {
    }

    // The verdict once a line decided it; more data after that is ignored.
    std::optional<SubmitAnswer> feed(std::string_view chunk);
    // The answer ended: its last line is tested, and without any hit it is
    // unknown.
    SubmitAnswer finish();

private:
    void testLine();

    const SubmitTarget &m_target;
    std::string m_line;
    std::optional<SubmitAnswer> m_verdict;
};

} // namespace vantor
