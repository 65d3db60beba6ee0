#include "IndexNowEndpoint.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <fstream>
#include <functional>
#include <map>
#include <string_view>

namespace vantor::demo {

namespace {

using Clock = std::chrono::steady_clock;

// The window the throttle counts in.
constexpr std::chrono::seconds kThrottleWindow{60};
// Hosts and confirmed keys remembered at most; a flood of made-up host
// names must not fill the memory.
constexpr std::size_t kMaxThrottledHosts = 10000;
constexpr std::size_t kMaxKnownKeys = 1000;
// A key file is a key and a line end; anything much larger is no key file.
constexpr std::uintmax_t kMaxKeyFile = 1024;
// Nesting deeper than any submission needs is refused before it can eat the
// stack.
constexpr int kMaxDepth = 64;

// A value as far as a submission needs it: what it is, the text of a
// string, the strings of a list.
struct JsonValue {
    enum class Kind { Null, Bool, Number, String, Array, Object };
    Kind kind = Kind::Null;
    std::string text;
    std::vector<std::string> strings;
    bool onlyStrings = true; // of a list: false once an item is no string
};

// JSON as RFC 8259 has it and not a byte more: engines refuse what their
// parsers cannot read, so a client that gets away with sloppy JSON here
// would fail there. Strings must be UTF-8, escapes complete (surrogates in
// pairs). Of an object at the top only the wanted members are kept, and
// none of those may come twice; everything else is read and dropped, so
// that a body full of other values takes no more memory than its text.
class JsonReader
{
public:
    JsonReader(std::string_view text, std::vector<std::string_view> wanted)
        : m_text(text)
        , m_wanted(std::move(wanted))
    {
    }

    // False for anything that is not one JSON text.
    bool read()
    {
        skipSpace();
        if (!value(&m_root, 0))
            return false;
        skipSpace();
        return m_at == m_text.size();
    }

    JsonValue::Kind rootKind() const { return m_root.kind; }
    JsonValue *member(std::string_view name)
    {
        const auto found = m_members.find(name);
        return found == m_members.end() ? nullptr : &found->second;
    }

private:
    bool value(JsonValue *out, int depth)
    {
        if (depth > kMaxDepth || m_at >= m_text.size())
            return false;
        JsonValue dropped;
        JsonValue &target = out ? *out : dropped;
        switch (m_text[m_at]) {
        case '{':
            target.kind = JsonValue::Kind::Object;
            return object(depth);
        case '[':
            target.kind = JsonValue::Kind::Array;
            return array(out, depth);
        case '"':
            target.kind = JsonValue::Kind::String;
            return string(target.text);
        case 't':
            target.kind = JsonValue::Kind::Bool;
            return literal("true");
        case 'f':
            target.kind = JsonValue::Kind::Bool;
            return literal("false");
        case 'n':
            target.kind = JsonValue::Kind::Null;
            return literal("null");
        default:
            target.kind = JsonValue::Kind::Number;
            return number();
        }
    }

    bool object(int depth)
    {
        ++m_at;
        skipSpace();
        if (take('}'))
            return true;
        for (;;) {
            std::string name;
            skipSpace();
            if (peek() != '"' || !string(name))
                return false;
            skipSpace();
            if (!take(':'))
                return false;
            skipSpace();
            const bool wanted = depth == 0 && std::find(m_wanted.begin(), m_wanted.end(), name) != m_wanted.end();
            if (wanted && m_members.count(name))
                return false;
            if (!value(wanted ? &m_members[name] : nullptr, depth + 1))
                return false;
            skipSpace();
            if (take('}'))
                return true;
            if (!take(','))
                return false;
        }
    }

    bool array(JsonValue *out, int depth)
    {
        ++m_at;
        skipSpace();
        if (take(']'))
            return true;
        for (;;) {
            skipSpace();
            if (out && peek() == '"') {
                std::string item;
                if (!string(item))
                    return false;
                out->strings.push_back(std::move(item));
            } else {
                if (out)
                    out->onlyStrings = false;
                if (!value(nullptr, depth + 1))
                    return false;
            }
            skipSpace();
            if (take(']'))
                return true;
            if (!take(','))
                return false;
        }
    }

