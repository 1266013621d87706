// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/air_state.h"

#include <cmath>

#include "system/readers.h"

namespace ductsys {

namespace {
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

AirReading airInUse(const AirGiven& given) {
    AirReading reading;
    AirInUse& air = reading.air;
    if (!given.temperature && !given.altitude && !given.pressure) return reading;
    air.given = true;
    if (given.temperature) air.temperature = *given.temperature;
    if (given.pressure) {
        air.pressure = *given.pressure;
    } else if (given.altitude) {
        const std::optional<double> p = pressureAtAltitude(*given.altitude);
        if (!p) {
            reading.problem = AirProblem::beyondAtmosphere;
            return reading;
        }
        air.pressure = *p;
    }
    const std::optional<calc::AirState> state = airAt(air.temperature, air.pressure);
    if (!state) {
        reading.problem = AirProblem::noAir;
        return reading;
    }
    air.state = *state;
    return reading;
}

AirReading airInUse(std::string_view temperature, std::string_view altitude) {
    AirGiven given;
    const auto read = [](std::string_view text, std::optional<double>& into) {
        if (trimmed(text).empty()) return true;
        into = readCellNumber(text).value;
        return into.has_value();
    };
    const bool temperatureRead = read(temperature, given.temperature);
    const bool altitudeRead = read(altitude, given.altitude);
    if (!temperatureRead || !altitudeRead) {
        AirReading reading;
        reading.problem =
            !temperatureRead ? AirProblem::unreadableTemperature : AirProblem::unreadableAltitude;
        return reading;
    }
    return airInUse(given);
}

}  // namespace ductsys
