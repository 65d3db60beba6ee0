#pragma once

#include "position/PositionEngine.h"
#include "position/PositionOutcome.h"

#include <atomic>
#include <string>
#include <vector>

namespace vantor {

class HttpSession;

// One term at one engine: the pages of the engine's request read one after
// the other until the site turns up in a result entry. Runs on a worker
// thread; it writes nothing but its own fields and shows nothing.
struct PositionCheck {
    const PositionEngine *engine = nullptr;
    std::string term;
    // The entered domain first, then those of the domain list.
    const std::vector<std::string> *domains = nullptr;
    // Set when the run is aborted: requests on their way fail.
    const std::atomic<bool> *cancel = nullptr;

    // Filled by run(): the position, or the depth for "not among them".
    int count = 0;
    int depth = 0;
    // The path of the page the site was found on, and which of the domains
    // it was.
    std::string foundPath;
    std::string matchedDomain;

    PositionOutcome run(const HttpSession &session);
};

} // namespace vantor
