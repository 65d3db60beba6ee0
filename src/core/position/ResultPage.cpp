#include "position/ResultPage.h"

#include "position/TextSearch.h"

#include <algorithm>

namespace vantor {

ResultPage::ResultPage(const PositionEngine &engine, std::vector<std::string> domains)
    : m_engine(engine)
{
    for (std::string &domain : domains) {
        if (!domain.empty())
            m_domains.push_back(std::move(domain));
    }
    // What is appended behind the page before it is scanned has to fit in
    // the buffer too.
    m_reserve = 1 + engine.startAfter.size() + engine.mark1.size() + engine.mark2.size() + engine.resultMarker.size()
        + engine.stopAfter.size();
    for (const std::string &domain : m_domains)
        m_reserve += domain.size();
    m_page.reserve(kBuffer);
    m_pending.reserve(kChunk);
}

bool ResultPage::takeChunk(std::string_view chunk)
{
    if (m_page.size() + chunk.size() + m_reserve > kBuffer) {
        m_stopped = true;
        return false;
    }
    // The field as it stands: "NULL" is searched for like any marker, and
    // a marker cut by a piece's end is not seen.
    const bool stop = !m_engine.stopAfter.empty() && chunk.find(m_engine.stopAfter) != std::string_view::npos;
    m_page.append(chunk);
    if (stop)
        m_stopped = true;
    return !stop;
}

bool ResultPage::feed(std::string_view bytes)
{
    while (!m_stopped && !bytes.empty()) {
        const std::size_t take = std::min(bytes.size(), kChunk - m_pending.size());
        m_pending.append(bytes.substr(0, take));
        bytes.remove_prefix(take);
        if (m_pending.size() == kChunk) {
            takeChunk(m_pending);
            m_pending.clear();
        }
    }
    return !m_stopped;
}

void ResultPage::finish()
{
    if (!m_stopped && !m_pending.empty())
        takeChunk(m_pending);
    m_pending.clear();
    m_stopped = true;
}

ResultPage::Scan ResultPage::scan(int resultsBefore) const
{
    Scan result;
    const std::size_t length = m_page.size();
    std::string text;
    text.reserve(length + m_reserve);
    text = m_page;
    for (const std::string &domain : m_domains)
        text += domain;

    const std::string *site = nullptr;
    std::size_t firstPlace = 0;
    for (const std::string &domain : m_domains) {
        firstPlace = findText(text, domain, 0);
        if (firstPlace < length) {
            site = &domain;
            break;
        }
    }
    if (site == nullptr)
        return result;
    result.site = *site;

    const PositionEngine &e = m_engine;
    text += e.startAfter;
    text += e.mark1;
    text += e.mark2;
    text += e.resultMarker;
    text += e.stopAfter;

    std::size_t d = findText(text, e.startAfter, 0);
    if (d > length) {
        result.kind = Scan::Kind::StartMissing;
        return result;
    }
    if (e.hasStopMarker() && findText(text, e.stopAfter, d) > length) {
        result.kind = Scan::Kind::StopMissing;
        return result;
    }

    const TextSearch findSite(*site);
    const TextSearch findMark1(e.mark1);
    const TextSearch findMark2(e.mark2);
    const TextSearch findMarker(e.resultMarker);
    int counted = resultsBefore;
    result.kind = Scan::Kind::Passed;
    // The site's next place only moves once the scan has passed it: the
    // one found last is still the first from d on while it lies ahead, and
    // a page with the site far down is not searched through once per entry.
    std::size_t f = firstPlace;
    for (;;) {
        if (f < d + 2)
            f = findSite.findIn(text, d);
        if (f > length)
            return result;
        const std::size_t m1 = findMark1.findIn(text, d);
        const std::size_t m2 = findMark2.findIn(text, m1);
        const std::size_t g = findMarker.findIn(text, d);
        if (f > g && m1 < g && m2 < g) {
            // A result entry before the site's.
            ++counted;
            d = g + e.resultMarker.size();
        } else if (f < g && m1 < g && g <= length) {
            // Only a marker on the page closes an entry: behind the last
            // one the appended markers would make a site named in the
            // page's footer a result after all.
            result.kind = Scan::Kind::Found;
            result.position = counted + 1;
            return result;
        } else if (m2 > g) {
            d = m2 + e.mark2.size() - 1;
        } else if (m1 > g) {
            d = m1 + e.mark1.size() - 1;
        } else {
            d = g + e.resultMarker.size() - 1;
        }
        if (d > length)
            return result;
    }
}

} // namespace vantor
