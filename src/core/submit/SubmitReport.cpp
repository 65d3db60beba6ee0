#include "submit/SubmitReport.h"

#include "platform/Files.h"
#include "platform/Text.h"
#include "project/ProgramSettings.h"
#include "submit/SubmitOutcome.h"
#include "ui/Ui.h"

#include <cstdio>
#include <ctime>

#include <unistd.h>

namespace vantor {

namespace submitreport {

namespace {

const char *const kCrLf = "\r\n";
const char *const kProblemSeparator = ": ";
const char *const kOutcomeSeparator = " > ";

std::string twoDigits(int a, char separator, int b, int c)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02d%c%02d%c%02d", a, separator, b, separator, c);
    return buffer;
}

bool isProblemOutcome(const std::string &text)
{
    static const SubmitOutcome problems[] = {
        SubmitOutcome::AlreadyListed, SubmitOutcome::Rejected, SubmitOutcome::EngineError,
        SubmitOutcome::Refused,       SubmitOutcome::Redirected, SubmitOutcome::NotFound,
        SubmitOutcome::Unknown,       SubmitOutcome::Down,     SubmitOutcome::NoAnswer,
    };
    for (SubmitOutcome outcome : problems)
        if (submitoutcome::text(outcome) == text)
            return true;
    return false;
}

// A problem line is "<target>: <document> > <outcome>". Neither a list's
// entry ("Liste: Webkatalog (120)") nor a document with a port stops at the
// first colon, so the target is the longest of the run's targets the line
// begins with, and the outcome what follows the last " > ". Summaries begin
// with a target too but carry no outcome: they stay one field.
std::vector<std::string> problemFields(const std::string &line, const std::vector<std::string> &targets)
{
    std::size_t targetLength = std::string::npos;
    for (const auto &target : targets) {
        const bool begins = line.size() >= target.size() + 2 && line.compare(0, target.size(), target) == 0 &&
                            line.compare(target.size(), 2, kProblemSeparator) == 0;
        if (begins && (targetLength == std::string::npos || target.size() > targetLength))
            targetLength = target.size();
    }

    const std::size_t outcomeAt = line.rfind(kOutcomeSeparator);
    if (outcomeAt == std::string::npos)
        return {line};
    const std::string outcome = line.substr(outcomeAt + 3);

    if (targetLength == std::string::npos) {
        // A line of a target the caller did not name is still a problem
        // line when it ends with one of our outcomes; no address holds ": ",
        // so the last one before the outcome ends the target.
        if (!isProblemOutcome(outcome))
            return {line};
        const std::size_t colon = line.rfind(kProblemSeparator, outcomeAt);
        if (colon == std::string::npos || colon == 0)
            return {line};
        targetLength = colon;
    }

    const std::size_t documentAt = targetLength + 2;
    if (outcomeAt < documentAt)
        return {line};
    return {line.substr(0, targetLength), line.substr(documentAt, outcomeAt - documentAt), outcome};
}

std::string directoryFor(const std::string &path)
{
    const std::string directory = files::directoryOf(path);
    return directory.empty() ? std::string(".") : directory;
}

std::string writeFailedText()
{
    return de("Die Report-Datei konnte nicht erzeugt/überschrieben werden. "
              "Überprüfen Sie die Schreibrechte auf die Datei bzw. das Verzeichnis.");
}

} // namespace

// RFC 4180: a field is quoted when a reader would otherwise cut it, join it
// with the next line or lose its outer blanks; quotes inside are doubled.
static std::string field(const std::string &text)
{
    const bool quote = text.find_first_of(",\"\r\n") != std::string::npos ||
                       (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.back() == ' ' ||
                                          text.back() == '\t'));
    if (!quote)
        return text;
    std::string out = "\"";
    for (char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
    return out;
}

void csvRecord(std::string &out, const std::vector<std::string> &fields)
{
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += ',';
        out += field(fields[i]);
    }
    out += kCrLf;
}

