#include "submit/SubmitAnswerReader.h"

namespace vantor {

void SubmitAnswerReader::testLine()
{
    if (!m_verdict)
        m_verdict = m_target.classifyLine(m_line);
    m_line.clear();
}

std::optional<SubmitAnswer> SubmitAnswerReader::feed(std::string_view chunk)
{
    for (const char c : chunk) {
        if (m_verdict)
            break;
        if (c == '\n') {
            if (!m_line.empty() && m_line.back() == '\r')
                m_line.pop_back();
            testLine();
            continue;
        }
        m_line += c;
        if (m_line.size() == kMaxLine)
            testLine();
    }
    return m_verdict;
}

SubmitAnswer SubmitAnswerReader::finish()
{
    if (!m_line.empty())
        testLine();
    return m_verdict.value_or(SubmitAnswer::Unknown);
}

} // namespace vantor
