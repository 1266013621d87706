// SPDX-License-Identifier: GPL-3.0-or-later
// A column's number texts, kept for the values that repeat.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace cli {

// calc::bareNumberText of the values of one column, kept for the rows that repeat
// them: a run's lengths and coefficients come from a short list, and the
// seven-digit conversion is the costliest step of a row. Direct-mapped, so a
// lookup costs one comparison. One per column rather than calc's
// recurringNumberText, which every recalculation on the thread shares for
// its sizes: there a column's few values would compete with those for slots.
class NumberMemo {
public:
    const std::string& text(float x);
    // Texts as calc::shortestText writes them rather than calc::bareNumberText.
    void setShortest(bool shortest) {
        if (shortest == shortest_) return;
        shortest_ = shortest;
        for (Slot& slot : slots_) slot.filled = false;
    }

private:
    static constexpr int kBits = 9;
    struct Slot {
        std::uint32_t bits = 0;
        bool filled = false;
        std::string text;
    };
    std::array<Slot, std::size_t{1} << kBits> slots_{};
    bool shortest_ = false;
};

}  // namespace cli
