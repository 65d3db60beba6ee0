#pragma once

#include <string>

namespace vantor {

class Ui;

// The "Sitecast" newsletter: the address is checked here and the browser
// makes the subscription, so the program never learns whether it worked.
class Newsletter
{
public:
    enum class Result {
        Opened,     // the browser was asked to open the page
        Invalid,    // a message says what is wrong with the address
        OpenFailed, // no browser could be started
    };

    // "Eintragen".
    static Result subscribeNewsletter(const std::string &address, Ui &ui);

    // The first failing check, with its message; true when all pass.
    static bool check(const std::string &address, Ui &ui);
    static std::string url(const std::string &address);
};

} // namespace vantor
