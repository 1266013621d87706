// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/tables.h"

#include <cmath>
#include <limits>

#include "calc/calc_state.h"
#include "calc/number_reading.h"
#include "calc/number_text.h"

namespace calc {

std::optional<float> flowFactorOf(std::string_view text) {
    for (const FlowUnit& unit : flowUnits)
        if (unit.text == text) return unit.factor;
    return std::nullopt;
}

float materialRoughness(int index) {
    // Read once: a table asks for it on every row.
    static const std::array<float, materials.size()> roughness = [] {
        std::array<float, materials.size()> k{};
        for (std::size_t i = 0; i < materials.size(); ++i) storeText(k[i], materials[i].defaultK);
        return k;
    }();
    return roughness[static_cast<std::size_t>(index)];
}

std::string scrollKText(int n, int divisor) {
    return plainDecimalText(static_cast<double>(n) / divisor);
}

CustomK customK(std::string_view text) {
    // A number too large for a double or a single compares as the infinity of
    // its sign: far above the upper limit, or far below the lower one.
    constexpr float inf = std::numeric_limits<float>::infinity();
    const std::optional<double> read = textValue(text);
    const std::size_t first = text.find_first_not_of(" \t\n");
    const bool negative = first != std::string_view::npos && text[first] == '-';
    const double value = read ? *read : (negative ? -inf : inf);
    const float x = std::fabs(value) > std::numeric_limits<float>::max()
                        ? (value > 0 ? inf : -inf)
                        : static_cast<float>(value);
    if (kMinCustomK > x) return {kMinCustomK, "0.01"};
    if (x > kMaxCustomK) return {kMaxCustomK, "10"};
    return {x, std::nullopt};
}

std::optional<std::string_view> customKAtEditingEnd(std::string_view text) {
    if (!readNumber(text).whole()) return std::nullopt;
    return customK(text).replacement;
}

}  // namespace calc
