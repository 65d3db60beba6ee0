#pragma once

#include <string>

namespace vantor {

class Ui;

// The feedback form: the user's address and message go to the maker's
// support script as one GET.
class Feedback
{
public:
    enum class Result {
        Sent,    // "Email versendet" shown; the form closes
        Invalid, // "Daten nicht korrekt" shown; the form stays
        Failed,  // the connection failed and the user gave up; the form stays
    };

    // "Senden", with the wait window up while it runs. "Nochmal" in the
    // connection-error box waits half a second and sends again.
    static Result sendFeedback(const std::string &address, const std::string &message, Ui &ui);

    // Both fields filled and the address with an '@'.
    static bool valid(const std::string &address, const std::string &message);
    // "Vantor!! 4.01 PC: <major>.<minor> Build <build> <service pack>"
    static std::string subject();
    // The support script's URL with each value percent-encoded.
    static std::string url(const std::string &address, const std::string &message);
};

} // namespace vantor
