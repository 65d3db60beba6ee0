#pragma once

#include <string>

namespace vantor {

// What the user answered in the connection-error box. "Details" never closes
// the box, so it has no answer of its own.
enum class ConnectionAnswer { Retry, Cancel, Configure };

// Everything the engine needs from whoever shows it: the Qt dialogs, the
// command line, or a scripted double in the tests. All texts are cp1252.
class Ui
{
public:
    virtual ~Ui() = default;

    // The program's own message window: title, text, "OK".
    virtual void message(const std::string &title, const std::string &text) = 0;
    // The question window: "OK" (true) or "Abbruch" (false).
    virtual bool question(const std::string &title, const std::string &text) = 0;
    // The same window with "Abbruch" as the button that Enter presses, for
    // questions whose "OK" replaces something of the user's. Where question
    // already falls back to "Abbruch" (the command line), it is question.
    virtual bool questionDefaultNo(const std::string &title, const std::string &text)
    {
        return question(title, text);
    }
    // A question with buttons of its own, shown in this order; true when
    // the user took goButton. Where no such window exists (the command line,
    // a test double without a script for it), it is the plain question.
    virtual bool questionWith(const std::string &title, const std::string &text, const std::string & /*stopButton*/,
                              const std::string & /*goButton*/)
    {
        return question(title, text);
    }
    // The system boxes titled "Fehler Code …": warning icon, task-modal.
    virtual void systemError(const std::string &title, const std::string &text) = 0;

    // The small wait window without buttons; one at a time.
    virtual void showWait(const std::string &text) = 0;
    virtual void closeWait() = 0;

    // "Nochmal", "Abbrechen", "Konfigurieren", "Details". Where the caller is
    // the Internet access dialog itself, "Konfigurieren" just closes the box
    // (configureCloses); elsewhere the implementation opens that dialog and
    // keeps the box up.
    virtual ConnectionAnswer connectionError(const std::string &title, const std::string &text,
                                             bool configureCloses) = 0;

    // Asks for user name and password after a 401 or 407 answer. False when
    // the user cancelled.
    virtual bool credentials(const std::string &title, std::string &user, std::string &password) = 0;

    // Progress of a long job, 0..maximum.
    virtual void progress(int value, int maximum) = 0;
    // Keeps the window alive during long jobs.
    virtual void pump() = 0;
    // Waits, pumping, for the given time.
    virtual void pause(int milliseconds) = 0;
    // True once the user asked to stop the running job.
    virtual bool cancelRequested() { return false; }
};

// The Ui that engine code reaches without being handed one (the text
// operations' out-of-memory box, for instance). Never null: until someone
// installs one, a plain stderr reporter is in place.
Ui &currentUi();
void setCurrentUi(Ui *ui);

// Shows "Fehler Code 2007" through the current Ui. The text operations end the
// program after it; longer jobs only end themselves (their callers decide).
void reportOutOfMemory();
[[noreturn]] void outOfMemoryExit();

} // namespace vantor
