#include "position/RankReport.h"

#include "platform/Text.h"
#include "submit/SubmitReport.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace vantor::rankreport {

namespace {

std::string utf8(const std::string &cp1252) { return toUtf8(cp1252); }
std::string html(const std::string &cp1252) { return utf8(submitreport::escaped(cp1252)); }

bool success(const RankStore::Check &check)
{
    return check.kind == RankStore::Kind::Found || check.kind == RankStore::Kind::NotInTop;
}

std::string number(double value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.1f", value);
    return buffer;
}

// Where a pair stands for the sorting of its engine's table: found places
// first, then "not in the top N", failures, and what was never checked.
std::pair<int, int> rank(const RankStore::Pair &pair)
{
    switch (pair.latest.kind) {
    case RankStore::Kind::Found:
        return {0, pair.latest.position};
    case RankStore::Kind::NotInTop:
        return {1, pair.latest.depth};
    case RankStore::Kind::Failed:
        return {2, 0};
    case RankStore::Kind::NotChecked:
        break;
    }
    return {3, 0};
}

std::string kindText(const RankStore::Check &check)
{
    switch (check.kind) {
    case RankStore::Kind::Found:
        return "gefunden";
    case RankStore::Kind::NotInTop:
        return "nicht unter Top " + std::to_string(check.depth);
    case RankStore::Kind::Failed:
        return "Fehler: " + check.outcome;
    case RankStore::Kind::NotChecked:
        break;
    }
    return de("nicht geprüft");
}

std::string dateTime(long long time)
{
    const std::time_t t = static_cast<std::time_t>(time);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M", &tm);
    return buffer;
}

// The chart of one pair: oldest check on the left. Places run from 1 at the
// top to the deepest check at the bottom edge, where "not in the top N"
// stands; a failed or missing check leaves a gap in the line.
std::string chart(const std::vector<RankStore::Check> &newestFirst)
{
    const int width = 250;
    const int height = 62;
    const int top = 6;
    const int bottom = 44;
    const int left = 18; // room for the "1" of the top line
    std::vector<RankStore::Check> checks(newestFirst.begin(),
                                         newestFirst.begin()
                                             + static_cast<std::ptrdiff_t>(std::min<std::size_t>(
                                                 newestFirst.size(), static_cast<std::size_t>(kChartChecks))));
    std::reverse(checks.begin(), checks.end());
    int depth = 1;
    for (const auto &check : checks)
        depth = std::max({depth, check.depth, check.position});
    const double step = static_cast<double>(width - left - 8) / (kChartChecks - 1);
    const auto x = [&](std::size_t i) { return left + step * static_cast<double>(i); };
    const auto y = [&](int position) {
        return top + (bottom - top) * static_cast<double>(position - 1) / std::max(1, depth - 1);
    };

    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(width) + "\" height=\""
        + std::to_string(height) + "\" viewBox=\"0 0 " + std::to_string(width) + " " + std::to_string(height)
        + "\" role=\"img\">";
    svg += "<line x1=\"4\" y1=\"" + std::to_string(bottom) + "\" x2=\"" + std::to_string(width - 4) + "\" y2=\""
        + std::to_string(bottom) + "\" stroke=\"#bbbbbb\" stroke-dasharray=\"3,3\"/>";
    svg += "<text x=\"4\" y=\"" + std::to_string(height - 2)
        + "\" font-family=\"Arial\" font-size=\"9\" fill=\"#777777\">unten: nicht unter Top "
        + std::to_string(depth) + "</text>";
    svg += "<text x=\"4\" y=\"" + std::to_string(top + 3)
        + "\" font-family=\"Arial\" font-size=\"9\" fill=\"#777777\">1</text>";
    std::string line;
    const auto flush = [&] {
        if (line.find(' ') != std::string::npos)
            svg += "<polyline fill=\"none\" stroke=\"#1a5fb4\" stroke-width=\"1.5\" points=\"" + line + "\"/>";
        line.clear();
    };
    for (std::size_t i = 0; i < checks.size(); ++i) {
        const RankStore::Check &check = checks[i];
        const std::string title = "<title>" + dateTime(check.time) + ": " + html(state(check)) + "</title>";
        if (check.kind == RankStore::Kind::Found) {
            const std::string point = number(x(i)) + "," + number(y(check.position));
            line += (line.empty() ? "" : " ") + point;
            svg += "<circle cx=\"" + number(x(i)) + "\" cy=\"" + number(y(check.position))
                + "\" r=\"2.5\" fill=\"#1a5fb4\">" + title + "</circle>";
        } else if (check.kind == RankStore::Kind::NotInTop) {
            flush();
            svg += "<rect x=\"" + number(x(i) - 2.5) + "\" y=\"" + std::to_string(bottom - 2)
                + "\" width=\"5\" height=\"5\" fill=\"#c01c28\">" + title + "</rect>";
        } else {
            // A failure is no place at all: the line breaks off.
            flush();
        }
    }
    flush();
    return svg + "</svg>";
}

} // namespace

