// SPDX-License-Identifier: GPL-3.0-or-later
// Small text steps on the fields that ductcalc-cli reads and writes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace cli {

// Text with blanks, tabs and line ends removed at both ends.
std::string_view trimmed(std::string_view text);

// The characters of a UTF-8 text, as a terminal shows them side by side:
// columns hold ASCII, the phi and the Greek captions, one cell each.
std::size_t displayWidth(std::string_view text);

// Appends `text` to `line`, filled with blanks to `width` characters on the
// right (Align::left) or on the left (Align::right); a text as wide as that
// or wider is appended as it is.
enum class Align { left, right };
void appendPadded(std::string& line, std::string_view text, std::size_t width, Align align);

}  // namespace cli
