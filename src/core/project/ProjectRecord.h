#pragma once

#include "project/FixedText.h"

#include <array>

namespace vantor {

// The current project's data, in fixed slots. A list's used entries stand
// together from its first slot; an empty slot is an empty text.
struct ProjectRecord {
    static constexpr int kHomepageTerms = 30;
    static constexpr int kCopies = 9;
    static constexpr int kTermsPerCopy = 15;
    static constexpr int kDoorwayTerms = 150;
    static constexpr int kResearchEntries = 2000;
    static constexpr std::size_t kTermLength = 150;

    using Term = FixedText<kTermLength>;
    using Text = FixedText<999>;
    using LongText = FixedText<1499>;

    Text path;
    Text title1;
    Text title2;
    Text title3;
    FixedText<199> author;
    LongText description;
    Text startpage;
    int makedirs = 1;
    int deleteold = 1;
    int doorlikehp = 1;
    int scope = 1;

    std::array<Term, kHomepageTerms> homepageKeywords{};
    std::array<std::array<Term, kTermsPerCopy>, kCopies> copyKeywords{};
    std::array<Text, kCopies> copyTitles{};
    std::array<Text, kCopies> copyReserved{};
    std::array<LongText, kCopies> copyDescriptions{};
    std::array<Term, kDoorwayTerms> doorwayKeywords{};
    std::array<Term, kResearchEntries> researchList{};

    // Derived from path when the homepage is chosen; not stored.
    Text homepageDirectory;
    Text homepageFileName;
    Text homepageExtension;

    // Sets the three derived fields from path.
    void deriveHomepageFields();
};

// The one record of the running program.
ProjectRecord &projectRecord();

} // namespace vantor
