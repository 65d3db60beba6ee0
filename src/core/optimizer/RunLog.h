#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vantor {

// The three kinds of line of the report list. Errors and warnings are
// counted; the closing message of a run depends on the counts.
enum class LineKind { Normal, Error, Warning };

struct ReportLine {
    std::string text;
    LineKind kind = LineKind::Normal;
};

// Whoever shows the report list and the To Do's while a run goes on.
class RunObserver
{
public:
    virtual ~RunObserver() = default;
    virtual void lineAdded(const ReportLine &line) = 0;
    virtual void todoAdded(const std::string &todo) = 0;
};

// The report list and the To Do's of one run, with the counts. The steps of
// the optimiser write here and nowhere else.
class RunLog
{
public:
    void logLine(const std::string &text, LineKind kind);
    void addTodo(const std::string &text);

    int errors() const { return m_errors; }
    int warnings() const { return m_warnings; }
    const std::vector<ReportLine> &lines() const { return m_lines; }
    const std::vector<std::string> &todos() const { return m_todos; }

    void setObserver(RunObserver *observer) { m_observer = observer; }

    // A technique (its option code, "hiddenForm", or "makedirs" for the
    // doorway pages) that this run actually put into a page; the report
    // weighs them against today's guidelines. Each is kept once, in the
    // order of first use.
    void useTechnique(std::string_view code);
    const std::vector<std::string> &techniquesUsed() const { return m_techniques; }

private:
    std::vector<std::string> m_techniques;
    std::vector<ReportLine> m_lines;
    std::vector<std::string> m_todos;
    int m_errors = 0;
    int m_warnings = 0;
    RunObserver *m_observer = nullptr;
};

} // namespace vantor
