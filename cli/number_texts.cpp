// SPDX-License-Identifier: GPL-3.0-or-later
#include "number_texts.h"

#include <array>
#include <bit>
#include <charconv>

#include "number_text.h"

namespace cli {

std::string shownNumber(float x) { return calc::bareNumberText(x); }

const std::string& NumberMemo::text(float x) {
    const auto bits = std::bit_cast<std::uint32_t>(x);  // so 0 and -0 stay apart
    // Fibonacci hashing: spreads values that differ only in their low bits.
    Slot& slot = slots_[(bits * 2654435761u) >> (32 - kBits)];
    if (!slot.filled || slot.bits != bits) {
        slot.bits = bits;
        slot.filled = true;
        slot.text = shortest_ ? roundTripNumber(x) : shownNumber(x);
    }
    return slot.text;
}

std::string roundTripNumber(float x) {
    std::array<char, 32> buffer{};
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), x).ptr;
    return std::string(buffer.data(), end);
}

}  // namespace cli
