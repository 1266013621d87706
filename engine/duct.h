// SPDX-License-Identifier: GPL-3.0-or-later
// Duct friction engine: pure functions of the duct section and the air flow.
//
// Every argument is a single-precision value (the calculation state stores
// singles) and every step is evaluated in the precision the results depend on:
// an operation on two singles or on a single and a small integer constant stays
// single, anything involving a double constant, a logarithm or a power is
// carried in double. The shown results change in their seventh digit if this is
// not respected, so keep the casts exactly where they are.
#pragma once

#include <optional>

namespace engine {

// Air at the window's design condition (about 20 °C at sea level). Every
// result the window shows uses these; other air states are for the system
// calculation, which may take the air's temperature and pressure.
inline constexpr double kAirDensity = 1.204;        // density, kg/m3
inline constexpr double kAirViscosity = 1.506e-05;  // kinematic viscosity, m2/s

// Cross-section area of a circular duct, pi * (d/1000)^2 / 4 with pi = 3.14159.
//   d: diameter, mm.
// Returns the area in m2 (double). A negative diameter gives the same area as
// its magnitude; 0 gives 0.
double s1(float d);

// Cross-section area of a rectangular duct, (a/1000) * (b/1000), single.
//   a, b: the two sides, mm.
// Returns the area in m2; its sign is the sign of the product.
float s2(float a, float b);

// Equivalent diameter of a rectangular duct, 2ab / (a + b), single.
//   a, b: the two sides, mm.
// Returns mm. Not defined when a + b == 0 (the quotient is then inf or nan);
// the caller treats such a pair as a missing size.
float dv(float a, float b);

// Reynolds number, v * d / nu.
//   v: velocity, m/s;  d: diameter, m;  nu: kinematic viscosity of the air,
//   m2/s (the window's 1.506e-05 unless given).
double re(float v, float d, double nu = kAirViscosity);

// Friction factor, formula one:
//   lambda = 0.25 / (lg(K / (3.71 D)) + 5.74 / (0.9 Re))^2,  K = k/1000.
//   k: roughness, mm;  d: diameter, m;  r: Reynolds number.
// Empty when k, d or r is 0. A negative k or d gives nan (logarithm of a
// negative value); a bracket of exactly 0 gives inf.
std::optional<double> l1(float k, float d, float r);

// Friction factor, formula two:
//   lambda = 0.0055 * (1 + (20 k/d + 1e6/Re)^(1/3)).
//   k: roughness, mm (0 is valid);  d: diameter, m;  r: Reynolds number.
// Empty when d or r is 0. A negative sum under the cube root gives nan.
std::optional<double> l2(float k, float d, float r);

// Specific friction loss (Darcy-Weisbach per metre), lmd * rho * v^2 / 2 / d.
//   lmd: friction factor;  d: diameter, m;  v: velocity, m/s;  rho: density
//   of the air, kg/m3 (the window's 1.204 unless given).
// Returns Pa/m; empty when d is 0.
std::optional<double> rm(float lmd, float d, float v, double rho = kAirDensity);

}  // namespace engine
