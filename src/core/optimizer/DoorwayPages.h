#pragma once

#include "optimizer/DoorwayTerms.h"

#include <string>
#include <vector>

namespace vantor {

struct PageContext;
struct ProjectRecord;

// The doorway term list of a run: the homepage terms in their own slots
// (unless left out), then the copy terms and the doorway terms one after the
// other. Each entry is the term before its '#', with the template number
// after it; a term whose name is that of an entry before it is left out, and
// so is one that gives no usable name at all (it goes to unusable, so that
// the run can say so).
DoorwayTerms buildDoorwayTerms(const ProjectRecord &record, bool withHomepageTerms,
                               std::vector<std::string> &unusable);

// The template files of template number k, relative to the homepage
// directory.
std::string indexTemplateName(int templateNumber);
std::string termTemplateName(int templateNumber, bool specialTermTemplate);

// Fills one doorway document (variant 0 index, 1 term document) copied from
// its template: head, text blocks, placeholders and hidden elements.
// textBlocks is the text of Textbausteine.txt, empty when there is none.
// False when the document cannot be finished; the messages are logged.
bool fillDoorwayDocument(const PageContext &context, std::string &page, const std::string &term, int slot,
                         int variant, const std::string &textBlocks);

} // namespace vantor
