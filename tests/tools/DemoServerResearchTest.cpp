#include "DemoServer.h"
#include "ResearchServices.h"

#include "net/DataFile.h"
#include "platform/SettingsStore.h"
#include "platform/Text.h"
#include "project/ProgramSettings.h"
#include "research/ResearchRun.h"
#include "research/ResearchSource.h"
#include "research/ResultText.h"
#include "ui/ScriptedUi.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace fs = std::filesystem;
using vantor::de;
using vantor::ResearchSourceDef;
using vantor::toUtf8;
using vantor::demo::DemoServer;
using vantor::demo::ResearchServices;

namespace {

const char *const kThesaurusCredit = "Synonyme aus OpenThesaurus (www.openthesaurus.de), Lizenz LGPL";

// A few words as wngerman lists them: nouns capitalised, with forms that
// have to be left out and one word the program could not take whole.
const char *const kWords = "Urlaub\nUrlaubsreise\nUrlaubsreisen\nUrlaubsangebot\nUrlaubsangebote\nurlaubsreif\n"
                           "Sommerurlaub\nStrandurlaub\nUrlaubs-Tipp\nUrlaubsreiseveranstaltungsunternehmen\n"
                           "beurlauben\nbeurlaubt\nMüller\nMüllerin\nHäuser\nHochhäuser\nHäuserblock\nFerienhaus\n"
                           "Ferienhäuser\nNordsee\nNordseestrand\nNordseeinsel\nNordseeinseln\n";

// Entries in the MyThes form: headword and its meaning lines.
const std::vector<std::pair<std::string, std::vector<std::string>>> kEntries = {
    {"Urlaub", {"-|Ferien|Urlaub|Erholung (Oberbegriff)"}},
    {"Ferien", {"-|Ferien|Urlaub"}},
    {"Auto", {"(Substantiv)|Auto|Wagen|Fahrzeug (Oberbegriff)", "(Substantiv)|Kfz (Abkürzung)|Kraftwagen"}},
    {"Wagen", {"-|Auto|Wagen|Karre (ugs.)", "-|riskieren|wagen|sich trauen"}},
    {"Autobahn", {"-|Autobahn|Schnellstraße"}},
    {"Müller", {"-|Müller|Mühlenbesitzer"}},
};

// What the program makes of a page: the terms (UTF-8) in their order, and
// whether it saw the end of the results or the "nothing found" text, and
// on which line it stopped reading.
struct Parsed {
    std::vector<std::string> terms;
    bool ended = false;
    bool aborted = false;
    std::size_t stopLine = 0;
};

// The program's reading of an answer, line by line, with the markers of
// the shipped research file.
Parsed parse(const ResearchSourceDef &source, const std::string &page)
{
    const vantor::ResultMarkers &m = source.markers;
    Parsed parsed;
    bool started = false;
    std::size_t at = 0;
    for (std::size_t number = 0; at < page.size(); ++number) {
        const std::size_t end = std::min(page.find('\n', at), page.size());
        std::string line = vantor::toCp1252(page.substr(at, end - at));
        at = end + 1;
        parsed.stopLine = number;
        const bool abort = line.find(m.abort) != std::string::npos;
        if (!started) {
            started = line.find(m.resultsStart) != std::string::npos;
            if (abort) {
                parsed.aborted = parsed.ended = true;
                return parsed;
            }
            if (!started)
                continue;
        }
        const bool last = line.find(m.resultsEnd) != std::string::npos || abort;
        std::string term;
        while (vantor::research::extractNextResult(line, m.resultStart, m.resultEnd, m.delimiter, term)) {
            const std::string clean = vantor::research::cleanResultText(term);
            if (!clean.empty())
                parsed.terms.push_back(toUtf8(clean));
        }
        if (last) {
            parsed.ended = true;
            parsed.aborted = abort;
            return parsed;
        }
    }
    return parsed;
}

std::size_t lineOf(const std::string &page, const std::string &text)
{
    const std::size_t at = page.find(text);
    return at == std::string::npos ? std::string::npos
                                   : static_cast<std::size_t>(std::count(page.begin(), page.begin() + at, '\n'));
}

std::string researchFile()
{
    std::string text;
    EXPECT_TRUE(vantor::DataFile::load((vantor::demo::builtDataDirectory() / "research_d.dat").string(), text));
    return text;
}

class DemoServerResearchTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("vantor-demo-research-" + std::to_string(::getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir / "root");
        fs::create_directories(m_dir / "words");
        const std::string text = researchFile();
        for (const auto &[section, pages] : {std::pair<const char *, int>{"KEYWORDS1", 1}, {"KEYWORDS2", 1},
                                             {"THESAURUS1", 1}, {"THESAURUS2", 3}}) {
            ASSERT_TRUE(vantor::researchsource::read(text, section, pages, m_sources[section])) << section;
        }
    }
    void TearDown() override
    {
        m_server.reset();
        fs::remove_all(m_dir);
    }

