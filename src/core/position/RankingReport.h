#pragma once

#include "submit/SubmitReport.h"

#include <string>
#include <vector>

namespace vantor {

// The ranking report ("HTML-Format" of the position dialog): the found
// positions of a run's report list, each linked to its result page.
namespace rankingreport {

// "Positions-Report" in the homepage's directory, without extension.
std::string defaultFile(const std::string &homepagePath);

// The page, cp1252. Lines of the report list that hold a found position
// become links, in list order; all others are left out.
std::string html(const std::vector<std::string> &report, const std::string &domain, const submitreport::Stamp &stamp);

} // namespace rankingreport

} // namespace vantor
