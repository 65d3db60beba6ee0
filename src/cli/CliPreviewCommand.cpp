#include "Cli.h"

#include "platform/Files.h"
#include "platform/Text.h"
#include "project/ProgramSettings.h"
#include "project/ProjectFile.h"
#include "project/ProjectOptions.h"
#include "project/ProjectRecord.h"
#include "submit/SubmitSettings.h"
#include "wizard/PageSnippet.h"
#include "wizard/SiteSnippets.h"
#include "wizard/SnippetWidth.h"

#include <cmath>
#include <optional>
#include <ostream>

namespace vantor {

namespace {

// As a browser shows a text: runs of blanks and line breaks as one blank,
// none at the ends.
std::string trimmed(std::string_view text)
{
    std::string out;
    for (const char c : text) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            if (!out.empty() && out.back() != ' ')
                out += ' ';
        } else {
            out += c;
        }
    }
    if (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

// "Titel Desktop: 512/600 px: TEXT", the text as the list shows it.
std::string line(const char *label, const std::string &text, double size, double limit)
{
    const long width = std::lround(snippet::width(text, size));
    return std::string(label) + ": " + std::to_string(width) + "/" + std::to_string(std::lround(limit))
        + " px: " + toUtf8(snippet::cut(text, size, limit));
}

} // namespace

int Cli::previewCommand(const std::vector<std::string> &args)
{
    std::optional<std::string> pageFile;
    std::optional<std::string> csvFile;
    bool site = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--site")
            site = true;
        else if (args[i] == "--page" && i + 1 < args.size())
            pageFile = toCp1252(args[++i]);
        else if (args[i] == "--csv" && i + 1 < args.size())
            csvFile = toCp1252(args[++i]);
        else
            return usageError("preview: [--page DATEI] [--site] [--csv DATEI] erwartet / expected");
    }
    if ((site && pageFile) || (csvFile && !site))
        return usageError("preview: --page oder --site [--csv DATEI] / --page or --site [--csv FILE]");

    if (site) {
        const std::string homepage = projectRecord().path.str();
        if (homepage.empty() || !files::isFile(homepage))
            return fail("Homepage fehlt", de("Für das Projekt ist keine Homepage gewählt, oder sie ist nicht mehr "
                                             "da. Wählen Sie die Homepage im Wizard oder mit \"vantor-cli project "
                                             "homepage\"."));
        const std::string projectFile = projectFilePath(programSettings().currentProject);
        const std::vector<sitesnippets::Row> rows
            = sitesnippets::survey(homepage, submitsettings::readExtensions(projectFile), projectOptions().sonz);
        bool findings = false;
        m_out << "Seite\tTitel\tBeschreibung\tBefunde\n";
        for (const sitesnippets::Row &row : rows) {
            std::string found;
            for (const std::string &finding : row.findings)
                found += (found.empty() ? "" : "; ") + finding;
            findings = findings || !row.findings.empty();
            m_out << toUtf8(row.page) << '\t' << std::lround(row.titleWidth) << '\t'
                  << std::lround(row.descriptionWidth) << '\t' << toUtf8(found) << '\n';
        }
        if (csvFile && !files::writeAtomic(*csvFile, sitesnippets::csv(rows)))
            return fail(de("Datei nicht geschrieben"), de("Die Datei \"") + *csvFile
                                                           + de("\" konnte nicht geschrieben werden. Überprüfen Sie "
                                                                "die Schreibrechte auf die Datei bzw. das Verzeichnis."));
        return findings ? 1 : 0;
    }

    std::string title;
    std::string description;
    if (pageFile) {
        std::string content;
        if (!files::isFile(*pageFile) || !files::read(*pageFile, content))
            return fail(de("Datei nicht gefunden"), de("Die Seite \"") + *pageFile + de("\" konnte nicht gelesen werden."));
        const PageSnippet page = PageSnippet::read(content);
        title = page.title;
        description = page.description;
    } else {
        // As the run writes them into the homepage; the browser drops the
        // blanks around them.
        title = trimmed(projectRecord().title1.view());
        description = trimmed(projectRecord().description.view());
    }
    m_out << line("Titel Desktop", title, snippet::kTitleSize, snippet::kDesktopTitle) << '\n'
          << line("Titel Mobil", title, snippet::kTitleSize, snippet::kMobileTitle) << '\n'
          << line("Beschreibung Desktop", description, snippet::kDescriptionSize, snippet::kDesktopDescription)
          << '\n'
          << line("Beschreibung Mobil", description, snippet::kDescriptionSize, snippet::kMobileDescription)
          << '\n';
    return 0;
}

} // namespace vantor
