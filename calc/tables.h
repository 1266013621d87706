// SPDX-License-Identifier: GPL-3.0-or-later
// Fixed tables of the window: flow units, standard sizes, wall materials.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace calc {

struct FlowUnit {
    std::string_view text;  // as listed in the unit box
    float factor;           // m3/h per unit, held in single precision
};

// In the order the unit box lists them.
inline constexpr std::array<FlowUnit, 10> flowUnits{{
    {"m3/h", 1.0f},
    {"m3/min", 60.0f},
    {"m3/s", 3600.0f},
    {"l/min", 0.06f},
    {"l/s", 3.6f},
    {"Am.GPM", 0.2271f},   // US gallons per minute
    {"Am.GPS", 13.626f},   // US gallons per second
    {"En.GPM", 0.27276f},  // imperial gallons per minute
    {"En.GPS", 16.3656f},  // imperial gallons per second
    {"CFM", 1.699f},       // cubic feet per minute
}};

// The factor of the unit whose text is exactly `text`; none for any other text.
std::optional<float> flowFactorOf(std::string_view text);

// Standard diameters of circular ducts, mm.
inline constexpr std::array<std::string_view, 26> standardDiameters{
    "100", "120",  "140",  "160",  "180",  "200",  "220",  "250", "280",
    "320", "360",  "400",  "450",  "500",  "560",  "630",  "700", "800",
    "900", "1000", "1120", "1250", "1400", "1600", "1800", "2000"};

// Standard sides of rectangular ducts, mm.
inline constexpr std::array<std::string_view, 13> standardSides{
    "120", "160", "200", "250", "320", "400", "500", "630", "800", "1000", "1250", "1600", "2000"};

// A wall material: its names, its default roughness text and, where it has
// one, the scroll bar that picks the roughness in steps of 1/divisor mm. The
// window's option caption, its roughness box's accessible name, the command
// line's material names and the scroll ranges all come from this one row.
struct Material {
    std::string_view caption;   // the option's caption, as the window shows it
    std::string_view name;      // English name for the command line, lower case
    std::string_view defaultK;  // text of its roughness box, mm
    bool hasScroll;
    int scrollMin, scrollMax, scrollStart;
    int divisor;
};

inline constexpr auto materials = std::to_array<Material>({
    {"薄钢板", "thin-steel", "0.16", true, 15, 18, 16, 100},
    {"塑料板", "plastic", "0.03", true, 1, 5, 3, 100},
    {"矿渣石膏板", "slag-gypsum", "1.0", false, 0, 0, 0, 0},
    {"矿渣混凝土板", "slag-concrete", "1.5", false, 0, 0, 0, 0},
    {"胶合板", "plywood", "1.0", false, 0, 0, 0, 0},
    {"砖砌体", "brick", "5", true, 30, 60, 50, 10},
    {"混凝土", "concrete", "2", true, 10, 30, 20, 10},
    {"木板", "wood", "0.6", true, 2, 10, 6, 10},
    {"自定义", "custom", "10", false, 0, 0, 0, 0},  // typed by the user
});
inline constexpr int kMaterialCount = static_cast<int>(materials.size());

// The custom material, whose roughness the user types, comes last: the
// materials before it each have a fixed default roughness.
inline constexpr int kCustomMaterial = kMaterialCount - 1;
static_assert(materials[kCustomMaterial].name == "custom");

// The roughness, mm, that choosing material `index` stores: its default box
// text read as the window reads it.
float materialRoughness(int index);

// The roughness box text a scroll bar writes for its value n: n / divisor mm
// as plain decimal text ("0.15", "3.1", "6").
std::string scrollKText(int n, int divisor);

// Limits of the custom roughness, mm, compared in single precision.
inline constexpr float kMinCustomK = 0.01f;
inline constexpr float kMaxCustomK = 10.0f;

// The custom roughness typed as `text`, held within the limits.
struct CustomK {
    float value;                                  // the roughness to use, mm
    std::optional<std::string_view> replacement;  // what the box must show instead, if anything
};
CustomK customK(std::string_view text);

// What the custom box shows once its editing ends: the limit, for a text read
// whole ("25", "-3", "", "1e400") that lies outside the limits; none for any
// other text. A text not read whole ("0,5", "abc", "5mm") is kept as typed,
// with its warning, so that the user sees what they typed and why it counts
// as it does.
std::optional<std::string_view> customKAtEditingEnd(std::string_view text);

}  // namespace calc
