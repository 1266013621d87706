// SPDX-License-Identifier: GPL-3.0-or-later
// Figures derived from the stored results of a recalculation, for the aids
// beside the seven results and for the command line's tables. Each is formed
// in double precision from single-precision values and rounded once.
#pragma once

#include <optional>

#include "engine/duct.h"

namespace calc {

// Density of air, kg/m3, as the friction loss uses it in the window.
inline constexpr double kAirDensity = engine::kAirDensity;

// Velocity pressure rho v^2 / 2, Pa, of a velocity in m/s and a density in
// kg/m3 (the window's 1.204 unless given): rho x v x v / 2 in double, rounded
// once to single. None when it does not fit a single.
std::optional<float> velocityPressure(float velocity, double density = kAirDensity);

// The figures of one segment of a duct run, each formed in double from the
// stored singles and the numbers read for the segment, rounded once to
// single. None when the result does not fit a single.

// Friction loss along the segment, Pa: Rm (Pa/m) x length (m).
std::optional<float> frictionLoss(float specificLoss, double length);

// Loss at fittings, Pa: the sum of loss coefficients x velocity pressure (Pa).
std::optional<float> localLoss(double zeta, float velocityPressure);

}  // namespace calc
