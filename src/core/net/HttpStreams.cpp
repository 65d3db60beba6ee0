#include "net/HttpStreams.h"

#include "net/CurlTransfer.h"
#include "net/HttpError.h"
#include "ui/Ui.h"

#include <algorithm>
#include <chrono>

namespace vantor {

using namespace curltransfer;

struct HttpStreams::Stream {
    Easy easy;
    Headers headers;
    Sink sink;
    std::string buffer;
    std::size_t readPos = 0;
    char errorBuffer[CURL_ERROR_SIZE] = {};
    bool running = false; // in the multi handle
    bool done = false;
    bool closed = false;
    bool retried = false;
    CURLcode result = CURLE_OK;
};

namespace {

// How long one round waits for the network before the Ui gets its turn.
constexpr int kRoundMilliseconds = 50;
// Read text is dropped from the front of the buffer once this much of it
// has piled up, so the buffer neither grows nor moves at every line.
constexpr std::size_t kCompactAt = 16 * 1024;

} // namespace

HttpStreams::HttpStreams(const HttpSession &session, Ui &ui)
    : m_session(session)
    , m_ui(ui)
{
    initLibrary();
    m_multi = curl_multi_init();
    if (m_multi == nullptr)
        throw HttpError::fromCurl(CURLE_OUT_OF_MEMORY, {});
}

HttpStreams::~HttpStreams()
{
    for (std::size_t id = 0; id < m_streams.size(); ++id)
        close(static_cast<int>(id));
    curl_multi_cleanup(m_multi);
}

HttpStreams::Stream &HttpStreams::stream(int id) { return *m_streams.at(static_cast<std::size_t>(id)); }

int HttpStreams::open(const HttpTarget &target, const HttpRequest &request)
{
    auto s = std::make_unique<Stream>();
    s->easy.reset(curl_easy_init());
    if (!s->easy)
        throw HttpError::fromCurl(CURLE_OUT_OF_MEMORY, {});
    s->sink.body = &s->buffer;
    // A login page is read whole before the retry; anything beyond this is
    // no login page.
    s->sink.limit = 4 * kBuffered;
    s->sink.pauseAt = kBuffered;
    s->headers = setUp(s->easy.get(), m_session, target, request, s->sink, s->errorBuffer);
    m_streams.push_back(std::move(s));
    return static_cast<int>(m_streams.size() - 1);
}

void HttpStreams::start(Stream &s)
{
    s.sink.reset();
    s.readPos = 0;
    s.errorBuffer[0] = '\0';
    s.done = false;
    s.result = CURLE_OK;
    if (curl_multi_add_handle(m_multi, s.easy.get()) != CURLM_OK)
        throw HttpError::fromCurl(CURLE_OUT_OF_MEMORY, {});
    s.running = true;
}

void HttpStreams::send(int id)
{
    Stream &s = stream(id);
    if (!s.running && !s.closed)
        start(s);
}

void HttpStreams::collectFinished()
{
    int left = 0;
    while (CURLMsg *message = curl_multi_info_read(m_multi, &left)) {
        if (message->msg != CURLMSG_DONE)
            continue;
        for (auto &s : m_streams) {
            if (s->easy.get() != message->easy_handle)
                continue;
            s->done = true;
            s->result = message->data.result;
            s->running = false;
            curl_multi_remove_handle(m_multi, s->easy.get());
            break;
        }
    }
}

template <typename Ready> void HttpStreams::drive(Stream &s, Ready ready)
{
    while (!ready() && !s.done && s.running) {
        int running = 0;
        curl_multi_perform(m_multi, &running);
        collectFinished();
        if (ready() || s.done)
            return;
        curl_multi_poll(m_multi, nullptr, 0, kRoundMilliseconds, nullptr);
        m_ui.pump();
    }
}

long HttpStreams::status(int id)
{
    Stream &s = stream(id);
    auto known = [&] { return s.sink.headerEnded && s.sink.status != 401 && s.sink.status != 407; };
    for (;;) {
        drive(s, known);
        if (!s.done) {
            if (!s.running)
                return 0;
            return s.sink.status;
        }
        check(s.result, s.sink, s.errorBuffer);
        long status = 0;
        curl_easy_getinfo(s.easy.get(), CURLINFO_RESPONSE_CODE, &status);
        if ((status != 401 && status != 407) || s.retried)
            return status;
        s.retried = true;
        applyCredentials(s.easy.get(), status, s.sink, m_ui);
        start(s);
    }
}

bool HttpStreams::readLine(int id, std::string &line, std::size_t max)
{
    Stream &s = stream(id);
    line.clear();
    if (max == 0 || s.closed)
        return false;
    for (;;) {
        while (s.readPos < s.buffer.size() && line.size() < max) {
            const char c = s.buffer[s.readPos++];
            if (c == '\r')
                continue;
            line += c;
            if (c == '\n')
                break;
        }
        if (s.readPos >= kCompactAt || s.readPos == s.buffer.size()) {
            s.buffer.erase(0, s.readPos);
            s.readPos = 0;
        }
        if (s.sink.paused && s.buffer.size() < s.sink.pauseAt) {
            s.sink.paused = false;
            // The time it waited for us was no silence of the server's.
            s.sink.lastHeard = std::chrono::steady_clock::now();
            curl_easy_pause(s.easy.get(), CURLPAUSE_CONT);
        }
        if ((!line.empty() && line.back() == '\n') || line.size() >= max)
            return true;
        if (s.readPos < s.buffer.size())
            continue;
        if (s.done || !s.running) {
            if (!line.empty())
                return true;
            if (s.done)
                check(s.result, s.sink, s.errorBuffer);
            return false;
        }
        const std::size_t had = s.buffer.size();
        drive(s, [&] { return s.buffer.size() > had; });
    }
}

void HttpStreams::close(int id)
{
    Stream &s = stream(id);
    if (s.closed)
        return;
    if (s.running)
        curl_multi_remove_handle(m_multi, s.easy.get());
    s.running = false;
    s.closed = true;
    s.buffer.clear();
    s.buffer.shrink_to_fit();
}

} // namespace vantor