    bool string(std::string &out)
    {
        ++m_at;
        while (m_at < m_text.size()) {
            const unsigned char c = static_cast<unsigned char>(m_text[m_at]);
            if (c == '"') {
                ++m_at;
                return true;
            }
            if (c < 0x20)
                return false;
            if (c == '\\') {
                if (!escape(out))
                    return false;
            } else if (c >= 0x80) {
                if (!utf8Sequence(out))
                    return false;
            } else {
                out += static_cast<char>(c);
                ++m_at;
            }
        }
        return false;
    }

    bool escape(std::string &out)
    {
        ++m_at;
        if (m_at >= m_text.size())
            return false;
        const char c = m_text[m_at++];
        switch (c) {
        case '"':
            out += '"';
            return true;
        case '\\':
            out += '\\';
            return true;
        case '/':
            out += '/';
            return true;
        case 'b':
            out += '\b';
            return true;
        case 'f':
            out += '\f';
            return true;
        case 'n':
            out += '\n';
            return true;
        case 'r':
            out += '\r';
            return true;
        case 't':
            out += '\t';
            return true;
        case 'u':
            break;
        default:
            return false;
        }
        unsigned codePoint = 0;
        if (!hex4(codePoint) || (codePoint >= 0xDC00 && codePoint <= 0xDFFF))
            return false;
        if (codePoint >= 0xD800 && codePoint <= 0xDBFF) {
            unsigned low = 0;
            if (!(take('\\') && take('u') && hex4(low)) || low < 0xDC00 || low > 0xDFFF)
                return false;
            codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (low - 0xDC00);
        }
        appendUtf8(codePoint, out);
        return true;
    }

    bool hex4(unsigned &out)
    {
        if (m_text.size() - m_at < 4)
            return false;
        const char *begin = m_text.data() + m_at;
        if (!std::all_of(begin, begin + 4, [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }))
            return false;
        std::from_chars(begin, begin + 4, out, 16);
        m_at += 4;
        return true;
    }

    static void appendUtf8(unsigned codePoint, std::string &out)
    {
        if (codePoint < 0x80) {
            out += static_cast<char>(codePoint);
        } else if (codePoint < 0x800) {
            out += static_cast<char>(0xC0 | (codePoint >> 6));
            out += static_cast<char>(0x80 | (codePoint & 0x3F));
        } else if (codePoint < 0x10000) {
            out += static_cast<char>(0xE0 | (codePoint >> 12));
            out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (codePoint & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (codePoint >> 18));
            out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (codePoint & 0x3F));
        }
    }

    // One character of UTF-8 as it is, no overlong form, no surrogate,
    // nothing past U+10FFFF.
    bool utf8Sequence(std::string &out)
    {
        const auto byte = [this](std::size_t i) { return static_cast<unsigned char>(m_text[m_at + i]); };
        const unsigned char lead = byte(0);
        std::size_t length = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0)
                low = 0xA0;
            else if (lead == 0xED)
                high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0)
                low = 0x90;
            else if (lead == 0xF4)
                high = 0x8F;
        } else {
            return false;
        }
        if (m_text.size() - m_at < length || byte(1) < low || byte(1) > high)
            return false;
        for (std::size_t i = 2; i < length; ++i)
            if (byte(i) < 0x80 || byte(i) > 0xBF)
                return false;
        out.append(m_text.substr(m_at, length));
        m_at += length;
        return true;
    }

    bool number()
    {
        const std::size_t start = m_at;
        take('-');
        if (!take('0') && !digits())
            return false;
        if (take('.') && !digits())
            return false;
        if (take('e') || take('E')) {
            if (!take('+'))
                take('-');
            if (!digits())
                return false;
        }
        return m_at > start;
    }

    bool digits()
    {
        const std::size_t start = m_at;
        while (m_at < m_text.size() && std::isdigit(static_cast<unsigned char>(m_text[m_at])))
            ++m_at;
        return m_at > start;
    }

    bool literal(std::string_view word)
    {
        if (m_text.substr(m_at, word.size()) != word)
            return false;
        m_at += word.size();
        return true;
    }

    void skipSpace()
    {
        while (m_at < m_text.size()
            && (m_text[m_at] == ' ' || m_text[m_at] == '\t' || m_text[m_at] == '\n' || m_text[m_at] == '\r'))
            ++m_at;
    }

    char peek() const { return m_at < m_text.size() ? m_text[m_at] : '\0'; }

    bool take(char c)
    {
        if (m_at < m_text.size() && m_text[m_at] == c) {
            ++m_at;
            return true;
        }
        return false;
    }

    std::string_view m_text;
    std::size_t m_at = 0;
    std::vector<std::string_view> m_wanted;
    JsonValue m_root;
    std::map<std::string, JsonValue, std::less<>> m_members;
};

