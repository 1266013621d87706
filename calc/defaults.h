// SPDX-License-Identifier: GPL-3.0-or-later
// How the window starts: the inputs Form_Load sets. The command line's ducts
// start from them too, and so does the tests' in-memory window, so that a
// duct nobody changed computes the same everywhere.
#pragma once

#include <string_view>

#include "calc/calc_state.h"
#include "calc/tables.h"

namespace calc {

enum class Shape { circular, rectangular };

struct StartupInputs {
    std::string_view flow;      // the air volume box (Text1)
    std::string_view flowUnit;  // the unit box (Combo1), one of flowUnits
    Shape shape;                // Option1 chosen
    bool standardSizes;         // Check1 unticked: sizes come from the standard lists
    std::string_view diameter;  // mm, both the typed box and the list (Text2, Combo2)
    std::string_view sideA;     // mm, the side captioned 长 (Text3, Combo3)
    std::string_view sideB;     // mm, the side captioned 宽 (Text4, Combo4)
    int material;               // index in materials; its default K is the roughness
    int formula;                // 1 or 2 (Option4 or Option5)
};

inline constexpr StartupInputs kStartup{
    .flow = "0",
    .flowUnit = "m3/h",
    .shape = Shape::circular,
    .standardSizes = true,
    .diameter = "100",
    .sideA = "1000",
    .sideB = "1000",
    .material = 0,
    .formula = 1,
};

// The flow factor of the start-up unit: what choosing it in the unit box stores.
constexpr float startupFlowFactor() {
    for (const FlowUnit& unit : flowUnits)
        if (unit.text == kStartup.flowUnit) return unit.factor;
    return 0;
}
static_assert(startupFlowFactor() != 0, "the start-up unit is one of the unit box's");
static_assert(kStartup.material >= 0 && kStartup.material < kMaterialCount);

// The roughness, mm, the start-up material stores.
float startupRoughness();

// The calculation state right after start-up, before the first
// recalculation: the sizes read from their texts, the start-up material's
// roughness and the start-up unit's flow factor; everything else 0.
CalcState startupState();

}  // namespace calc
