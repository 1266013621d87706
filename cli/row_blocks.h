// SPDX-License-Identifier: GPL-3.0-or-later
// The rows of a long listing formatted on the pool's lanes, block by block,
// and written in their order: for a system of a million segments, turning
// the figures into text is a quarter of the whole run.
#pragma once

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "system/work_pool.h"

namespace cli {

// Writes rows [0, count) to `out`. format(first, last, text) appends the
// lines of rows [first, last) to `text`; it is called from several lanes at
// once, on different rows, each block with a text of its own.
template <typename Format>
void writeRowsInBlocks(ductsys::WorkPool& pool, std::uint32_t count, const Format& format,
                       std::ostream& out) {
    // Large enough that handing a block to a lane is nothing beside it,
    // small enough that the texts in hand stay a few megabytes.
    constexpr std::uint32_t kBlock = 16384;
    struct alignas(ductsys::kCacheLine) Block {
        std::uint32_t first = 0, last = 0;
        std::string text;
    };
    std::vector<Block> blocks(pool.lanes());
    struct NoState {};
    std::vector<NoState> lanes(pool.lanes());
    for (std::uint32_t begin = 0; begin < count;) {
        std::size_t used = 0;
        for (; used < blocks.size() && begin < count; ++used) {
            blocks[used].first = begin;
            begin = std::min(count, begin + kBlock);
            blocks[used].last = begin;
            blocks[used].text.clear();
        }
        ductsys::forEachChunk(pool, std::span(blocks).first(used), 1, lanes,
                              [&format](std::span<Block> mine, NoState&) {
                                  for (Block& b : mine) format(b.first, b.last, b.text);
                              });
        for (std::size_t b = 0; b < used; ++b)
            out.write(blocks[b].text.data(), static_cast<std::streamsize>(blocks[b].text.size()));
    }
}

}  // namespace cli
