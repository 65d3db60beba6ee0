#pragma once

#include "position/PositionEngine.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

// One result page of an engine: read in pieces of 4,096 bytes up to the
// engine's stop marker, then scanned for the site with the engine's
// markers. The pieces are cut from the answer as it streams in, whatever
// sizes the network delivers, so a page always reads the same.
class ResultPage
{
public:
    static constexpr std::size_t kChunk = 4096;
    // Page, the sites and the markers together.
    static constexpr std::size_t kBuffer = 90000;

    struct Scan {
        enum class Kind {
            NoSite,       // none of the sites is on the page
            Passed,       // a site is on it, but in no result entry
            Found,        // position holds the entry's number
            StartMissing, // START_AFTER is not on the page
            StopMissing,  // STOP_AFTER is not after START_AFTER
        };
        Kind kind = Kind::NoSite;
        int position = 0;
        // Which of the domains the page was scanned for.
        std::string site;
    };

    // domains: the entered one first, then those of the domain list; empty
    // ones are left out. Takes the page's memory at once (std::bad_alloc).
    ResultPage(const PositionEngine &engine, std::vector<std::string> domains);

    // The answer as it arrives; false once reading should stop (stop
    // marker seen, or no room for another piece).
    bool feed(std::string_view bytes);
    // The answer is over: the last, shorter piece.
    void finish();

    std::size_t size() const { return m_page.size(); }
    const std::string &text() const { return m_page; }

    // resultsBefore: the results of the pages before this one.
    Scan scan(int resultsBefore) const;

private:
    bool takeChunk(std::string_view chunk);

    const PositionEngine &m_engine;
    std::vector<std::string> m_domains;
    std::size_t m_reserve = 0;
    std::string m_page;
    std::string m_pending;
    bool m_stopped = false;
};

} // namespace vantor