std::string lower(std::string_view text)
{
    std::string out(text);
    std::transform(
        out.begin(), out.end(), out.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

// The body is read as UTF-8 JSON, so the header has to say just that; a
// charset other than UTF-8 would mean the client encoded something else.
bool isJsonContentType(const std::string &header)
{
    std::string_view rest = header;
    std::size_t semicolon = rest.find(';');
    if (lower(trimmed(rest.substr(0, semicolon))) != "application/json")
        return false;
    while (semicolon != std::string_view::npos) {
        rest.remove_prefix(semicolon + 1);
        semicolon = rest.find(';');
        const std::string_view parameter = trimmed(rest.substr(0, semicolon));
        const std::size_t equals = parameter.find('=');
        if (equals == std::string_view::npos || lower(trimmed(parameter.substr(0, equals))) != "charset")
            continue;
        std::string_view charset = trimmed(parameter.substr(equals + 1));
        if (charset.size() >= 2 && charset.front() == '"' && charset.back() == '"')
            charset = charset.substr(1, charset.size() - 2);
        if (lower(charset) != "utf-8")
            return false;
    }
    return true;
}

// Only what RFC 3986 lets stand in a URI: no blank, no raw umlaut, no
// stray percent sign. A client has to send its paths encoded.
bool uriCharacters(std::string_view url)
{
    for (std::size_t i = 0; i < url.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(url[i]);
        if (c <= 0x20 || c >= 0x7F
            || std::string_view("\"<>\\^`{|}").find(static_cast<char>(c)) != std::string_view::npos)
            return false;
        if (c == '%'
            && (i + 2 >= url.size() || !std::isxdigit(static_cast<unsigned char>(url[i + 1]))
                || !std::isxdigit(static_cast<unsigned char>(url[i + 2]))))
            return false;
    }
    return true;
}

struct Authority {
    std::string host; // lower case; an IPv6 address keeps its brackets
    std::string port; // empty when none is given
};

std::optional<Authority> splitAuthority(std::string_view authority)
{
    Authority out;
    std::size_t colon = std::string_view::npos;
    if (!authority.empty() && authority.front() == '[') {
        const std::size_t close = authority.find(']');
        if (close == std::string_view::npos)
            return std::nullopt;
        if (close + 1 < authority.size()) {
            if (authority[close + 1] != ':')
                return std::nullopt;
            colon = close + 1;
        }
    } else {
        colon = authority.find(':');
        if (colon != std::string_view::npos && authority.find(':', colon + 1) != std::string_view::npos)
            return std::nullopt;
    }
    out.host = lower(authority.substr(0, colon));
    if (colon != std::string_view::npos)
        out.port = std::string(authority.substr(colon + 1));
    if (out.host.empty() || out.host.find_first_of("@/?#") != std::string::npos)
        return std::nullopt;
    if (!std::all_of(out.port.begin(), out.port.end(), [](unsigned char c) { return std::isdigit(c) != 0; }))
        return std::nullopt;
    // "example.de:0080" is the port 80 all the same.
    out.port.erase(0, std::min(out.port.find_first_not_of('0'), out.port.size()));
    return out;
}

// The path as the web server resolves it: "." and ".." taken out, also
// when encoded, so that "/shop/../privat/" is not taken for a page in
// "/shop/".
std::string withoutDotSegments(std::string_view path)
{
    std::vector<std::string_view> kept;
    bool endsInFolder = false;
    if (!path.empty() && path.front() == '/')
        path.remove_prefix(1);
    for (;;) {
        const std::size_t slash = path.find('/');
        const std::string_view segment = path.substr(0, slash);
        const std::string name = lower(segment);
        endsInFolder = false;
        if (name == "." || name == "%2e") {
            endsInFolder = true;
        } else if (name == ".." || name == ".%2e" || name == "%2e." || name == "%2e%2e") {
            if (!kept.empty())
                kept.pop_back();
            endsInFolder = true;
        } else {
            kept.push_back(segment);
        }
        if (slash == std::string_view::npos)
            break;
        path.remove_prefix(slash + 1);
    }
    if (endsInFolder)
        kept.emplace_back();
    std::string out;
    for (const std::string_view segment : kept)
        out.append("/").append(segment);
    return out.empty() ? "/" : out;
}

struct Url {
    std::string scheme; // lower case
    Authority authority;
    // Still encoded, without dot segments; "/" when the URL has none.
    std::string path;
};

std::optional<Url> parseUrl(std::string_view text)
{
    if (!uriCharacters(text))
        return std::nullopt;
    const std::size_t separator = text.find("://");
    if (separator == std::string_view::npos)
        return std::nullopt;
    Url url;
    url.scheme = lower(text.substr(0, separator));
    if (url.scheme != "http" && url.scheme != "https")
        return std::nullopt;
    text.remove_prefix(separator + 3);
    const std::size_t authorityEnd = text.find_first_of("/?#");
    // A user name before the host ("good.de@bad.de") only blurs whose URL
    // it is.
    const auto authority = splitAuthority(text.substr(0, authorityEnd));
    if (!authority)
        return std::nullopt;
    url.authority = *authority;
    if (authorityEnd != std::string_view::npos) {
        const std::string_view rest = text.substr(authorityEnd);
        url.path = std::string(rest.substr(0, rest.find_first_of("?#")));
    }
    url.path = withoutDotSegments(url.path);
    return url;
}

// A host named without a port takes URLs on the scheme's own port; one with
// a port only URLs on that port.
bool onHost(const Url &url, const Authority &host)
{
    if (url.authority.host != host.host)
        return false;
    const std::string standard = url.scheme == "https" ? "443" : "80";
    const std::string &port = url.authority.port.empty() ? standard : url.authority.port;
    return port == (host.port.empty() ? standard : host.port);
}

std::optional<std::string> percentDecoded(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size() || !std::isxdigit(static_cast<unsigned char>(text[i + 1]))
            || !std::isxdigit(static_cast<unsigned char>(text[i + 2])))
            return std::nullopt;
        unsigned value = 0;
        std::from_chars(text.data() + i + 1, text.data() + i + 3, value, 16);
        // A NUL would end the file name early.
        if (value == 0)
            return std::nullopt;
        out += static_cast<char>(value);
        i += 2;
    }
    return out;
}