std::string date(long long time)
{
    const std::time_t t = static_cast<std::time_t>(time);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char buffer[16];
    std::strftime(buffer, sizeof buffer, "%Y-%m-%d", &tm);
    return buffer;
}

std::string state(const RankStore::Check &check)
{
    switch (check.kind) {
    case RankStore::Kind::Found:
        return std::to_string(check.position);
    case RankStore::Kind::NotInTop:
        return ">" + std::to_string(check.depth);
    case RankStore::Kind::Failed:
        return "Fehler";
    case RankStore::Kind::NotChecked:
        break;
    }
    return "-";
}

// A check that was never made looked nowhere.
static std::string depthText(const RankStore::Check &check)
{
    return check.kind == RankStore::Kind::NotChecked ? std::string() : std::to_string(check.depth);
}

std::string changeText(std::optional<int> change)
{
    if (!change)
        return {};
    if (*change > 0)
        return "+" + std::to_string(*change);
    return std::to_string(*change);
}

std::string showHeader() { return "Suchmaschine\tBegriff\tAktuell\tÄnderung\tBeste\tTiefe\tDatum"; }

std::string showLine(const RankStore::Pair &pair)
{
    // The change belongs to the latest state: a failed or missing latest
    // check has none.
    const bool latestSucceeded = pair.lastSuccess && pair.lastSuccess->run == pair.latest.run;
    return utf8(pair.engine) + "\t" + utf8(pair.term) + "\t" + state(pair.latest) + "\t"
        + (latestSucceeded ? changeText(pair.change()) : std::string()) + "\t"
        + (pair.best > 0 ? std::to_string(pair.best) : std::string()) + "\t" + depthText(pair.latest)
        + "\t" + (pair.lastSuccess ? date(pair.lastSuccess->time) : std::string());
}

std::vector<std::string> historyLines(const std::vector<RankStore::Check> &history, std::size_t count)
{
    std::vector<std::string> lines;
    // Best places up to each check, oldest first.
    std::vector<int> bestUpTo(history.size(), 0);
    int best = 0;
    for (std::size_t i = history.size(); i-- > 0;) {
        if (history[i].kind == RankStore::Kind::Found && (best == 0 || history[i].position < best))
            best = history[i].position;
        bestUpTo[i] = best;
    }
    for (std::size_t i = 0; i < history.size() && i < count; ++i) {
        const RankStore::Check &check = history[i];
        std::optional<int> change;
        if (check.kind == RankStore::Kind::Found) {
            for (std::size_t j = i + 1; j < history.size(); ++j) {
                if (success(history[j])) {
                    if (history[j].kind == RankStore::Kind::Found)
                        change = history[j].position - check.position;
                    break;
                }
            }
        }
        lines.push_back(utf8(check.engine) + "\t" + utf8(check.term) + "\t" + state(check) + "\t" + changeText(change)
                        + "\t" + (bestUpTo[i] > 0 ? std::to_string(bestUpTo[i]) : std::string()) + "\t"
                        + depthText(check) + "\t" + date(check.time));
    }
    return lines;
}

