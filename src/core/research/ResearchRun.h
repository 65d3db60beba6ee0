#pragma once

#include "research/ResearchSource.h"
#include "research/ResearchView.h"

#include <array>
#include <cstddef>
#include <string>
#include <unordered_set>
#include <vector>

namespace vantor {

class HttpStreams;
class Ui;

// How the typed term was taken: one word, a phrase that makes one term, or
// two terms searched each on its own.
enum class ResearchMode { OneWord, Phrase, TwoTerms };

// One search: the keyword and thesaurus services of the research file are
// asked, their answers cut into terms and the terms put into the two lists
// as they arrive. All in the calling thread; the Ui is pumped while the
// network is waited for. Progress runs from 0 to kProgressMax.
class ResearchRun
{
public:
    static constexpr int kProgressMax = 28;
    // One read of an answer; a longer line comes in pieces.
    static constexpr std::size_t kReadSize = 1022;
    // No service sends this much for a term; the rest of such an answer is
    // left unread, so an endless one cannot fill the lists without end.
    static constexpr std::size_t kMaxAnswer = 4 * 1024 * 1024;

    enum class Result {
        Finished, // the lists are complete, placeholders included
        Stopped,  // a read error or a connection error that was not retried
    };

    // dataText: the research file, unpacked (cp1252).
    ResearchRun(std::string dataText, Ui &ui, ResearchView &view);

    // term2 only in two-term mode. Terms of a phrase joined by '+'.
    Result run(const std::string &term1, const std::string &term2, ResearchMode mode);

    // The rows as shown, placeholders included.
    const std::vector<std::string> &rows(ResearchList list) const { return m_rows[index(list)]; }
    // The real entries among them.
    int count(ResearchList list) const { return m_counts[index(list)]; }

    static std::string noTermsText();
    static std::string readErrorTitle();
    static std::string readErrorText();

private:
    struct Answer;
    enum class Attempt { Done, Retry, Stop };

    static std::size_t index(ResearchList list) { return static_cast<std::size_t>(list); }
    void clearLists();
    void addRow(ResearchList list, const std::string &text, bool counted);
    bool readSource(const std::string &section, int pages, ResearchSourceDef &def);
    // The first phase: keyword sources and the first thesaurus, read
    // interleaved. Stop also after a read error (already shown).
    Attempt firstPhase(const std::string &term1, const std::string &term2, ResearchMode mode);
    // The second thesaurus with its pages on one connection.
    Attempt secondPhase(const std::string &term1);
    Attempt askAfterFailure(const std::string &errorText, int retryPause);
    void readOne(Answer &answer, HttpStreams &streams);
    void take(Answer &answer, const std::string &raw);
    void report(const std::string &text);
    void sendDiagnostics(const std::string &term1);

    std::string m_text;
    Ui &m_ui;
    ResearchView &m_view;
    std::array<std::vector<std::string>, 2> m_rows;
    std::array<std::unordered_set<std::string>, 2> m_known;
    std::array<int, 2> m_counts {};
    bool m_diagnosticSent = false;
    bool m_readError = false;
    // What the last attempt asked, for the diagnostics at the end.
    struct Asked {
        bool made = false;
        bool ended = false;
    };
    Asked m_keywords1;
    Asked m_thesaurus1;
    std::array<Asked, 3> m_thesaurus2Pages;
    bool m_secondPhaseRan = false;
};

} // namespace vantor
