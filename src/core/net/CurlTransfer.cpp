#include "net/CurlTransfer.h"

#include "net/CWWWConnectException.h"
#include "net/HttpError.h"
#include "platform/Text.h"
#include "project/ProgramSettings.h"
#include "ui/Ui.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <mutex>

namespace vantor::curltransfer {

void initLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

namespace {

std::string lowerAscii(std::string text)
{
    std::transform(
        text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool startsWithNoCase(const std::string &text, const std::string &prefix)
{
    return text.size() >= prefix.size() && lowerAscii(text.substr(0, prefix.size())) == prefix;
}

// Newauth realm="a, b", type=1, Basic realm="x" offers newauth and basic:
// a scheme is a word at the start or after a comma that is not the name of a
// parameter. Commas inside quotes are text.
void collectSchemes(const std::string &value, std::vector<std::string> &schemes)
{
    auto tokenChar = [](unsigned char c) {
        return std::isalnum(c)
            || std::string_view("!#$%&'*+-.^_`|~").find(static_cast<char>(c)) != std::string_view::npos;
    };
    std::size_t i = 0;
    while (i < value.size()) {
        while (i < value.size() && (value[i] == ' ' || value[i] == '\t'))
            ++i;
        const std::size_t start = i;
        while (i < value.size() && tokenChar(static_cast<unsigned char>(value[i])))
            ++i;
        std::string word = value.substr(start, i - start);
        std::size_t next = i;
        while (next < value.size() && (value[next] == ' ' || value[next] == '\t'))
            ++next;
        if (!word.empty() && (next >= value.size() || value[next] != '='))
            schemes.push_back(lowerAscii(std::move(word)));
        // On to the next comma outside quotes.
        bool quoted = false;
        for (; i < value.size() && (quoted || value[i] != ','); ++i) {
            if (value[i] == '\\' && quoted)
                ++i;
            else if (value[i] == '"')
                quoted = !quoted;
        }
        ++i;
    }
}

bool offers(const std::vector<std::string> &schemes, const char *scheme)
{
    return std::find(schemes.begin(), schemes.end(), scheme) != schemes.end();
}

// Basic and Digest go out with the one retry itself: the library keeps the
// Digest challenge of the first answer. Anything else needs the library's
// own handshake, which costs it a round of its own.
long authFor(const std::vector<std::string> &schemes)
{
    if (schemes.empty() || offers(schemes, "basic"))
        return static_cast<long>(CURLAUTH_BASIC);
    if (offers(schemes, "digest"))
        return static_cast<long>(CURLAUTH_DIGEST);
    return static_cast<long>(CURLAUTH_ANY);
}

int watchSilence(void *user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    auto *sink = static_cast<Sink *>(user);
    if (sink->cancel != nullptr && sink->cancel->load(std::memory_order_acquire))
        return 1;
    // Until the connection stands, the connect time-out is in charge.
    curl_off_t connected = 0;
    curl_easy_getinfo(sink->curl, CURLINFO_CONNECT_TIME_T, &connected);
    if (connected == 0 && !sink->heard) {
        sink->lastHeard = std::chrono::steady_clock::now();
        return 0;
    }
    const auto now = std::chrono::steady_clock::now();
    // A server that drips header lines is never silent, but it has had its
    // time once the header takes longer than a silence would.
    if (now - sink->lastHeard < sink->silence && !(sink->inHeader && now - sink->headerSince >= sink->silence))
        return 0;
    sink->timedOut = true;
    return 1;
}

size_t writeBody(char *data, size_t size, size_t count, void *user)
{
    auto *sink = static_cast<Sink *>(user);
    const size_t n = size * count;
    sink->lastHeard = std::chrono::steady_clock::now();
    sink->heard = true;
    if (sink->consumer != nullptr && *sink->consumer) {
        // The page of a login challenge is not the answer the caller waits
        // for; the retry brings that one.
        if (sink->status == 401 || sink->status == 407)
            return n;
        if ((*sink->consumer)(std::string_view(data, n)))
            return n;
        sink->cut = true;
        return 0;
    }
    if (sink->pauseAt != 0 && sink->body->size() >= sink->pauseAt && sink->status != 401 && sink->status != 407) {
        // The reader has not caught up; the library hands the same data
        // again once it lets the transfer go on.
        sink->paused = true;
        return CURL_WRITEFUNC_PAUSE;
    }
    const size_t room = sink->limit - std::min(sink->limit, sink->body->size());
    if (n > room) {
        sink->body->append(data, room);
        sink->cut = true;
        return 0; // ends the transfer with CURLE_WRITE_ERROR, which we expect
    }
    sink->body->append(data, n);
    return n;
}

size_t readHeader(char *data, size_t size, size_t count, void *user)
{
    auto *sink = static_cast<Sink *>(user);
    const size_t n = size * count;
    sink->lastHeard = std::chrono::steady_clock::now();
    sink->heard = true;
    const std::string line(data, n);
    if (startsWithNoCase(line, "http/")) {
        // The status line of an answer; after a 100 or a login round of the
        // library there may be several in one transfer.
        sink->inHeader = true;
        sink->headerSince = sink->lastHeard;
        sink->serverSchemes.clear();
        sink->proxySchemes.clear();
        const auto blank = line.find(' ');
        sink->status = 0;
        if (blank != std::string::npos)
            std::from_chars(line.data() + blank + 1, line.data() + line.size(), sink->status);
    } else if (!sink->inHeader) {
        // Trailers after a chunked body: nothing we need.
    } else if (line == "\r\n" || line == "\n") {
        sink->inHeader = false;
        sink->headerEnded = true;
        if (sink->oneAnswer && (sink->status == 401 || sink->status == 407)) {
            sink->refused = true;
            return 0;
        }
    } else if (startsWithNoCase(line, "www-authenticate:")) {
        collectSchemes(line.substr(line.find(':') + 1), sink->serverSchemes);
    } else if (startsWithNoCase(line, "proxy-authenticate:")) {
        collectSchemes(line.substr(line.find(':') + 1), sink->proxySchemes);
    }
    return n;
}

bool hasHeader(const std::vector<std::string> &headers, const std::string &name)
{
    return std::any_of(headers.begin(), headers.end(),
        [&](const std::string &h) { return startsWithNoCase(h, lowerAscii(name) + ":"); });
}

// The object goes on the request line as the caller built it, '&' and '='
// and '%' included; only what the line cannot carry (blanks, controls, bytes
// above ASCII) is escaped, or the server would see a broken request.
std::string requestLineForm(const std::string &object)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(object.size());
    for (const char c : object) {
        const auto b = static_cast<unsigned char>(c);
        if (b <= 0x20 || b >= 0x7f) {
            out += '%';
            out += hex[b >> 4];
            out += hex[b & 0x0f];
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

Headers setUp(CURL *h, const HttpSession &session, const HttpTarget &target, const HttpRequest &request, Sink &sink,
              char *errorBuffer)
{
    sink.curl = h;
    const std::string url = (target.https ? "https://" : "http://") + target.server + ":"
        + std::to_string(target.port) + requestLineForm(request.object);
    curl_easy_setopt(h, CURLOPT_URL, url.c_str());
    sink.cancel = request.cancel;
    if (request.http10)
        curl_easy_setopt(h, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, target.https ? "https" : "http");
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, target.https ? "https" : "http");
    if (target.https) {
        // Said explicitly: an https address is only worth its name with the
        // peer's certificate and host name checked.
        curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 1L);
        curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 2L);
    }
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(h, CURLOPT_USERAGENT, session.agent().c_str());
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, writeBody);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &sink);
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, readHeader);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, &sink);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, static_cast<long>(session.connectTimeout()));
    // A server that stays silent for the receive time-out ends the request,
    // whether it hangs before the header or in the middle of the body. The
    // library's low-speed check averages over several seconds, so we watch
    // the silence ourselves.
    sink.silence = std::chrono::seconds(session.receiveTimeout());
    // A server that sends a byte now and then is never silent; the program
    // waits on it without pumping, so the request as a whole has a limit too.
    curl_easy_setopt(h, CURLOPT_TIMEOUT, static_cast<long>(session.transferTimeout()));
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, watchSilence);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, &sink);

    // Access type 0 leaves the library to the usual proxy environment; 1 is
    // direct whatever the environment says; 3 is the proxy of the settings.
    if (session.accessType() == ProgramSettings::kAccessDirect)
        curl_easy_setopt(h, CURLOPT_PROXY, "");
    else if (session.accessType() == ProgramSettings::kAccessProxy)
        curl_easy_setopt(h, CURLOPT_PROXY, session.proxy().c_str());

    if (!request.referrer.empty())
        curl_easy_setopt(h, CURLOPT_REFERER, request.referrer.c_str());

    curl_slist *raw = nullptr;
    raw = curl_slist_append(raw, "Cache-Control: no-cache");
    raw = curl_slist_append(raw, "Pragma: no-cache");
    if (!hasHeader(request.headers, "Accept"))
        raw = curl_slist_append(raw, "Accept: */*");
    for (const std::string &header : request.headers)
        raw = curl_slist_append(raw, header.c_str());
    const std::string verb = request.verb.empty() ? std::string("GET") : request.verb;
    if (verb == "POST" && !hasHeader(request.headers, "Expect"))
        raw = curl_slist_append(raw, "Expect:");
    Headers headers(raw);
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());

    if (verb == "GET") {
        curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
    } else if (verb == "POST") {
        curl_easy_setopt(h, CURLOPT_POSTFIELDS, request.body.c_str());
        curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
    } else if (verb == "HEAD") {
        curl_easy_setopt(h, CURLOPT_NOBODY, 1L);
    } else {
        curl_easy_setopt(h, CURLOPT_CUSTOMREQUEST, verb.c_str());
    }

    return headers;
}

