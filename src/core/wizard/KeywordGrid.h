#pragma once

#include <array>
#include <string>

namespace vantor {

struct ProjectRecord;
class Ui;

// The search-term grid: 30 fields for the homepage and 15 for each of the
// nine copies, in the order of the record's slots.
namespace keywordgrid {

constexpr int kHomepageFields = 30;
constexpr int kFieldCount = 165;
constexpr std::size_t kMaxTerm = 149;
extern const char *const kGapMarker; // "---- leeres feld ----"

using Fields = std::array<std::string, kFieldCount>;

// The identifier of field i: its key in the project file (4000 + i for the
// homepage, 4100 + i for the copies).
int fieldId(int index);
// The copy (1 to 9) a field belongs to, 0 for the homepage.
int copyOf(int index);
// "Suchbegriff1" to "Suchbegriff3" for the first three fields.
std::string placeholder(int index);

// What the fields show when the page opens.
Fields open(const ProjectRecord &record);
// Whether the first three fields still hold their placeholders, so that the
// page offers to read the terms from the homepage.
bool placeholdersUntouched(const Fields &fields);

struct Validation {
    enum Kind { Ok, Marker, Gap } kind = Ok;
    int field = -1; // Gap: the empty field before the first gap
};
// Reads the fields into the record up to the first error.
Validation validate(const Fields &fields, ProjectRecord &record);
// Validates, shows what is wrong and marks a gap in its field. True when the
// page may close.
bool validateAndShow(Fields &fields, ProjectRecord &record, Ui &ui);

// Takes the homepage terms from the homepage's META keywords into the
// record and the fields. False when nothing was found (the message is shown).
bool analyseHomepageKeywords(const std::string &homepagePath, Fields &fields, ProjectRecord &record, Ui &ui);

} // namespace keywordgrid
} // namespace vantor
