#include "optimizer/OptimizationReport.h"

#include "optimizer/DoorwayTerms.h"
#include "optimizer/PageText.h"
#include "optimizer/RunLog.h"
#include "optimizer/SpaceEstimate.h"
#include "optimizer/StartSigns.h"
#include "optimizer/TermText.h"
#include "platform/Files.h"
#include "platform/Text.h"
#include "submit/SubmitReport.h"
#include "project/Guidelines.h"
#include "project/ProjectOptions.h"
#include "project/ProjectRecord.h"
#include "ui/Ui.h"

#include <cstdio>

#include <unistd.h>

namespace vantor {

namespace {

const char *const kReportAreaEnd = "</textarea><br><font face=\"Arial\" size=3 color=\"#000099\">";
const char *const kTodoAreaEnd = "</textarea></font><br><br>";

std::string twoDigits(int a, char separator, int b, int c)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02d%c%02d%c%02d", a, separator, b, separator, c);
    return buffer;
}

class ReportWriter
{
public:
    explicit ReportWriter(const std::string &lineEnd)
        : m_lineEnd(lineEnd)
    {
    }

    // A literal that ends its line.
    void line(const std::string &text) { m_text += text + m_lineEnd; }
    void lineDe(std::string_view utf8) { line(de(utf8)); }
    std::string &text() { return m_text; }

private:
    const std::string &m_lineEnd;
    std::string m_text;
};

void writeFrame(ReportWriter &w, const std::string &programDirectory)
{
    std::string directory = programDirectory;
    while (directory.size() > 1 && directory.back() == files::kSeparator)
        directory.pop_back();
    w.line("<HTML><HEAD>");
    // The report is cp1252 like every line in it; without this line a
    // browser set to UTF-8 shows its umlauts as question marks.
    w.line("<META http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">");
    w.line("<TITLE> Report vom </TITLE>");
    w.line("</HEAD><BODY background=\"file://" + linkForm(directory + "/back.gif") + "\">" +
           "<font face=\"Arial\" size=4 color=\"#550000\"><center><b>Vantor!! Report</b></center></font>");
    w.line("<blockquote><pre><hr>");
    w.line("      Datum: <input type=\"text\" size=\"12\" value=\"\"><br>");
    w.line("       Zeit: <input type=\"text\" size=\"12\" value=\"\"><br>");
    w.line("   Homepage: <input type=\"text\" size=\"70\" value=\"\"><hr></font></pre>");
    w.line("<font face=\"Arial\" size=3 color=\"#000099\"><br>");
    w.line("<b>REPORT:</b></font><br><font face=\"Arial\" size=2 color=\"#000000\">");
    w.line("<textarea rows=\"10\" cols=\"120\" style=\"font-family: Arial\" name=\"report\"></textarea><br>"
           "<font face=\"Arial\" size=3 color=\"#000099\">");
    w.line("<b>TODO'S:</b></font><br><font face=\"Arial\" size=2 color=\"#000000\"><textarea rows=\"3\" "
           "cols=\"120\" style=\"font-family: Arial\" name=\"todos\"></textarea></font><br><br>");
}

template<typename Terms>
void termList(ReportWriter &w, const Terms &terms, const char *size)
{
    w.line(std::string("<select size=\"") + size + "\">");
    for (const auto &term : terms) {
        const std::string_view text = [&]() -> std::string_view {
            if constexpr (requires { term.view(); })
                return term.view();
            else
                return term.term;
        }();
        if (!text.empty())
            w.line("<option>" + entityForm(text) + "</option>");
    }
    w.line("</select>");
}

void writeProjectData(ReportWriter &w, const ReportInput &in)
{
    const ProjectRecord &r = *in.record;
    w.line("<font face=\"Arial\" size=3 color=\"#000099\"><b>PROJEKTDATEN:</b></font><br>");
    w.line("<br>");
    w.line("<table border=\"0\" width=\"90%\" cellspacing=\"1\"><font face=\"Arial\" size=2 color=\"#000000\">");
    auto field = [&](const char *label, std::string_view value, const char *size) {
        w.line(std::string("<tr><td width=\"15%\">") + label + "</td><td colspan=\"3\"><input type=\"text\" size=\"" +
               size + "\" value=\"" + entityForm(value) + "\"></td></tr>");
    };
    field("Titel 1:", r.title1.view(), "80");
    field("Titel 2:", r.title2.view(), "80");
    field("Titel 3:", r.title3.view(), "80");
    field("Autor:", r.author.view(), "30");
    w.line("<tr><td width=\"15%\">Beschreibung:</td><td colspan=\"3\"><textarea rows=\"2\" cols=\"84\" "
           "name=\"descript\">" +
           entityForm(r.description.view()) + "</textarea></td></tr>");
    w.line("<tr><td colspan=\"4\"><font face=\"Arial\" size=3 color=\"#000000\"><b>Suchbegriffe</b><br></td></tr>");

    w.line("<tr><td width=\"15%\">Homepage:</td><td colspan=\"3\">");
    termList(w, r.homepageKeywords, "1");
    w.line("</td></tr>");
    for (int copy = 0; copy < ProjectRecord::kCopies; ++copy) {
        if (copy % 3 == 0)
            w.line(copy == 0 ? "<tr><td width=\"15%\">Kopien:</td>" : "<tr><td width=\"15%\"></td>");
        w.line("<td>");
        termList(w, r.copyKeywords[static_cast<std::size_t>(copy)], "1");
        w.line("</td>");
        if (copy % 3 == 2)
            w.line("</tr>");
    }
    w.line("<tr><td width=\"15%\">Zugangsdokumente:</td><td colspan=\"3\">");
    if (in.doorways)
        termList(w, in.doorways->slots, "5");
    else
        termList(w, std::array<DoorwayTerms::Slot, 0>{}, "5");
    w.line("</td></tr>");
    w.line("</table><br>");
}

// One option of the configuration table: HP box, ZK box, label.
struct Option {
    enum class Kind { Blank, Header, Code, CopyText } kind = Kind::Blank;
    int value = 0;
    const char *label = "";
};

std::string checkBox(bool checked) { return std::string("<input type=\"checkbox\" ") + (checked ? "checked " : "") + ">"; }

void writeOption(ReportWriter &w, const Option &option)
{
    switch (option.kind) {
    case Option::Kind::Blank:
        w.line("  <td width=\"3%\"></td><td width=\"3%\"></td><td width=\"27%\"></td>");
        break;
    case Option::Kind::Header:
        w.line("  <td width=\"3%\">HP</td><td width=\"3%\">ZK</td><td width=\"27%\"></td>");
        break;
    case Option::Kind::Code:
        w.line("  <td width=\"3%\">" + checkBox(ProjectOptions::forHomepage(option.value)) + "</td>");
        w.line("  <td width=\"3%\">" + checkBox(ProjectOptions::forCopies(option.value)) + "</td>");
        break;
    case Option::Kind::CopyText:
        w.line("  <td width=\"3%\"></td>");
        w.line("  <td width=\"3%\">" + checkBox(option.value != 0) + "</td>");
        break;
    }
    if (option.kind == Option::Kind::Code || option.kind == Option::Kind::CopyText) {
        // The author cell has always gone without its closing tag; browsers
        // close it themselves and saved reports look the same as ever.
        if (std::string_view(option.label) == "author")
            w.line("  <td width=\"30%\">author");
        else
            w.line(std::string("  <td width=\"30%\">") + option.label + "</td>");
    }
}

std::string scopeLine(int scope, const SpaceEstimate &estimate)
{
    const char *text = nullptr;
    switch (scope) {
    case 0:
        text = "Art der Optimierung: Möglichst wenig Speicherplatz verwenden (ca. %d kB)";
        break;
    case 2:
        text = "Art der Optimierung: Maximale Optimierung, größter Speicherplatzbedarf (ca. %d kB)";
        break;
    default:
        text = "Art der Optimierung: Mittelweg aus Speicherplatz und Optimierung (ca. %d kB)";
        break;
    }
    std::string line = de(text);
    const std::size_t at = line.find("%d");
    line.replace(at, 2, std::to_string(estimate.forScope(scope)));
    return line;
}

void writeConfiguration(ReportWriter &w, const ReportInput &in)
{
    const ProjectOptions &o = *in.options;
    using K = Option::Kind;
    const Option blank{};
    const Option header{K::Header};
    auto code = [](int value, const char *label) { return Option{K::Code, value, label}; };
    const Option rows[][3] = {
        {header, header, header},
        {code(o.titl, "title"), code(o.link, "link rel"), blank},
        {code(o.auth, "author"), code(o.desc, "description"), code(o.robo, "robots")},
        {blank, code(o.keyw, "keywords"), code(o.copy, "copyright")},
        {blank, code(o.revi, "revisit"), code(o.gene, "generator")},
        {code(o.nofr, "Noframes Tag"), blank, code(o.altt, "ALT-Text")},
        {Option{K::CopyText, o.deco, "Beschreibung Kopien"}, blank, code(o.text, "Suchwort-Tags")},
        {Option{K::CopyText, o.tico, "Titel Kopien"}, blank, code(o.buch, "Buchstabenfolge (!...)")},
        {blank, blank, code(o.hiddenForm, "Verborgenes Formular")},
    };

    w.line("<font face=\"Arial\" size=3 color=\"#000099\"><b>KONFIGURATION:</b></font><br><br>");
    w.line("<table border=\"0\" width=\"90%\"><tr>");
    w.line("  <td width=\"90%\">HP: Homepage  ZK: Zugangsdokumente und Kopien</td></tr></table>");
    w.line("<table border=\"0\" width=\"90%\" cellspacing=\"1\"><font face=\"Arial\" size=2 color=\"#000000\">");
    for (const auto &row : rows) {
        w.line("<tr>");
        for (const auto &option : row)
            writeOption(w, option);
        w.line("</tr>");
    }
    w.line("</table><br>");

    const ProjectRecord &r = *in.record;
    w.line("<table border=\"0\" width=\"90%\"><tr>");
    w.line("  <td width=\"90%\">" + scopeLine(r.scope, estimateSpace(r)) + "</td></tr><tr>");
    w.line(std::string("  <td width=\"90%\">Verwendete Sonderzeichen: ") + StartSigns::listedSigns(o.sonz) +
           "</td></tr></table>");
}

// After the configuration: what today's guidelines say about what this run
// did. Techniques switched on but never used (no frames, no terms) are not
// named, since the page holds nothing of them.
void writeGuidelines(ReportWriter &w, const RunLog &log)
{
    w.line("<br><font face=\"Arial\" size=3 color=\"#000099\"><b>" + submitreport::escaped(guidelinesHeading()) +
           ":</b></font><br><br>");
    w.line("<table border=\"0\" width=\"90%\"><tr><td width=\"90%\"><font face=\"Arial\" size=2 color=\"#000000\">");
    const auto used = riskyTechniquesUsed(log);
    if (used.empty()) {
        w.line(submitreport::escaped(guidelinesNone()));
    } else {
        w.line(submitreport::escaped(guidelinesIntro()));
        w.line("<ul>");
        for (const guidelines::Technique *technique : used)
            w.line("<li><b>" + submitreport::escaped(guidelines::label(*technique)) + "</b> (" +
                   guidelines::markText(technique->mark) + "): " +
                   submitreport::escaped(guidelines::reason(*technique)) + "</li>");
        w.line("</ul>");
        w.line(submitreport::escaped(guidelinesRemedy()));
    }
    w.line("</font></td></tr></table>");
}

} // namespace

std::vector<const guidelines::Technique *> riskyTechniquesUsed(const RunLog &log)
{
    std::vector<const guidelines::Technique *> used;
    for (const auto &technique : guidelines::techniques()) {
        if (technique.mark != guidelines::Mark::Risky)
            continue;
        for (const auto &code : log.techniquesUsed())
            if (code == technique.code)
                used.push_back(&technique);
    }
    return used;
}

std::string guidelinesHeading() { return de("Hinweise zu heutigen Suchmaschinen-Richtlinien"); }

std::string guidelinesNone()
{
    return de("Dieser Lauf hat keine Technik verwendet, die die heutigen Richtlinien der Suchmaschinen als riskant "
              "einstufen.");
}

std::string guidelinesIntro()
{
    return de("Dieser Lauf hat Techniken verwendet, die die heutigen Richtlinien der großen Suchmaschinen "
              "(Google Search Essentials, Spam-Richtlinien; Bing Webmaster Guidelines) als Spam einstufen. Sie "
              "können Ihre Site die Platzierung kosten:");
}

std::string guidelinesRemedy()
{
    return de("Mit \"Zeitgemäß\" in der Konfiguration (vantor-cli config modern) schalten Sie diese Techniken ab; "
              "Vantor!! setzt dann stattdessen canonical, viewport, lang und Open Graph.");
}

std::string buildReport(const ReportInput &in)
{
    ReportWriter w(in.lineEnd);
    writeFrame(w, in.programDirectory);
    if (in.withProjectData && in.record)
        writeProjectData(w, in);
    // The guidelines block belongs to the configuration: a report without
    // it (the user cleared that tick) stays as it always was.
    if (in.withConfigData && in.options && in.record) {
        writeConfiguration(w, in);
        if (in.log)
            writeGuidelines(w, *in.log);
    }
    w.line("</BODY></HTML>");

    std::string &text = w.text();
    const std::tm &t = in.when;
    const std::string date = twoDigits(t.tm_mday, '/', t.tm_mon + 1, t.tm_year % 100);
    const std::string time = twoDigits(t.tm_hour, ':', t.tm_min, t.tm_sec);
    insertAfter(date, "Report vom ", text);
    insertAfter(date, "Datum: <input type=\"text\" size=\"12\" value=\"", text);
    insertAfter(time, "Zeit: <input type=\"text\" size=\"12\" value=\"", text);
    if (in.record)
        insertAfter(in.record->path.str(), "Homepage: <input type=\"text\" size=\"70\" value=\"", text);

    // As they are, without escaping: a line that holds an anchor of its own
    // moves the following ones, as it always has.
    if (in.log) {
        for (const auto &line : in.log->lines())
            insertBefore(line.text + in.lineEnd, kReportAreaEnd, text);
        for (const auto &todo : in.log->todos())
            insertBefore(todo + in.lineEnd, kTodoAreaEnd, text);
    }
    return text;
}

bool writeReportFile(const std::string &path, const std::string &report, Ui &ui)
{
    std::string content = report;
    content.push_back('\0');
    // Creating is what fails when the place is wrong or closed to us; a write
    // that fails after that (a full disk) is the other code.
    const std::string directory = files::directoryOf(path);
    const bool cannotCreate = files::isDirectory(path) || !files::isDirectory(directory) ||
                              ::access(files::osPath(directory).c_str(), W_OK) != 0 ||
                              (files::entryExists(path) && ::access(files::osPath(path).c_str(), W_OK) != 0);
    if (cannotCreate) {
        ui.systemError("Fehler Code 6001", de("Die Report-Datei konnte nicht erzeugt/überschrieben werden. "
                                              "Überprüfen Sie die Schreibrechte auf die Datei bzw. das Verzeichnis."));
        return false;
    }
    if (!files::writeAtomic(path, content)) {
        ui.systemError("Fehler Code 6002", de("Die Report-Datei konnte nicht erzeugt/überschrieben werden. "
                                              "Überprüfen Sie die Schreibrechte auf die Datei bzw. das Verzeichnis."));
        return false;
    }
    return true;
}

std::string reportCopyText(const std::string &report)
{
    std::string copy = report;
    cutBetween("background=\"file:", "back.gif\">", copy);
    insertAfter("background=\"back.gif\">", "BODY ", copy);
    return copy;
}

bool saveReportCopy(const std::string &report, const std::string &path, const std::string &programDirectory,
                    Ui &ui)
{
    if (!writeReportFile(path, reportCopyText(report), ui))
        return false;
    const std::string target = files::join(files::directoryOf(path), "back.gif");
    if (!files::entryExists(target))
        files::copy(files::join(programDirectory, "back.gif"), target, false);
    return true;
}

} // namespace vantor
