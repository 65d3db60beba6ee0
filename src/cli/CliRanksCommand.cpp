#include "Cli.h"

#include "platform/Files.h"
#include "platform/Text.h"
#include "position/RankReport.h"
#include "position/RankStore.h"
#include "project/ProgramSettings.h"

#include <charconv>
#include <ctime>
#include <ostream>

namespace vantor {

namespace {

// "YYYY-MM-DD" as the start of that day (UTC).
std::optional<long long> dayStart(const std::string &text)
{
    int year = 0;
    int month = 0;
    int day = 0;
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    const auto number = [&](std::size_t at, std::size_t length, int &value) {
        const auto [end, ec] = std::from_chars(text.data() + at, text.data() + at + length, value);
        return ec == std::errc() && end == text.data() + at + length;
    };
    if (!number(0, 4, year) || !number(5, 2, month) || !number(8, 2, day) || month < 1 || month > 12 || day < 1
        || day > 31)
        return std::nullopt;
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    return static_cast<long long>(timegm(&tm));
}

} // namespace

int Cli::ranksCommand(const std::vector<std::string> &args)
{
    const std::string verb = args.size() >= 2 ? args[1] : std::string();
    std::string term;
    std::string engine;
    int last = 0;
    std::optional<long long> before;
    bool yes = false;
    std::string file;
    for (std::size_t i = 2; i < args.size(); ++i) {
        const std::string &a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--yes" && verb == "forget") {
            yes = true;
        } else if ((a == "--term" || a == "--engine") && hasValue && verb == "show") {
            const std::string &value = args[++i];
            if (!fitsCp1252(value))
                return usageError("Ungültiges Argument / invalid argument: " + value);
            (a == "--term" ? term : engine) = toCp1252(value);
        } else if (a == "--last" && hasValue && verb == "show") {
            const std::string &value = args[++i];
            const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), last);
            if (ec != std::errc() || end != value.data() + value.size() || last < 1)
                return usageError("ranks: --last N erwartet eine Zahl ab 1 / expects a number from 1");
        } else if (a == "--before" && hasValue && verb == "forget") {
            before = dayStart(args[++i]);
            if (!before)
                return usageError("ranks: --before JJJJ-MM-TT erwartet / expected YYYY-MM-DD");
        } else if ((verb == "report" || verb == "export") && file.empty() && a.rfind("--", 0) != 0) {
            file = toCp1252(a);
        } else {
            return usageError("ranks: falsches Argument / wrong argument: " + a);
        }
    }
    if (verb != "show" && verb != "report" && verb != "export" && verb != "forget")
        return usageError("ranks: show, report DATEI, export DATEI oder forget erwartet / expected");
    if ((verb == "report" || verb == "export") && file.empty())
        return usageError("ranks " + verb + ": Datei erwartet / file expected");
    if (verb == "forget" && !yes)
        return usageError("ranks forget: mit --yes bestätigen / confirm with --yes");

    const std::string project = programSettings().currentProject;
    const std::string path = RankStore::pathFor(project);
    RankStore store;
    // No history yet is an empty one; only a write creates the file.
    const bool exists = files::entryExists(path);
    if (exists && !store.open(path))
        return fail(RankStore::unusableTitle(), store.error());

    if (verb == "show") {
        m_out << rankreport::showHeader() << '\n';
        const std::vector<RankStore::Pair> pairs = exists ? store.pairs(engine, term) : std::vector<RankStore::Pair>();
        if (!store.error().empty())
            return fail(RankStore::unusableTitle(), store.error());
        for (const RankStore::Pair &pair : pairs) {
            m_out << rankreport::showLine(pair) << '\n';
            if (last > 0) {
                for (const std::string &line : rankreport::historyLines(store.history(pair.engine, pair.term, 0),
                                                                        static_cast<std::size_t>(last)))
                    m_out << line << '\n';
            }
        }
        return 0;
    }
    if (verb == "forget") {
        const int removed = exists ? store.forget(before) : 0;
        if (removed < 0)
            return fail(RankStore::unusableTitle(), store.error());
        m_out << "Entfernt: " << removed << (removed == 1 ? " Lauf" : " Läufe") << '\n';
        return 0;
    }

    std::string content;
    if (verb == "report") {
        const std::vector<RankStore::Pair> pairs = exists ? store.pairs() : std::vector<RankStore::Pair>();
        rankreport::History history;
        for (const RankStore::Pair &pair : pairs)
            history[{pair.engine, pair.term}] = store.history(pair.engine, pair.term, rankreport::kChartChecks);
        content = rankreport::html(pairs, history, project, static_cast<long long>(std::time(nullptr)));
    } else {
        content = rankreport::csv(exists ? store.allChecks() : std::vector<RankStore::Check>());
    }
    if (!store.error().empty())
        return fail(RankStore::unusableTitle(), store.error());
    if (!files::writeAtomic(file, content))
        return fail(de("Datei nicht geschrieben"), de("Die Datei \"") + file
                                                       + de("\" konnte nicht geschrieben werden. Überprüfen Sie die "
                                                            "Schreibrechte auf die Datei bzw. das Verzeichnis."));
    return 0;
}

} // namespace vantor
