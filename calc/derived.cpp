// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/derived.h"

#include "calc/calc_state.h"

namespace calc {

std::optional<float> velocityPressure(float velocity, double density) {
    float pressure = 0;
    if (!storeSingle(pressure, density * velocity * velocity / 2)) return std::nullopt;
    return pressure;
}

namespace {
std::optional<float> single(double value) {
    float x = 0;
    if (!storeSingle(x, value)) return std::nullopt;
    return x;
}
}  // namespace

std::optional<float> frictionLoss(float specificLoss, double length) {
    return single(specificLoss * length);
}

std::optional<float> localLoss(double zeta, float velocityPressure) {
    return single(zeta * velocityPressure);
}

}  // namespace calc
