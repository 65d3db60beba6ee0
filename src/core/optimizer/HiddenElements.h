#pragma once

#include "optimizer/PageContext.h"

#include <string>
#include <string_view>

namespace vantor {

// The elements a browser does not show but a search engine reads: a heading
// of pseudo-tags, a comment heading, a hidden form and links round the 1x1
// image vantor.gif. Those of earlier runs are recognised by the marker qx!
// and the image name and go before the new ones are written.

// Looks for frames and repairs or makes the NOFRAMES section when repair is
// on. A page with frames and without a complete section afterwards gets the
// error line and its To Do; its hidden elements are left out.
FrameState repairFrames(const PageContext &context, std::string &page, bool repair);

// The homepage's hidden heading, links to the copies and doorway pages,
// hidden form and comment heading, in this order.
void writeHomepageHidden(const PageContext &context, std::string &page, const FrameState &frames);

// One file of a copy (copy 1..9, variant 0..2): frames, head and hidden
// elements. False when the page has frames and its NOFRAMES section cannot
// be made complete; the page may then be half done and is not to be kept.
bool optimizeCopyText(const PageContext &context, std::string &page, int copy, int variant);
// The hidden elements of a copy alone, at random places.
void writeCopyHidden(const PageContext &context, std::string &page, int copy, int variant,
                     const FrameState &frames);

// The hidden elements of a doorway document (term, its slot in the doorway
// list, variant 0 index document, 1 term document), at random places. Runs
// while the template's placeholders are still there.
void writeDoorwayHidden(const PageContext &context, std::string &page, const std::string &term, int slot,
                        int variant);

// Places an insertion by row r (0..14) of a placement table, trying its
// anchors in order and ending at </BODY. The tables of the copy heading, the
// other copy elements and of doorway documents are fixed here.
enum class Placement { CopyHeading, CopyForm, CopyComment, CopyLink, DoorwayHeading, DoorwayForm, DoorwayComment,
                       DoorwayLink };
bool placeElement(Placement table, int row, const std::string &insertion, std::string &page);

// Deletes the blocks from the open literal nearest before each marker (the
// open beginning fewer than reach bytes before it) through the first close
// after the marker. Unlike removeBlock it also finds our block when the page
// has a heading or form of its own further up. Returns how many went.
// Each block takes the line end directly before it (with lineEndBefore) and
// the one directly after it (with lineEndAfter) along, as we inserted it.
std::size_t removeMarkedBlocks(std::string_view open, std::string_view close, std::string_view marker,
                               std::string &page, std::size_t reach, std::string_view lineEnd = {},
                               bool lineEndBefore = false, bool lineEndAfter = false);

} // namespace vantor
