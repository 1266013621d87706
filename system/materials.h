// SPDX-License-Identifier: GPL-3.0-or-later
// The duct materials a system's rows may name: the calculator window's nine
// (calc/tables.h, unchanged) and the sheets and ducts of today's plants
// (镀锌钢板, 玻璃钢, 复合风管, …), each with its absolute roughness and the
// source of that figure. The command line, the grid and their lists of
// materials all read them here.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ductsys {

struct DuctMaterial {
    std::string_view name;     // English, for the command line
    std::string_view chinese;  // as a designer writes it
    std::string_view k;        // absolute roughness, mm, as text
    std::string_view source;   // where the figure comes from
};

// Beyond the calculator's nine; one row each.
extern const std::vector<DuctMaterial> kDuctMaterials;

// The roughness, mm (as the window stores a typed text), of a material named
// by its English or Chinese name in any letter case, with blanks or
// full-width forms anywhere: the calculator's nine first, then the table
// above (the custom material's default, 10 mm, too). None for a name that
// is not known.
std::optional<float> roughnessOfMaterial(std::string_view name);

// Whether `name` is the calculator's custom material (自定义, custom), whose
// roughness a row gives in its k column.
bool isCustomMaterial(std::string_view name);

// The Chinese names, the calculator's nine first: the list a grid offers.
std::vector<std::string_view> materialCaptions();

// "thin-steel (薄钢板), …": every name, for messages and help.
std::string materialNames();

// The table as printed by --material list: name, Chinese, K in mm and the
// source of each, the calculator's nine first, tab-separated with a header.
std::string materialTable();

}  // namespace ductsys
