#pragma once

#include <ctime>
#include <string>
#include <vector>

namespace vantor {

namespace guidelines {
struct Technique;
}

class RunLog;
class Ui;
struct DoorwayTerms;
struct ProjectOptions;
struct ProjectRecord;

// Everything the report of a run is made from.
struct ReportInput {
    const ProjectRecord *record = nullptr;
    const ProjectOptions *options = nullptr;
    const DoorwayTerms *doorways = nullptr;
    const RunLog *log = nullptr;
    std::string programDirectory; // where back.gif lies
    std::string lineEnd;
    bool withProjectData = true;
    bool withConfigData = true;
    std::tm when{};
};

// The techniques of this run that today's guidelines call risky, in the
// order of the guidelines table.
std::vector<const guidelines::Technique *> riskyTechniquesUsed(const RunLog &log);

// The heading of the guidelines block and the lines that end it (cp1252), as
// the report page and the command line show them.
std::string guidelinesHeading();
std::string guidelinesNone();
std::string guidelinesIntro();
std::string guidelinesRemedy();

// The report page, without its closing NUL byte.
std::string buildReport(const ReportInput &input);

// Writes the report with the NUL byte after it; shows "Fehler Code 6001" or
// "Fehler Code 6002" when that fails.
bool writeReportFile(const std::string &path, const std::string &report, Ui &ui);

// The copy the user saves elsewhere: it refers to a back.gif beside itself,
// which is copied there unless one is there already.
std::string reportCopyText(const std::string &report);
bool saveReportCopy(const std::string &report, const std::string &path, const std::string &programDirectory,
                    Ui &ui);

} // namespace vantor
