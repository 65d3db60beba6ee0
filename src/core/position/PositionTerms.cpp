#include "position/PositionTerms.h"

#include "platform/Files.h"
#include "platform/Text.h"
#include "project/NumberedSection.h"
#include "project/ProjectFile.h"
#include "project/ProjectRecord.h"

#include <set>

namespace vantor::positionterms {

namespace {

std::string cutAtHash(const std::string &term) { return term.substr(0, term.find('#')); }

// Reads a file of the size a domain list can sensibly have; anything
// beyond is no domain list.
constexpr std::uint64_t kMaxDomainFile = 64 * 1024;

} // namespace

std::string normalize(const std::string &term) { return lowerCp1252(cutAtHash(term)).substr(0, kMaxTerm); }

std::string comparisonForm(const std::string &term)
{
    std::string form;
    for (const char c : cutAtHash(term)) {
        switch (static_cast<unsigned char>(c)) {
        case ' ':
            break;
        case 0xC4: // Ä
            form += "Ae";
            break;
        case 0xE4: // ä
            form += "ae";
            break;
        case 0xD6: // Ö
            form += "Oe";
            break;
        case 0xF6: // ö
            form += "oe";
            break;
        case 0xDC: // Ü
            form += "Ue";
            break;
        case 0xFC: // ü
            form += "ue";
            break;
        case 0xDF: // ß
            form += "ss";
            break;
        case 0xE9: // é
        case 0xE8: // è
            form += 'e';
            break;
        case 0xC9: // É
        case 0xC8: // È
            form += 'E';
            break;
        case 0xED: // í
            form += 'i';
            break;
        case 0xE1: // á
        case 0xE0: // à
            form += 'a';
            break;
        default:
            form += c;
        }
    }
    return lowerCp1252(form);
}

std::vector<std::string> withoutDuplicates(const std::vector<std::string> &terms)
{
    std::vector<std::string> kept;
    std::set<std::string> seen;
    for (const std::string &term : terms) {
        if (kept.size() >= kMaxTerms)
            break;
        if (!seen.insert(comparisonForm(term)).second && !kept.empty())
            continue;
        kept.push_back(normalize(term));
    }
    return kept;
}

std::vector<std::string> collect(const ProjectRecord &project)
{
    std::vector<std::string> all;
    for (const auto &term : project.homepageKeywords) {
        if (term.empty())
            break;
        all.emplace_back(term.view());
    }
    for (const auto &copy : project.copyKeywords) {
        for (const auto &term : copy) {
            if (!term.empty())
                all.emplace_back(term.view());
        }
    }
    for (const auto &term : project.doorwayKeywords) {
        if (!term.empty())
            all.emplace_back(term.view());
    }
    return withoutDuplicates(all);
}

std::vector<std::string> loadList(const std::string &projectFile)
{
    return numberedsection::read(projectFile, kListSection, kMaxTerms, kMaxStoredTerm, false);
}

bool saveList(const std::string &projectFile, const std::vector<std::string> &terms)
{
    return numberedsection::write(projectFile, kListSection, terms);
}

std::string domainListPath(const std::string &fileName) { return files::join(projectDirectory(), fileName); }

std::vector<std::string> readDomainList(const std::string &fileName)
{
    std::vector<std::string> domains;
    if (!isPlainProjectName(fileName) || fileName == "." || fileName == "..")
        return domains;
    const std::string path = domainListPath(fileName);
    const auto size = files::size(path);
    std::string content;
    if (!size || *size > kMaxDomainFile || !files::read(path, content))
        return domains;
    std::size_t from = 0;
    while (from < content.size() && domains.size() < kMaxDomains) {
        const std::size_t end = content.find('\n', from);
        std::string line = content.substr(from, end == std::string::npos ? std::string::npos : end - from);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        domains.push_back(line.substr(0, kMaxDomain));
        if (end == std::string::npos)
            break;
        from = end + 1;
    }
    return domains;
}

} // namespace vantor::positionterms
