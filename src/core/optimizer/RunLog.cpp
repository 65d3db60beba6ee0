#include "optimizer/RunLog.h"

namespace vantor {

void RunLog::logLine(const std::string &text, LineKind kind)
{
    m_lines.push_back({text, kind});
    if (kind == LineKind::Error)
        ++m_errors;
    else if (kind == LineKind::Warning)
        ++m_warnings;
    if (m_observer)
        m_observer->lineAdded(m_lines.back());
}

void RunLog::addTodo(const std::string &text)
{
    m_todos.push_back(text);
    if (m_observer)
        m_observer->todoAdded(m_todos.back());
}

void RunLog::useTechnique(std::string_view code)
{
    for (const auto &used : m_techniques)
        if (used == code)
            return;
    m_techniques.emplace_back(code);
}

} // namespace vantor
