#pragma once

#include "ui/Ui.h"

#include <deque>
#include <string>
#include <vector>

namespace vantor {

// The test double: records everything shown and answers from queues that a
// test fills beforehand. An empty queue answers OK / Abbrechen.
class ScriptedUi : public Ui
{
public:
    struct Shown {
        // "message", "question", "questionDefaultNo", "questionWith", "systemError", "wait", "connectionError", "credentials"
        std::string kind;
        std::string title;
        std::string text;
    };

    void message(const std::string &title, const std::string &text) override;
    bool question(const std::string &title, const std::string &text) override;
    bool questionDefaultNo(const std::string &title, const std::string &text) override;
    bool questionWith(const std::string &title, const std::string &text, const std::string &stopButton,
                      const std::string &goButton) override;
    void systemError(const std::string &title, const std::string &text) override;
    void showWait(const std::string &text) override;
    void closeWait() override;
    ConnectionAnswer connectionError(const std::string &title, const std::string &text,
                                     bool configureCloses) override;
    bool credentials(const std::string &title, std::string &user, std::string &password) override;
    void progress(int value, int maximum) override;
    void pump() override;
    void pause(int milliseconds) override;
    bool cancelRequested() override;

    std::deque<bool> questionAnswers;
    std::deque<ConnectionAnswer> connectionAnswers;
    struct Credentials {
        bool ok = false;
        std::string user;
        std::string password;
    };
    std::deque<Credentials> credentialAnswers;
    // Cancel is requested once pump() has been called this many times (-1: never).
    int cancelAfterPumps = -1;

    std::vector<Shown> shown;
    std::vector<std::string> waitTexts;
    bool waitOpen = false;
    int pumps = 0;
    int pausedMs = 0;
    int lastProgress = 0;
    int lastProgressMax = 0;

    // Titles of everything shown, in order; handy for assertions.
    std::vector<std::string> titles() const;
    bool showedTitle(const std::string &title) const;
};

} // namespace vantor
