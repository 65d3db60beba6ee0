#include "DefinitionText.h"

#include "net/DataFile.h"
#include "platform/Text.h"

#include <vector>

namespace vantor::demo {

bool DefinitionText::toDataText(std::string_view utf8, std::string &text, Problem &problem)
{
    text.clear();
    struct Entry {
        std::size_t line;
        std::size_t at;
        std::string name;
    };
    std::vector<Entry> entries;
    std::size_t number = 0;
    while (!utf8.empty()) {
        ++number;
        const std::size_t end = utf8.find('\n');
        std::string_view line = utf8.substr(0, end);
        utf8.remove_prefix(end == std::string_view::npos ? utf8.size() : end + 1);
        // A checkout with CR LF line ends must pack to the same file.
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || line.front() == '#')
            continue;
        const auto fail = [&](std::string what) {
            problem = {number, std::move(what)};
            text.clear();
            return false;
        };
        if (!fitsCp1252(line))
            return fail("Zeichen, das es in cp1252 nicht gibt / character without a cp1252 byte");
        const std::string entry = toCp1252(line);
        const std::size_t equals = entry.find('=');
        const std::size_t dot = entry.find('.');
        if (equals == std::string::npos || dot == std::string::npos || dot == 0 || dot + 1 >= equals)
            return fail("keine Zeile <SECTION>.<KEY>=<value> / not a <SECTION>.<KEY>=<value> line");
        if (equals + 1 > DataFile::kMaxName)
            return fail("Name zu lang / name too long");
        // The lookup takes kMaxEntry characters and needs the CR LF in them.
        if (entry.size() + 2 > DataFile::kMaxEntry)
            return fail("Zeile zu lang / line too long");
        entries.push_back({number, text.size(), entry.substr(0, equals + 1)});
        text += entry;
        text += "\r\n";
    }
    for (const Entry &entry : entries) {
        const std::size_t first = text.find(entry.name);
        if (first != entry.at) {
            problem = {entry.line, "wird nie gefunden, eine frühere Zeile enthält schon \"" + toUtf8(entry.name)
                                       + "\" / never found, an earlier line holds the same name"};
            text.clear();
            return false;
        }
    }
    return true;
}

} // namespace vantor::demo