std::string html(const std::vector<RankStore::Pair> &pairs, const History &history, const std::string &project,
                 long long now)
{
    std::map<std::string, std::vector<const RankStore::Pair *>> byEngine;
    for (const RankStore::Pair &pair : pairs)
        byEngine[pair.engine].push_back(&pair);

    std::string page = "<!DOCTYPE html>\n<html lang=\"de\">\n<head>\n<meta charset=\"utf-8\">\n<title>Verlauf der "
                       "Positionen – "
        + html(project) + "</title>\n<style>\nbody { font-family: Arial, sans-serif; color: #202020; margin: 24px; }\n"
                          "h1 { color: #550000; font-size: 22px; }\nh2 { color: #000099; font-size: 17px; "
                          "margin-top: 28px; }\ntable { border-collapse: collapse; }\nth, td { border-bottom: 1px "
                          "solid #dddddd; padding: 4px 10px; text-align: left; vertical-align: middle; }\n"
                          "th { background: #f2f0e8; font-size: 13px; }\ntd.zahl { text-align: right; }\n"
                          ".besser { color: #26802c; }\n.schlechter { color: #c01c28; }\n.fehler { color: #8a5a00; }\n"
                          "p.hinweis { font-size: 13px; color: #555555; max-width: 760px; }\n</style>\n</head>\n"
                          "<body>\n<h1>Verlauf der Positionen</h1>\n<p>Projekt: "
        + html(project) + " · erstellt am " + utf8(dateTime(now)) + " (UTC)</p>\n";
    page += "<p class=\"hinweis\">Je Suchmaschine die Suchbegriffe nach ihrer letzten Position. Die Änderung vergleicht "
            "die letzte erfolgreiche Prüfung mit der davor (▲ besser, ▼ schlechter). Im Verlauf steht Position 1 oben; "
            "ein Punkt am unteren Rand heißt „nicht unter den geprüften Ergebnissen“, eine Lücke eine Prüfung, die "
            "fehlschlug oder nicht stattfand – sie ist keine Position.</p>\n";
    if (pairs.empty())
        page += "<p>Noch keine Positionen ermittelt.</p>\n";
    for (auto &[engine, list] : byEngine) {
        std::stable_sort(list.begin(), list.end(),
                         [](const RankStore::Pair *a, const RankStore::Pair *b) { return rank(*a) < rank(*b); });
        int depth = 0;
        for (const RankStore::Pair *pair : list)
            depth = std::max(depth, pair->latest.depth);
        page += "<h2>" + html(engine) + "</h2>\n<table>\n<tr><th>Suchbegriff</th><th>Position (Top "
            + std::to_string(depth) + ")</th><th>Änderung</th><th>Beste</th><th>Verlauf (letzte "
            + std::to_string(kChartChecks) + " Prüfungen)</th><th>Stand</th></tr>\n";
        for (const RankStore::Pair *pair : list) {
            const bool latestSucceeded = pair->lastSuccess && pair->lastSuccess->run == pair->latest.run;
            const std::optional<int> change = latestSucceeded ? pair->change() : std::nullopt;
            std::string changeCell;
            if (change && *change > 0)
                changeCell = "<span class=\"besser\">▲ " + std::to_string(*change) + "</span>";
            else if (change && *change < 0)
                changeCell = "<span class=\"schlechter\">▼ " + std::to_string(-*change) + "</span>";
            else if (change)
                changeCell = "=";
            std::string current = html(state(pair->latest));
            if (pair->latest.kind == RankStore::Kind::Failed)
                current = "<span class=\"fehler\" title=\"" + html(pair->latest.outcome) + "\">Fehler</span>";
            else if (pair->latest.kind == RankStore::Kind::NotInTop)
                current = "nicht unter Top " + std::to_string(pair->latest.depth);
            const auto found = history.find({pair->engine, pair->term});
            page += "<tr><td>" + html(pair->term) + "</td><td class=\"zahl\">" + current + "</td><td>" + changeCell
                + "</td><td class=\"zahl\">" + (pair->best > 0 ? std::to_string(pair->best) : std::string())
                + "</td><td>" + (found != history.end() ? chart(found->second) : std::string()) + "</td><td>"
                + utf8(date(pair->latest.time)) + "</td></tr>\n";
        }
        page += "</table>\n";
    }
    return page + "</body>\n</html>\n";
}

std::string csv(const std::vector<RankStore::Check> &checks)
{
    std::string table;
    submitreport::csvRecord(table, {"Datum", "Suchmaschine", "Suchbegriff", "Ergebnis", "Position", "Tiefe", "Link"});
    for (const RankStore::Check &check : checks) {
        submitreport::csvRecord(table, {dateTime(check.time), check.engine, check.term, kindText(check),
                                        check.kind == RankStore::Kind::Found ? std::to_string(check.position)
                                                                             : std::string(),
                                        std::to_string(check.depth), check.link});
    }
    // Spreadsheet programs take a file without the byte-order mark for the
    // system's code page and garble the umlauts.
    return "\xEF\xBB\xBF" + toUtf8(table);
}

} // namespace vantor::rankreport