    // The small word list and thesaurus above, unless the test names others.
    ResearchServices::Settings fakeData()
    {
        write(m_dir / "words" / "ngerman", kWords);
        std::string data = "UTF-8\n";
        std::vector<std::string> index;
        for (const auto &[headword, meanings] : kEntries) {
            index.push_back(toUtf8(vantor::lowerCp1252(de(headword))) + "|" + std::to_string(data.size()));
            data += headword + "|" + std::to_string(meanings.size()) + "\n";
            for (const std::string &meaning : meanings)
                data += meaning + "\n";
        }
        std::sort(index.begin(), index.end());
        std::string idx = "UTF-8\n" + std::to_string(index.size()) + "\n";
        for (const std::string &line : index)
            idx += line + "\n";
        write(m_dir / "words" / "th.idx", idx);
        write(m_dir / "words" / "th.dat", data);
        return {m_dir / "words" / "ngerman", m_dir / "words" / "th"};
    }

    void start(const ResearchServices::Settings &settings)
    {
        DemoServer::Options options;
        options.research = settings;
        m_server = std::make_unique<DemoServer>(m_dir / "root", options);
        m_port = m_server->start();
        ASSERT_GT(m_port, 0);
    }

    static void write(const fs::path &file, const std::string &content)
    {
        std::ofstream out(file, std::ios::binary);
        out << content;
    }

    std::string get(const std::string &target)
    {
        httplib::Client client("127.0.0.1", m_port);
        client.set_connection_timeout(3);
        // The first question reads the word list; the real one takes a while.
        client.set_read_timeout(60);
        const auto result = client.Get(target.c_str());
        EXPECT_TRUE(result) << target;
        if (!result)
            return {};
        EXPECT_EQ(result->status, 200) << target;
        return result->body;
    }

    // The page the program asks for: the shipped URL of that page with the
    // term (cp1252) put in as the program does, on this server's port.
    std::string page(const std::string &section, const std::string &term, int number = 1)
    {
        const ResearchSourceDef &source = m_sources.at(section);
        std::string url = vantor::researchsource::requestUrl(source, source.templates.at(number - 1), term);
        const std::string host = std::string("http://") + DemoServer::kDefaultAddress;
        EXPECT_EQ(url.rfind(host, 0), 0u) << url;
        return get(url.substr(host.size()));
    }

    Parsed ask(const std::string &section, const std::string &term, int number = 1)
    {
        const std::string answer = page(section, term, number);
        const Parsed parsed = parse(m_sources.at(section), answer);
        EXPECT_TRUE(parsed.ended) << section << " " << term << "\n" << answer;
        return parsed;
    }

    fs::path m_dir;
    std::unique_ptr<DemoServer> m_server;
    int m_port = 0;
    std::map<std::string, ResearchSourceDef> m_sources;
};

using Terms = std::vector<std::string>;

} // namespace

TEST_F(DemoServerResearchTest, KeywordsAreWholeWordsWithTheTermBeginningOnesFirstShorterFirst)
{
    start(fakeData());
    // No forms of a word that is there, nothing the program would mangle,
    // nothing three times as long as the term, never the term itself.
    const Parsed first = ask("KEYWORDS1", "urlaub");
    EXPECT_FALSE(first.aborted);
    EXPECT_EQ(first.terms,
              (Terms{"urlaubsreif", "urlaubsreise", "urlaubsangebot", "beurlauben", "sommerurlaub", "strandurlaub"}));
    // The second service in rows of five, in the same order.
    EXPECT_EQ(ask("KEYWORDS2", "urlaub").terms, first.terms);
    // However the term is typed.
    EXPECT_EQ(ask("KEYWORDS1", "URLAUB").terms, first.terms);
}

