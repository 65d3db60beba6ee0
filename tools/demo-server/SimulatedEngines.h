#pragma once

#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace vantor::demo {

// Search engines and a submission list to submit to without bothering a real
// one: each under /engine/<name>/, each with an answer page of its own words,
// as data/demo-server/submit_d.txt and submit_lists_d.txt describe them.
// They accept, know the page already, reject, fail, are in maintenance, say
// nothing the program knows, redirect, are gone, are slow, or stay silent;
// which one for which document is written next to each definition.
//
// Every submission is remembered as the engine decoded it, so that a test
// can see what arrived; GET /engine/received lists them.
class SimulatedEngines
{
public:
    struct Timing {
        // The slow engine answers after this.
        std::chrono::milliseconds slowAnswer{4000};
        // The silent one keeps quiet this long, beyond the program's receive
        // time-out.
        std::chrono::milliseconds silence{40000};
    };

    struct Received {
        std::string engine; // the name in the path, "suchfix"
        std::string url;    // decoded, as the engine read it
        std::string email;
    };

    // Older submissions are forgotten beyond this, so a long demo cannot
    // fill the memory.
    static constexpr std::size_t kMaxReceived = 1000;

    explicit SimulatedEngines(const Timing &timing);
    SimulatedEngines(const SimulatedEngines &) = delete;
    SimulatedEngines &operator=(const SimulatedEngines &) = delete;

    void addRoutes(httplib::Server &server);
    // Wakes every engine that is waiting to answer and lets none wait again,
    // so that the server can stop without sitting out a silence.
    void stop();

    std::vector<Received> received() const;
    // One line per submission: engine, URL and e-mail separated by tabs; a
    // tab, CR, LF or backslash in a value is written as \t, \r, \n, \\.
    std::string receivedText() const;

private:
    void remember(const std::string &engine, const std::string &url, const std::string &email);
    // False when the wait was cut short by stop().
    bool pause(std::chrono::milliseconds duration);

    Timing m_timing;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopping = false;
    std::deque<Received> m_received;
};

} // namespace vantor::demo
