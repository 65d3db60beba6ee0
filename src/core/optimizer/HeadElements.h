#pragma once

#include "optimizer/PageContext.h"

#include <string>

namespace vantor {

class RunLog;

// The META elements, links and titles we write into the head of a page.
// Each element first takes the page's own element of the same name away, so
// a page optimised again keeps exactly one of each.

// The homepage: author, robots, generator, copyright and home link, with the
// warnings for a missing author.
void writeHomepageHeader(const PageContext &context, std::string &page);
// The homepage: description, keywords and title, with their warnings and To Do's.
void writeHomepageHtmlData(const PageContext &context, std::string &page);

// One file of a copy: copy number 1..9, variant 0, 1 or 2 for its first,
// second and third file.
void writeCopyHead(const PageContext &context, std::string &page, int copy, int variant);

// One doorway document: its term, the term's slot in the doorway list and
// variant 0 (index document) or 1 (term document).
void writeDoorwayHead(const PageContext &context, std::string &page, const std::string &term, int slot,
                      int variant);

// What the head elements of today's web put into pages: 1 for each element
// in one page, summed up by the run over its copies and doorway documents.
struct ModernHeadWritten {
    int canonical = 0;
    int viewport = 0;
    int lang = 0;
    int ogTitle = 0;
    int ogDescription = 0;
    int ogUrl = 0;

    ModernHeadWritten &operator+=(const ModernHeadWritten &other);
};

// canonical, viewport, lang="de" and Open Graph as the options cano, view,
// lang and ogtg ask. Our elements of an earlier run and the page's own
// canonical and og: elements are replaced; a viewport or language of the
// page's own stays. The homepage's step logs each element it writes.
ModernHeadWritten writeHomepageModernHead(const PageContext &context, std::string &page);
ModernHeadWritten writeCopyModernHead(const PageContext &context, std::string &page, int copy);
ModernHeadWritten writeDoorwayModernHead(const PageContext &context, std::string &page, const std::string &term);
// The lines for what went into several documents, e.g. "canonical eingefügt
// in 3 Kopien: URL"; nothing for elements that went into none.
void logModernHeadCounts(RunLog &log, const ModernHeadWritten &counts, const std::string &homepageUrl,
                         const std::string &oneDocument, const std::string &documents);

// Deletes the page's META x in its four spellings and writes ours with the
// content right behind <HEAD...>.
void replaceMeta(const std::string &name, const std::string &content, const std::string &lineEnd,
                 std::string &page);

} // namespace vantor