TEST_F(DemoServerResearchTest, TheSecondKeywordServiceGoesOnWhereTheFirstStopsInRowsThatFitARead)
{
    std::string words;
    for (char a = 'a'; a <= 'e'; ++a) {
        for (char b = 'a'; b <= 'h'; ++b)
            words += std::string("haus") + a + b + "\n";
    }
    // Long words of letters that are long in UTF-8 and longer in a link.
    const std::string umlauts = "äöüäöüäöüä";
    for (int extra = 10; extra < 19; ++extra) {
        words += umlauts;
        for (int i = 0; i < extra; ++i)
            words += "ö";
        words += "\n";
    }
    write(m_dir / "words" / "ngerman", words);
    start({m_dir / "words" / "ngerman", m_dir / "fehlt"});

    const Terms first = ask("KEYWORDS1", "haus").terms;
    const Terms second = ask("KEYWORDS2", "haus").terms;
    ASSERT_EQ(first.size(), 30u);
    ASSERT_EQ(second.size(), 40u);
    EXPECT_TRUE(std::equal(first.begin(), first.end(), second.begin()));

    // The program reads a line in pieces of kReadSize; a marker must never
    // be cut by one.
    const std::string answer = page("KEYWORDS2", de(umlauts));
    std::size_t at = 0;
    while (at < answer.size()) {
        const std::size_t end = std::min(answer.find('\n', at), answer.size());
        EXPECT_LE(end + 1 - at, vantor::ResearchRun::kReadSize);
        at = end + 1;
    }
    EXPECT_EQ(parse(m_sources["KEYWORDS2"], answer).terms.size(), 9u);
}

TEST_F(DemoServerResearchTest, UnknownTermsAndEmptyQuestionsGetTheNothingFoundPage)
{
    start(fakeData());
    for (const std::string term : {"xyzzyq", "", "urlaub+xyzzyq"}) {
        for (const char *section : {"KEYWORDS1", "KEYWORDS2"}) {
            const Parsed parsed = ask(section, term);
            EXPECT_TRUE(parsed.aborted) << section << " " << term;
            EXPECT_TRUE(parsed.terms.empty()) << section << " " << term;
        }
    }
    // (A phrase goes to the thesaurus word by word, so urlaub would count.)
    for (const std::string term : {"xyzzyq", ""}) {
        const Parsed parsed = ask("THESAURUS1", term);
        EXPECT_TRUE(parsed.aborted) << term;
        EXPECT_TRUE(parsed.terms.empty()) << term;
        for (int number = 1; number <= 3; ++number)
            EXPECT_TRUE(ask("THESAURUS2", term, number).aborted) << number << " " << term;
    }
    // A term far longer than the program sends is none.
    EXPECT_TRUE(parse(m_sources["KEYWORDS1"], get("/research/keywords?q=" + std::string(300, 'a'))).aborted);
}

TEST_F(DemoServerResearchTest, ThesaurusPagesHoldSynonymsAndNameTheirSourceOutsideTheResults)
{
    start(fakeData());
    EXPECT_EQ(ask("THESAURUS1", "urlaub").terms, (Terms{"Ferien", "Erholung"}));
    EXPECT_EQ(ask("THESAURUS1", "Auto").terms, (Terms{"Wagen", "Kfz", "Kraftwagen", "Fahrzeug"}));
    EXPECT_EQ(ask("THESAURUS2", "auto", 1).terms, (Terms{"Wagen", "Kfz", "Kraftwagen"}));
    // Wagen's other meaning (to dare) shares no word with Auto's and stays out.
    EXPECT_EQ(ask("THESAURUS2", "auto", 2).terms, (Terms{"Karre", "Fahrzeug"}));
    EXPECT_EQ(ask("THESAURUS2", "auto", 3).terms, (Terms{"Autobahn", "Schnellstraße"}));

    // Every page names OpenThesaurus, below the line where the program
    // stops reading, with results or without.
    for (const auto &[section, number, term] : {std::tuple<const char *, int, const char *>{"THESAURUS1", 1, "auto"},
                                                {"THESAURUS1", 1, "xyzzyq"}, {"THESAURUS2", 1, "auto"},
                                                {"THESAURUS2", 2, "auto"}, {"THESAURUS2", 3, "auto"},
                                                {"THESAURUS2", 2, "urlaub"}}) {
        const std::string answer = page(section, term, number);
        const Parsed parsed = parse(m_sources[section], answer);
        ASSERT_NE(lineOf(answer, kThesaurusCredit), std::string::npos) << section << number << term;
        EXPECT_GT(lineOf(answer, kThesaurusCredit), parsed.stopLine) << section << number << term;
        for (const std::string &found : parsed.terms)
            EXPECT_EQ(found.find("OpenThesaurus"), std::string::npos) << found;
    }
}

