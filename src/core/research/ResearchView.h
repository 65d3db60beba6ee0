#pragma once

#include <string>

namespace vantor {

// The two lists a research fills: what people type into search engines on
// the left, variants, synonyms and related terms on the right.
enum class ResearchList { Keywords = 0, Variants = 1 };

// Whoever shows a research while it runs: the dialog adds each row the
// moment it comes, the command line prints the lists at the end. Texts are
// cp1252.
class ResearchView
{
public:
    virtual ~ResearchView() = default;
    // Both lists are empty again.
    virtual void listsCleared() {}
    // A row at the end of a list, to be shown and scrolled to at once.
    virtual void rowAdded(ResearchList /*list*/, const std::string & /*text*/) {}
};

} // namespace vantor
