#pragma once

#include "position/RankStore.h"

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vantor {

// What the rank history shows: the lines of "ranks show", the trend report
// (a page with a small chart per term) and the table of every check.
namespace rankreport {

using History = std::map<std::pair<std::string, std::string>, std::vector<RankStore::Check>>;

// Checks the trend chart shows.
constexpr int kChartChecks = 30;

// "YYYY-MM-DD" of a time (UTC).
std::string date(long long time);
// "13", ">30", "Fehler" or "-" (not checked).
std::string state(const RankStore::Check &check);
// "+3" (better), "-2", "0", or empty.
std::string changeText(std::optional<int> change);

// The tab-separated lines of "ranks show", UTF-8, without line ends.
std::string showHeader();
std::string showLine(const RankStore::Pair &pair);
// The checks of one pair, newest first, as lines in the same columns: the
// change against the successful check before each, the best up to it, its
// own date. history is the pair's whole history, newest first.
std::vector<std::string> historyLines(const std::vector<RankStore::Check> &history, std::size_t count);

// The trend report, UTF-8: per engine a table of its terms sorted by their
// latest position, each with the change, the best place and a chart of the
// last checks (inline SVG: failures are gaps, "not in the top N" sits on the
// bottom edge). history holds each pair's newest checks first.
std::string html(const std::vector<RankStore::Pair> &pairs, const History &history, const std::string &project,
                 long long now);

// Every check as a table (RFC 4180, UTF-8 with byte-order mark).
std::string csv(const std::vector<RankStore::Check> &checks);

} // namespace rankreport

} // namespace vantor
