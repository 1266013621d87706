// SPDX-License-Identifier: GPL-3.0-or-later
// How ductcalc-cli names itself and what went wrong, in its messages.
#pragma once

#include <string>
#include <string_view>

#include "headless.h"

namespace cli {

inline constexpr std::string_view kProgram = "ductcalc-cli";

// A text in double quotes for a message.
std::string quoted(std::string_view text);

// "m3/h, m3/min, …", for messages and help.
std::string unitList();

// Below this Reynolds number the flow is laminar, and neither friction
// formula is meant for it.
inline constexpr float kLaminarReynolds = 2300;
std::string laminarWarning(float reynolds);

// What went wrong in a recalculation that left values undefined, or that had
// no section to compute a velocity for; empty when nothing did.
std::string failureReason(const calc::DuctResult& result, const calc::DuctInput& input);

}  // namespace cli
