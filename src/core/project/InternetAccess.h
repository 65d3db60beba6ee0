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
    // The maker's update server as typed, "host" or "host:port" (the setting
    // "updateserver"); empty means the program's default.
    std::string updateServer;
};

enum class InternetAccessResult {
    Invalid,     // "Eingabe ungültig" shown; the dialog stays open
    Saved,       // in memory and in the store
    WriteFailed, // "Fehler Code 7001" shown; memory holds the new values
};

// The dialog's state when it opens; an access type other than 1 or 3 shows as
// "Systemeinstellungen verwenden" and becomes 0 in memory.
InternetAccessInput openInternetAccess();
// The update server as it is stored: blanks, "http://" and a final slash
// taken away. False for anything but "host" or "host:port" with a port from
// 1 to 65535; the host a name, an IPv4 address or an IPv6 one in brackets.
// Empty is valid and stays empty.
bool normalizedUpdateServer(const std::string &text, std::string &server);
// OK, and the first step of "Testen".
InternetAccessResult confirmInternetAccess(const InternetAccessInput &input, Ui &ui);
// "Testen": confirm, then fetch the version file through the settings just
// saved, with the wait window up, from the update server of the input;
// success or the connection-error box. The box's "Nochmal" waits 500 ms and
// asks again.
void testInternetAccess(const InternetAccessInput &input, Ui &ui);

// The proxy of the provider offered by "Einstellungen für T-Online".
InternetAccessInput tOnlineInternetAccess();

// Fetches a text by its full URL ("http://" + update server + path); with
// askFirst the dial-up prompt may come first. Returns false with an error
// text on failure. The real request is in place from the start; tests swap
// in their own.
using TextFetcher = std::function<bool(const std::string &url, bool askFirst, Ui &ui, std::string &body,
                                       std::string &error)>;
void setConnectionTestFetcher(TextFetcher fetcher);
// Puts the real request back.
void resetConnectionTestFetcher();

} // namespace vantor