std::string logValue(const std::string &value)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(value.size());
    for (const char c : value) {
        const unsigned char byte = static_cast<unsigned char>(c);
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        default:
            if (byte < 0x20 || byte == 0x7F) {
                out += "\\x";
                out += digits[byte >> 4];
                out += digits[byte & 0x0F];
            } else {
                out += c;
            }
        }
    }
    return out;
}

const char *statusText(int status)
{
    switch (status) {
    case 200:
        return "URLs übermittelt / URLs submitted";
    case 202:
        return "URLs angenommen, Schlüssel wird geprüft / URLs accepted, key validation pending";
    case 400:
        return "Ungültige Anfrage / Bad request";
    case 403:
        return "Schlüssel ungültig / Key not valid";
    case 405:
        return "Nur GET und POST / Only GET and POST";
    case 422:
        return "Nicht verarbeitbar / Unprocessable entity";
    case 429:
        return "Zu viele Anfragen – später erneut versuchen / Too many requests, try again later";
    default:
        return "";
    }
}

} // namespace

IndexNowEndpoint::IndexNowEndpoint(const std::filesystem::path &site, const Settings &settings)
    : m_settings(settings)
{
    if (!site.empty())
        m_site.emplace(site);
}

bool IndexNowEndpoint::wellFormedKey(const std::string &key)
{
    return key.size() >= kMinKey && key.size() <= kMaxKey && std::all_of(key.begin(), key.end(), [](unsigned char c) {
        return (std::isalnum(c) != 0 && c < 0x80) || c == '-';
    });
}

