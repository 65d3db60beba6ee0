#pragma once

#include <string>

namespace vantor {

struct DoorwayTerms;
struct ProjectOptions;
struct ProjectRecord;
class RandomSource;
class RunLog;
struct StartSigns;

// What the steps that write head and hidden elements into one document need
// from the run. The run fills it once; the steps only read it and change the
// page they are given.
struct PageContext {
    const ProjectRecord *record = nullptr;
    const ProjectOptions *options = nullptr;
    const StartSigns *signs = nullptr;
    const DoorwayTerms *doorways = nullptr;
    RunLog *log = nullptr;
    RandomSource *random = nullptr;
    std::string lineEnd;
    std::string homepageFileName;  // as it stands in the record
    std::string homepageExtension; // without the dot
    // The homepage's address as the sitemap lists it (working text), for
    // canonical and og:url; empty when the project has no submission URL or
    // neither option asks for it.
    std::string homepageUrl;

    // The name of a doorway directory's index document, lower case.
    std::string doorwayDocumentName() const;
    // The file name of the file of a copy: sign of the variant and the name
    // of its term, with the homepage's extension.
    std::string copyFileName(int variant, const std::string &term) const;
    // The addresses, from the homepage's directory, of that file and of the
    // index document of a term's doorway directory, as links write them.
    std::string copyLink(int variant, const std::string &term) const;
    std::string doorwayLink(const std::string &term) const;
    // The slot of the first doorway term after slot i, -1 when none.
    int nextDoorwaySlot(int slot) const;
};

// Frames and the NOFRAMES section of one page. A hidden element may go into
// the body unless the page has frames and no complete NOFRAMES section.
struct FrameState {
    bool hasFrames = false;
    bool hasNoframes = false;
    bool forbidsHidden() const { return hasFrames && !hasNoframes; }
};

} // namespace vantor