TEST_F(DemoServerResearchTest, UmlautTermsWorkInUtf8AndInCp1252)
{
    start(fakeData());
    // As the shipped file sends them (UTF-8), and as an older client would.
    EXPECT_EQ(ask("KEYWORDS1", de("müller")).terms, (Terms{"müllerin"}));
    EXPECT_EQ(parse(m_sources["KEYWORDS1"], get("/research/keywords?q=m%FCller")).terms, (Terms{"müllerin"}));
    EXPECT_EQ(parse(m_sources["KEYWORDS1"], get("/research/keywords?q=M%C3%9CLLER")).terms, (Terms{"müllerin"}));
    const Terms houses{"häuserblock", "hochhäuser", "ferienhäuser"};
    EXPECT_EQ(ask("KEYWORDS1", de("Häuser")).terms, houses);
    EXPECT_EQ(parse(m_sources["KEYWORDS1"], get("/research/keywords?q=h%E4user")).terms, houses);
    EXPECT_EQ(ask("THESAURUS1", de("müller")).terms, (Terms{"Mühlenbesitzer"}));
    EXPECT_EQ(parse(m_sources["THESAURUS1"], get("/research/thesaurus?q=M%DCLLER")).terms, (Terms{"Mühlenbesitzer"}));
}

TEST_F(DemoServerResearchTest, PhrasesStayWholeOrAreLookedUpWordByWord)
{
    start(fakeData());
    const Terms grown{"ferienhaus nordseeinsel", "ferienhaus nordseestrand"};
    EXPECT_EQ(ask("KEYWORDS1", "ferienhaus+nordsee").terms, grown);
    EXPECT_EQ(parse(m_sources["KEYWORDS1"], get("/research/keywords?q=ferienhaus%20%20nordsee")).terms, grown);
    // The thesaurus has no entry for the phrase: each word's synonyms.
    const Terms synonyms = ask("THESAURUS1", "urlaub+auto").terms;
    EXPECT_EQ(synonyms, (Terms{"Ferien", "Wagen", "Kfz", "Kraftwagen", "Erholung", "Fahrzeug"}));
    // Each word on its own, as two-term mode asks.
    EXPECT_EQ(ask("KEYWORDS1", "nordsee").terms, (Terms{"nordseeinsel", "nordseestrand"}));
    EXPECT_EQ(ask("KEYWORDS1", "ferienhaus").terms, Terms{});
}

TEST_F(DemoServerResearchTest, WithoutWordListOrThesaurusEveryPageSaysNothingFound)
{
    const auto everyPageAborts = [&](const std::string &what) {
        for (const char *term : {"urlaub", "auto", "xyzzyq"}) {
            for (const char *section : {"KEYWORDS1", "KEYWORDS2", "THESAURUS1"})
                EXPECT_TRUE(ask(section, term).aborted) << what << " " << section << " " << term;
            for (int number = 1; number <= 3; ++number)
                EXPECT_TRUE(ask("THESAURUS2", term, number).aborted) << what << " " << number << " " << term;
        }
    };
    start({m_dir / "fehlt" / "ngerman", m_dir / "fehlt" / "th"});
    everyPageAborts("missing");
    m_server.reset();

    // An index without its entries, an index in another encoding, and an
    // index whose offsets lead to other entries answer just as well.
    ResearchServices::Settings settings = fakeData();
    fs::remove(m_dir / "words" / "th.dat");
    write(m_dir / "words" / "ngerman", "");
    start(settings);
    everyPageAborts("no entries");
    m_server.reset();

    settings = fakeData();
    write(m_dir / "words" / "th.idx", "ISO8859-1\n1\nauto|6\n");
    start(settings);
    for (int number = 1; number <= 3; ++number)
        EXPECT_TRUE(ask("THESAURUS2", "auto", number).aborted) << number;
    m_server.reset();

    settings = fakeData();
    write(m_dir / "words" / "th.idx", "UTF-8\n2\nauto|6\nwagen|99999999\n");
    start(settings);
    EXPECT_TRUE(ask("THESAURUS1", "auto").aborted);
    EXPECT_TRUE(ask("THESAURUS1", "wagen").aborted);
    // The word list is untouched by all that.
    EXPECT_FALSE(ask("KEYWORDS1", "urlaub").aborted);
}

