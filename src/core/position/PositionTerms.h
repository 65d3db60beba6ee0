#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vantor {

struct ProjectRecord;

// The search terms and further domains a position check looks at. Texts
// are cp1252.
namespace positionterms {

constexpr std::size_t kMaxTerms = 1000;
constexpr std::size_t kMaxTerm = 150;
constexpr std::size_t kMaxDomains = 49;
constexpr std::size_t kMaxDomain = 49;
// Where "Speichern" of the "Anmelde-Liste" keeps the term list.
constexpr const char *kListSection = "positionkeywordslist";
constexpr std::size_t kMaxStoredTerm = 259;

// Lower case, cut at the first '#', at most 150 characters.
std::string normalize(const std::string &term);

// The form two terms are compared in for duplicates: cut at '#', without
// blanks, the German special letters written out and some accents dropped,
// lower case. "Müller Bau" and "muellerbau" are the same term.
std::string comparisonForm(const std::string &term);

// The project's terms: the homepage's up to the first empty one, then
// every one of the copies and of the doorway pages; a term whose
// comparison form is there already is left out (the first term never is).
std::vector<std::string> collect(const ProjectRecord &project);

// The same rule for a list already given (the command line's --term).
std::vector<std::string> withoutDuplicates(const std::vector<std::string> &terms);

// "Laden" and "Speichern" of the "Anmelde-Liste".
std::vector<std::string> loadList(const std::string &projectFile);
bool saveList(const std::string &projectFile, const std::vector<std::string> &terms);

// The domain list: a text file of that name in the projects directory, one
// domain a line (at most 49 of 49 characters). A name that is no plain file
// name there, or a file that cannot be read, gives no domains.
std::vector<std::string> readDomainList(const std::string &fileName);
std::string domainListPath(const std::string &fileName);

} // namespace positionterms

} // namespace vantor
