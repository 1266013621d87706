// SPDX-License-Identifier: GPL-3.0-or-later
// What the three commands share: reading a duct's size, material and
// roughness from their texts, writing numbers, naming a failure.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "headless.h"

namespace cli {

inline constexpr std::string_view kProgram = "ductcalc-cli";

// A duct size as written on the command line or in a table: "200" or "φ200"
// for a diameter, "500x320", "500×320" or "500*320" for two sides (the first
// is the side captioned 长). Each number must be a whole number text; it is
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

// A roughness from a custom K text, held within the window's limits; the
// warning says what was held, when anything was.
struct Roughness {
    float k = 0;  // mm
    std::string warning;
};
Roughness customRoughness(std::string_view text);

// The roughness that a material named by its caption or English name stores;
// none for an unknown name.
std::optional<float> namedRoughness(std::string_view name);

// "m3/h, m3/min, …" and "thin-steel (薄钢板), …", for messages and help.
std::string unitList();
std::string materialList();

// What went wrong in a recalculation that left values undefined, or that had
// no section to compute a velocity for; empty when nothing did.
std::string failureReason(const calc::DuctResult& result, const calc::DuctInput& input);

// A number as the window shows it, without the leading blank: "8.841949",
// "-3", "1.5E-05".
std::string plainNumber(float x);

// The shortest decimal that reads back as the same single: "8.841949",
// "0.16", "1e-05".
std::string shortestNumber(float x);

// The size label without its blanks: "φ200", "500*320".
std::string compactSize(std::string_view label);

// A text in double quotes for a message.
std::string quoted(std::string_view text);

// Text with blanks, tabs and line ends removed at both ends.
std::string_view trimmed(std::string_view text);

}  // namespace cli
