#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

// What an engine's answer to one submitted document says.
enum class SubmitAnswer { Error, Accepted, Rejected, AlreadyListed, Down, Unknown };

// The server of a target: a bare host is plain HTTP on port 80, as the old
// files have it; newer files may name the scheme and a port.
struct SubmitServer {
    bool https = false;
    std::string host;
    int port = 80;
};

// One target of a submission, as its data file describes it: a single
// engine from submit_d.dat or a submission list from submit_lists_d.dat.
// Every value is kept exactly as stored.
struct SubmitTarget {
    // The text the user chose it by ("Liste: Name (NOF)" for a list).
    std::string offered;
    std::string server;
    std::string onlyHomepage;
    std::string okay;
    std::string convert;
    std::string referer;
    std::string already;
    std::string already2;
    std::string wrong;
    std::string error;
    std::string down;
    std::string verb;
    std::string http1;
    std::string replaceUrl;
    std::string replaceEmail;

    // 0 POST, 1 GET, 2 HEAD, 3 PUT, 4 LINK, 5 DELETE, 6 UNLINK; anything
    // else that is no number reads as 0.
    int verbNumber() const;
    static const char *verbName(int number);

    std::optional<SubmitServer> parsedServer() const;

    // The request object for one document: the first e-mail placeholder and
    // the first URL placeholder replaced. The inserted values are
    // percent-encoded (as UTF-8), so that a blank, '&', '#' or '+' in a file
    // name can neither break the request nor add keys of its own.
    std::string buildRequest(std::string_view documentUrl, std::string_view email) const;
    // Just before sending: CONVERT 1 turns every '#' into "%23".
    std::string finishRequest(std::string request) const;

    // One line of the answer, tested in the engine's order of precedence;
    // nullopt when no marker is in it.
    std::optional<SubmitAnswer> classifyLine(std::string_view line) const;
};

// Reading the targets out of the two data texts.
namespace submittargets {

constexpr std::size_t kMaxTargets = 100;
constexpr std::size_t kMaxNameLength = 100;
extern const char *const kListPrefix; // "Liste: "

struct Offered {
    std::vector<std::string> targets;
    // A list named without its NOF entry.
    std::optional<std::string> listWithoutSize;
};

// The engines of submit_d.dat, then the lists of submit_lists_d.dat, each
// numbered G.1, G.2, ... without a gap, at most 100 from each file.
Offered readOffered(std::string_view submitText, std::string_view listsText);
std::vector<std::string> readNames(std::string_view text);

// The definition of an offered target, or nullopt with the first required
// key that is missing.
std::optional<SubmitTarget> readTarget(std::string_view submitText, std::string_view listsText,
                                       const std::string &offered, std::string *missingKey = nullptr);

} // namespace submittargets

} // namespace vantor
