// Figures derived from the stored results of a recalculation, for the aids
// beside the seven results and for the command line's tables. Each is formed
// in double precision from single-precision values and rounded once.
#pragma once

#include <optional>

namespace calc {

// Density of air, kg/m3, as the friction loss uses it.
inline constexpr double kAirDensity = 1.204;

// Velocity pressure rho v^2 / 2, Pa, of a velocity in m/s: 1.204 x v x v / 2
// in double, rounded once to single. None when it does not fit a single.
std::optional<float> velocityPressure(float velocity);

}  // namespace calc
