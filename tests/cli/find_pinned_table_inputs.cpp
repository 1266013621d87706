// SPDX-License-Identifier: GPL-3.0-or-later
// Searches table rows on which forming a loss in single precision rather
// than double changes its shown text: Rm x l, Σζ x Pd, and Pd with the
// density held as a single. Prints each find as a CSV row with the text the
// double step gives, an independent computation of the step from the
// recalculation's stored singles. Not a test: the rows of test_program.cpp
// pin what it printed.
//
//   cmake --build build --target find_pinned_table_inputs && build/tests/find_pinned_table_inputs
#include <cstdio>
#include <random>
#include <string>

#include "calc/headless.h"
#include "calc/number_text.h"
#include "calc/tables.h"

int main() {
    std::mt19937 random(14);
    std::uniform_int_distribution<int> flows(100, 20000), diameters(0, 25), tenths(1, 500);
    bool foundFriction = false, foundLocal = false, foundPressure = false;
    for (int i = 0; i < 100000 && !(foundFriction && foundLocal && foundPressure); ++i) {
        calc::DuctInput input;
        input.flow = std::to_string(flows(random));
        input.diameter = std::string(calc::standardDiameters[diameters(random)]);
        calc::HeadlessView view(input);
        const calc::CalcState s = calc::computeDuct(input, view).state;
        const double length = tenths(random) / 10.0, zeta = tenths(random) / 100.0;
        const float v = s.velocity;
        const float pdDouble = static_cast<float>(1.204 * v * v / 2);
        const float pdSingle = static_cast<float>(1.204f * v * v / 2);
        const float frictionDouble = static_cast<float>(s.specificLoss * length);
        const float frictionSingle = s.specificLoss * static_cast<float>(length);
        const float localDouble = static_cast<float>(zeta * pdDouble);
        const float localSingle = static_cast<float>(zeta) * pdDouble;
        auto row = [&](const char* what, float shown) {
            std::printf("%s: flow,size,length,zeta = %s,%s,%g,%g -> %s\n", what, input.flow.c_str(),
                        input.diameter.c_str(), length, zeta, calc::numberText(shown).c_str());
        };
        if (!foundFriction &&
            calc::numberText(frictionDouble) != calc::numberText(frictionSingle)) {
            foundFriction = true;
            row("friction loss", frictionDouble);
        }
        if (!foundLocal && calc::numberText(localDouble) != calc::numberText(localSingle)) {
            foundLocal = true;
            row("local loss", localDouble);
        }
        if (!foundPressure && calc::numberText(pdDouble) != calc::numberText(pdSingle)) {
            foundPressure = true;
            row("velocity pressure", pdDouble);
        }
    }
}
