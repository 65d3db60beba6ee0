#pragma once

#include <functional>
#include <string>

namespace vantor {

class Ui;

// What the Internet access dialog holds while it is open.
struct InternetAccessInput {
    int accessType = 0; // 0 system settings, 1 direct, 3 proxy
    bool inform = true;
    std::string proxy;
    std::string port;
};

enum class InternetAccessResult {
    Invalid,     // "Eingabe ungültig" shown; the dialog stays open
    Saved,       // in memory and in the store
    WriteFailed, // "Fehler Code 7001" shown; memory holds the new values
};

// The dialog's state when it opens; an access type other than 1 or 3 shows as
// "Systemeinstellungen verwenden" and becomes 0 in memory.
InternetAccessInput openInternetAccess();
// OK, and the first step of "Testen".
InternetAccessResult confirmInternetAccess(const InternetAccessInput &input, Ui &ui);
// "Testen": confirm, then fetch the version file through the settings just
// saved, with the wait window up; success or the connection-error box. The
// box's "Nochmal" waits 500 ms and asks again.
void testInternetAccess(const InternetAccessInput &input, Ui &ui);

// The proxy of the provider offered by "Einstellungen für T-Online".
InternetAccessInput tOnlineInternetAccess();

// Fetches a text by URL path from the maker's update server; with askFirst
// the dial-up prompt may come first. Returns false with an error text on
// failure. The real request is in place from the start; tests swap in their
// own.
using TextFetcher = std::function<bool(const std::string &path, bool askFirst, Ui &ui, std::string &body,
                                       std::string &error)>;
void setConnectionTestFetcher(TextFetcher fetcher);
// Puts the real request back.
void resetConnectionTestFetcher();

} // namespace vantor
