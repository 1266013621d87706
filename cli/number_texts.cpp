// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/number_texts.h"

#include <array>
#include <bit>
#include <charconv>

#include "calc/number_text.h"

namespace cli {

const std::string& NumberMemo::text(float x) {
    const auto bits = std::bit_cast<std::uint32_t>(x);  // so 0 and -0 stay apart
    // Fibonacci hashing: spreads values that differ only in their low bits.
    Slot& slot = slots_[(bits * 2654435761u) >> (32 - kBits)];
    if (!slot.filled || slot.bits != bits) {
        slot.bits = bits;
        slot.filled = true;
        slot.text = shortest_ ? calc::shortestText(x) : calc::bareNumberText(x);
    }
    return slot.text;
}

}  // namespace cli
