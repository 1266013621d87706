// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/duct.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>

namespace {

using engine::dv;
using engine::l1;
using engine::l2;
using engine::re;
using engine::rm;
using engine::s1;
using engine::s2;

TEST(Section, CircleUsesFiveDecimalPiAndSingleQuotients) {
    // 0.1 and 0.2 are the singles nearest to d/1000, not the exact decimals.
    EXPECT_EQ(s1(100), 3.14159 * static_cast<double>(0.1f) * static_cast<double>(0.1f) / 4);
    EXPECT_EQ(s1(1000), 3.14159 / 4);
    EXPECT_EQ(s1(200), 3.14159 * static_cast<double>(0.2f) * static_cast<double>(0.2f) / 4);
    EXPECT_NE(s1(200), 3.14159 * 0.2 * 0.2 / 4);
    EXPECT_NEAR(s1(200), 3.14159 * 0.2 * 0.2 / 4, 1e-7 * s1(200));
}

TEST(Section, CircleOfNegativeOrZeroDiameter) {
    EXPECT_EQ(s1(-200), s1(200));
    EXPECT_EQ(s1(0), 0.0);
}

TEST(Section, RectangleIsSingleProduct) {
    EXPECT_EQ(static_cast<double>(s2(500, 320)), 0.1599999964237213);
    EXPECT_EQ(s2(1000, 1000), 1.0f);
    EXPECT_EQ(s2(500, 0), 0.0f);
    EXPECT_LT(s2(-500, 320), 0.0f);
}

struct EqualSides : testing::TestWithParam<float> {};
TEST_P(EqualSides, EquivalentDiameterOfASquareIsItsSide) {
    EXPECT_EQ(dv(GetParam(), GetParam()), GetParam());
}
INSTANTIATE_TEST_SUITE_P(Sides, EqualSides,
                         testing::Values(120.0f, 1000.0f, 2000.0f, 0.5f, 333.3f, -250.0f));

TEST(Section, EquivalentDiameterOfRectangle) {
    EXPECT_EQ(dv(500, 320), static_cast<float>(2.0 * 500 * 320 / 820));
    EXPECT_GT(dv(500, 320), 390.0f);
    EXPECT_EQ(dv(500, 0), 0.0f);
    EXPECT_EQ(dv(0, 320), 0.0f);
    EXPECT_FALSE(std::isfinite(dv(500, -500)));  // the caller must not divide by a zero sum
}

TEST(Reynolds, ProductInSingleThenViscosityInDouble) {
    EXPECT_EQ(re(1, 1), 1 / 1.506e-05);
    EXPECT_EQ(re(8.5f, 0.3f), static_cast<double>(8.5f * 0.3f) / 1.506e-05);
    EXPECT_EQ(re(10, 0), 0.0);
    EXPECT_EQ(re(0, 0.2f), 0.0);
}

struct Guard {
    const char* name;
    float k, d, r;
    bool formulaOneEmpty, formulaTwoEmpty;
};
void PrintTo(const Guard& g, std::ostream* os) { *os << g.name; }
struct FrictionGuards : testing::TestWithParam<Guard> {};
TEST_P(FrictionGuards, EmptyExactlyWhenAnInputIsZero) {
    const Guard& g = GetParam();
    EXPECT_EQ(!l1(g.k, g.d, g.r).has_value(), g.formulaOneEmpty);
    EXPECT_EQ(!l2(g.k, g.d, g.r).has_value(), g.formulaTwoEmpty);
}
INSTANTIATE_TEST_SUITE_P(
    Cases, FrictionGuards,
    testing::Values(Guard{"AllGiven", 0.16f, 0.2f, 117423, false, false},
                    Guard{"SmoothWallOnlyFormulaTwo", 0, 0.2f, 117423, true, false},
                    Guard{"NoDiameter", 0.16f, 0, 117423, true, true},
                    Guard{"NoFlow", 0.16f, 0.2f, 0, true, true},
                    Guard{"NegativeZeroCountsAsZero", 0.16f, -0.0f, 117423, true, true}),
    [](const testing::TestParamInfo<Guard>& info) { return info.param.name; });

TEST(Friction, FormulaOneLogOfRoughnessTermOnly) {
    // lg(K/(3.71 D)) + 5.74/(0.9 Re), squared, divides 0.25; K in metres.
    const float k = 0.16f, d = 0.2f, r = 117423;
    const float relative = (k / 1000) / d;
    const double bracket = std::log(relative / 3.71) / std::log(10.0) + 5.74 / 0.9 / r;
    EXPECT_DOUBLE_EQ(*l1(k, d, r), 0.25 / (bracket * bracket));
}

TEST(Friction, FormulaTwoCubeRoot) {
    const float k = 0.16f, d = 0.2f, r = 117423;
    const double sum = static_cast<double>(20 * k / d) + 1000000.0 / r;
    EXPECT_DOUBLE_EQ(*l2(k, d, r), 0.0055 * (1 + std::cbrt(sum)));
}

TEST(Friction, FormulaOneIsAboutThreeQuartersOfFormulaTwoAtHighReynolds) {
    const double ratio = *l1(0.15f, 0.5f, 100000) / *l2(0.15f, 0.5f, 100000);
    EXPECT_NEAR(ratio, 0.77, 0.005);
}

TEST(Friction, NegativeSizesGiveNoNumber) {
    EXPECT_TRUE(std::isnan(*l1(0.16f, -0.2f, -117423)));
    EXPECT_TRUE(std::isnan(*l2(0.16f, -0.2f, -117423)));
}

TEST(Loss, DarcyWeisbachPerMetre) {
    const float lambda = 0.0213f;
    EXPECT_EQ(*rm(lambda, 1, 10), static_cast<double>(lambda) * 1.204 * 10 * 10 / 2);
    EXPECT_EQ(*rm(0, 0.3f, 12), 0.0);
    EXPECT_FALSE(rm(lambda, 0, 10).has_value());
}

}  // namespace
