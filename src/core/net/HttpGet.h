#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace vantor {

class Ui;

// The single GETs of the program. Each opens its own session, returns false
// with an error text (cp1252, at most kErrorTextMax characters) on failure
// and shows nothing itself except the credential prompt after a 401 or 407.
namespace httpget {

constexpr std::size_t kErrorTextMax = 1023; // fits the 1,024-byte buffer of the callers

// Towards search engines and the user's own homepage.
std::string searchEngineAgent();
// Towards the maker's server: the program name and version and one word more.
std::string makerAgent();

// The body (at most 4,096 bytes) lands in answer. With askFirst and the
// httpinform setting on, the dial-up prompt comes first; "Abbruch" ends
// without a request and with "Verbindung vom Anwender beendet.".
// status, when given, receives the answer's status code (0 without one).
bool getText(const std::string &agent, const std::string &url, std::string &answer, std::string &error, bool askFirst,
             Ui &ui, long *status = nullptr);

// The same GET with the search-engine agent, no prompt, the body dropped.
bool isReachable(const std::string &url, std::string &error, Ui &ui);

// Says whether a downloaded body may take the place of the file on disk.
using BodyCheck = std::function<bool(std::string_view body)>;

// The same GET with the maker agent; at most 50,000 bytes of the body
// replace the file at path (cp1252), written beside it and renamed over it,
// so the old file stays whole until the new one is complete. A failed
// request, a redirect, an error status (400 and up, "Fehler Code: <status>"),
// an empty body or one that accept refuses leaves the file alone and gives
// false. A file that cannot be written gives false with an empty error text.
bool downloadToFile(const std::string &url, const std::string &path, std::string &error, Ui &ui,
                    const BodyCheck &accept = {});

// The error texts of a body that came whole but is of no use.
std::string emptyBodyText();
std::string refusedBodyText();

// One silent GET to the maker's support script: from, subject (the maker
// agent) and the report text, each value percent-encoded so that an engine's
// answer cannot break the query. The answer and any failure are dropped;
// nothing is shown.
void sendErrorReport(const std::string &text, bool askFirst, Ui &ui);
// The sender the reports come from.
std::string reportSender();

// "Fehler Code: <code>", the text of a refused request.
std::string statusText(long code);

// The texts around a GET.
std::string userDeclinedText();
std::string dialUpTitle();
std::string dialUpText();
// The box of a failed request: "Fehler beim Verbindungsaufbau" and the text
// that ends in the request's own error text.
std::string connectionErrorTitle();
std::string connectionErrorText(const std::string &errorText);

// The GET procedure itself, shared by the three forms. status, when given,
// receives the answer's status code (0 when there was no answer).
bool get(const std::string &agent, const std::string &url, std::size_t limit, std::string &body, std::string &error,
         Ui &ui, long *status = nullptr);

} // namespace httpget
} // namespace vantor
