#pragma once

#include <string>

namespace vantor::research {

// Cuts the next term off an answer line. The line is shortened each time,
// so calling until false comes back takes every term of a run like
// <start>a<delim>b<delim>c<end>. A term may be empty; callers skip those.
// The line always gets shorter when a term comes back, so the calls end.
bool extractNextResult(std::string &line, const std::string &resultStart, const std::string &resultEnd,
                       const std::string &delimiter, std::string &term);

// What is left of a term as the services send it: tags stripped, entities
// and UTF-8 umlauts decoded, only letters and blanks kept.
std::string cleanResultText(std::string text);

} // namespace vantor::research
