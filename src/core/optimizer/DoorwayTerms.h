#pragma once

#include <array>
#include <string>

namespace vantor {

// The terms a run makes doorway pages for: the homepage, copy and doorway
// terms of the project in one list, each with the number of its template.
struct DoorwayTerms {
    static constexpr int kSlots = 315;
    static constexpr std::size_t kTermLength = 150;

    struct Slot {
        std::string term; // empty: no doorway page for this slot
        int templateNumber = 0;
    };
    std::array<Slot, kSlots> slots{};
    // The slots of the longest and the shortest term made, for the example
    // buttons; -1 while none.
    int longest = -1;
    int shortest = -1;

    bool empty() const;
};

} // namespace vantor
