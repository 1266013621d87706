// SPDX-License-Identifier: GPL-3.0-or-later
// A duct wall's roughness: a material by name, or a custom K.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace cli {

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

// "thin-steel (薄钢板), …", for messages and help.
std::string materialList();

}  // namespace cli
