#pragma once

#include <string>
#include <string_view>

namespace vantor {

// What a result list takes from a page: its <title> and its META
// description, as the browser reads them (entities decoded, blanks
// collapsed). Texts are cp1252; what cp1252 cannot hold becomes '?',
// which is about as wide.
struct PageSnippet {
    bool hasTitle = false;
    std::string title;
    bool hasDescription = false;
    std::string description;

    // The head of a page in any of its encodings (UTF-8, cp1252, UTF-16).
    // Only the first kHeadLimit bytes are looked at: a head lies there, and
    // a page of 50 MB or of binary content costs no more than that.
    static PageSnippet read(std::string_view page);
    static constexpr std::size_t kHeadLimit = 256 * 1024;
};

} // namespace vantor
