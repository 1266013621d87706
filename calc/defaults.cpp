// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/defaults.h"

namespace calc {

float startupRoughness() { return materialRoughness(kStartup.material); }

CalcState startupState() {
    CalcState s;
    storeText(s.diameter, kStartup.diameter);
    storeText(s.sideA, kStartup.sideA);
    storeText(s.sideB, kStartup.sideB);
    s.roughness = startupRoughness();
    s.flowFactor = startupFlowFactor();
    return s;
}

}  // namespace calc
