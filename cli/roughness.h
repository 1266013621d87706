// SPDX-License-Identifier: GPL-3.0-or-later
// A duct wall's roughness: a material by name, or a custom K.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace cli {

// The roughness that a material named by its caption or English name stores;
// none for an unknown name.
std::optional<float> namedRoughness(std::string_view name);

// "thin-steel (薄钢板), …", for messages and help.
std::string materialList();

}  // namespace cli
