#include "ui/ScriptedUi.h"

#include <algorithm>

namespace vantor {

void ScriptedUi::message(const std::string &title, const std::string &text)
{
    shown.push_back({"message", title, text});
}

bool ScriptedUi::question(const std::string &title, const std::string &text)
{
    shown.push_back({"question", title, text});
    if (questionAnswers.empty())
        return true;
    const bool answer = questionAnswers.front();
    questionAnswers.pop_front();
    return answer;
}

bool ScriptedUi::questionDefaultNo(const std::string &title, const std::string &text)
{
    const bool answer = question(title, text);
    shown.back().kind = "questionDefaultNo";
    return answer;
}

bool ScriptedUi::questionWith(const std::string &title, const std::string &text, const std::string &, const std::string &)
{
    const bool answer = question(title, text);
    shown.back().kind = "questionWith";
    return answer;
}

void ScriptedUi::systemError(const std::string &title, const std::string &text)
{
    shown.push_back({"systemError", title, text});
}

void ScriptedUi::showWait(const std::string &text)
{
    waitTexts.push_back(text);
    waitOpen = true;
}

void ScriptedUi::closeWait() { waitOpen = false; }

ConnectionAnswer ScriptedUi::connectionError(const std::string &title, const std::string &text, bool)
{
    shown.push_back({"connectionError", title, text});
    if (connectionAnswers.empty())
        return ConnectionAnswer::Cancel;
    const ConnectionAnswer answer = connectionAnswers.front();
    connectionAnswers.pop_front();
    return answer;
}

bool ScriptedUi::credentials(const std::string &title, std::string &user, std::string &password)
{
    shown.push_back({"credentials", title, {}});
    if (credentialAnswers.empty())
        return false;
    const Credentials answer = credentialAnswers.front();
    credentialAnswers.pop_front();
    if (answer.ok) {
        user = answer.user;
        password = answer.password;
    }
    return answer.ok;
}

void ScriptedUi::progress(int value, int maximum)
{
    lastProgress = value;
    lastProgressMax = maximum;
}

void ScriptedUi::pump() { ++pumps; }

void ScriptedUi::pause(int milliseconds) { pausedMs += milliseconds; }

bool ScriptedUi::cancelRequested() { return cancelAfterPumps >= 0 && pumps >= cancelAfterPumps; }

std::vector<std::string> ScriptedUi::titles() const
{
    std::vector<std::string> result;
    for (const auto &s : shown)
        result.push_back(s.title);
    return result;
}

bool ScriptedUi::showedTitle(const std::string &title) const
{
    return std::any_of(shown.begin(), shown.end(), [&](const Shown &s) { return s.title == title; });
}

} // namespace vantor
