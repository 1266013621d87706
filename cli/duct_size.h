// SPDX-License-Identifier: GPL-3.0-or-later
// A duct's size as written on the command line or in a table.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "headless.h"

namespace cli {

// "200" or "φ200" for a diameter, "500x320", "500×320" or "500*320" for two
// sides (the first is the side captioned 长), and the other forms
// ductsys::parseSize reads. Each number must be a whole number text; it is
// then handed to the recalculation exactly as typed. None when the text is
// not a size.
struct SizeArg {
    calc::Shape shape;
    std::string a;  // diameter or first side, mm
    std::string b;  // second side, mm; empty for a diameter
};
std::optional<SizeArg> parseSize(std::string_view text);

// Puts a size into the inputs of a duct, as typed sizes.
void setSize(calc::DuctInput& input, const SizeArg& size);

// The size label without its blanks: "φ200", "500*320".
std::string compactSize(std::string_view label);

}  // namespace cli
