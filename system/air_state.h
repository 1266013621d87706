// SPDX-License-Identifier: GPL-3.0-or-later
// The air a system carries, from its temperature and pressure or altitude.
// The window's own air (1.204 kg/m3, 1.506e-05 m2/s) is calc::AirState{}:
// with no temperature, pressure or altitude given, every figure stays the
// window's.
#pragma once

#include <optional>
#include <string_view>

#include "calc/recalc.h"

namespace ductsys {

// The temperature and pressure a report names when no air is given: 20 °C
// at sea level.
inline constexpr double kStandardTemperatureC = 20;
inline constexpr double kSeaLevelKPa = 101.325;

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

// The air a system is computed with, and the temperature (°C) and pressure
// (kPa) it stands for, to report beside the figures.
struct AirInUse {
    double temperature = kStandardTemperatureC;
    double pressure = kSeaLevelKPa;
    calc::AirState state;  // the window's when no air is given
    bool given = false;    // whether a temperature, altitude or pressure was given
};

// What may be given of the air: each none when not given. The temperature
// is 20 °C when only an altitude or a pressure is given; an altitude and a
// pressure are not given together (the pressure would win).
struct AirGiven {
    std::optional<double> temperature = std::nullopt;  // °C
    std::optional<double> altitude = std::nullopt;     // m
    std::optional<double> pressure = std::nullopt;     // kPa, absolute
};

// Why there is no air.
enum class AirProblem {
    none,
    unreadableTemperature,  // a typed temperature is not a number
    unreadableAltitude,     // a typed altitude is not a number
    beyondAtmosphere,       // the altitude lies beyond the standard atmosphere's formula
    noAir,                  // at or below absolute zero, or a pressure not above 0
};

struct AirReading {
    // The air in use when `problem` is none; otherwise the temperature and
    // pressure that were tried, for a message.
    AirInUse air;
    AirProblem problem = AirProblem::none;
    bool ok() const { return problem == AirProblem::none; }
};

// The air from what is given; with nothing given, the window's air at 20 °C
// and 101.325 kPa.
AirReading airInUse(const AirGiven& given);

// The same from texts typed in boxes: an empty text is not given, any other
// must be one number read whole (an unreadable altitude is never taken as
// 0 m).
AirReading airInUse(std::string_view temperature, std::string_view altitude);

}  // namespace ductsys
