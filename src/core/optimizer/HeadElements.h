#pragma once

#include "optimizer/PageContext.h"

#include <string>

namespace vantor {

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

// Deletes the page's META x in its four spellings and writes ours with the
// content right behind <HEAD...>.
void replaceMeta(const std::string &name, const std::string &content, const std::string &lineEnd,
                 std::string &page);

} // namespace vantor
