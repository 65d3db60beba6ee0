#include "wizard/SiteSnippets.h"

#include "optimizer/StartSigns.h"
#include "platform/Files.h"
#include "platform/Text.h"
#include "submit/SubmitDocuments.h"
#include "submit/SubmitReport.h"
#include "wizard/PageSnippet.h"
#include "wizard/SnippetWidth.h"

#include <cmath>
#include <cstdio>
#include <map>

namespace vantor::sitesnippets {

namespace {

// The head of a page: no more is read of a page however large it is.
bool readHead(const std::string &path, std::string &head)
{
    std::FILE *file = std::fopen(files::osPath(path).c_str(), "rb");
    if (file == nullptr)
        return false;
    head.resize(PageSnippet::kHeadLimit);
    head.resize(std::fread(head.data(), 1, head.size(), file));
    std::fclose(file);
    return true;
}

} // namespace

std::vector<Row> survey(const std::string &homepagePath, const std::vector<std::string> &extensions, int startSigns)
{
    const std::vector<submitdocs::Document> documents
        = submitdocs::buildDocuments(submitdocs::Mode::Complete, "site", homepagePath,
                                     StartSigns::fromSettings(startSigns), extensions, 1'000'000);
    const std::string directory = files::directoryOf(homepagePath);
    std::vector<Row> rows;
    std::map<std::string, std::vector<std::size_t>> byTitle;
    for (const submitdocs::Document &document : documents) {
        if (document.relative.empty())
            continue;
        Row row;
        row.page = document.relative;
        std::string head;
        if (!readHead(files::join(directory, document.relative), head)) {
            row.findings.push_back("Seite nicht lesbar");
            rows.push_back(std::move(row));
            continue;
        }
        const PageSnippet snippet = PageSnippet::read(head);
        row.titleWidth = snippet::width(snippet.title, snippet::kTitleSize);
        row.descriptionWidth = snippet::width(snippet.description, snippet::kDescriptionSize);
        if (snippet.title.empty())
            row.findings.push_back("Titel fehlt");
        else if (row.titleWidth > snippet::kDesktopTitle)
            row.findings.push_back("Titel zu lang");
        if (snippet.description.empty())
            row.findings.push_back("Beschreibung fehlt");
        else if (row.descriptionWidth > snippet::kDesktopDescription)
            row.findings.push_back("Beschreibung zu lang");
        if (!snippet.title.empty())
            byTitle[snippet.title].push_back(rows.size());
        rows.push_back(std::move(row));
    }
    // A title several pages carry: each names the others (the first few).
    for (const auto &[title, pages] : byTitle) {
        if (pages.size() < 2)
            continue;
        for (const std::size_t page : pages) {
            std::string others;
            int named = 0;
            for (const std::size_t other : pages) {
                if (other == page)
                    continue;
                if (named == 3) {
                    others += ", ...";
                    break;
                }
                others += (named++ > 0 ? ", " : "") + rows[other].page;
            }
            rows[page].findings.push_back("Titel doppelt (auch in " + others + ")");
        }
    }
    return rows;
}

std::string csv(const std::vector<Row> &rows)
{
    std::string table;
    submitreport::csvRecord(table, {"Seite", "Titel (Pixel)", "Beschreibung (Pixel)", "Befunde"});
    for (const Row &row : rows) {
        std::string findings;
        for (const std::string &finding : row.findings)
            findings += (findings.empty() ? "" : "; ") + finding;
        submitreport::csvRecord(table, {row.page, std::to_string(std::lround(row.titleWidth)),
                                        std::to_string(std::lround(row.descriptionWidth)), findings});
    }
    return "\xEF\xBB\xBF" + toUtf8(table);
}

} // namespace vantor::sitesnippets
