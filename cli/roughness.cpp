// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/roughness.h"

#include "calc/tables.h"
#include "cli/messages.h"
#include "cli/text_fields.h"

namespace cli {

std::optional<float> namedRoughness(std::string_view name) {
    const std::optional<int> index = calc::materialIndex(trimmed(name));
    if (!index) return std::nullopt;
    return calc::materialRoughness(*index);
}

std::string materialList() {
    std::string list;
    for (std::size_t i = 0; i < calc::materials.size(); ++i) {
        if (!list.empty()) list += ", ";
        list += calc::materials[i].name;
        list += " (";
        list += calc::materials[i].caption;
        list += ')';
    }
    return list;
}

}  // namespace cli
