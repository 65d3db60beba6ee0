#include "CliUi.h"

#include "platform/Text.h"

#include <iostream>

namespace vantor {

CliUi::CliUi(std::ostream &messages, bool yes)
    : StreamUi(messages, std::cin, false)
    , m_messages(messages)
    , m_yes(yes)
{
}

bool CliUi::question(const std::string &title, const std::string &text)
{
    message(title, text);
    m_messages << (m_yes ? "-> OK\n" : "-> Abbruch\n");
    return m_yes;
}

void CliUi::pause(int) {}

CliRunPrinter::CliRunPrinter(std::ostream &out)
    : m_out(out)
{
}

const char *CliRunPrinter::prefix(LineKind kind)
{
    switch (kind) {
    case LineKind::Error:
        return "[F] ";
    case LineKind::Warning:
        return "[W] ";
    default:
        return "[ ] ";
    }
}

void CliRunPrinter::lineAdded(const ReportLine &line) { m_out << prefix(line.kind) << toUtf8(line.text) << '\n'; }

// The To Do's are printed together once the run is over.
void CliRunPrinter::todoAdded(const std::string &) {}

} // namespace vantor
