// SPDX-License-Identifier: GPL-3.0-or-later
// Small text steps on the fields that ductcalc-cli reads and writes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "system/readers.h"

namespace cli {

using ductsys::trimmed;

// The columns a UTF-8 text takes on a terminal, measured by the C library's
// wcwidth: a Chinese character takes two, ASCII, φ and the Greek captions one.
std::size_t displayWidth(std::string_view text);

// A text that fits `width` columns: as it is, or cut with "…" at its end.
std::string cutToWidth(std::string_view text, std::size_t width);

// Appends `text` to `line`, filled with blanks to `width` columns on the
// right (Align::left) or on the left (Align::right); a text as wide as that
// or wider is appended as it is.
enum class Align { left, right };
void appendPadded(std::string& line, std::string_view text, std::size_t width, Align align);

}  // namespace cli
