#pragma once

#include "net/HttpSession.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

typedef void CURLM;

namespace vantor {

class Ui;

// Several requests in flight at once whose answers the caller reads line by
// line, in whatever order it likes, while the others keep arriving. All of
// it happens in the calling thread: while it waits, the Ui is pumped. Where
// two requests go to the same server, the second one takes the connection
// the first one left open.
class HttpStreams
{
public:
    // What the library may hold of an answer the caller has not read yet;
    // beyond it the transfer waits, so an endless answer never fills the
    // memory.
    static constexpr std::size_t kBuffered = 64 * 1024;

    HttpStreams(const HttpSession &session, Ui &ui);
    ~HttpStreams();
    HttpStreams(const HttpStreams &) = delete;
    HttpStreams &operator=(const HttpStreams &) = delete;

    // Prepares a request; nothing goes out before send(). The number names
    // it from then on.
    int open(const HttpTarget &target, const HttpRequest &request);
    void send(int id);
    // Waits for the answer's header and gives its status. A 401 or 407 asks
    // for credentials and sends once more; a refusal throws
    // CWWWConnectException(1). A failed transfer throws HttpError.
    long status(int id);
    // The next piece of the answer: up to max bytes, through the next line
    // feed, carriage returns left out. False when nothing could be read any
    // more. A transfer that broke off throws HttpError once what had arrived
    // has been read.
    bool readLine(int id, std::string &line, std::size_t max);
    // Ends the request, whether its answer was read or not.
    void close(int id);

private:
    struct Stream;
    Stream &stream(int id);
    // Lets the library work until ready() holds or the transfer is over;
    // the Ui is pumped between the rounds.
    template <typename Ready> void drive(Stream &s, Ready ready);
    void collectFinished();
    void start(Stream &s);

    const HttpSession &m_session;
    Ui &m_ui;
    CURLM *m_multi = nullptr;
    std::vector<std::unique_ptr<Stream>> m_streams;
};

} // namespace vantor
