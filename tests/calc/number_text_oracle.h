// SPDX-License-Identifier: GPL-3.0-or-later
// The label text of a result written the plain way, by to_chars on the
// double, which numberText must match character for character for every
// float: shared by the conversion tests and the hand-run check over every
// float.
#pragma once

#include <array>
#include <charconv>
#include <cmath>
#include <string>

#include "calc/number_text.h"

namespace calc_test {

inline std::string plainNumberText(float x) {
    if (!std::isfinite(x)) return std::string(calc::kFailMarker);
    std::array<char, 32> buffer{};
    buffer[0] = std::signbit(x) && x != 0 ? '-' : ' ';
    auto [end, ec] =
        std::to_chars(buffer.data() + 1, buffer.data() + buffer.size(),
                      std::fabs(static_cast<double>(x)), std::chars_format::general, 7);
    (void)ec;
    std::string text(buffer.data(), end);
    for (char& c : text)
        if (c == 'e') c = 'E';
    return text;
}

}  // namespace calc_test
