#include "wizard/KeywordGrid.h"

#include "optimizer/PageEncoding.h"
#include "platform/Files.h"
#include "platform/Text.h"
#include "project/ProjectRecord.h"
#include "ui/Ui.h"
#include "wizard/HomepageText.h"

#include <new>
#include <vector>

namespace vantor::keywordgrid {

const char *const kGapMarker = "---- leeres feld ----";

namespace {

// The record's slot of field i; Record is ProjectRecord, const or not.
template<typename Record>
auto &slot(Record &record, int index)
{
    if (index < kHomepageFields)
        return record.homepageKeywords[static_cast<std::size_t>(index)];
    const auto copy = static_cast<std::size_t>((index - kHomepageFields) / ProjectRecord::kTermsPerCopy);
    const auto term = static_cast<std::size_t>((index - kHomepageFields) % ProjectRecord::kTermsPerCopy);
    return record.copyKeywords[copy][term];
}

// The terms of a keywords value: by commas when it has one, else by blanks.
std::vector<std::string> splitTerms(const std::string &value)
{
    const char separator = value.find(',') != std::string::npos ? ',' : ' ';
    std::vector<std::string> terms;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = value.find(separator, start);
        std::string term = value.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!term.empty() && term.front() == ' ')
            term.erase(0, 1);
        terms.push_back(std::move(term));
        if (end == std::string::npos)
            return terms;
        start = end + 1;
    }
}

} // namespace

int fieldId(int index) { return index < kHomepageFields ? 4000 + index : 4100 + (index - kHomepageFields); }

int copyOf(int index) { return index < kHomepageFields ? 0 : 1 + (index - kHomepageFields) / ProjectRecord::kTermsPerCopy; }

std::string placeholder(int index) { return index < 3 ? "Suchbegriff" + std::to_string(index + 1) : std::string(); }

Fields open(const ProjectRecord &record)
{
    Fields fields;
    for (int i = 0; i < kFieldCount; ++i) {
        fields[static_cast<std::size_t>(i)] = slot(record, i).str();
        if (i < 3 && fields[static_cast<std::size_t>(i)].empty())
            fields[static_cast<std::size_t>(i)] = placeholder(i);
    }
    return fields;
}

bool placeholdersUntouched(const Fields &fields)
{
    for (int i = 0; i < 3; ++i)
        if (fields[static_cast<std::size_t>(i)].find(placeholder(i)) == std::string::npos)
            return false;
    return true;
}

Validation validate(const Fields &fields, ProjectRecord &record)
{
    for (int i = 0; i < kFieldCount; ++i) {
        const std::string &text = fields[static_cast<std::size_t>(i)];
        slot(record, i).set(std::string_view(text).substr(0, kMaxTerm));
        if (text.find(kGapMarker) != std::string::npos)
            return {Validation::Marker, i};
        // The first slot of each group has no predecessor in its group.
        const bool first = i == 0 || (i >= kHomepageFields && (i - kHomepageFields) % ProjectRecord::kTermsPerCopy == 0);
        if (!first && slot(record, i - 1).empty() && !slot(record, i).empty())
            return {Validation::Gap, i - 1};
    }
    return {};
}

bool validateAndShow(Fields &fields, ProjectRecord &record, Ui &ui)
{
    const Validation result = validate(fields, record);
    if (result.kind == Validation::Marker) {
        ui.message("Feld korrigieren",
                   de("Mindestens ein Feld enthält den Eintrag:\n\n---- leeres Feld -----\n\nBitte korrigieren Sie "
                      "diesen Eintrag bzw. verschieben Sie die Suchbegriffe, so daß in allen Bereichen (also "
                      "Homepage und Kopien 1 bis 9) die Suchbegriffe fortlaufend eingegeben sind."));
        return false;
    }
    if (result.kind == Validation::Gap) {
        fields[static_cast<std::size_t>(result.field)] = kGapMarker;
        ui.message(de("Leeres Feld für Suchbegriff"),
                   de("Bei der Eingabe haben Sie zwischen Suchbegriffen ein leeres Feld gelassen. Bitte beachten Sie, "
                      "daß alle Suchbegriffe innerhalb einer Kopie (also Homepage und Kopie 1 bis 9) fortlaufend "
                      "eingegeben werden müssen. Lassen Sie zwischen den Suchbegriffen keine leeren Felder.\nBitte "
                      "korrigieren Sie die Eingabe, das fehlerhafte Feld wurde mit ---- leeres feld ---- markiert."));
        return false;
    }
    return true;
}

bool analyseHomepageKeywords(const std::string &homepagePath, Fields &fields, ProjectRecord &record, Ui &ui)
{
    std::string text;
    WorkingText working;
    try {
        if (!readHomepageText(homepagePath, text, working))
            return false; // a file that cannot be opened: nothing happens
        static const char *const forms[] = {"\"keywords\" content=\"", "\"KEYWORDS\" content=\"",
                                            "\"keywords\" CONTENT=\"", "\"KEYWORDS\" CONTENT=\""};
        std::size_t at = std::string::npos;
        std::size_t length = 0;
        for (const char *form : forms) {
            at = text.find(form);
            if (at != std::string::npos) {
                length = std::char_traits<char>::length(form);
                break;
            }
        }
        if (at == std::string::npos) {
            showNothingFound(ui);
            return false;
        }
        const std::string value = valueAfter(text, at + length, "\">");
        int stored = 0;
        bool lost = false;
        for (const auto &found : splitTerms(value)) {
            const std::string term = recordValue(working, found, lost);
            if (term.empty() || term.size() > kMaxTerm || stored == kHomepageFields)
                break;
            record.homepageKeywords[static_cast<std::size_t>(stored)].set(term);
            fields[static_cast<std::size_t>(stored)] = term;
            ++stored;
        }
        if (lost)
            showCharactersLost(ui);
        return true;
    } catch (const std::bad_alloc &) {
        reportOutOfMemory();
        return false;
    }
}

} // namespace vantor::keywordgrid
