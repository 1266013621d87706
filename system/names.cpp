// SPDX-License-Identifier: GPL-3.0-or-later
#include "names.h"

#include <functional>

namespace ductsys {

std::uint32_t TextList::append(std::string_view text) {
    chars_ += text;
    starts_.push_back(chars_.size());
    return size() - 1;
}

void TextList::popBack() {
    starts_.pop_back();
    chars_.resize(starts_.back());
}

std::size_t TextIndex::hash(std::string_view text) { return std::hash<std::string_view>{}(text); }

std::uint32_t TextIndex::findOrInsert(const TextList& list, std::uint32_t index) {
    if (2 * (used_ + 1) > slots_.size()) grow(list);
    const std::string_view text = list[index];
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = hash(text) & mask;; at = (at + 1) & mask) {
        const std::uint32_t there = slots_[at];
        if (there == kNone) {
            slots_[at] = index;
            ++used_;
            return index;
        }
        if (list[there] == text) return there;
    }
}

void TextIndex::grow(const TextList& list) {
    std::vector<std::uint32_t> old(slots_.empty() ? 0 : slots_.size());
    old.swap(slots_);
    slots_.assign(old.empty() ? 64 : 2 * old.size(), kNone);
    const std::size_t mask = slots_.size() - 1;
    for (std::uint32_t index : old) {
        if (index == kNone) continue;
        std::size_t at = hash(list[index]) & mask;
        while (slots_[at] != kNone) at = (at + 1) & mask;
        slots_[at] = index;
    }
}

}  // namespace ductsys
