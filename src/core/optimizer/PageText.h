#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vantor {

// The optimiser never parses HTML: every change to a page (homepage, copy,
// doorway page, template, report) is one of these literal operations on the
// whole file held as cp1252 bytes. Matching is byte-exact, "first" always
// means the first occurrence from the start of the page, and the page comes
// last. They return true when they changed the page and false when their
// anchor was missing, in which case the page is untouched; a missing anchor
// is no error, the caller decides what it means. An empty pattern, anchor or
// needle never counts as found.
//
// Running out of memory ends the program through outOfMemoryExit().

bool replaceFirst(const std::string &replacement, const std::string &pattern, std::string &text);

// Replaces until the pattern no longer occurs anywhere, so replacements that
// complete a new match with their neighbours are replaced as well ("aa" by "a"
// turns "aaaa" into "a"). A replacement that holds the pattern itself would
// never finish that way; it gets one left-to-right pass instead. Always true.
bool replaceAll(const std::string &replacement, const std::string &pattern, std::string &text);

bool insertBefore(const std::string &insertion, const std::string &anchor, std::string &text);
bool insertAfter(const std::string &insertion, const std::string &anchor, std::string &text);

// Inserts right after the '>' that closes the first "<HEAD" (upper case only;
// see upperCaseHeadBody).
bool insertAfterHeadTag(const std::string &insertion, std::string &text);

// Deletes from the first start through the first end. False when the first
// end stands before the first start; an end overlapping the start counts.
bool cutBetween(const std::string &start, const std::string &end, std::string &text);

// The removals below that take a line end take away an element we insert
// together with the line end we insert it with, so that run after run
// leaves no empty lines behind. A line end that is not there is no matter
// (the user may have joined the lines). The element is followed by its
// line end, or, for the elements that stand on lines of their own in the
// body, stands between two. An element that had a line to itself, indented
// or not, takes that whole line with it; the user's own blank lines stay.
bool cutBetween(const std::string &start, const std::string &end, std::string &text, const std::string &lineEnd);

// Deletes the smallest open...close stretch around the first needle, e.g.
// the whole tag that holds NAME="author". The close may be the needle's last
// byte and the open its first.
bool removeEnclosing(char open, char close, const std::string &needle, std::string &text);
bool removeEnclosing(char open, char close, const std::string &needle, std::string &text,
                     const std::string &lineEnd);

// Deletes the first open...close block of the page, but only when the anchor
// lies inside it and the block begins fewer than reach bytes before the
// anchor. An earlier block without the anchor protects a later one: we only
// ever clean up what our own last run put first.
bool removeBlock(const std::string &open, const std::string &close, const std::string &anchor, std::string &text,
                 int reach);

// Deletes from an open byte at most 20 bytes before the needle, through the
// first inner byte after it, on to the next '>'. Made for the comment heading
// <H1><!--qx! ... --></H1>: the inner '>' ends the comment, the next one the
// heading.
bool removeElement(char open, char inner, const std::string &needle, std::string &text);
// The same for an element between two line ends.
bool removeElement(char open, char inner, const std::string &needle, std::string &text,
                   const std::string &lineEnd);

// Deletes the hidden link an earlier run wrapped round vantor.gif.
bool removeTrackingLink(std::string &text);

// The page removeTrackingLink leaves when called until it returns false, and
// how many times it returned true; without going over the whole page once
// per link.
std::size_t removeAllTrackingLinks(std::string &text);
// The same with the line ends the links were inserted with: the one before
// each link, and for a link into a doorway directory, which has a line of
// its own, the one after it as well.
std::size_t removeAllTrackingLinks(std::string &text, const std::string &lineEnd);

// Deletes [first, end) of the text and the line ends around it that came
// with it (see above): one directly before it when before is set, one
// directly after it when after is set.
void eraseWithLineEnds(std::string &text, std::size_t first, std::size_t end, const std::string &lineEnd,
                       bool before, bool after);

// Deletes every <...> stretch of at most 200 bytes. A '<' without '>' in the
// next 199 bytes loses itself and the byte after it; when the page ends
// before 199 bytes are seen, the rest stays as it is.
bool stripTags(std::string &text);

// The same for &...; with a reach of 6 bytes.
bool stripEntities(std::string &text);

// How many needles stand directly in a row in the visible text (tags,
// entities, blanks and line breaks do not separate them), at most 20. True
// when the needle occurs at all.
bool countRepeats(const std::string &needle, const std::string &text, int &count);

// Where the first tag of this name stands, written in whatever case: tag is
// "<head", "</head", "<body" or the like, and the name has to end there
// (a blank, '>', '/' or the end of the page follows), so that <header> is
// no <head>. npos when there is none.
std::size_t findTag(std::string_view text, std::string_view tag);
inline bool hasTag(std::string_view text, std::string_view tag) { return findTag(text, tag) != std::string::npos; }

// Rewrites the first head and body tags and their end tags to upper case,
// however the page spells them, so later steps need only look for "<HEAD",
// "</HEAD", "<BODY" and "</BODY".
bool upperCaseHeadBody(std::string &text);

} // namespace vantor