void check(CURLcode rc, const Sink &sink, const char *errorBuffer)
{
    if (rc == CURLE_ABORTED_BY_CALLBACK && sink.timedOut)
        throw HttpError::fromCurl(CURLE_OPERATION_TIMEDOUT, {});
    // The library turns down a header line beyond its buffer as if the
    // memory had run out; the user would look for the fault in the
    // wrong place.
    if (rc == CURLE_OUT_OF_MEMORY && (sink.inHeader || !sink.headerEnded))
        throw HttpError::fromCurl(CURLE_WEIRD_SERVER_REPLY, {});
    if (rc != CURLE_OK && !(rc == CURLE_WRITE_ERROR && (sink.cut || sink.refused)))
        throw HttpError::fromCurl(rc, errorBuffer);
    if (sink.inHeader)
        throw HttpError::fromCurl(CURLE_RECV_ERROR, {});
}

void applyCredentials(CURL *h, long status, Sink &sink, Ui &ui)
{
        std::string user;
        std::string password;
        if (!ui.credentials(de("Anmeldung erforderlich"), user, password))
            throw CWWWConnectException(1);
        const long auth = authFor(status == 401 ? sink.serverSchemes : sink.proxySchemes);
        sink.oneAnswer = auth == static_cast<long>(CURLAUTH_DIGEST);
        if (status == 401) {
            curl_easy_setopt(h, CURLOPT_HTTPAUTH, auth);
            curl_easy_setopt(h, CURLOPT_USERNAME, user.c_str());
            curl_easy_setopt(h, CURLOPT_PASSWORD, password.c_str());
        } else {
            curl_easy_setopt(h, CURLOPT_PROXYAUTH, auth);
            curl_easy_setopt(h, CURLOPT_PROXYUSERNAME, user.c_str());
            curl_easy_setopt(h, CURLOPT_PROXYPASSWORD, password.c_str());
        }
}

} // namespace vantor::curltransfer
