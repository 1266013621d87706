// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/large_arrays.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace ductsys {

void adviseLargePages(void* data, std::size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    // The x86-64 and arm64 (4 KiB base) size; where large pages are of
    // another size the kernel simply takes the whole ones inside the range.
    constexpr std::uintptr_t kLargePage = std::uintptr_t{2} << 20;
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (begin + kLargePage - 1) & ~(kLargePage - 1);
    const std::uintptr_t last = (begin + bytes) & ~(kLargePage - 1);
    if (bytes < 2 * kLargePage || last <= first) return;
    // Advice only: a kernel without large pages refuses it, and the memory
    // works as before.
    (void)madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
    (void)data;
    (void)bytes;
#endif
}

}  // namespace ductsys
