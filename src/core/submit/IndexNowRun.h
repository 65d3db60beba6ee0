#pragma once

#include "submit/IndexNow.h"
#include "submit/SubmitDocuments.h"

#include <string>
#include <vector>

namespace vantor {

class SubmitView;
class Ui;

// IndexNow as a target of the submission dialog: offered beside the engines
// as "IndexNow: <host>", run after them, with a line per document in a
// slot's list and a line per request in the report.
namespace indexnowrun {

extern const char *const kTargetPrefix; // "IndexNow: "

struct Offered {
    std::string target; // "IndexNow: api.indexnow.org"
    std::string endpoint;
};
// The shared endpoint of the protocol, and the demo server's when the
// program talks to one on this machine.
std::vector<Offered> offered();
bool isTarget(const std::string &target);

struct Input {
    std::string projectFile;
    std::string homepagePath;
    std::string submissionUrl;
    std::string scheme = "https";
    submitdocs::Mode mode = submitdocs::Mode::Optimal;
    std::vector<std::string> extensions;
    // The chosen "IndexNow: …" targets; each is looked up in offered().
    std::vector<std::string> targets;
    bool allDocuments = false;
};

// Key, key file, the changed documents and the requests; the requests go
// out on a thread of their own while ui keeps the window alive. Lines are
// added to report and advice as the engines' lines are. False when nothing
// could be sent (the reason was shown) or a request was not accepted.
bool run(const Input &input, Ui &ui, SubmitView &view, std::vector<std::string> &report,
         std::vector<std::string> &advice);

} // namespace indexnowrun

} // namespace vantor
