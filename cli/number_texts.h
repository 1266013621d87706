// SPDX-License-Identifier: GPL-3.0-or-later
// The two ways ductcalc-cli writes a computed single.
#pragma once

#include <string>

namespace cli {

// A number as the window shows it, without the leading blank: "8.841949",
// "-3", "1.5E-05".
std::string shownNumber(float x);

// shownNumber of a value that comes back row after row (a table's lengths
// and coefficients), converted once per thread.
std::string recurringShownNumber(float x);

// The shortest decimal that reads back as the same single: "8.841949",
// "0.16", "1e-05".
std::string roundTripNumber(float x);

}  // namespace cli