void IndexNowEndpoint::addRoutes(httplib::Server &server)
{
    server.Post("/indexnow", [this](const httplib::Request &request, httplib::Response &response) {
        Submission submission;
        const Verdict verdict = onPost(request, submission);
        answer(response, verdict, submission);
    });
    server.Get("/indexnow", [this](const httplib::Request &request, httplib::Response &response) {
        Submission submission;
        const Verdict verdict = onGet(request, submission);
        answer(response, verdict, submission);
    });
    const auto refuse = [this](const httplib::Request &, httplib::Response &response) {
        response.set_header("Allow", "GET, POST");
        answer(response, {405, ""}, Submission{});
    };
    server.Put("/indexnow", refuse);
    server.Patch("/indexnow", refuse);
    server.Delete("/indexnow", refuse);

    server.Get("/indexnow/received", [this](const httplib::Request &, httplib::Response &response) {
        response.set_content(receivedText(), "text/plain; charset=utf-8");
    });
}

IndexNowEndpoint::Verdict IndexNowEndpoint::onPost(const httplib::Request &request, Submission &submission)
{
    if (!isJsonContentType(request.get_header_value("Content-Type")))
        return {400, "Content-Type ist nicht application/json / Content-Type is not application/json"};
    JsonReader document(request.body, {"host", "key", "keyLocation", "urlList"});
    if (!document.read())
        return {400, "Kein gültiges JSON / Not valid JSON"};
    if (document.rootKind() != JsonValue::Kind::Object)
        return {400, "JSON ist kein Objekt / JSON is no object"};

    const JsonValue *host = document.member("host");
    const JsonValue *key = document.member("key");
    const JsonValue *keyLocation = document.member("keyLocation");
    JsonValue *urlList = document.member("urlList");
    // Everything that can be read goes to the log, also when the rest of
    // the request is refused.
    if (host && host->kind == JsonValue::Kind::String)
        submission.host = host->text;
    if (key && key->kind == JsonValue::Kind::String)
        submission.key = key->text;
    if (keyLocation && keyLocation->kind == JsonValue::Kind::String)
        submission.keyLocation = keyLocation->text;
    const bool onlyStrings = urlList && urlList->kind == JsonValue::Kind::Array && urlList->onlyStrings;
    if (urlList)
        submission.urls = std::move(urlList->strings);

    if (!host || host->kind != JsonValue::Kind::String || host->text.empty())
        return {400, "\"host\" fehlt oder ist kein Text / \"host\" missing or no string"};
    if (!key || key->kind != JsonValue::Kind::String)
        return {400, "\"key\" fehlt oder ist kein Text / \"key\" missing or no string"};
    if (keyLocation && keyLocation->kind != JsonValue::Kind::String)
        return {400, "\"keyLocation\" ist kein Text / \"keyLocation\" is no string"};
    if (!onlyStrings)
        return {400, "\"urlList\" fehlt oder ist keine Liste von Texten / \"urlList\" missing or no list of strings"};
    if (submission.urls.empty())
        return {400, "\"urlList\" ist leer / \"urlList\" is empty"};
    if (submission.urls.size() > kMaxUrls)
        return {400, "Mehr als 10000 URLs / More than 10000 URLs"};
    return judge(submission);
}

IndexNowEndpoint::Verdict IndexNowEndpoint::onGet(const httplib::Request &request, Submission &submission)
{
    if (request.has_param("url"))
        submission.urls.push_back(request.get_param_value("url"));
    submission.key = request.get_param_value("key");
    if (request.has_param("keyLocation"))
        submission.keyLocation = request.get_param_value("keyLocation");
    // The one URL names the host itself.
    if (!submission.urls.empty()) {
        std::string_view url = submission.urls.front();
        const std::size_t separator = url.find("://");
        if (separator != std::string_view::npos) {
            url.remove_prefix(separator + 3);
            submission.host = std::string(url.substr(0, url.find_first_of("/?#")));
        }
    }
    if (submission.urls.empty() || !request.has_param("key"))
        return {400, "\"url\" oder \"key\" fehlt / \"url\" or \"key\" missing"};
    return judge(submission);
}

