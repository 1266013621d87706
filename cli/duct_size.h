// SPDX-License-Identifier: GPL-3.0-or-later
// A duct's size as written on the command line or in a table.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "calc/headless.h"
#include "system/readers.h"

namespace cli {

// A duct size as typed: the system layer's reader, the one home of the
// rules ("200", "φ200", "500x320", "500×320", "500*320").
using SizeArg = ductsys::SizeText;
using ductsys::parseSize;

// Puts a size into the inputs of a duct, as typed sizes.
void setSize(calc::DuctInput& input, const SizeArg& size);

// The size label without its blanks: "φ200", "500*320".
std::string compactSize(std::string_view label);

}  // namespace cli
