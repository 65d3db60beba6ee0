#include "wizard/TitlePages.h"

#include "optimizer/PageEncoding.h"
#include "project/ProjectOptions.h"
#include "platform/Text.h"
#include "project/ProjectRecord.h"
#include "ui/Ui.h"
#include "wizard/HomepageText.h"

#include <new>
#include <string_view>

namespace vantor::titlepages {

const char *const kTitleOff = "Titel lt. Konfiguration deaktiviert";
const char *const kAuthorOff = "Autor lt. Konfiguration deaktiviert";
const char *const kDescriptionOff = "Beschreibung lt. Konfiguration deaktiviert";
const char *const kCopyTitleOff = "Keine Suchbegriffe vorhanden, daher kann kein Titel eingegeben werden";
const char *const kCopyDescriptionOff = "Keine Suchbegriffe für diese Kopie vorhanden";

namespace {

template<typename Slot>
void storeUnlessOff(const std::string &text, const char *off, std::size_t length, Slot &slot)
{
    if (text.find(off) == std::string::npos)
        slot.set(std::string_view(text).substr(0, length));
}

bool copyHasTerms(const ProjectRecord &record, std::size_t copy)
{
    for (const auto &term : record.copyKeywords[copy])
        if (!term.empty())
            return true;
    return false;
}

const std::string &copyDescriptionOff()
{
    static const std::string text = de(kCopyDescriptionOff);
    return text;
}

// The meta value of the last of the forms found; false when none is there.
bool lastMetaValue(const std::string &text, const char *name, std::string &value)
{
    std::string upper = name;
    for (char &c : upper)
        c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    const std::string forms[] = {"\"" + std::string(name) + "\" CONTENT=\"", "\"" + upper + "\" CONTENT=\"",
                                 "\"" + upper + "\" content=\"", "\"" + std::string(name) + "\" content=\""};
    bool found = false;
    for (const auto &form : forms) {
        std::string v;
        if (blockValue(text, form, "\">", 1, v)) {
            value = v;
            found = true;
        }
    }
    return found;
}

} // namespace

TitleFields openTitles(const ProjectRecord &record, const ProjectOptions &options)
{
    TitleFields fields;
    fields.makedirs = record.makedirs > 0;
    fields.deleteold = record.deleteold > 0;
    fields.titlesEnabled = ProjectOptions::forHomepage(options.titl);
    // The author is also the copyright line and what doorway templates put
    // for %Firma%; the standard options make those from it while the author
    // META itself is off. Closed only when neither uses it, or the user could
    // never give the name the run then asks for.
    fields.authorEnabled = ProjectOptions::forHomepage(options.auth) || ProjectOptions::forHomepage(options.copy);
    fields.descriptionEnabled = ProjectOptions::forHomepage(options.desc);
    refreshTitles(fields, record);
    return fields;
}

void refreshTitles(TitleFields &fields, const ProjectRecord &record)
{
    const std::string titles[] = {record.title1.str(), record.title2.str(), record.title3.str()};
    for (std::size_t i = 0; i < 3; ++i)
        fields.titles[i] = fields.titlesEnabled ? titles[i] : kTitleOff;
    fields.author = fields.authorEnabled ? record.author.str() : kAuthorOff;
    fields.description = fields.descriptionEnabled ? record.description.str() : kDescriptionOff;
}

void storeTitles(const TitleFields &fields, ProjectRecord &record)
{
    storeUnlessOff(fields.titles[0], kTitleOff, kTitleLength, record.title1);
    storeUnlessOff(fields.titles[1], kTitleOff, kTitleLength, record.title2);
    storeUnlessOff(fields.titles[2], kTitleOff, kTitleLength, record.title3);
    storeUnlessOff(fields.author, kAuthorOff, kAuthorLength, record.author);
    storeUnlessOff(fields.description, kDescriptionOff, kDescriptionLength, record.description);
    record.makedirs = fields.makedirs ? 1 : 0;
    record.deleteold = fields.deleteold ? 1 : 0;
}

bool headerEmpty(const ProjectRecord &record)
{
    return record.title1.empty() && record.title2.empty() && record.title3.empty() && record.author.empty() &&
           record.description.empty();
}

bool analyseHomepageHeader(const std::string &homepagePath, ProjectRecord &record, Ui &ui)
{
    bool found = false;
    bool lost = false;
    try {
        std::string text;
        WorkingText working;
        if (readHomepageText(homepagePath, text, working)) {
            ProjectRecord::Text *titles[] = {&record.title1, &record.title2, &record.title3};
            for (int n = 1; n <= 3; ++n) {
                // The lower-case form is read last and so wins.
                for (const auto &[start, end] : {std::pair{"<TITLE>", "</TITLE>"}, std::pair{"<title>", "</title>"}}) {
                    std::string value;
                    if (blockValue(text, start, end, n, value) && !value.empty()) {
                        if (value.front() == '!')
                            value.erase(0, 1);
                        titles[n - 1]->set(std::string_view(recordValue(working, value, lost)).substr(0, kTitleLength));
                        found = true;
                    }
                }
            }
            std::string value;
            if (lastMetaValue(text, "author", value)) {
                record.author.set(std::string_view(recordValue(working, value, lost)).substr(0, kAuthorLength));
                found = true;
            }
            if (lastMetaValue(text, "description", value)) {
                record.description.set(
                    std::string_view(recordValue(working, value, lost)).substr(0, kDescriptionLength));
                found = true;
            }
        }
    } catch (const std::bad_alloc &) {
        reportOutOfMemory();
        return false;
    }
    if (!found)
        showNothingFound(ui);
    else if (lost)
        showCharactersLost(ui);
    return found;
}

CopyFields openCopyTitles(const ProjectRecord &record)
{
    CopyFields fields;
    for (std::size_t c = 0; c < fields.size(); ++c) {
        fields[c].enabled = copyHasTerms(record, c);
        fields[c].text = fields[c].enabled ? record.copyTitles[c].str() : kCopyTitleOff;
    }
    return fields;
}

void storeCopyTitles(const CopyFields &fields, ProjectRecord &record)
{
    for (std::size_t c = 0; c < fields.size(); ++c)
        storeUnlessOff(fields[c].text, kCopyTitleOff, kCopyTitleLength, record.copyTitles[c]);
}

CopyFields openCopyDescriptions(const ProjectRecord &record)
{
    CopyFields fields;
    for (std::size_t c = 0; c < fields.size(); ++c) {
        fields[c].enabled = copyHasTerms(record, c);
        fields[c].text = fields[c].enabled ? record.copyDescriptions[c].str() : copyDescriptionOff();
    }
    return fields;
}

void storeCopyDescriptions(const CopyFields &fields, ProjectRecord &record)
{
    for (std::size_t c = 0; c < fields.size(); ++c)
        storeUnlessOff(fields[c].text, copyDescriptionOff().c_str(), kCopyDescriptionLength,
                       record.copyDescriptions[c]);
}

} // namespace vantor::titlepages