IndexNowEndpoint::Verdict IndexNowEndpoint::judge(const Submission &submission)
{
    if (!admit(submission.host))
        return {429, ""};
    if (!wellFormedKey(submission.key))
        return { 422,
            "Der Schlüssel muss 8 bis 128 Zeichen aus a-z, A-Z, 0-9 und - haben / "
            "The key must be 8 to 128 characters of a-z, A-Z, 0-9 and -" };
    const std::optional<Authority> host = splitAuthority(submission.host);
    if (!host)
        return {422, "\"host\" ist kein Rechnername / \"host\" is no host name"};

    // The key file's folder is all it speaks for.
    std::string keyPath = "/" + submission.key + ".txt";
    std::string scope = "/";
    if (submission.keyLocation) {
        const std::optional<Url> location = parseUrl(*submission.keyLocation);
        if (!location || !onHost(*location, *host))
            return {422, "keyLocation liegt nicht auf dem Host / keyLocation is not on the host"};
        keyPath = location->path;
        scope = keyPath.substr(0, keyPath.rfind('/') + 1);
    }
    for (const std::string &text : submission.urls) {
        const std::optional<Url> url = parseUrl(text);
        if (!url || !onHost(*url, *host))
            return {422, "URL gehört nicht zum Host / URL does not belong to the host: " + text};
        if (!url->path.starts_with(scope))
            return { 422,
                "URL liegt außerhalb des Ordners der Schlüsseldatei / URL outside the key file's folder: " + text };
    }

    if (!m_site)
        return {403, "Keine Website (--site), keine Schlüsseldatei / No site (--site), no key file"};
    const std::optional<std::string> decoded = percentDecoded(keyPath);
    const std::optional<std::string> stored = decoded ? keyFileText(*decoded) : std::nullopt;
    if (!stored)
        return {403, "Schlüsseldatei nicht gefunden / Key file not found: " + keyPath};
    if (*stored != submission.key)
        return {403, "Die Schlüsseldatei enthält einen anderen Text / The key file holds something else: " + keyPath};

    std::lock_guard<std::mutex> lock(m_mutex);
    auto known = std::make_pair(host->host + (host->port.empty() ? "" : ":" + host->port), submission.key);
    if (m_known.count(known))
        return {200, ""};
    if (m_knownOrder.size() == kMaxKnownKeys) {
        m_known.erase(m_knownOrder.front());
        m_knownOrder.pop_front();
    }
    m_known.insert(known);
    m_knownOrder.push_back(std::move(known));
    return {202, ""};
}

bool IndexNowEndpoint::admit(const std::string &host)
{
    const Clock::time_point now = Clock::now();
    const Clock::time_point since = now - kThrottleWindow;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_requests.size() >= kMaxThrottledHosts) {
        std::erase_if(
            m_requests, [since](const auto &entry) { return entry.second.empty() || entry.second.back() < since; });
        if (m_requests.size() >= kMaxThrottledHosts)
            m_requests.clear();
    }
    auto &times = m_requests[lower(host)];
    while (!times.empty() && times.front() < since)
        times.pop_front();
    if (times.size() >= m_settings.requestsPerMinute)
        return false;
    times.push_back(now);
    return true;
}

std::optional<std::string> IndexNowEndpoint::keyFileText(const std::string &decodedPath) const
{
    const std::optional<std::filesystem::path> file = m_site->fileFor(decodedPath);
    std::error_code error;
    // The path of a folder would find its index page; a key file is a file.
    if (!file || std::filesystem::is_directory(m_site->directory() / decodedPath.substr(1), error)
        || std::filesystem::file_size(*file, error) > kMaxKeyFile || error)
        return std::nullopt;
    std::ifstream in(*file, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (text.ends_with("\r\n"))
        text.resize(text.size() - 2);
    else if (text.ends_with("\n"))
        text.pop_back();
    return text;
}

void IndexNowEndpoint::answer(httplib::Response &response, const Verdict &verdict, const Submission &submission)
{
    response.status = verdict.status;
    std::string body = std::to_string(verdict.status) + " " + statusText(verdict.status);
    if (!verdict.reason.empty())
        body += ": " + verdict.reason;
    response.set_content(body + "\n", "text/plain; charset=utf-8");

    Received entry{verdict.status, submission.host, submission.key, submission.urls.size(),
                   submission.urls.empty() ? std::string() : submission.urls.front()};
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_received.size() == kMaxReceived)
        m_received.pop_front();
    m_received.push_back(std::move(entry));
}

std::vector<IndexNowEndpoint::Received> IndexNowEndpoint::received() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return {m_received.begin(), m_received.end()};
}

std::string IndexNowEndpoint::receivedText() const
{
    std::string text;
    for (const Received &entry : received())
        text += std::to_string(entry.status) + "\t" + logValue(entry.host) + "\t" + logValue(entry.key) + "\t"
            + std::to_string(entry.urls) + "\t" + logValue(entry.firstUrl) + "\n";
    return text;
}

} // namespace vantor::demo
