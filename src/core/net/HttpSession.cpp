#include "net/HttpSession.h"

#include "net/CWWWConnectException.h"
#include "net/CurlTransfer.h"
#include "net/HttpError.h"
#include "project/ProgramSettings.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <utility>

namespace vantor {

namespace {

int timeoutSetting(const char *name, int fallback)
{
    const int value = ReadExpertFlag(name);
    return value > 0 ? value : fallback;
}

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

} // namespace

HttpTarget HttpTarget::split(const std::string &url, bool httpsToo)
{
    HttpTarget target;
    std::size_t schemeLength = 7;
    if (httpsToo && startsWithNoCase(url, "https://")) {
        target.https = true;
        target.port = 443;
        schemeLength = 8;
    } else if (!startsWithNoCase(url, "http://")) {
        throw CWWWConnectException(1);
    }
    const std::string rest = url.substr(schemeLength);
    const auto slash = rest.find_first_of("/?");
    const std::string authority = rest.substr(0, slash);
    if (slash != std::string::npos)
        target.object = rest[slash] == '/' ? rest.substr(slash) : "/" + rest.substr(slash);
    // User names in the URL are not ours to pass on: the server and port
    // are everything after the last '@'.
    const auto at = authority.rfind('@');
    const std::string hostPort = at == std::string::npos ? authority : authority.substr(at + 1);
    const auto colon = hostPort.rfind(':');
    target.server = hostPort.substr(0, colon);
    if (colon != std::string::npos) {
        const std::string port = hostPort.substr(colon + 1);
        int value = 0;
        const auto [end, ec] = std::from_chars(port.data(), port.data() + port.size(), value);
        if (port.empty() || ec != std::errc() || end != port.data() + port.size() || value <= 0 || value > 65535)
            throw CWWWConnectException(1);
        target.port = value;
    }
    if (target.server.empty() || target.server.find_first_of(" \t\r\n") != std::string::npos)
        throw CWWWConnectException(1);
    return target;
}

HttpSession::HttpSession(std::string agent)
    : m_agent(std::move(agent))
{
    const ProgramSettings &settings = programSettings();
    m_accessType = settings.accessType;
    if (m_accessType == ProgramSettings::kAccessProxy)
        m_proxy = settings.proxy + ":" + settings.proxyPort;
    m_connectTimeout = timeoutSetting("connecttimeout", kDefaultConnectTimeout);
    m_receiveTimeout = timeoutSetting("receivetimeout", kDefaultReceiveTimeout);
    m_transferTimeout = timeoutSetting("transfertimeout", kDefaultTransferTimeout);
}

HttpReply HttpSession::send(const HttpTarget &target, const HttpRequest &request, std::size_t limit, Ui &ui) const
{
    using namespace curltransfer;
    initLibrary();
    Easy curl(curl_easy_init());
    if (!curl)
        throw HttpError::fromCurl(CURLE_OUT_OF_MEMORY, {});
    CURL *h = curl.get();

    HttpReply reply;
    Sink sink;
    sink.body = &reply.body;
    sink.limit = limit;
    sink.consumer = &request.onBody;
    char errorBuffer[CURL_ERROR_SIZE] = {};
    const Headers headers = setUp(h, *this, target, request, sink, errorBuffer);

    auto perform = [&] {
        sink.reset();
        errorBuffer[0] = '\0';
        check(curl_easy_perform(h), sink, errorBuffer);
        long status = 0;
        curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
        reply.status = status;
        reply.cut = sink.cut;
    };

    perform();
    if (reply.status == 401 || reply.status == 407) {
        applyCredentials(h, reply.status, sink, ui);
        perform();
    }
    return reply;
}

} // namespace vantor
