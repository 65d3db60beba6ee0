#include "submit/SubmitTarget.h"

#include "net/DataFile.h"
#include "net/PercentEncoding.h"
#include "platform/Text.h"

#include <charconv>

namespace vantor {

namespace {

void replaceFirst(std::string &text, std::string_view placeholder, std::string_view value)
{
    if (placeholder.empty())
        return;
    const std::size_t at = text.find(placeholder);
    if (at != std::string::npos)
        text.replace(at, placeholder.size(), value);
}

bool has(std::string_view line, const std::string &marker)
{
    return !marker.empty() && line.find(marker) != std::string_view::npos;
}

// What goes into a request in the place of a placeholder: the bytes the
// engine's server will see once it decodes its query.
std::string asRequestValue(std::string_view text) { return percentEncodeKeeping(toUtf8(text), "-._~@:/"); }

} // namespace

int SubmitTarget::verbNumber() const
{
    int number = 0;
    const auto [end, ec] = std::from_chars(verb.data(), verb.data() + verb.size(), number);
    if (ec != std::errc() || end != verb.data() + verb.size() || number < 0 || number > 6)
        return 0;
    return number;
}

const char *SubmitTarget::verbName(int number)
{
    static const char *const names[] = {"POST", "GET", "HEAD", "PUT", "LINK", "DELETE", "UNLINK"};
    return number >= 0 && number <= 6 ? names[number] : names[0];
}

std::optional<SubmitServer> SubmitTarget::parsedServer() const
{
    SubmitServer parsed;
    std::string_view rest = server;
    const std::string lower = lowerCp1252(server);
    if (lower.rfind("https://", 0) == 0) {
        parsed.https = true;
        parsed.port = 443;
        rest.remove_prefix(8);
    } else if (lower.rfind("http://", 0) == 0) {
        rest.remove_prefix(7);
    }
    if (!rest.empty() && rest.back() == '/')
        rest.remove_suffix(1);
    const std::size_t colon = rest.rfind(':');
    if (colon != std::string_view::npos) {
        const std::string_view digits = rest.substr(colon + 1);
        int port = 0;
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), port);
        if (ec != std::errc() || end != digits.data() + digits.size() || port < 1 || port > 65535)
            return std::nullopt;
        parsed.port = port;
        rest = rest.substr(0, colon);
    }
    if (rest.empty() || rest.find_first_of("/ \t") != std::string_view::npos)
        return std::nullopt;
    parsed.host = std::string(rest);
    return parsed;
}

std::string SubmitTarget::buildRequest(std::string_view documentUrl, std::string_view email) const
{
    std::string request = http1;
    if (!replaceEmail.empty())
        replaceFirst(request, replaceEmail, asRequestValue(email));
    replaceFirst(request, replaceUrl, asRequestValue(documentUrl));
    return request;
}

std::string SubmitTarget::finishRequest(std::string request) const
{
    if (convert != "1")
        return request;
    std::string converted;
    converted.reserve(request.size());
    for (const char c : request) {
        if (c == '#')
            converted += "%23";
        else
            converted += c;
    }
    return converted;
}

std::optional<SubmitAnswer> SubmitTarget::classifyLine(std::string_view line) const
{
    if (has(line, error))
        return SubmitAnswer::Error;
    if (!okay.empty() && line.find(okay) != std::string_view::npos)
        return SubmitAnswer::Accepted;
    if (has(line, wrong))
        return SubmitAnswer::Rejected;
    if (has(line, already) || has(line, already2))
        return SubmitAnswer::AlreadyListed;
    if (has(line, down))
        return SubmitAnswer::Down;
    return std::nullopt;
}

namespace submittargets {

const char *const kListPrefix = "Liste: ";

std::vector<std::string> readNames(std::string_view text)
{
    std::vector<std::string> names;
    for (std::size_t n = 1; n <= kMaxTargets; ++n) {
        std::string name;
        if (!DataFile::value(text, "G", std::to_string(n), name))
            break;
        if (name.size() > kMaxNameLength - 1)
            name.resize(kMaxNameLength - 1);
        names.push_back(std::move(name));
    }
    return names;
}

Offered readOffered(std::string_view submitText, std::string_view listsText)
{
    Offered offered;
    offered.targets = readNames(submitText);
    for (const std::string &list : readNames(listsText)) {
        std::string size;
        if (!DataFile::value(listsText, list, "NOF", size)) {
            if (!offered.listWithoutSize)
                offered.listWithoutSize = list;
            continue;
        }
        offered.targets.push_back(kListPrefix + list + " (" + size + ")");
    }
    return offered;
}

std::optional<SubmitTarget> readTarget(std::string_view submitText, std::string_view listsText,
                                       const std::string &offered, std::string *missingKey)
{
    std::string_view text = submitText;
    std::string section = offered;
    const std::size_t prefix = offered.find(kListPrefix);
    if (prefix != std::string::npos) {
        text = listsText;
        section = offered.substr(prefix + std::char_traits<char>::length(kListPrefix));
        const std::size_t open = section.find(" (");
        if (open != std::string::npos)
            section.resize(open);
    }

    SubmitTarget target;
    target.offered = offered;
    struct Key {
        const char *name;
        std::string SubmitTarget::*field;
        bool required;
    };
    // The order in which the definition is read; the first missing
    // required key is the one reported.
    static const Key keys[] = {
        {"SERVER", &SubmitTarget::server, true},        {"ONLYHOMEPAGE", &SubmitTarget::onlyHomepage, true},
        {"OKAY", &SubmitTarget::okay, true},            {"CONVERT", &SubmitTarget::convert, true},
        {"REFERER", &SubmitTarget::referer, false},     {"ALREADY", &SubmitTarget::already, false},
        {"ALREADY2", &SubmitTarget::already2, false},   {"WRONG", &SubmitTarget::wrong, false},
        {"ERROR", &SubmitTarget::error, false},         {"DOWN", &SubmitTarget::down, false},
        {"VERB", &SubmitTarget::verb, false},           {"HTTP1", &SubmitTarget::http1, true},
        {"REPLACEURL", &SubmitTarget::replaceUrl, true}, {"REPLACEEMAIL", &SubmitTarget::replaceEmail, false},
    };
    for (const Key &key : keys) {
        const bool found = DataFile::value(text, section, key.name, target.*key.field);
        const bool empty = key.field == &SubmitTarget::okay && target.okay.empty();
        if (key.required && (!found || empty)) {
            if (missingKey)
                *missingKey = key.name;
            return std::nullopt;
        }
    }
    return target;
}

} // namespace submittargets

} // namespace vantor
