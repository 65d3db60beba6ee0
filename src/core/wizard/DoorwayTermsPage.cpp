#include "wizard/DoorwayTermsPage.h"

#include "platform/Files.h"
#include "platform/Text.h"
#include "project/ProgramSettings.h"
#include "project/ProjectRecord.h"
#include "ui/Ui.h"

#include <algorithm>

namespace vantor::doorwaypage {

const char *const kImportCommand = "IMPORTLIST";

namespace {

bool containsNoCase(const std::vector<std::string> &list, const std::string &text)
{
    const std::string key = lowerCp1252(text);
    return std::any_of(list.begin(), list.end(), [&](const std::string &e) { return lowerCp1252(e) == key; });
}

void insertSorted(std::vector<std::string> &list, std::string text)
{
    const std::string key = lowerCp1252(text);
    const auto at = std::upper_bound(list.begin(), list.end(), key,
                                     [](const std::string &k, const std::string &e) { return k < lowerCp1252(e); });
    list.insert(at, std::move(text));
}

void sortNoCase(std::vector<std::string> &list)
{
    std::stable_sort(list.begin(), list.end(),
                     [](const std::string &a, const std::string &b) { return lowerCp1252(a) < lowerCp1252(b); });
}

bool allowedNameChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '.';
}

void showWrongName(Ui &ui)
{
    ui.message("Falscher Dateiname",
               de("Der Dateiname für die Startseite ist nicht korrekt, er muß aus einem Namen, einem Punkt und einer "
                  "Erweiterung bestehen, z.B. \"index.html\", \"default.htm\" oder\"homepage.html\"."));
}

} // namespace

Lists open(const ProjectRecord &record)
{
    Lists lists;
    for (const auto &term : record.homepageKeywords)
        if (!term.empty() && !containsNoCase(lists.existing, term.str()))
            lists.existing.push_back(term.str());
    for (const auto &copy : record.copyKeywords)
        for (const auto &term : copy)
            if (!term.empty() && !containsNoCase(lists.existing, term.str()))
                lists.existing.push_back(term.str());
    sortNoCase(lists.existing);

    // Normally a doorway term that is a homepage or copy term already goes:
    // its page would only compete with the homepage.
    const bool keepAll = ReadExpertFlag("dontuseHPkeywordsfordoorways") != 0;
    for (const auto &term : record.doorwayKeywords) {
        if (term.empty() || containsNoCase(lists.doorways, term.str()))
            continue;
        if (!keepAll && containsNoCase(lists.existing, term.str()))
            continue;
        lists.doorways.push_back(term.str());
    }
    sortNoCase(lists.doorways);
    lists.likeHomepage = record.doorlikehp == 1;
    lists.startpage = record.startpage.str();
    return lists;
}

std::string likeHomepageCaption(const ProjectRecord &record)
{
    return "wie Homepage: \"" + record.homepageFileName.str() + "\"";
}

Added add(Lists &lists, const std::string &text, Ui &ui)
{
    if (text.empty())
        return Added::Nothing;
    if (text == kImportCommand)
        return Added::Import;
    // A slot holds 150 characters; a longer term would be cut without the
    // user seeing it and then name another page than the one typed.
    if (text.size() > kMaxTerm) {
        ui.message("Suchbegriff zu lang", de("Ein Suchbegriff für Zugangsdokumente darf höchstens 150 Zeichen lang "
                                             "sein. Bitte kürzen Sie den Suchbegriff."));
        return Added::Refused;
    }
    if (containsNoCase(lists.existing, text) || containsNoCase(lists.doorways, text)) {
        ui.message("Suchbegriff bereits vorhanden",
                   de("Der Suchbegriff ist bereits vorhanden. Er ist bereits eingegeben worden (linke Liste) oder ist "
                      "bereits in der Liste mit den neuen Suchbegriffen (rechte Liste)."));
        return Added::Refused;
    }
    insertSorted(lists.doorways, text);
    return Added::Added;
}

void importList(Lists &lists, const std::string &path)
{
    std::string content;
    if (!files::isFile(path) || !files::read(path, content))
        return;
    std::size_t at = 0;
    while (at < content.size()) {
        const std::size_t newline = content.find('\n', at);
        const std::size_t lineEnd = newline == std::string::npos ? content.size() : newline;
        // A long line comes in pieces of 252 characters, each an entry.
        std::size_t end = std::min(lineEnd, at + kImportChunk);
        std::string line = content.substr(at, end - at);
        if (end == lineEnd) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            end = newline == std::string::npos ? content.size() : newline + 1;
        }
        // Stored terms hold 150 characters; the list shows what will be kept.
        line.resize(std::min(line.size(), kMaxTerm));
        insertSorted(lists.doorways, std::move(line));
        at = end;
    }
}

void remove(Lists &lists, std::vector<std::size_t> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (auto it = rows.rbegin(); it != rows.rend(); ++it)
        if (*it < lists.doorways.size())
            lists.doorways.erase(lists.doorways.begin() + static_cast<std::ptrdiff_t>(*it));
}

bool store(const Lists &lists, ProjectRecord &record, Ui &ui)
{
    for (auto &slot : record.doorwayKeywords)
        slot.clear();
    const std::size_t count = std::min<std::size_t>(lists.doorways.size(), ProjectRecord::kDoorwayTerms);
    for (std::size_t i = 0; i < count; ++i)
        record.doorwayKeywords[i].set(lists.doorways[i]);
    record.doorlikehp = lists.likeHomepage ? 1 : 0;
    const std::string name = lists.startpage.substr(0, kMaxStartPage);
    record.startpage.set(name);

    const bool other = !lists.likeHomepage;
    if (other && !name.empty() && name.find('.') == std::string::npos) {
        showWrongName(ui);
        return false;
    }
    if (!std::all_of(name.begin(), name.end(), allowedNameChar)) {
        showWrongName(ui);
        return false;
    }
    if (other && name.empty()) {
        ui.message("Fehlende Daten",
                   de("Daten für die Startseite sind unvollständig. Bitte klicken Sie \"wie Homepage\" an oder geben "
                      "Sie explizit einen Dateinamen für die Startseiten an.\nNähere Informationen finden Sie in der "
                      "Hilfe."));
        return false;
    }
    return true;
}

} // namespace vantor::doorwaypage
