#include "optimizer/DoorwayTerms.h"

#include <algorithm>

namespace vantor {

bool DoorwayTerms::empty() const
{
    return std::all_of(slots.begin(), slots.end(), [](const Slot &slot) { return slot.term.empty(); });
}

} // namespace vantor
