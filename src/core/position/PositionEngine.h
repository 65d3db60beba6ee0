#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

// One search engine of the position check as position_d.dat describes it:
// ten fields separated by '|' in the value of P.<n>. Texts are cp1252.
struct PositionEngine {
    static constexpr int kMaxEngines = 100;
    static constexpr std::size_t kMaxName = 99;
    static constexpr std::size_t kMaxMarker = 99;
    static constexpr std::size_t kMaxVerb = 11;
    static constexpr std::size_t kMaxRequest = 2047;
    static constexpr std::size_t kMaxPages = 10;
    static constexpr std::size_t kMaxPath = 511;

    std::string name;
    // Put before a page's path to link the page in the report (no scheme).
    std::string linkPrefix;
    // Host to connect to; "host:port" for an engine off port 80,
    // "https://host[:port]" for one that speaks TLS (certificate checked).
    std::string server;
    std::string verb;
    // Results per page and the pages' paths, "^"-separated, with the word
    // "suchbegriff" where the term goes.
    std::string request;
    // Closes one result entry; a trailing '~' in the file lets it end in
    // blanks and is gone here.
    std::string resultMarker;
    std::string startAfter;
    // "NULL" anywhere in it: no stop marker.
    std::string stopAfter;
    std::string mark1;
    std::string mark2;

    // The fields of a value; nullopt when fewer than ten can be read (the
    // first nine end at '|' and may not be empty, the last ends at white
    // space).
    static std::optional<PositionEngine> parse(std::string_view value);

    bool hasStopMarker() const { return stopAfter.find("NULL") == std::string::npos; }
    // Host and port as the connection needs them; false for a server field
    // no connection can be made with.
    bool splitServer(std::string &host, int &port, bool &https) const;
};

// The pages of one term: the request with the term put in, split.
struct PositionRequest {
    int perPage = 0;
    std::vector<std::string> paths; // one per result page, at most ten

    // The term goes in percent-encoded (a blank as '+'), so a term with
    // '&' or '?' can neither break the request nor add keys of its own.
    static PositionRequest build(const std::string &request, const std::string &term);
    int depth() const { return perPage * static_cast<int>(paths.size()); }
};

namespace positionengines {

// The names offered for selection: of P.1, P.2, … up to the first missing
// number (at most 100), the text before the first '|'.
std::vector<std::string> offered(const std::string &dataText);

// The first entry whose value contains the name; nullopt when none does or
// the entry has fewer than ten fields.
std::optional<PositionEngine> find(const std::string &dataText, const std::string &name);

} // namespace positionengines

} // namespace vantor
