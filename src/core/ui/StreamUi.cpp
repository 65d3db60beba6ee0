#include "ui/StreamUi.h"

#include "platform/Text.h"

#include <chrono>
#include <istream>
#include <ostream>
#include <thread>

namespace vantor {

StreamUi::StreamUi(std::ostream &out, std::istream &in, bool interactive)
    : m_out(out)
    , m_in(in)
    , m_interactive(interactive)
{
}

void StreamUi::message(const std::string &title, const std::string &text)
{
    m_out << toUtf8(title) << ": " << toUtf8(text) << '\n';
}

bool StreamUi::askYes(const std::string &prompt)
{
    if (!m_interactive)
        return false;
    m_out << prompt << std::flush;
    std::string answer;
    if (!std::getline(m_in, answer))
        return false;
    return !answer.empty() && (answer[0] == 'j' || answer[0] == 'J' || answer[0] == 'y' || answer[0] == 'Y');
}

bool StreamUi::question(const std::string &title, const std::string &text)
{
    message(title, text);
    return askYes(toUtf8(de("OK? [j/N] ")));
}

void StreamUi::systemError(const std::string &title, const std::string &text) { message(title, text); }

void StreamUi::showWait(const std::string &text) { m_out << toUtf8(text) << '\n'; }

void StreamUi::closeWait() {}

ConnectionAnswer StreamUi::connectionError(const std::string &title, const std::string &text, bool)
{
    message(title, text);
    return askYes(toUtf8(de("Nochmal? [j/N] "))) ? ConnectionAnswer::Retry : ConnectionAnswer::Cancel;
}

bool StreamUi::credentials(const std::string &title, std::string &user, std::string &password)
{
    if (!m_interactive)
        return false;
    m_out << toUtf8(title) << '\n' << toUtf8(de("Benutzername: ")) << std::flush;
    std::string u;
    std::string p;
    if (!std::getline(m_in, u))
        return false;
    m_out << toUtf8(de("Kennwort: ")) << std::flush;
    if (!std::getline(m_in, p))
        return false;
    user = toCp1252(u);
    password = toCp1252(p);
    return true;
}

void StreamUi::progress(int, int) {}

void StreamUi::pump() {}

void StreamUi::pause(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

} // namespace vantor
