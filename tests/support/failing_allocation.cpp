#include "tests/support/failing_allocation.h"

#include <new>

namespace {

// Single-threaded tests: plain variables are enough.
bool g_armed = false;
bool g_fired = false;
std::size_t g_size = 0;

}  // namespace

FailingArrayAllocation::FailingArrayAllocation(std::size_t size)
{
    g_size = size;
    g_fired = false;
    g_armed = true;
}

FailingArrayAllocation::~FailingArrayAllocation() { g_armed = false; }

bool FailingArrayAllocation::Fired() const { return g_fired; }

// Replacements of the array forms; the scalar forms stay the library's.
void* operator new[](std::size_t size)
{
    if (g_armed && size == g_size) {
        g_armed = false;
        g_fired = true;
        throw std::bad_alloc();
    }
    return ::operator new(size);
}

void operator delete[](void* block) noexcept { ::operator delete(block); }

void operator delete[](void* block, std::size_t) noexcept { ::operator delete(block); }
