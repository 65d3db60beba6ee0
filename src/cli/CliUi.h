#pragma once

#include "optimizer/RunLog.h"
#include "ui/StreamUi.h"

#include <iosfwd>

namespace vantor {

// The Ui of long jobs on the command line: boxes go to stderr, questions
// take the answer given with --yes (or "Abbruch"), and nobody waits for
// pauses that only keep a window readable.
class CliUi : public StreamUi
{
public:
    CliUi(std::ostream &messages, bool yes);

    bool question(const std::string &title, const std::string &text) override;
    void pause(int milliseconds) override;

private:
    std::ostream &m_messages;
    bool m_yes;
};

// Prints the report lines of a run as they come, each with its kind in front.
class CliRunPrinter : public RunObserver
{
public:
    explicit CliRunPrinter(std::ostream &out);
    void lineAdded(const ReportLine &line) override;
    void todoAdded(const std::string &todo) override;

    static const char *prefix(LineKind kind);

private:
    std::ostream &m_out;
};

} // namespace vantor
