#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vantor::numberedsection {

// A list kept in a section of the project file as keys 1, 2, 3, …: read
// up to the first missing key (or empty value, with stopAtEmpty), at most
// `most` values, each cut to `capacity` characters.
std::vector<std::string> read(const std::string &projectFile, const std::string &section, std::size_t most,
                              std::size_t capacity, bool stopAtEmpty);
// Empties the section and writes the list anew, in one pass over the file
// under its lock.
bool write(const std::string &projectFile, const std::string &section, const std::vector<std::string> &values);

} // namespace vantor::numberedsection
