#pragma once

#include <string>
#include <vector>

namespace vantor {

struct ProjectRecord;
class Ui;

// The doorway page of the site data wizard: the terms that get a doorway
// document each, and the name of the start pages.
namespace doorwaypage {

constexpr std::size_t kMaxTyped = 164;
constexpr std::size_t kMaxTerm = 150;
constexpr std::size_t kMaxStartPage = 258;
constexpr std::size_t kImportChunk = 252;
extern const char *const kImportCommand; // "IMPORTLIST"

struct Lists {
    // "Vorhandene Suchbegriffe:": the homepage's and the copies' terms.
    std::vector<std::string> existing;
    // "Weitere Suchbegriffe:", in the order they are stored.
    std::vector<std::string> doorways;
    bool likeHomepage = true;
    std::string startpage;
};

// Both lists sorted as they are shown: alphabetically, without regard to case.
Lists open(const ProjectRecord &record);
// The caption of the "wie Homepage" radio.
std::string likeHomepageCaption(const ProjectRecord &record);

enum class Added { Nothing, Added, Import, Refused };
// "Hinzufügen --->" with the text of the edit field. Import: the caller asks
// for the list file and hands it to importList. Refused: the message has
// been shown.
Added add(Lists &lists, const std::string &text, Ui &ui);
// Adds every line of the file, unchecked. A file that cannot be read adds
// nothing.
void importList(Lists &lists, const std::string &path);
// "Entfernen <---": the rows of the right list at these indexes.
void remove(Lists &lists, std::vector<std::size_t> rows);

// Writes the page into the record and checks the start page name, showing
// what is wrong. True when it is valid.
bool store(const Lists &lists, ProjectRecord &record, Ui &ui);

} // namespace doorwaypage
} // namespace vantor
