// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/names.h"

#include <algorithm>

#include <functional>

namespace ductsys {

std::vector<char32_t> codePoints(std::string_view text) {
    std::vector<char32_t> out;
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        char32_t code = len == 1 ? c : c & (0x7Fu >> len);
        for (std::size_t k = 1; k < len && i + k < text.size(); ++k)
            code = code << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3Fu);
        out.push_back(code);
        i += len;
    }
    return out;
}

std::size_t editDistance(std::string_view as, std::string_view bs) {
    const std::vector<char32_t> a = codePoints(as), b = codePoints(bs);
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
    for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t change = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + change});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    }
    return d[a.size()][b.size()];
}

std::uint32_t TextList::append(std::string_view text) {
    chars_.insert(chars_.end(), text.begin(), text.end());
    starts_.push_back(chars_.size());
    return size() - 1;
}

void TextList::popBack() {
    starts_.pop_back();
    chars_.resize(starts_.back());
}

std::uint64_t TextIndex::hash(std::string_view text) { return std::hash<std::string_view>{}(text); }

void TextIndex::reserve(std::size_t count) {
    std::size_t slots = 64;
    while (slots < 2 * count) slots *= 2;
    if (slots > slots_.size()) grow(slots);
}

std::uint32_t TextIndex::findOrInsert(const TextList& list, std::uint32_t index) {
    if (2 * (used_ + 1) > slots_.size()) grow(slots_.empty() ? 64 : 2 * slots_.size());
    const std::string_view text = list[index];
    const std::uint64_t h = hash(text);
    const std::uint64_t tag = h & 0xFFFFFFFF00000000u;
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = (h >> 32) & mask;; at = (at + 1) & mask) {
        const std::uint64_t slot = slots_[at];
        if (slot == kEmpty) {
            slots_[at] = tag | index;
            ++used_;
            return index;
        }
        if ((slot & 0xFFFFFFFF00000000u) == tag) {
            const auto there = static_cast<std::uint32_t>(slot);
            if (list[there] == text) return there;
        }
    }
}

void TextIndex::grow(std::size_t slots) {
    LargeArray<std::uint64_t> old(slots, kEmpty);
    old.swap(slots_);
    const std::size_t mask = slots_.size() - 1;
    for (std::uint64_t slot : old) {
        if (slot == kEmpty) continue;
        // A slot's place comes from the high half of its hash, which the slot
        // keeps: no text is read again.
        std::size_t at = (slot >> 32) & mask;
        while (slots_[at] != kEmpty) at = (at + 1) & mask;
        slots_[at] = slot;
    }
}

}  // namespace ductsys