TEST_F(DemoServerResearchTest, TheResearchFileIsServedLikeTheSubmissionFiles)
{
    start(fakeData());
    httplib::Client client("127.0.0.1", m_port);
    const auto result = client.Get("/download/vantor/research_d.dat");
    ASSERT_TRUE(result);
    ASSERT_EQ(result->status, 200);
    std::string text;
    ASSERT_TRUE(vantor::DataFile::unpack(result->body, text));
    const std::string own = "http://127.0.0.1:" + std::to_string(m_port) + "/research/";
    for (const auto &[section, pages] : {std::pair<const char *, int>{"KEYWORDS1", 1}, {"KEYWORDS2", 1},
                                         {"THESAURUS1", 1}, {"THESAURUS2", 3}}) {
        ResearchSourceDef source;
        ASSERT_TRUE(vantor::researchsource::read(text, section, pages, source)) << section;
        EXPECT_TRUE(source.utf8) << section;
        EXPECT_FALSE(source.convert) << section;
        ASSERT_EQ(source.templates.size(), static_cast<std::size_t>(pages));
        for (const std::string &url : source.templates)
            EXPECT_EQ(url.rfind(own, 0), 0u) << url;
        std::string active;
        EXPECT_TRUE(vantor::researchsource::readValue(text, section, "active", active));
        EXPECT_EQ(active, "1") << section;
    }
    std::string value;
    EXPECT_TRUE(vantor::researchsource::readValue(text, "SYSTEM", "systemactive", value));
    EXPECT_EQ(value, "1");
    EXPECT_TRUE(vantor::researchsource::readValue(text, "SYSTEM", "active", value));
    EXPECT_EQ(value, "0");
}

namespace {

// The program's own research against the demo server, as the dialog runs
// it once the research file is there.
class DemoServerResearchRunTest : public DemoServerResearchTest
{
protected:
    void SetUp() override
    {
        DemoServerResearchTest::SetUp();
        // The sessions read their time-outs from the settings, and a report
        // about a page that was not understood goes to the maker's server:
        // a store of our own that names this one.
        ::setenv("VANTOR_CONFIG_HOME", (m_dir / "config").c_str(), 1);
        vantor::programSettings().accessType = vantor::ProgramSettings::kAccessDirect;
    }

    vantor::ResearchRun::Result run(const std::string &term1, const std::string &term2, vantor::ResearchMode mode)
    {
        vantor::settingsStore().writeText("updateserver", "127.0.0.1:" + std::to_string(m_port));
        httplib::Client client("127.0.0.1", m_port);
        const auto file = client.Get("/download/vantor/research_d.dat");
        std::string text;
        EXPECT_TRUE(file && vantor::DataFile::unpack(file->body, text));
        m_run = std::make_unique<vantor::ResearchRun>(text, ui, m_view);
        return m_run->run(term1, term2, mode);
    }

    Terms rows(vantor::ResearchList list) const
    {
        Terms out;
        for (const std::string &row : m_run->rows(list))
            out.push_back(toUtf8(row));
        return out;
    }

    // Nothing shown and nothing reported: every page was read to its end.
    void expectQuiet()
    {
        EXPECT_TRUE(ui.shown.empty()) << ui.shown.front().title << ": " << ui.shown.front().text;
        std::ifstream log(m_server->supportLog(), std::ios::binary);
        EXPECT_FALSE(log.is_open()) << std::string(std::istreambuf_iterator<char>(log), {});
    }

    vantor::ScriptedUi ui;
    vantor::ResearchView m_view;
    std::unique_ptr<vantor::ResearchRun> m_run;
};

} // namespace

