// SPDX-License-Identifier: GPL-3.0-or-later
// The warning a box shows when its text is not read as it stands.
#pragma once

#include <string>
#include <string_view>

namespace calc {

// What a typed number stands for, which decides whether a negative value is
// worth a warning.
enum class Quantity { AirVolume, Size, Roughness };

// The warning a box shows beside its text, in Chinese, one line per point;
// empty when the text reads whole, fits a double and, for an air volume or a
// size, is not negative. The numbers it quotes are the ones the calculation
// uses: "1,000" warns that 1 was read and ",000" ignored.
std::string readingWarning(std::string_view text, Quantity quantity);

}  // namespace calc
