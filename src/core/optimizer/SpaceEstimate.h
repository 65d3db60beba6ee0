#pragma once

#include <string>

namespace vantor {

struct ProjectRecord;

// How much disk space the documents of a run take, by kind of
// optimisation, in kB.
struct SpaceEstimate {
    int minimum = 0; // scope 0
    int middle = 0;  // scope 1
    int maximum = 0; // scope 2
    int copies = 0;  // copies whose first term is set

    int forScope(int scope) const;
    // The lower limits the dialog shows at least; the report goes without.
    SpaceEstimate withLowerLimits() const;

    bool operator==(const SpaceEstimate &) const = default;
};

// From the sizes of the homepage (8000 bytes when it cannot be opened) and of
// the template (5000 when missing) and the terms of the record.
SpaceEstimate estimateSpace(const ProjectRecord &record);
SpaceEstimate estimateSpace(const ProjectRecord &record, long long homepageSize, long long templateSize);

// What the dialog shows for a kind of optimisation.
struct SpaceDisplay {
    int kilobytes = 0; // rounded down to tens
    int bar = 0;       // 0..100
    std::string label; // the text beside the number
};
SpaceDisplay spaceDisplay(const SpaceEstimate &limited, int scope);

} // namespace vantor
