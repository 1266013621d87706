// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/materials.h"

#include "calc/calc_state.h"
#include "calc/tables.h"
#include "system/table_file.h"

namespace ductsys {

// ASHRAE: ASHRAE Handbook—Fundamentals, chapter "Duct Design", table "Duct
// Material Roughness Factors" (figures there in ft; 0.0003 ft = 0.09 mm).
const std::vector<DuctMaterial> kDuctMaterials = {
    {"galvanised-steel", "镀锌钢板", "0.15",
     "Engineering ToolBox, ventilation ducts' roughness: galvanised steel 0.15 mm; the usual "
     "Chinese design figure for 薄钢板或镀锌钢板 (0.15-0.18 mm)"},
    {"stainless-steel", "不锈钢板", "0.05",
     "ASHRAE: commercial steel (Moody 1944) 0.00015 ft = 0.046 mm, rounded"},
    {"aluminium", "铝板", "0.05",
     "ASHRAE: aluminum, round, longitudinal seams, crimped slip joints (Hutchinson 1953) "
     "0.00012-0.0002 ft = 0.04-0.06 mm"},
    {"pvc", "硬聚氯乙烯板", "0.03",
     "ASHRAE: PVC plastic pipe (Swim 1982) 0.00003-0.00015 ft = 0.01-0.05 mm"},
    {"frp", "玻璃钢", "0.09",
     "ASHRAE's 'average' roughness category 0.0003 ft = 0.09 mm (moulded duct with joints)"},
    {"phenolic-panel", "酚醛复合风管", "0.2",
     "Idem and Paruchuri 2018 (ASHRAE RP-1764): phenolic duct, foil-faced, four-bolt flanges "
     "at 3 m, 0.00025-0.00098 ft = 0.08-0.30 mm"},
    {"polyurethane-panel", "聚氨酯复合风管", "0.2",
     "taken as the phenolic panel's (the same foil-faced panel and flanges), Idem and "
     "Paruchuri 2018"},
    {"fibrous-glass", "玻璃纤维复合风管", "0.9",
     "ASHRAE: fibrous glass duct, rigid, 'medium rough' 0.003 ft = 0.9 mm"},
    {"flexible", "柔性风管", "0.9",
     "ASHRAE: flexible duct, nonmetallic and wire, fully extended (Abushakra et al. 2004) "
     "0.0003-0.003 ft, 'medium rough' 0.003 ft = 0.9 mm"},
    {"spiral-seam", "螺旋风管", "0.09",
     "ASHRAE: galvanized steel, spiral seams, 10 ft joint spacing (Jones 1979) 0.0002-0.0004 "
     "ft = 0.06-0.12 mm"},
};

namespace {

bool sameName(std::string_view a, std::string_view b) { return nameKey(a) == nameKey(b); }

}  // namespace

std::optional<float> roughnessOfMaterial(std::string_view name) {
    const std::string key = nameKey(name);
    if (key.empty()) return std::nullopt;
    for (int i = 0; i < calc::kMaterialCount; ++i) {
        const calc::Material& m = calc::materials[static_cast<std::size_t>(i)];
        if (nameKey(m.caption) == key || nameKey(m.name) == key) return calc::materialRoughness(i);
    }
    for (const DuctMaterial& m : kDuctMaterials)
        if (nameKey(m.chinese) == key || nameKey(m.name) == key) {
            float k = 0;
            calc::storeText(k, m.k);
            return k;
        }
    return std::nullopt;
}

bool isCustomMaterial(std::string_view name) {
    const calc::Material& custom = calc::materials[calc::kCustomMaterial];
    return sameName(name, custom.caption) || sameName(name, custom.name);
}

std::vector<std::string_view> materialCaptions() {
    std::vector<std::string_view> captions;
    for (const calc::Material& m : calc::materials) captions.push_back(m.caption);
    for (const DuctMaterial& m : kDuctMaterials) captions.push_back(m.chinese);
    return captions;
}

std::string materialNames() {
    std::string list;
    auto add = [&](std::string_view name, std::string_view chinese) {
        if (!list.empty()) list += ", ";
        list += name;
        list += " (";
        list += chinese;
        list += ')';
    };
    for (const calc::Material& m : calc::materials) add(m.name, m.caption);
    for (const DuctMaterial& m : kDuctMaterials) add(m.name, m.chinese);
    return list;
}

std::string materialTable() {
    std::string t = "name\tchinese\tk_mm\tsource\n";
    auto row = [&](std::string_view name, std::string_view chinese, std::string_view k,
                   std::string_view source) {
        ((((t += name) += '\t') += chinese) += '\t') += k;
        ((t += '\t') += source) += '\n';
    };
    for (int i = 0; i < calc::kCustomMaterial; ++i) {
        const calc::Material& m = calc::materials[static_cast<std::size_t>(i)];
        row(m.name, m.caption, m.defaultK, "the calculator window's own figure");
    }
    for (const DuctMaterial& m : kDuctMaterials) row(m.name, m.chinese, m.k, m.source);
    const calc::Material& custom = calc::materials[calc::kCustomMaterial];
    row(custom.name, custom.caption, "", "the k column's figure, 0.01 to 10 mm");
    return t;
}

}  // namespace ductsys
