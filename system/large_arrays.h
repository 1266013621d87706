// SPDX-License-Identifier: GPL-3.0-or-later
// Arrays of a whole system (a million segments make arrays of tens to
// hundreds of megabytes) on large memory pages where the kernel offers them
// on request. With 4 KiB pages, merely touching such an array for the first
// time costs a page fault every 4 KiB, and walking it in tree order misses
// the address cache at every step; both took a third of the time of a large
// system. Small arrays, and systems without such pages, are unchanged.
#pragma once

#include <cstddef>
#include <new>
#include <vector>

namespace ductsys {

// Asks the kernel to back the whole large pages inside [data, data + bytes)
// with large pages when first touched. Does nothing for a region smaller
// than two such pages, or where the request is not known.
void adviseLargePages(void* data, std::size_t bytes);

// std::allocator, with the advice given on every block large enough, before
// anything is written to it.
template <typename T>
struct LargeArrayAllocator {
    using value_type = T;

    LargeArrayAllocator() = default;
    template <typename U>
    LargeArrayAllocator(const LargeArrayAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) {
        T* data = std::allocator<T>{}.allocate(n);
        adviseLargePages(data, n * sizeof(T));
        return data;
    }
    void deallocate(T* data, std::size_t n) noexcept { std::allocator<T>{}.deallocate(data, n); }

    template <typename U>
    bool operator==(const LargeArrayAllocator<U>&) const noexcept {
        return true;
    }
};

template <typename T>
using LargeArray = std::vector<T, LargeArrayAllocator<T>>;

}  // namespace ductsys
