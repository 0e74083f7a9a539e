// The counting replacement of the global operator new and its operator delete.
// Kept in a file of its own so that no caller sees both halves inlined together.
#include "tests/allocation_count.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<long> count{0};
std::atomic<long> failing{0}; // the number of the allocation that fails; 0: none

void* allocate(std::size_t size) {
    if (count.fetch_add(1, std::memory_order_relaxed) + 1 == failing.load()) {
        return nullptr;
    }
    return std::malloc(size == 0 ? 1 : size);
}

} // namespace

long allocationCount() {
    return count.load(std::memory_order_relaxed);
}

void failAllocation(long nth) {
    failing = nth > 0 ? count.load() + nth : 0;
}

// Nothing in the device asks for over-aligned memory, so the aligned forms stay
// the library's.
void* operator new(std::size_t size) {
    if (void* memory = allocate(size)) {
        return memory;
    }
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return allocate(size);
}
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete[](void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
    std::free(memory);
}
void operator delete(void* memory, const std::nothrow_t&) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, const std::nothrow_t&) noexcept {
    std::free(memory);
}
