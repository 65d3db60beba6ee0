#pragma once

#include <string>
#include <vector>

namespace vantor {

// The titles and descriptions of every page of a site as result lists
// would show them, with what is wrong with them: missing, too long for a
// desktop list, or a title another page has too. Texts are cp1252.
namespace sitesnippets {

struct Row {
    std::string page; // below the homepage's directory, '/' between parts
    double titleWidth = 0;
    double descriptionWidth = 0;
    std::vector<std::string> findings;
};

// The pages "Komplett" of the submission takes (the project's extensions,
// or the defaults), in its order.
std::vector<Row> survey(const std::string &homepagePath, const std::vector<std::string> &extensions,
                        int startSigns);

// The table (RFC 4180, UTF-8 with byte-order mark): page, widths rounded,
// findings separated by "; ".
std::string csv(const std::vector<Row> &rows);

} // namespace sitesnippets

} // namespace vantor
