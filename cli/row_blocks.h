// SPDX-License-Identifier: GPL-3.0-or-later
// The rows of a long listing formatted on two threads, block by block, and
// written in their order: for a system of a million segments, turning the
// figures into text is a quarter of the whole run.
#pragma once

#include <algorithm>
#include <cstdint>
#include <future>
#include <ostream>
#include <string>

namespace cli {

// Writes rows [0, count) to `out`. format(first, last, text) appends the
// lines of rows [first, last) to `text`; it is called from two threads at
// once, on different rows.
template <typename Format>
void writeRowsInBlocks(std::uint32_t count, const Format& format, std::ostream& out) {
    // Large enough that starting a thread is nothing beside it, small enough
    // that the two texts in hand stay a few megabytes.
    constexpr std::uint32_t kBlock = 16384;
    std::string first, second;
    for (std::uint32_t begin = 0; begin < count; begin += 2 * kBlock) {
        const std::uint32_t middle = std::min(count, begin + kBlock);
        const std::uint32_t end = std::min(count, middle + kBlock);
        first.clear();
        second.clear();
        if (middle < end) {
            auto other = std::async(std::launch::async, [&] { format(middle, end, second); });
            format(begin, middle, first);
            other.get();
        } else {
            format(begin, middle, first);
        }
        out.write(first.data(), static_cast<std::streamsize>(first.size()));
        out.write(second.data(), static_cast<std::streamsize>(second.size()));
    }
}

}  // namespace cli
