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

namespace ductsys {

// No segment, no node.
inline constexpr std::uint32_t kNone = 0xFFFFFFFFu;

// Texts appended one after another, each found by its index.
class TextList {
public:
    std::uint32_t append(std::string_view text);
    void popBack();
    std::string_view operator[](std::uint32_t index) const {
        return std::string_view(chars_).substr(starts_[index], starts_[index + 1] - starts_[index]);
    }
    std::uint32_t size() const { return static_cast<std::uint32_t>(starts_.size() - 1); }
    void reserve(std::size_t count) { starts_.reserve(count + 1); }

private:
    std::string chars_;
    std::vector<std::size_t> starts_{0};
};

// Finds equal texts in a TextList: open addressing over indices, so that a
// lookup compares characters only with texts of the same hash.
class TextIndex {
public:
    // The index of the first text in `list` equal to list[index], entering
    // `index` when there is none (it is then returned).
    std::uint32_t findOrInsert(const TextList& list, std::uint32_t index);

private:
    void grow(const TextList& list);
    static std::size_t hash(std::string_view text);

    std::vector<std::uint32_t> slots_;
    std::size_t used_ = 0;
};

}  // namespace ductsys
