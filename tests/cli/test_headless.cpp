// SPDX-License-Identifier: GPL-3.0-or-later
// The pieces the command line adds to the calculation: whole-number texts,
// material names, a duct computed without a window, and the arithmetic of a
// segment's losses.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>

#include "calc/derived.h"
#include "calc/headless.h"
#include "calc/number_text.h"
#include "calc/tables.h"

namespace {

struct WholeCase {
    const char* text;
    bool whole;
};
void PrintTo(const WholeCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }

class ReadsWhole : public testing::TestWithParam<WholeCase> {};
TEST_P(ReadsWhole, OnlyWhenTheBoxReadsToTheEnd) {
    EXPECT_EQ(calc::readsWhole(GetParam().text), GetParam().whole);
}
INSTANTIATE_TEST_SUITE_P(
    Texts, ReadsWhole,
    testing::Values(WholeCase{"200", true}, WholeCase{"0", true}, WholeCase{"-0", true},
                    WholeCase{"+12.5", true}, WholeCase{"0.16", true}, WholeCase{".5", true},
                    WholeCase{"5.", true}, WholeCase{"1e3", true}, WholeCase{"1E-05", true},
                    WholeCase{"1 000", true},  // blanks are skipped by the box too
                    WholeCase{"1e40", true},   // a number, only too large for a single
                    WholeCase{"1e999", true},  // beyond a double: the recalculation says so
                    WholeCase{"1e-40", true},  // below a single: reads as a tiny number
                    WholeCase{"50O", false},   // letter O typed for a zero
                    WholeCase{"12abc", false}, WholeCase{"1,5", false}, WholeCase{"", false},
                    WholeCase{"  ", false}, WholeCase{"-", false}, WholeCase{"+", false},
                    WholeCase{".", false}, WholeCase{"abc", false}, WholeCase{"inf", false},
                    WholeCase{"nan", false}, WholeCase{"0x10", false}, WholeCase{"1.2.3", false},
                    WholeCase{"--5", false}));

struct NameCase {
    const char* name;
    std::optional<int> index;
};
void PrintTo(const NameCase& c, std::ostream* os) { *os << '"' << c.name << '"'; }

class MaterialIndex : public testing::TestWithParam<NameCase> {};
TEST_P(MaterialIndex, ByCaptionOrEnglishName) {
    EXPECT_EQ(calc::materialIndex(GetParam().name), GetParam().index);
}
INSTANTIATE_TEST_SUITE_P(
    Names, MaterialIndex,
    testing::Values(NameCase{"薄钢板", 0}, NameCase{"thin-steel", 0}, NameCase{"Thin-Steel", 0},
                    NameCase{"塑料板", 1}, NameCase{"plastic", 1}, NameCase{"矿渣石膏板", 2},
                    NameCase{"slag-gypsum", 2}, NameCase{"矿渣混凝土板", 3},
                    NameCase{"slag-concrete", 3}, NameCase{"胶合板", 4}, NameCase{"plywood", 4},
                    NameCase{"砖砌体", 5}, NameCase{"brick", 5}, NameCase{"混凝土", 6},
                    NameCase{"concrete", 6}, NameCase{"木板", 7}, NameCase{"wood", 7},
                    NameCase{"自定义", 8}, NameCase{"custom", 8}, NameCase{"steel", std::nullopt},
                    NameCase{"", std::nullopt}, NameCase{"薄钢", std::nullopt},
                    NameCase{"thin steel", std::nullopt}));

// Each material stores the roughness its box shows by default.
TEST(MaterialRoughness, DefaultBoxTexts) {
    const float expected[] = {0.16f, 0.03f, 1.0f, 1.5f, 1.0f, 5.0f, 2.0f, 0.6f, 10.0f};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(calc::materialRoughness(i), expected[i]) << i;
}

// The worked examples of the window, computed without one.
TEST(ComputeDuct, WorkedExamplesAsTypedSizes) {
    calc::DuctInput input;
    input.flow = "1000";
    input.diameter = "200";
    calc::HeadlessView view(input);
    calc::DuctResult r = calc::computeDuct(input, view);
    EXPECT_TRUE(r.outcome.complete());
    EXPECT_FALSE(r.noSection);
    EXPECT_EQ(view.caption(calc::Result::Label7), " 8.841949 m/s");
    EXPECT_EQ(view.caption(calc::Result::Label11), " 4.376865 Pa/m");

    input.flow = "5000";
    input.shape = calc::Shape::rectangular;
    input.sideA = "500";
    input.sideB = "320";
    input.formula = 2;
    r = calc::computeDuct(input, view);
    EXPECT_EQ(view.caption(calc::Result::Label6), " 500 * 320");
    EXPECT_EQ(view.caption(calc::Result::Label17), " 0.3902439 m");
    EXPECT_EQ(view.caption(calc::Result::Label11), " 2.128793 Pa/m");
}

// Every call starts from a fresh state: a duct without a section shows the
// prompt, not the velocity of the duct computed before it.
TEST(ComputeDuct, NoSectionIsNotTheVelocityOfTheDuctBefore) {
    calc::DuctInput input;
    input.flow = "1000";
    input.diameter = "200";
    calc::HeadlessView view(input);
    calc::computeDuct(input, view);
    input.diameter = "0";
    const calc::DuctResult r = calc::computeDuct(input, view);
    EXPECT_TRUE(r.noSection);
    EXPECT_EQ(view.caption(calc::Result::Label7), calc::kSizePrompt);
    EXPECT_EQ(view.caption(calc::Result::Label15), " 0");
}

TEST(ComputeDuct, FailureLeavesValuesUndefined) {
    calc::DuctInput input;
    input.flow = "1e40";
    calc::HeadlessView view(input);
    const calc::DuctResult r = calc::computeDuct(input, view);
    EXPECT_FALSE(r.outcome.defined(calc::Value::flowRate));
    EXPECT_FALSE(r.outcome.defined(calc::Value::velocity));
    EXPECT_FALSE(r.noSection);
    EXPECT_EQ(view.caption(calc::Result::Label10), calc::kFailMarker);
}

// Segment arithmetic: double from the singles, rounded once.
TEST(SegmentLosses, FormedInDoubleRoundedOnce) {
    const float rm = 4.376865f;
    EXPECT_EQ(calc::frictionLoss(rm, 10), static_cast<float>(static_cast<double>(rm) * 10));
    // 0.1 is no single: a length read as 0.1 is used as the double it reads as.
    EXPECT_EQ(calc::frictionLoss(rm, 0.1), static_cast<float>(static_cast<double>(rm) * 0.1));
    EXPECT_EQ(calc::localLoss(1.5, 47.06439f), static_cast<float>(1.5 * 47.06439f));
    EXPECT_EQ(calc::localLoss(-0.5, 40.0f), -20.0f);  // a branch may gain pressure
}

TEST(SegmentLosses, BeyondSingleIsNone) {
    const float big = std::numeric_limits<float>::max();
    EXPECT_EQ(calc::frictionLoss(big, 10), std::nullopt);
    EXPECT_EQ(calc::localLoss(1e30, big), std::nullopt);
    EXPECT_EQ(calc::velocityPressure(1e20f), std::nullopt);
}

}  // namespace
