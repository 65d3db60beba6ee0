#pragma once

#include "ui/Ui.h"

#include <new>
#include <utility>

namespace vantor {

// The text operations cannot hand a failed allocation back to their callers
// (a half-changed page is worse than none), so they end the program with the
// "Fehler Code 2007" box instead.
template <typename Operation>
decltype(auto) exitWhenOutOfMemory(Operation &&operation)
{
    try {
        return std::forward<Operation>(operation)();
    } catch (const std::bad_alloc &) {
        outOfMemoryExit();
    }
}

} // namespace vantor
