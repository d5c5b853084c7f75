// SPDX-License-Identifier: MIT
#include "HeapCount.h"

#include <cstdlib>
#include <new>

namespace {
thread_local long allocations = 0;
}

long heapAllocations() { return allocations; }

// The array, nothrow and aligned forms of the standard library end here or
// in aligned_alloc, and every form of delete frees with free().
void* operator new(std::size_t size)
{
    allocations++;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
