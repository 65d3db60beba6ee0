#pragma once

#include <cstddef>

namespace vantor::testing {

// The core tests replace the global operator new (AllocationWatch.cpp) so a
// test can watch what the engine allocates, or make it run out of memory at
// a chosen place. Without a watch in place, allocations are plain malloc.

// While one lives, the allocations of at least minimumSize bytes throw
// std::bad_alloc, after the first spared of them went through.
class AllocationFailure
{
public:
    explicit AllocationFailure(std::size_t minimumSize, int spared = 0);
    ~AllocationFailure();
    AllocationFailure(const AllocationFailure &) = delete;
    AllocationFailure &operator=(const AllocationFailure &) = delete;

    // How many allocations failed so far.
    int failures() const;
};

// While one lives, it follows the bytes held by allocations: peak() is the
// most held at any time beyond what was held when it started.
class AllocationPeak
{
public:
    AllocationPeak();
    ~AllocationPeak();
    AllocationPeak(const AllocationPeak &) = delete;
    AllocationPeak &operator=(const AllocationPeak &) = delete;

    std::size_t peak() const;
};

} // namespace vantor::testing