TEST_F(DemoServerResearchRunTest, PhrasesTwoTermsAndUnknownTermsComeThroughTheProgram)
{
    start(fakeData());
    using vantor::ResearchList;
    ASSERT_EQ(run("ferienhaus+nordsee", "", vantor::ResearchMode::Phrase), vantor::ResearchRun::Result::Finished);
    EXPECT_EQ(rows(ResearchList::Keywords), (Terms{"ferienhaus nordseeinsel", "ferienhaus nordseestrand"}));
    EXPECT_EQ(rows(ResearchList::Variants), Terms{toUtf8(vantor::ResearchRun::noTermsText())});

    ASSERT_EQ(run("urlaub", "auto", vantor::ResearchMode::TwoTerms), vantor::ResearchRun::Result::Finished);
    EXPECT_EQ(rows(ResearchList::Keywords),
              (Terms{"urlaubsreif", "urlaubsreise", "urlaubsangebot", "beurlauben", "sommerurlaub", "strandurlaub"}));
    EXPECT_EQ(rows(ResearchList::Variants), (Terms{"Ferien", "Erholung"}));

    ASSERT_EQ(run(de("müller"), "", vantor::ResearchMode::OneWord), vantor::ResearchRun::Result::Finished);
    EXPECT_EQ(rows(ResearchList::Keywords), Terms{"müllerin"});
    EXPECT_EQ(rows(ResearchList::Variants), Terms{"Mühlenbesitzer"});

    ASSERT_EQ(run("xyzzyq", "", vantor::ResearchMode::OneWord), vantor::ResearchRun::Result::Finished);
    EXPECT_EQ(m_run->count(ResearchList::Keywords), 0);
    EXPECT_EQ(m_run->count(ResearchList::Variants), 0);
    expectQuiet();
}

// The shipped services on Debian's data, as the user meets them.
TEST_F(DemoServerResearchRunTest, UrlaubFindsRealGermanWords)
{
    const ResearchServices::Settings debian;
    ASSERT_TRUE(fs::exists(debian.wordList)) << "wngerman fehlt (tools/setup.sh)";
    ASSERT_TRUE(fs::exists(debian.thesaurus.string() + ".idx")) << "mythes-de fehlt (tools/setup.sh)";
    start(debian);

    // Lower case, those beginning with the term first, shorter first.
    const Parsed keywords = ask("KEYWORDS1", "urlaub");
    ASSERT_GE(keywords.terms.size(), 10u);
    bool inside = false;
    for (std::size_t i = 0; i < keywords.terms.size(); ++i) {
        const std::string &term = keywords.terms[i];
        EXPECT_EQ(vantor::lowerCp1252(de(term)), de(term));
        EXPECT_NE(term.find("urlaub"), std::string::npos) << term;
        const bool begins = term.rfind("urlaub", 0) == 0;
        EXPECT_FALSE(inside && begins) << term;
        if (i > 0 && begins == (keywords.terms[i - 1].rfind("urlaub", 0) == 0)) {
            EXPECT_LE(vantor::toCp1252(keywords.terms[i - 1]).size(), vantor::toCp1252(term).size()) << term;
        }
        inside = inside || !begins;
    }
    const std::set<std::string> found(keywords.terms.begin(), keywords.terms.end());
    EXPECT_TRUE(found.count("urlaubsreise"));
    EXPECT_TRUE(found.count("sommerurlaub"));
    EXPECT_FALSE(found.count("urlaubsreisen"));

    ASSERT_EQ(run("urlaub", "", vantor::ResearchMode::OneWord), vantor::ResearchRun::Result::Finished);
    ASSERT_GT(m_run->count(vantor::ResearchList::Keywords), 0);
    ASSERT_GT(m_run->count(vantor::ResearchList::Variants), 0);
    // Every keyword is a word of the list, every variant in the thesaurus.
    std::set<std::string> words;
    {
        std::ifstream in(debian.wordList);
        for (std::string line; std::getline(in, line);)
            words.insert(toUtf8(vantor::lowerCp1252(de(line))));
    }
    for (const std::string &keyword : rows(vantor::ResearchList::Keywords))
        EXPECT_TRUE(words.count(keyword)) << keyword;
    const Terms variants = rows(vantor::ResearchList::Variants);
    EXPECT_NE(std::find(variants.begin(), variants.end(), "Ferien"), variants.end());
    EXPECT_NE(std::find(variants.begin(), variants.end(), "Urlauber"), variants.end());
    expectQuiet();
}
