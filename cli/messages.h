// SPDX-License-Identifier: GPL-3.0-or-later
// How ductcalc-cli names itself and what went wrong, in its messages.
#pragma once

#include <string>
#include <string_view>

#include "headless.h"
#include "readers.h"

namespace cli {

inline constexpr std::string_view kProgram = "ductcalc-cli";

// A text in double quotes, and what went wrong in a recalculation: the
// system layer words a segment's problems the same way.
using ductsys::failureReason;
using ductsys::quoted;

// The warning for a laminar flow (ductsys::isLaminar).
std::string laminarWarning(float reynolds);

}  // namespace cli
