#include "position/PositionEngine.h"

#include "net/DataFile.h"
#include "net/PercentEncoding.h"

#include <charconv>
#include <cstdlib>

namespace vantor {

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// What a "%[^<stop>]" conversion takes: at least one character up to the
// stop character. Empty when it would fail.
std::string_view takeUpTo(std::string_view &rest, char stop)
{
    const std::size_t end = rest.find(stop);
    const std::string_view field = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    return field;
}

// What a final "%s" takes: white space skipped, then up to the next.
std::string_view takeWord(std::string_view rest)
{
    std::size_t begin = 0;
    while (begin < rest.size() && isSpace(rest[begin]))
        ++begin;
    std::size_t end = begin;
    while (end < rest.size() && !isSpace(rest[end]))
        ++end;
    return rest.substr(begin, end - begin);
}

std::string cut(std::string_view text, std::size_t max) { return std::string(text.substr(0, max)); }

} // namespace

std::optional<PositionEngine> PositionEngine::parse(std::string_view value)
{
    std::string_view rest = value;
    std::string_view fields[10];
    for (int i = 0; i < 9; ++i) {
        // A field that is not followed by '|' leaves nothing for the next:
        // the entry is short.
        const bool last = rest.find('|') == std::string_view::npos;
        fields[i] = takeUpTo(rest, '|');
        if (fields[i].empty() || last)
            return std::nullopt;
    }
    fields[9] = takeWord(rest);
    if (fields[9].empty())
        return std::nullopt;

    PositionEngine engine;
    engine.name = cut(fields[0], kMaxName);
    engine.linkPrefix = cut(fields[1], kMaxMarker);
    engine.server = cut(fields[2], kMaxMarker);
    engine.verb = cut(fields[3], kMaxVerb);
    engine.request = cut(fields[4], kMaxRequest);
    engine.resultMarker = cut(fields[5], kMaxMarker);
    if (!engine.resultMarker.empty() && engine.resultMarker.back() == '~')
        engine.resultMarker.pop_back();
    engine.startAfter = cut(fields[6], kMaxMarker);
    engine.stopAfter = cut(fields[7], kMaxMarker);
    engine.mark1 = cut(fields[8], kMaxMarker);
    engine.mark2 = cut(fields[9], kMaxMarker);
    return engine;
}

bool PositionEngine::splitServer(std::string &host, int &port, bool &https) const
{
    std::string rest = server;
    https = false;
    port = 80;
    if (rest.rfind("https://", 0) == 0) {
        https = true;
        port = 443;
        rest.erase(0, 8);
    } else if (rest.rfind("http://", 0) == 0) {
        rest.erase(0, 7);
    }
    host = rest;
    const std::size_t colon = rest.rfind(':');
    if (colon != std::string::npos) {
        host = rest.substr(0, colon);
        const std::string digits = rest.substr(colon + 1);
        int value = 0;
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size() || value <= 0
            || value > 65535)
            return false;
        port = value;
    }
    return !host.empty() && host.find_first_of(" \t/\\@") == std::string::npos;
}

PositionRequest PositionRequest::build(const std::string &request, const std::string &term)
{
    const std::string encoded = formEncode(term);
    std::string text;
    static const std::string word = "suchbegriff";
    for (std::size_t from = 0;;) {
        const std::size_t at = request.find(word, from);
        text.append(request, from, at == std::string::npos ? std::string::npos : at - from);
        if (at == std::string::npos)
            break;
        text += encoded;
        from = at + word.size();
    }
    text.resize(std::min(text.size(), PositionEngine::kMaxRequest));

    // "%[^^]^" ten times, then "%s": the parts up to the first empty one.
    PositionRequest built;
    std::string_view rest = text;
    for (std::size_t part = 0; part <= PositionEngine::kMaxPages; ++part) {
        std::string_view field;
        if (part < PositionEngine::kMaxPages) {
            const bool last = rest.find('^') == std::string_view::npos;
            field = takeUpTo(rest, '^');
            if (field.empty())
                break;
            if (part == 0)
                built.perPage = std::atoi(std::string(field).c_str());
            else
                built.paths.push_back(cut(field, PositionEngine::kMaxPath));
            if (last)
                break;
        } else {
            field = takeWord(rest);
            if (field.empty())
                break;
            built.paths.push_back(cut(field, PositionEngine::kMaxPath));
        }
    }
    return built;
}

namespace positionengines {

std::vector<std::string> offered(const std::string &dataText)
{
    std::vector<std::string> names;
    std::string value;
    for (int i = 1; i <= PositionEngine::kMaxEngines; ++i) {
        if (!DataFile::value(dataText, "P", std::to_string(i), value))
            break;
        names.push_back(cut(value.substr(0, value.find('|')), PositionEngine::kMaxName));
    }
    return names;
}

std::optional<PositionEngine> find(const std::string &dataText, const std::string &name)
{
    std::string value;
    for (int i = 1; i <= PositionEngine::kMaxEngines; ++i) {
        if (!DataFile::value(dataText, "P", std::to_string(i), value))
            return std::nullopt;
        if (value.find(name) != std::string::npos)
            return PositionEngine::parse(value);
    }
    return std::nullopt;
}

} // namespace positionengines

} // namespace vantor
