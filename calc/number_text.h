// SPDX-License-Identifier: GPL-3.0-or-later
// The texts the window shows for numbers.
//
// They never consult the process locale: the program shows a point as the
// decimal separator whatever the user's regional settings are.
#pragma once

#include <string>
#include <string_view>

namespace calc {

// What a value label shows when the recalculation could not produce it.
inline constexpr std::string_view kFailMarker = "—";

// A result as shown in a value label: a blank or "-", then the value rounded
// to seven significant digits with trailing zeros dropped ("200", "0.16",
// "8.841941"); magnitudes of 1E+07 and above and non-zero magnitudes below
// 1E-04 in exponent form ("1E+07", "1.5E-05"). Negative zero shows " 0".
// A value that is not finite shows the failure marker.
std::string numberText(float x);

// numberText without its leading blank ("8.841949", "-3", "1.5E-05"), as a
// figure stands in a table cell, a CSV field or a copied block.
std::string bareNumberText(float x);

// numberText of a value that comes back from one recalculation to the next
// (a size, an equivalent diameter, a roughness): the same text, remembered
// per thread, so that a table of ducts converts each such value once.
std::string recurringNumberText(float x);

// The shortest decimal that reads back as x in its own type, in C's
// notation and whatever the process locale: "8.841949", "1e-05", "0.1".
std::string shortestText(float x);
std::string shortestText(double x);

// The shortest decimal that reads back as x, in fixed notation with no
// leading blank: "0.15", "3.1", "6" (never "6.0"). Used for roughness values
// picked with a scroll bar.
std::string plainDecimalText(double x);

}  // namespace calc
