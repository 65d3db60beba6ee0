#include "research/ResearchRun.h"

#include "net/CWWWConnectException.h"
#include "net/HttpError.h"
#include "net/HttpGet.h"
#include "net/HttpSession.h"
#include "net/HttpStreams.h"
#include "optimizer/TermText.h"
#include "platform/Text.h"
#include "research/ResultText.h"
#include "ui/Ui.h"

#include <algorithm>
#include <cstdio>
#include <optional>

namespace vantor {

using researchsource::holds;

struct ResearchRun::Answer {
    int id = -1;
    const ResearchSourceDef *source = nullptr;
    ResearchList list = ResearchList::Keywords;
    std::string term; // as asked, in its display form
    bool reading = true;
    bool started = false;
    bool ended = false;
    std::size_t bytes = 0;
    // The start of a UTF-8 character that the last read cut in two.
    std::string carry;
};

namespace {

// An empty end or abort marker is one the service does not have; an empty
// start marker means the results begin right away.
bool hasMarker(const std::string &line, const std::string &marker)
{
    return !marker.empty() && line.find(marker) != std::string::npos;
}

bool opens(const std::string &line, const std::string &marker)
{
    return marker.empty() || line.find(marker) != std::string::npos;
}

// How many bytes at the end of a piece begin a UTF-8 character whose rest
// is still to come.
std::size_t incompleteTail(const std::string &piece)
{
    const std::size_t look = std::min<std::size_t>(3, piece.size());
    for (std::size_t back = 1; back <= look; ++back) {
        const auto b = static_cast<unsigned char>(piece[piece.size() - back]);
        if ((b & 0xC0) == 0x80)
            continue; // a continuation byte: the lead is further back
        const std::size_t length = (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 1;
        return length > back ? back : 0;
    }
    return 0;
}

std::string codeText(int code)
{
    char text[32];
    std::snprintf(text, sizeof text, "Fehler Code: %d", code);
    return text;
}

} // namespace

ResearchRun::ResearchRun(std::string dataText, Ui &ui, ResearchView &view)
    : m_text(std::move(dataText))
    , m_ui(ui)
    , m_view(view)
{
}

std::string ResearchRun::noTermsText() { return "Es wurden keine Begriffe gefunden."; }

std::string ResearchRun::readErrorTitle() { return "Fehler beim Lesen"; }

std::string ResearchRun::readErrorText()
{
    return de("Es ist ein Fehler beim Lesen der Datei 'Research_d.dat' im Unterverzeichnis '\\Data' von Vantor!! "
              "aufgetreten. Recherche kann nicht ausgeführt werden.\nStellen Sie die Datei wieder her oder "
              "installieren Sie Vantor!! neu.");
}

void ResearchRun::clearLists()
{
    for (std::size_t i = 0; i < 2; ++i) {
        m_rows[i].clear();
        m_known[i].clear();
        m_counts[i] = 0;
    }
    m_view.listsCleared();
}

void ResearchRun::addRow(ResearchList list, const std::string &text, bool counted)
{
    m_rows[index(list)].push_back(text);
    if (counted) {
        m_known[index(list)].insert(text);
        ++m_counts[index(list)];
    }
    m_view.rowAdded(list, text);
}

bool ResearchRun::readSource(const std::string &section, int pages, ResearchSourceDef &def)
{
    if (researchsource::read(m_text, section, pages, def))
        return true;
    m_ui.message(readErrorTitle(), readErrorText());
    m_readError = true;
    return false;
}

void ResearchRun::report(const std::string &text)
{
    httpget::sendErrorReport(text, false, m_ui);
    m_diagnosticSent = true;
}

void ResearchRun::take(Answer &answer, const std::string &raw)
{
    const std::size_t list = index(answer.list);
    if (answer.list == ResearchList::Keywords) {
        // Only what people really typed with the term in it, and nothing
        // that runs on for a whole sentence.
        if (raw.find(answer.term) == std::string::npos)
            return;
        const std::string clean = research::cleanResultText(raw);
        if (clean.empty() || m_known[list].count(clean) != 0 || clean.size() >= 3 * answer.term.size())
            return;
        addRow(answer.list, clean, true);
        return;
    }
    const std::string clean = research::cleanResultText(raw);
    if (clean.empty() || m_known[list].count(clean) != 0)
        return;
    addRow(answer.list, clean, true);
}

void ResearchRun::readOne(Answer &answer, HttpStreams &streams)
{
    std::string line;
    if (answer.bytes >= kMaxAnswer || !streams.readLine(answer.id, line, kReadSize)) {
        answer.reading = false;
        return;
    }
    answer.bytes += line.size();
    const ResearchSourceDef &source = *answer.source;
    if (source.utf8) {
        // The one place where a service's UTF-8 becomes our cp1252, markers
        // and terms alike; a character cut by the read comes whole with the
        // next piece.
        line.insert(0, answer.carry);
        const std::size_t tail = incompleteTail(line);
        answer.carry = line.substr(line.size() - tail);
        line.resize(line.size() - tail);
        line = toCp1252(line);
    }
    const ResultMarkers &m = source.markers;
    if (!answer.started) {
        answer.started = opens(line, m.resultsStart);
        if (hasMarker(line, m.abort)) {
            answer.ended = true;
            answer.reading = false;
            return;
        }
        if (!answer.started)
            return;
    }
    if (hasMarker(line, m.resultsEnd) || hasMarker(line, m.abort)) {
        answer.ended = true;
        answer.reading = false;
    }
    std::string term;
    while (research::extractNextResult(line, m.resultStart, m.resultEnd, m.delimiter, term)) {
        if (!term.empty())
            take(answer, term);
    }
}

ResearchRun::Attempt ResearchRun::askAfterFailure(const std::string &errorText, int retryPause)
{
    const ConnectionAnswer answer
        = m_ui.connectionError(httpget::connectionErrorTitle(), httpget::connectionErrorText(errorText), false);
    if (answer == ConnectionAnswer::Retry) {
        m_ui.pause(retryPause);
        return Attempt::Retry;
    }
    m_ui.progress(0, kProgressMax);
    return Attempt::Stop;
}

ResearchRun::Attempt ResearchRun::firstPhase(const std::string &term1, const std::string &term2, ResearchMode mode)
{
    m_keywords1 = {};
    m_thesaurus1 = {};
    std::string keywordsActive;
    std::string thesaurusActive;
    if (!researchsource::readValue(m_text, "KEYWORDS1", "active", keywordsActive)
        || !researchsource::readValue(m_text, "THESAURUS1", "active", thesaurusActive)) {
        m_ui.message(readErrorTitle(), readErrorText());
        m_readError = true;
        return Attempt::Stop;
    }
    const bool keywords1 = !holds(keywordsActive, '0');
    const bool thesaurus1 = !holds(thesaurusActive, '0');
    std::string secondActive;
    const bool keywords2 = mode == ResearchMode::OneWord
        && researchsource::readValue(m_text, "KEYWORDS2", "active", secondActive) && holds(secondActive, '1');

    ResearchSourceDef k1;
    ResearchSourceDef k2;
    ResearchSourceDef t1;
    if ((keywords1 && !readSource("KEYWORDS1", 1, k1)) || (keywords2 && !readSource("KEYWORDS2", 1, k2))
        || (thesaurus1 && !readSource("THESAURUS1", 1, t1)))
        return Attempt::Stop;

    // A, B and T: the term at the first keyword source, the second term
    // there (or the word at the second keyword source), the thesaurus.
    struct Planned {
        const ResearchSourceDef *source;
        std::string term;
        ResearchList list;
    };
    std::vector<std::optional<Planned>> planned(3);
    if (keywords1)
        planned[0] = Planned{&k1, term1, ResearchList::Keywords};
    if (mode == ResearchMode::TwoTerms && keywords1)
        planned[1] = Planned{&k1, term2, ResearchList::Keywords};
    else if (keywords2)
        planned[1] = Planned{&k2, term1, ResearchList::Keywords};
    if (thesaurus1)
        planned[2] = Planned{&t1, term1, ResearchList::Variants};

    bool failed = false;
    std::string errorText;
    try {
        const HttpSession session(httpget::searchEngineAgent());
        HttpStreams streams(session, m_ui);
        m_ui.progress(5, kProgressMax);
        std::vector<std::optional<Answer>> answers(3);
        for (std::size_t i = 0; i < 3; ++i) {
            if (!planned[i])
                continue;
            const std::string url
                = researchsource::requestUrl(*planned[i]->source, planned[i]->source->templates[0], planned[i]->term);
            if (url.size() > researchsource::kMaxUrl)
                throw CWWWConnectException(1);
            const HttpTarget target = HttpTarget::split(url, true);
            HttpRequest request;
            request.object = target.object;
            request.headers.push_back("Accept: text/*");
            Answer answer;
            answer.id = streams.open(target, request);
            answer.source = planned[i]->source;
            answer.list = planned[i]->list;
            answer.term = plusToSpaces(planned[i]->term);
            answers[i] = std::move(answer);
        }
        m_keywords1.made = answers[0].has_value();
        m_thesaurus1.made = answers[2].has_value();
        for (std::size_t i = 0; i < 3; ++i) {
            if (answers[i])
                streams.send(answers[i]->id);
            if (i == 0)
                m_ui.progress(6, kProgressMax);
        }
        m_ui.progress(7, kProgressMax);
        for (std::size_t i = 0; i < 3; ++i) {
            if (!answers[i])
                continue;
            const long status = streams.status(answers[i]->id);
            if (status == 301 || status == 302 || status == 303) {
                report(i == 2 ? "FEHLER Research Thesaurus1: Antwort vom Web-Server: MOVED, REDIRECT oder DENIED!"
                              : "FEHLER Research Keywords1: Antwort vom Web-Server: MOVED, REDIRECT oder DENIED!");
                failed = true;
            }
        }
        int thesaurusProgress = 8;
        auto anyReading = [&] {
            return std::any_of(answers.begin(), answers.end(), [](const auto &a) { return a && a->reading; });
        };
        while (anyReading()) {
            for (std::size_t i = 0; i < 3; ++i) {
                if (!answers[i] || !answers[i]->reading)
                    continue;
                readOne(*answers[i], streams);
                if (i == 2) {
                    m_ui.progress(thesaurusProgress, kProgressMax);
                    thesaurusProgress = std::min(thesaurusProgress + 1, 14);
                }
            }
        }
        if (answers[0])
            m_keywords1.ended = answers[0]->ended;
        if (answers[2])
            m_thesaurus1.ended = answers[2]->ended;
        for (auto &answer : answers) {
            if (answer)
                streams.close(answer->id);
        }
        m_ui.progress(16, kProgressMax);
    } catch (const CWWWConnectException &e) {
        failed = true;
        errorText = codeText(e.code());
    } catch (const HttpError &e) {
        failed = true;
        errorText = e.text();
    }
    if (!failed)
        return Attempt::Done;
    return askAfterFailure(errorText, 500);
}

ResearchRun::Attempt ResearchRun::secondPhase(const std::string &term1)
{
    m_secondPhaseRan = false;
    m_thesaurus2Pages = {};
    m_ui.progress(17, kProgressMax);
    std::string active;
    if (!researchsource::readValue(m_text, "THESAURUS2", "active", active)) {
        m_ui.message(readErrorTitle(), readErrorText());
        m_readError = true;
        return Attempt::Stop;
    }
    if (holds(active, '0'))
        return Attempt::Done;
    ResearchSourceDef t2;
    if (!readSource("THESAURUS2", 3, t2))
        return Attempt::Stop;
    std::vector<std::string> urls;
    for (const std::string &urlTemplate : t2.templates)
        urls.push_back(urlTemplate.empty() && !urls.empty() ? std::string()
                                                            : researchsource::requestUrl(t2, urlTemplate, term1));
    m_ui.progress(18, kProgressMax);
    m_secondPhaseRan = true;

    bool failed = false;
    std::string errorText;
    try {
        const HttpSession session(httpget::searchEngineAgent());
        HttpStreams streams(session, m_ui);
        if (urls[0].size() > researchsource::kMaxUrl)
            throw CWWWConnectException(1);
        const HttpTarget first = HttpTarget::split(urls[0], true);
        HttpRequest request;
        request.headers.push_back("Accept: */*");
        // The later pages live on the first page's server; only their paths
        // are their own. All three are ready before the first goes out.
        std::array<int, 3> ids = {-1, -1, -1};
        request.object = first.object;
        ids[0] = streams.open(first, request);
        for (std::size_t page = 1; page < 3; ++page) {
            if (urls[page].empty())
                continue;
            if (urls[page].size() > researchsource::kMaxUrl)
                throw CWWWConnectException(1);
            request.object = HttpTarget::split(urls[page], true).object;
            ids[page] = streams.open(first, request);
        }
        const int sentProgress[3] = {19, 22, 25};
        const int readProgress[3] = {20, 23, 26};
        for (std::size_t page = 0; page < 3; ++page) {
            if (ids[page] < 0) {
                if (page == 1)
                    m_ui.progress(24, kProgressMax);
                continue;
            }
            streams.send(ids[page]);
            m_ui.progress(sentProgress[page], kProgressMax);
            const long status = streams.status(ids[page]);
            if (page == 0 && (status == 301 || status == 302 || status == 303)) {
                report("FEHLER Research Thesaurus2: Antwort vom Web-Server: MOVED, REDIRECT oder DENIED!");
                failed = true;
            }
            Answer answer;
            answer.id = ids[page];
            answer.source = &t2;
            answer.list = ResearchList::Variants;
            answer.term = plusToSpaces(term1);
            m_thesaurus2Pages[page].made = true;
            while (answer.reading) {
                readOne(answer, streams);
                m_ui.progress(readProgress[page], kProgressMax);
            }
            m_thesaurus2Pages[page].ended = answer.ended;
            streams.close(ids[page]);
            if (page == 0)
                m_ui.progress(21, kProgressMax);
            else if (page == 1)
                m_ui.progress(24, kProgressMax);
        }
    } catch (const CWWWConnectException &e) {
        failed = true;
        errorText = codeText(e.code());
    } catch (const HttpError &e) {
        failed = true;
        errorText = e.text();
    }
    if (!failed)
        return Attempt::Done;
    return askAfterFailure(errorText, 1000);
}

void ResearchRun::sendDiagnostics(const std::string &term1)
{
    std::vector<std::string> reports;
    if (m_keywords1.made && !m_keywords1.ended)
        reports.push_back("FEHLER Research Keywords1: HTML-Daten nicht richtig ausgewertet, Suchbegriff: ");
    if (m_thesaurus1.made && !m_thesaurus1.ended)
        reports.push_back("FEHLER Research Thesaurus1: HTML-Daten nicht richtig ausgewertet, Suchbegriff: ");
    if (m_secondPhaseRan) {
        for (std::size_t page = 0; page < 3; ++page) {
            if (m_thesaurus2Pages[page].made && !m_thesaurus2Pages[page].ended)
                reports.push_back("FEHLER Research Thesaurus2: HTML-Daten bei HTTP" + std::to_string(page + 1)
                                  + " nicht richtig ausgewertet, Suchbegriff: ");
        }
    }
    // One report a run is enough to tell the maker that a service changed.
    if (!m_diagnosticSent && !reports.empty())
        report(reports.front() + term1);
}

ResearchRun::Result ResearchRun::run(const std::string &term1, const std::string &term2, ResearchMode mode)
{
    m_diagnosticSent = false;
    m_readError = false;
    for (;;) {
        m_ui.pump();
        m_ui.progress(4, kProgressMax);
        clearLists();
        Attempt attempt = firstPhase(term1, term2, mode);
        if (attempt == Attempt::Retry)
            continue;
        if (attempt == Attempt::Stop)
            return Result::Stopped;
        attempt = secondPhase(term1);
        if (attempt == Attempt::Retry)
            continue;
        if (attempt == Attempt::Stop)
            return Result::Stopped;
        break;
    }
    m_ui.progress(27, kProgressMax);
    if (m_counts[index(ResearchList::Variants)] == 0)
        addRow(ResearchList::Variants, noTermsText(), false);
    if (m_counts[index(ResearchList::Keywords)] == 0) {
        addRow(ResearchList::Keywords,
               m_counts[index(ResearchList::Variants)] > 0 ? plusToSpaces(term1) : noTermsText(), false);
    }
    sendDiagnostics(term1);
    m_ui.progress(kProgressMax, kProgressMax);
    return Result::Finished;
}

} // namespace vantor