// Every text that comes from outside the page (names of targets, files and
// sites) goes through here, so that "<", "&" or a "</textarea>" in it shows
// as written instead of ending the text area or adding markup.
std::string escaped(const std::string &text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

Stamp now()
{
    const std::time_t clock = std::time(nullptr);
    std::tm t{};
    localtime_r(&clock, &t);
    return {twoDigits(t.tm_mday, '/', t.tm_mon + 1, t.tm_year % 100), twoDigits(t.tm_hour, ':', t.tm_min, t.tm_sec)};
}

std::string defaultFile(const std::string &homepagePath)
{
    return files::join(files::directoryOf(homepagePath), "Anmelde-Report");
}

std::string html(const std::vector<std::string> &report, const std::vector<std::string> &advice,
                 const std::string &homepage, const Stamp &stamp)
{
    const std::string date = escaped(stamp.date);
    std::string page;
    page.reserve(2048);
    page += "<HTML><HEAD>\r\n";
    // The page is cp1252 like the lines in it; without this a browser that
    // guesses UTF-8 shows every umlaut as a question mark.
    page += "<META http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">\r\n";
    page += "<TITLE>Anmelde-Report vom " + date + "</TITLE>\r\n";
    page += "</HEAD>\r\n<BODY background=\"back.gif\">";
    page += "<font face=\"Arial\" size=4 color=\"#550000\"><center><b>Vantor!! Anmelde-Report</b></center></font>\r\n";
    page += "<blockquote><pre><hr>\r\n";
    page += "      Datum: <input type=\"text\" size=\"12\" value=\"" + date + "\"><br>\r\n";
    page += "       Zeit: <input type=\"text\" size=\"12\" value=\"" + escaped(stamp.time) + "\"><br>\r\n";
    page += "   Homepage: <input type=\"text\" size=\"70\" value=\"" + escaped(homepage) + "\"><hr></font></pre>\r\n";
    page += "<font face=\"Arial\" size=3 color=\"#000099\"><br>\r\n";
    page += "<b>Anmelde-Report:</b></font><br><font face=\"Arial\" size=2 color=\"#000000\">\r\n";
    page += "<textarea rows=\"10\" cols=\"120\" style=\"font-family: Arial\" name=\"report\" wrap=\"OFF\">";
    for (const auto &line : report)
        page += escaped(line) + kCrLf;
    page += "</textarea><br><font face=\"Arial\" size=3 color=\"#000099\">\r\n";
    page += "<b>ToDo's:</b></font><br><font face=\"Arial\" size=2 color=\"#000000\">"
            "<textarea rows=\"5\" cols=\"120\" style=\"font-family: Arial\" name=\"todos\" wrap=\"OFF\">";
    for (const auto &line : advice)
        page += escaped(line) + kCrLf;
    page += "</textarea></font><br><br>\r\n";
    page += "</BODY></HTML>";
    return page;
}

std::string csv(const std::vector<std::string> &report, const std::vector<std::string> &advice,
                const std::string &homepage, const Stamp &stamp, const std::vector<std::string> &targets)
{
    std::string table;
    csvRecord(table, {"Anmelde-Report vom " + stamp.date});
    // Label and value share a cell: a bare "07/12/26" or address would be
    // taken for a number or date of the spreadsheet's own reading.
    csvRecord(table, {"Zeit: " + stamp.time, "Homepage: " + homepage});
    table += kCrLf;
    csvRecord(table, {"Anmelde-Report:"});
    table += kCrLf;
    for (const auto &line : report)
        csvRecord(table, problemFields(line, targets));
    table += kCrLf;
    csvRecord(table, {"ToDo's:"});
    table += kCrLf;
    for (const auto &line : advice)
        csvRecord(table, {line});
    // Spreadsheet programs take a file without the byte-order mark for the
    // system's code page and garble the umlauts.
    return "\xEF\xBB\xBF" + toUtf8(table);
}

bool save(const std::string &path, const std::string &content, Ui &ui)
{
    // Creating is what fails when the place is wrong or closed to us; a write
    // that fails after that (a full disk) is the other code.
    const std::string directory = directoryFor(path);
    const bool cannotCreate = files::isDirectory(path) || !files::isDirectory(directory) ||
                              ::access(files::osPath(directory).c_str(), W_OK) != 0 || files::writeProtected(path);
    if (cannotCreate) {
        ui.systemError("Fehler Code 6001", writeFailedText());
        return false;
    }
    // Beside the target and renamed over it: a save that fails half-way
    // leaves the older report as it was.
    if (!files::writeAtomic(path, content)) {
        ui.systemError("Fehler Code 6002", writeFailedText());
        return false;
    }
    const std::string backGif = files::join(directory, "back.gif");
    if (!files::entryExists(backGif))
        files::copy(files::join(programSettings().programDirectory, "back.gif"), backGif, false);
    return true;
}

} // namespace submitreport

} // namespace vantor
