#pragma once

#include <array>
#include <string>

namespace vantor {

struct ProjectOptions;
struct ProjectRecord;
class Ui;

// The titles page (titles, author, description, two switches) and the two
// copy pages of the site data wizard.
namespace titlepages {

constexpr std::size_t kTitleLength = 259;
constexpr std::size_t kAuthorLength = 199;
constexpr std::size_t kDescriptionLength = 398;
constexpr std::size_t kCopyTitleLength = 258;
constexpr std::size_t kCopyDescriptionLength = 398;

// The texts in fields switched off by the configuration or without terms;
// they are never stored. As in the sources (UTF-8); de() gives the form the
// fields hold.
extern const char *const kTitleOff;
extern const char *const kAuthorOff;
extern const char *const kDescriptionOff;
extern const char *const kCopyTitleOff;
extern const char *const kCopyDescriptionOff;

struct TitleFields {
    std::array<std::string, 3> titles;
    std::string author;
    std::string description;
    bool titlesEnabled = true;
    bool authorEnabled = true;
    bool descriptionEnabled = true;
    bool makedirs = true;
    bool deleteold = true;
};
TitleFields openTitles(const ProjectRecord &record, const ProjectOptions &options);
// The fields' texts after an analysis changed the record; switched-off
// fields keep their placeholder.
void refreshTitles(TitleFields &fields, const ProjectRecord &record);
void storeTitles(const TitleFields &fields, ProjectRecord &record);
// True when titles, author and description are all empty, so that the page
// offers to read them from the homepage.
bool headerEmpty(const ProjectRecord &record);
// Reads titles, author and description from the homepage file into the
// record. False when nothing was found (the message is shown then).
bool analyseHomepageHeader(const std::string &homepagePath, ProjectRecord &record, Ui &ui);

struct CopyField {
    std::string text;
    bool enabled = true;
};
using CopyFields = std::array<CopyField, 9>;
CopyFields openCopyTitles(const ProjectRecord &record);
void storeCopyTitles(const CopyFields &fields, ProjectRecord &record);
CopyFields openCopyDescriptions(const ProjectRecord &record);
void storeCopyDescriptions(const CopyFields &fields, ProjectRecord &record);

} // namespace titlepages
} // namespace vantor
