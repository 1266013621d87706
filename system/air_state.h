// SPDX-License-Identifier: GPL-3.0-or-later
// The air a system carries, from its temperature and pressure or altitude.
// The window's own air (1.204 kg/m3, 1.506e-05 m2/s) is calc::AirState{}:
// with no temperature, pressure or altitude given, every figure stays the
// window's.
#pragma once

#include <optional>

#include "recalc.h"

namespace ductsys {

// Standard-atmosphere pressure at an altitude, kPa:
// 101.325 x (1 - 2.25577e-5 h)^5.25588, h in m. None when the altitude is
// not finite or lies at or above the top of that formula (about 44.3 km).
std::optional<double> pressureAtAltitude(double altitudeM);

// Dynamic viscosity of air by Sutherland's law, Pa·s:
// 1.716e-5 x (T / 273.15)^1.5 x (273.15 + 110.4) / (T + 110.4), T in K.
// None when T is not a positive finite temperature.
std::optional<double> dynamicViscosity(double kelvin);

// The air at a temperature (°C) and an absolute pressure (kPa):
// density p / (287.05 T) kg/m3 and kinematic viscosity mu / rho m2/s.
// None when the temperature is at or below absolute zero, the pressure is
// not positive, or either is not finite.
std::optional<calc::AirState> airAt(double temperatureC, double pressureKPa);

}  // namespace ductsys
