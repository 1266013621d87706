// SPDX-License-Identifier: GPL-3.0-or-later
// Names of segments and nodes, kept in one block of characters and found by
// a hash table of indices: a system of a million segments holds two million
// names, and a string or a map entry of its own for each would cost more
// than the figures.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "system/large_arrays.h"

namespace ductsys {

// The characters of a UTF-8 text, for the distance between names.
std::vector<char32_t> codePoints(std::string_view text);

// The edit distance of two names over their characters: a character left
// out, added or changed, or two neighbours swapped, each count one
// ("lenght" and "风亮" are one from "length" and "风量").
std::size_t editDistance(std::string_view a, std::string_view b);

// No segment, no node.
inline constexpr std::uint32_t kNone = 0xFFFFFFFFu;

// Texts appended one after another, each found by its index.
class TextList {
public:
    std::uint32_t append(std::string_view text);
    void popBack();
    std::string_view operator[](std::uint32_t index) const {
        return std::string_view(chars_.data() + starts_[index],
                                starts_[index + 1] - starts_[index]);
    }
    std::uint32_t size() const { return static_cast<std::uint32_t>(starts_.size() - 1); }
    void reserve(std::size_t count, std::size_t chars) {
        starts_.reserve(count + 1);
        chars_.reserve(chars);
    }
    bool operator==(const TextList&) const = default;

private:
    LargeArray<char> chars_;
    LargeArray<std::size_t> starts_{0};
};

// Finds equal texts in a TextList: open addressing over indices, each slot
// holding part of its text's hash beside the index, so that a lookup reads
// the characters only of texts whose hash matches.
class TextIndex {
public:
    // The index of the first text in `list` equal to list[index], entering
    // `index` when there is none (it is then returned).
    std::uint32_t findOrInsert(const TextList& list, std::uint32_t index);
    // Room for `count` texts without growing.
    void reserve(std::size_t count);
    // Starts reading the slot where `text` would be looked up: a table of a
    // million names is far larger than the processor's caches.
    void prefetch(std::string_view text) const {
        if (!slots_.empty()) __builtin_prefetch(&slots_[(hash(text) >> 32) & (slots_.size() - 1)]);
    }

private:
    void grow(std::size_t slots);
    static std::uint64_t hash(std::string_view text);

    static constexpr std::uint64_t kEmpty = ~std::uint64_t{0};
    // The high half of the text's hash (which also places the slot) and the
    // index in the low half.
    LargeArray<std::uint64_t> slots_;
    std::size_t used_ = 0;
};

}  // namespace ductsys
