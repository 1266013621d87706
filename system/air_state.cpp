// SPDX-License-Identifier: GPL-3.0-or-later
#include "air_state.h"

#include <cmath>

namespace ductsys {

namespace {
constexpr double kSeaLevelKPa = 101.325;
constexpr double kGasConstant = 287.05;      // J/(kg·K), dry air
constexpr double kZeroCelsius = 273.15;      // K
constexpr double kSutherlandMu0 = 1.716e-5;  // Pa·s at 273.15 K
constexpr double kSutherlandS = 110.4;       // K
}  // namespace

std::optional<double> pressureAtAltitude(double altitudeM) {
    if (!std::isfinite(altitudeM)) return std::nullopt;
    const double base = 1 - 2.25577e-5 * altitudeM;
    if (!(base > 0)) return std::nullopt;
    const double p = kSeaLevelKPa * std::pow(base, 5.25588);
    if (!std::isfinite(p) || !(p > 0)) return std::nullopt;
    return p;
}

std::optional<double> dynamicViscosity(double kelvin) {
    if (!std::isfinite(kelvin) || !(kelvin > 0)) return std::nullopt;
    return kSutherlandMu0 * std::pow(kelvin / kZeroCelsius, 1.5) * (kZeroCelsius + kSutherlandS) /
           (kelvin + kSutherlandS);
}

std::optional<calc::AirState> airAt(double temperatureC, double pressureKPa) {
    if (!std::isfinite(temperatureC) || !std::isfinite(pressureKPa) || !(pressureKPa > 0))
        return std::nullopt;
    const double kelvin = temperatureC + kZeroCelsius;
    const std::optional<double> mu = dynamicViscosity(kelvin);
    if (!mu) return std::nullopt;
    const double density = pressureKPa * 1000 / (kGasConstant * kelvin);
    const double viscosity = *mu / density;
    if (!std::isfinite(density) || !(density > 0) || !std::isfinite(viscosity) || !(viscosity > 0))
        return std::nullopt;
    return calc::AirState{density, viscosity};
}

}  // namespace ductsys
