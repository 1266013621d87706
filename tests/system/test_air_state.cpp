// SPDX-License-Identifier: GPL-3.0-or-later
// The air state: the window's constants by default, and the air at other
// temperatures and altitudes against published figures.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "calc/derived.h"
#include "engine/duct.h"
#include "system/air_state.h"
#include "system/system.h"

namespace {

TEST(AirState, DefaultsAreTheWindowsConstantsExactly) {
    const calc::AirState air;
    EXPECT_EQ(air.density, 1.204);
    EXPECT_EQ(air.viscosity, 1.506e-05);
    EXPECT_EQ(ductsys::Options{}.air.density, 1.204);
    EXPECT_EQ(ductsys::Options{}.air.viscosity, 1.506e-05);
    // The defaults of the engine and the velocity pressure are the same air.
    EXPECT_EQ(engine::re(8.841949f, 0.2f), engine::re(8.841949f, 0.2f, 1.506e-05));
    EXPECT_EQ(*engine::rm(0.01859947f, 0.2f, 8.841949f),
              *engine::rm(0.01859947f, 0.2f, 8.841949f, 1.204));
    EXPECT_EQ(*calc::velocityPressure(8.841949f), *calc::velocityPressure(8.841949f, 1.204));
}

// Published figures, each with the tolerance its printed digits allow:
//   density of dry air at 40 °C and 101.325 kPa: 1.127 kg/m3 (Engineering
//     ToolBox, "Air - Density, Specific Weight and Thermal Expansion
//     Coefficient"; VDI Heat Atlas D2.2 gives 1.1272);
//   pressure of the standard atmosphere at 1500 m: 84.556 kPa (U.S. Standard
//     Atmosphere 1976 / ICAO, table of geopotential altitude);
//   dynamic viscosity of air at 20 °C: 1.813e-5 Pa·s (Engineering ToolBox,
//     "Air - Dynamic and Kinematic Viscosity"; CRC Handbook 1.81e-5);
//   density at 20 °C and 101.325 kPa: 1.204 kg/m3 and kinematic viscosity
//     1.506e-5 m2/s, the window's own design air (same sources).
// The U.S. Standard Atmosphere 1976 at 11 000 m (geopotential), the foot of
// its tropopause: 22.632 kPa, 216.65 K (-56.5 °C), 0.36392 kg/m3 and
// 1.4216e-5 Pa·s. Far from 0 °C and sea level, each constant of the air
// shows: the gas constant in the density, Sutherland's constant in the
// viscosity, the lapse and the exponent in the pressure.
TEST(AirState, AtTheTropopauseOfTheStandardAtmosphere) {
    const std::optional<double> p = ductsys::pressureAtAltitude(11000);
    ASSERT_TRUE(p);
    EXPECT_NEAR(*p, 22.632, 0.002);
    const std::optional<calc::AirState> air = ductsys::airAt(-56.5, 22.632);
    ASSERT_TRUE(air);
    EXPECT_NEAR(air->density, 0.36392, 0.00002);
    EXPECT_NEAR(air->viscosity * air->density, 1.4216e-5, 0.0001e-5);
}

TEST(AirState, AtFortyDegreesAtSeaLevel) {
    const std::optional<calc::AirState> air = ductsys::airAt(40, 101.325);
    ASSERT_TRUE(air);
    EXPECT_NEAR(air->density, 1.127, 0.0005);
}

TEST(AirState, PressureAtFifteenHundredMetres) {
    EXPECT_NEAR(*ductsys::pressureAtAltitude(1500), 84.556, 0.005);
    EXPECT_DOUBLE_EQ(*ductsys::pressureAtAltitude(0), 101.325);
}

TEST(AirState, ViscosityAtTwentyDegrees) {
    EXPECT_NEAR(*ductsys::dynamicViscosity(293.15), 1.813e-5, 0.001e-5);
    // Sutherland's reference point.
    EXPECT_DOUBLE_EQ(*ductsys::dynamicViscosity(273.15), 1.716e-5);
}

TEST(AirState, AtTwentyDegreesIsTheWindowsAirToFourDigits) {
    const std::optional<calc::AirState> air = ductsys::airAt(20, 101.325);
    ASSERT_TRUE(air);
    EXPECT_NEAR(air->density, 1.204, 0.0005);
    EXPECT_NEAR(air->viscosity, 1.506e-5, 0.0005e-5);
}

struct BadAir {
    const char* name;
    double temperatureC, pressureKPa;
};
class AirStateRefuses : public ::testing::TestWithParam<BadAir> {};
TEST_P(AirStateRefuses, ConditionsWithNoAir) {
    EXPECT_FALSE(ductsys::airAt(GetParam().temperatureC, GetParam().pressureKPa));
}
INSTANTIATE_TEST_SUITE_P(Table, AirStateRefuses,
                         ::testing::Values(BadAir{"AbsoluteZero", -273.15, 101.325},
                                           BadAir{"BelowAbsoluteZero", -300, 101.325},
                                           BadAir{"NoPressure", 20, 0},
                                           BadAir{"NegativePressure", 20, -1},
                                           BadAir{"NotANumber", std::nan(""), 101.325},
                                           BadAir{"InfinitePressure", 20, INFINITY}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AirState, NoPressureAboveTheTopOfTheFormula) {
    EXPECT_FALSE(ductsys::pressureAtAltitude(50000));
    EXPECT_FALSE(ductsys::pressureAtAltitude(INFINITY));
    EXPECT_TRUE(ductsys::pressureAtAltitude(-400));  // the Dead Sea shore
}

// Warmer, thinner air: the Reynolds number goes with 1 / ν and the velocity
// pressure with ρ, while the velocity stays.
TEST(AirState, ASystemInWarmAirAtAltitude) {
    const std::vector<ductsys::SegmentTexts> rows = {
        {.segment = "1-2", .flow = "1000", .size = "200", .length = "10", .zeta = "1.5"}};
    ductsys::Options hot;
    hot.air = *ductsys::airAt(40, *ductsys::pressureAtAltitude(1500));
    const ductsys::SystemResult base = ductsys::computeSystem(rows);
    const ductsys::SystemResult warm = ductsys::computeSystem(rows, hot);
    const ductsys::Segment& b = base.segments[0];
    const ductsys::Segment& w = warm.segments[0];
    EXPECT_EQ(w.velocity, b.velocity);
    EXPECT_NEAR(w.reynolds / b.reynolds, 1.506e-05 / hot.air.viscosity, 1e-6);
    EXPECT_NEAR(w.velocityPressure / b.velocityPressure, hot.air.density / 1.204, 1e-6);
    EXPECT_LT(w.total, b.total);
}

}  // namespace
