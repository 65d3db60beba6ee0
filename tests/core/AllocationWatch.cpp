#include "AllocationWatch.h"

#include <atomic>
#include <cstdlib>
#include <malloc.h>
#include <new>

namespace {

std::atomic<std::size_t> g_failFrom{0}; // 0: nothing fails
std::atomic<int> g_spared{0};
std::atomic<int> g_failures{0};

std::atomic<bool> g_following{false};
std::atomic<long long> g_held{0};
std::atomic<long long> g_peak{0};

void *allocate(std::size_t size)
{
    const std::size_t failFrom = g_failFrom.load(std::memory_order_relaxed);
    if (failFrom != 0 && size >= failFrom && g_spared.fetch_sub(1) <= 0) {
        g_failures.fetch_add(1);
        throw std::bad_alloc();
    }
    void *p = std::malloc(size == 0 ? 1 : size);
    if (!p)
        throw std::bad_alloc();
    if (g_following.load(std::memory_order_relaxed)) {
        const long long held = g_held.fetch_add(static_cast<long long>(::malloc_usable_size(p)))
            + static_cast<long long>(::malloc_usable_size(p));
        long long peak = g_peak.load();
        while (held > peak && !g_peak.compare_exchange_weak(peak, held)) {
        }
    }
    return p;
}

void release(void *p) noexcept
{
    if (!p)
        return;
    // Blocks from before the watch began lower the count below its start;
    // the peak is counted from the start all the same.
    if (g_following.load(std::memory_order_relaxed))
        g_held.fetch_sub(static_cast<long long>(::malloc_usable_size(p)));
    std::free(p);
}

} // namespace

// Every plain form is replaced, so that no block meets a delete of another
// allocator (the sanitizers would stop on that); the aligned forms stay the
// library's, among themselves.
void *operator new(std::size_t size) { return allocate(size); }
void *operator new[](std::size_t size) { return allocate(size); }
void *operator new(std::size_t size, const std::nothrow_t &) noexcept
{
    try {
        return allocate(size);
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}
void *operator new[](std::size_t size, const std::nothrow_t &tag) noexcept { return operator new(size, tag); }
void operator delete(void *p) noexcept { release(p); }
void operator delete[](void *p) noexcept { release(p); }
void operator delete(void *p, std::size_t) noexcept { release(p); }
void operator delete[](void *p, std::size_t) noexcept { release(p); }
void operator delete(void *p, const std::nothrow_t &) noexcept { release(p); }
void operator delete[](void *p, const std::nothrow_t &) noexcept { release(p); }

namespace vantor::testing {

AllocationFailure::AllocationFailure(std::size_t minimumSize, int spared)
{
    g_failures = 0;
    g_spared = spared;
    g_failFrom = minimumSize;
}

AllocationFailure::~AllocationFailure() { g_failFrom = 0; }

int AllocationFailure::failures() const { return g_failures; }

AllocationPeak::AllocationPeak()
{
    g_held = 0;
    g_peak = 0;
    g_following = true;
}

AllocationPeak::~AllocationPeak() { g_following = false; }

std::size_t AllocationPeak::peak() const { return static_cast<std::size_t>(g_peak.load()); }

} // namespace vantor::testing
