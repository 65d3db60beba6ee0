#pragma once

#include <string>
#include <vector>

namespace vantor {

class Ui;

// What a submission run collected, saved as a page or as a table: the
// report list (problem lines and per-target summaries) and the advice list,
// with the date and time of saving and the site's address.
namespace submitreport {

struct Stamp {
    std::string date; // "07/12/26"
    std::string time; // "14:05:09"
};
Stamp now();

// One line of a table (RFC 4180): each field quoted where a reader would
// otherwise cut it, the line ended by CR LF.
void csvRecord(std::string &out, const std::vector<std::string> &fields);

// A text for a page: "&", "<", ">" and '"' as entities.
std::string escaped(const std::string &text);

// "Anmelde-Report" in the homepage's directory, without extension.
std::string defaultFile(const std::string &homepagePath);

// The page, cp1252, with every inserted text escaped.
std::string html(const std::vector<std::string> &report, const std::vector<std::string> &advice,
                 const std::string &homepage, const Stamp &stamp);
// The table (RFC 4180, UTF-8 with byte-order mark). A problem line
// "<target>: <document> > <outcome>" becomes three fields; targets names the
// run's targets, so that a list's entry ("Liste: Name (120)") is recognised
// whole. Other lines are one field each.
std::string csv(const std::vector<std::string> &report, const std::vector<std::string> &advice,
                 const std::string &homepage, const Stamp &stamp, const std::vector<std::string> &targets);

// Writes the file (replacing one that is there) and puts back.gif from the
// program directory beside it unless one is already there. A file that
// cannot be created or written is reported ("Fehler Code 6001"/"6002") and
// false comes back.
bool save(const std::string &path, const std::string &content, Ui &ui);

} // namespace submitreport

} // namespace vantor
