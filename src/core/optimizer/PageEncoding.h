#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vantor {

// The encodings the pages of a site come in: the cp1252 the engine works in,
// and the UTF-8 of most sites today.
enum class Charset { Cp1252, Utf8 };

// Pages saved as UTF-16 by some editors: they are read through UTF-8 and
// written back in their own byte order with the byte-order mark.
enum class Utf16 { None, LittleEndian, BigEndian };

// How one page is encoded, and how it says so.
struct PageEncoding {
    Charset charset = Charset::Cp1252;
    // Set for a UTF-16 page; charset is then UTF-8, the form it is read in.
    Utf16 utf16 = Utf16::None;
    bool byteOrderMark = false;
    // What the head declares (<meta charset>, http-equiv content type), if
    // anything we know.
    bool declared = false;
    Charset declaredCharset = Charset::Cp1252;
    // The page declares one encoding and its bytes say the other.
    bool mismatch = false;
};

// Decides a page's encoding: a UTF-8 byte-order mark, else what its head
// declares, else UTF-8 when the bytes are valid UTF-8 with at least one
// multi-byte sequence, else cp1252.
PageEncoding detectEncoding(std::string_view page);

// "UTF-8" or "Windows-1252", for the run's report.
const char *charsetName(Charset charset);
// The same for a whole encoding, "UTF-16" included.
const char *encodingName(const PageEncoding &encoding);

// A UTF-16 page: by its byte-order mark, or by the NUL byte beside the "<"
// that every page starts with.
Utf16 detectUtf16(std::string_view page);
// The page as UTF-8, without its byte-order mark; a broken surrogate becomes
// U+FFFD.
std::string utf16ToUtf8(std::string_view page, Utf16 order);
// UTF-8 text as UTF-16 with the byte-order mark.
std::string utf8ToUtf16(std::string_view text, Utf16 order);

// The engine edits every page as cp1252 text, so that the project's texts go
// in as they are and its terms are found in the page. A UTF-8 page is turned
// into that working text and back when it is written; what cp1252 cannot
// hold (and any byte that is no valid UTF-8) stands in the working text as a
// short run of the bytes cp1252 leaves undefined, which no anchor, term or
// markup ever contains, and comes back unchanged. One table serves a whole
// run, so a text block read from one file can go into any page.
class WorkingText
{
public:
    // The page's bytes as working text (the byte-order mark dropped).
    std::string fromPage(std::string_view page, const PageEncoding &encoding);
    // Working text as the bytes of a page in that encoding. Characters a
    // cp1252 page cannot hold are written as character references.
    std::string toPage(std::string_view text, const PageEncoding &encoding) const;
    // Working text as cp1252 for the project record: what cp1252 cannot hold
    // becomes '?', and lost is set.
    std::string toRecord(std::string_view text, bool &lost) const;

private:
    std::string escape(std::string original);
    // The original bytes of the escape at text[i], and its length; 0 when
    // there is none.
    std::size_t unescape(std::string_view text, std::size_t i, const std::string *&original) const;

    std::vector<std::string> m_originals;
};

} // namespace vantor
