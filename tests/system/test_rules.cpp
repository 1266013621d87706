// SPDX-License-Identifier: GPL-3.0-or-later
// The system's rules that every front end shares: choosing a size against
// limits and a code's velocities, the air from what a user typed, the
// formulas in use, the segments beyond a branch and the laminar rule.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "system/air_state.h"
#include "system/presets.h"
#include "system/report.h"
#include "system/sizes.h"
#include "system/system.h"

namespace {

// --- velocity limits -------------------------------------------------------

struct CeilingCase {
    const char* name;
    std::optional<double> maxVelocity;
    const char* preset;  // slug, or "" for none
    std::optional<double> ceiling;
};
void PrintTo(const CeilingCase& c, std::ostream* os) { *os << c.name; }

class VelocityCeiling : public testing::TestWithParam<CeilingCase> {};
TEST_P(VelocityCeiling, TheTighterLimitHolds) {
    const CeilingCase& c = GetParam();
    ductsys::SizeLimits limits{.maxVelocity = c.maxVelocity};
    if (*c.preset) {
        limits.preset = ductsys::findVelocityPreset(c.preset);
        ASSERT_NE(limits.preset, nullptr);
    }
    EXPECT_EQ(limits.velocityCeiling(), c.ceiling);
    EXPECT_EQ(limits.any(), c.ceiling.has_value());
}
INSTANTIATE_TEST_SUITE_P(
    Sizes, VelocityCeiling,
    testing::Values(CeilingCase{"no_limit_at_all", std::nullopt, "", std::nullopt},
                    CeilingCase{"a_typed_limit_alone", 7.0, "", 7.0},
                    CeilingCase{"a_preset_alone_gives_its_largest", std::nullopt, "public-main",
                                8.0},
                    CeilingCase{"a_looser_typed_limit_leaves_the_codes", 12.0, "public-main", 8.0},
                    CeilingCase{"a_tighter_typed_limit_wins", 5.0, "public-main", 5.0},
                    CeilingCase{"equal_limits", 8.0, "public-main", 8.0}),
    [](const auto& info) { return std::string(info.param.name); });

calc::DuctInput ductOf(const char* flow) {
    calc::DuctInput input;
    input.flow = flow;
    input.standard = true;
    return input;
}

TEST(Sizes, APresetWithALooserVelocityNeverPassesASizeOverTheCodesLimit) {
    std::vector<ductsys::SizeCandidate> sizes = ductsys::sizeCandidates(ductOf("3000"), 4);
    ductsys::rankSizes(sizes, std::nullopt);
    const ductsys::VelocityPreset* preset = ductsys::findVelocityPreset("public-main");
    ductsys::judgeSizes(sizes, {.maxVelocity = 12.0, .preset = preset});
    bool betweenTheLimits = false;
    for (const ductsys::SizeCandidate& c : sizes) {
        ASSERT_TRUE(c.meets.has_value()) << c.label;
        EXPECT_EQ(*c.meets, c.velocity <= 8.0) << c.label << ' ' << c.velocity;
        EXPECT_EQ(*c.recommended, *c.meets && c.velocity >= 5.0 && c.velocity <= 6.5) << c.label;
        betweenTheLimits |= c.velocity > 8.0 && c.velocity <= 12.0;
    }
    EXPECT_TRUE(betweenTheLimits) << "the case must have a size the looser limit would let by";
}

TEST(Sizes, CandidatesComeDiametersFirstThenSidesWithinTheAspect) {
    const std::vector<ductsys::SizeCandidate> sizes = ductsys::sizeCandidates(ductOf("1000"), 2);
    ASSERT_FALSE(sizes.empty());
    EXPECT_EQ(sizes.front().shape, calc::Shape::circular);
    EXPECT_EQ(sizes.back().shape, calc::Shape::rectangular);
    bool sawSquare = false;
    for (const ductsys::SizeCandidate& c : sizes) {
        EXPECT_TRUE(c.computed()) << c.label;
        if (c.shape != calc::Shape::rectangular) continue;
        const std::size_t x = c.text.find('x');
        const double a = std::stod(c.text.substr(0, x)), b = std::stod(c.text.substr(x + 1));
        EXPECT_GE(a, b) << c.text;
        EXPECT_LE(a, 2 * b) << c.text;
        sawSquare |= a == b;
    }
    EXPECT_TRUE(sawSquare);
    // The worked duct: φ200 at 1000 m3/h.
    const auto d200 =
        std::find_if(sizes.begin(), sizes.end(), [](const auto& c) { return c.text == "200"; });
    ASSERT_NE(d200, sizes.end());
    EXPECT_EQ(d200->label, "φ200");
    EXPECT_FLOAT_EQ(d200->velocity, 8.841949f);
}

TEST(Sizes, TheFirstMeetingSizeOfEachShapeIsTheSmallestAndOnlyOne) {
    std::vector<ductsys::SizeCandidate> sizes = ductsys::sizeCandidates(ductOf("1000"), 4);
    ductsys::rankSizes(sizes, std::nullopt);
    ductsys::judgeSizes(sizes, {.maxVelocity = 6.0});
    int circular = 0, rectangular = 0;
    for (const ductsys::SizeCandidate& c : sizes)
        if (c.smallest) ++(c.shape == calc::Shape::circular ? circular : rectangular);
    EXPECT_EQ(circular, 1);
    EXPECT_EQ(rectangular, 1);
    const auto first = std::find_if(sizes.begin(), sizes.end(), [](const auto& c) {
        return c.smallest && c.shape == calc::Shape::circular;
    });
    ASSERT_NE(first, sizes.end());
    EXPECT_EQ(first->label, "φ250");
}

TEST(Sizes, NoLimitMarksNothing) {
    std::vector<ductsys::SizeCandidate> sizes = ductsys::sizeCandidates(ductOf("1000"), 4);
    ductsys::judgeSizes(sizes, {});
    for (const ductsys::SizeCandidate& c : sizes) {
        EXPECT_FALSE(c.meets.has_value());
        EXPECT_FALSE(c.smallest);
    }
}

// --- presets by name -----------------------------------------------------------

struct PresetName {
    const char* typed;
    const char* slug;  // "" for none
};
class PresetNames : public testing::TestWithParam<PresetName> {};
TEST_P(PresetNames, FindTheRow) {
    const ductsys::VelocityPreset* p = ductsys::findVelocityPreset(GetParam().typed);
    if (!*GetParam().slug) {
        EXPECT_EQ(p, nullptr);
        return;
    }
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->slug, GetParam().slug);
}
INSTANTIATE_TEST_SUITE_P(
    Presets, PresetNames,
    testing::Values(PresetName{"public-main", "public-main"},
                    PresetName{"公共建筑 干管", "public-main"},
                    PresetName{"公共建筑干管", "public-main"},
                    PresetName{"住宅从支管上接出的风管", "residential-sub-branch"},
                    PresetName{"工业金属及非金属风管支管", "industrial-metal-branch"},
                    PresetName{"office", ""}, PresetName{"", ""}));

// --- the laminar rule ------------------------------------------------------------

struct LaminarCase {
    float reynolds;
    bool laminar;
};
class Laminar : public testing::TestWithParam<LaminarCase> {};
TEST_P(Laminar, BelowTwentyThreeHundredWithAir) {
    EXPECT_EQ(ductsys::isLaminar(GetParam().reynolds), GetParam().laminar);
}
INSTANTIATE_TEST_SUITE_P(Reynolds, Laminar,
                         testing::Values(LaminarCase{0, false}, LaminarCase{-1, false},
                                         LaminarCase{1, true}, LaminarCase{2299.9f, true},
                                         LaminarCase{2300, false}, LaminarCase{117423, false}));

TEST(Laminar, ASegmentWithoutAirIsNotLaminar) {
    const ductsys::SegmentTexts rows[] = {
        {.segment = "A", .from = "0", .to = "1", .flow = "0", .size = "200"},
        {.segment = "B", .from = "1", .to = "2", .flow = "1", .size = "2000"},
        {.segment = "C", .from = "1", .to = "3", .flow = "1000", .size = "200"}};
    const ductsys::SystemResult r = ductsys::computeSystem(rows);
    ASSERT_EQ(r.segments.size(), 3u);
    EXPECT_FALSE(r.segments[0].laminar());
    EXPECT_TRUE(r.segments[1].laminar());
    EXPECT_FALSE(r.segments[2].laminar());
}

// --- the air -------------------------------------------------------------------

struct AirCase {
    const char* name;
    const char* temperature;
    const char* altitude;
    ductsys::AirProblem problem;
    double shownTemperature;  // when read
    bool given;
};
void PrintTo(const AirCase& c, std::ostream* os) { *os << c.name; }
class AirFromBoxes : public testing::TestWithParam<AirCase> {};
TEST_P(AirFromBoxes, ReadOrRefused) {
    const AirCase& c = GetParam();
    const ductsys::AirReading r = ductsys::airInUse(c.temperature, c.altitude);
    EXPECT_EQ(r.problem, c.problem);
    if (!r.ok()) return;
    EXPECT_EQ(r.air.temperature, c.shownTemperature);
    EXPECT_EQ(r.air.given, c.given);
}
INSTANTIATE_TEST_SUITE_P(
    Air, AirFromBoxes,
    testing::Values(
        AirCase{"both_empty_is_the_windows_air", "", " ", ductsys::AirProblem::none, 20, false},
        AirCase{"a_temperature_alone", "40", "", ductsys::AirProblem::none, 40, true},
        AirCase{"an_altitude_alone_is_at_twenty_degrees", "", "1500", ductsys::AirProblem::none, 20,
                true},
        AirCase{"an_unreadable_temperature", "abc", "", ductsys::AirProblem::unreadableTemperature,
                0, false},
        AirCase{"a_temperature_with_a_tail", "40abc", "",
                ductsys::AirProblem::unreadableTemperature, 0, false},
        AirCase{"an_unreadable_altitude_is_not_sea_level", "20", "abc",
                ductsys::AirProblem::unreadableAltitude, 0, false},
        AirCase{"an_altitude_beyond_the_atmosphere", "", "50000",
                ductsys::AirProblem::beyondAtmosphere, 0, false},
        AirCase{"below_absolute_zero", "-300", "", ductsys::AirProblem::noAir, 0, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Air, NothingGivenIsTheWindowsAirAtTheStandardState) {
    const ductsys::AirReading r = ductsys::airInUse(ductsys::AirGiven{});
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.air.temperature, ductsys::kStandardTemperatureC);
    EXPECT_EQ(r.air.pressure, ductsys::kSeaLevelKPa);
    EXPECT_EQ(r.air.state.density, calc::AirState{}.density);
    EXPECT_FALSE(r.air.given);
}

TEST(Air, APressureGivenWinsAndAnAltitudeGivesItsPressure) {
    const ductsys::AirReading p = ductsys::airInUse({.temperature = 40, .pressure = 90});
    ASSERT_TRUE(p.ok());
    EXPECT_EQ(p.air.pressure, 90);
    EXPECT_EQ(p.air.state.density, ductsys::airAt(40, 90)->density);
    const ductsys::AirReading a = ductsys::airInUse({.altitude = 1500});
    ASSERT_TRUE(a.ok());
    EXPECT_EQ(a.air.pressure, *ductsys::pressureAtAltitude(1500));
    const ductsys::AirReading zero = ductsys::airInUse({.temperature = 20, .pressure = 0});
    EXPECT_EQ(zero.problem, ductsys::AirProblem::noAir);
    EXPECT_EQ(zero.air.pressure, 0);  // named in the message
}

// --- the formulas in use ---------------------------------------------------------

struct FormulaCase {
    const char* name;
    std::vector<const char*> formulas;
    const char* inUse;
};
void PrintTo(const FormulaCase& c, std::ostream* os) { *os << c.name; }
class FormulasInUse : public testing::TestWithParam<FormulaCase> {};
TEST_P(FormulasInUse, AsTheSegmentsAreComputed) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < GetParam().formulas.size(); ++i)
        names.push_back(std::to_string(i + 1));
    std::vector<ductsys::SegmentTexts> rows;
    for (std::size_t i = 0; i < names.size(); ++i)
        rows.push_back({.segment = names[i],
                        .from = i == 0 ? "0" : "1",
                        .to = names[i],
                        .flow = "1000",
                        .size = "200",
                        .formula = GetParam().formulas[i]});
    const ductsys::SystemResult r = ductsys::computeSystem(rows);
    EXPECT_EQ(ductsys::formulasInUse(r), GetParam().inUse);
}
INSTANTIATE_TEST_SUITE_P(
    Formulas, FormulasInUse,
    testing::Values(FormulaCase{"none_given_is_the_systems_formula_two", {""}, "2"},
                    FormulaCase{"two", {"2"}, "2"},
                    FormulaCase{"two_with_a_leading_blank", {" 2"}, "2"},
                    FormulaCase{"two_with_blanks_around", {"2 ", "1"}, "1, 2"},
                    FormulaCase{"both", {"1", "2"}, "1, 2"},
                    FormulaCase{"no_segment_is_one", {}, "1"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FormulasInUse, TheSegmentCarriesTheFormulaItIsComputedWith) {
    const ductsys::SegmentTexts one{.segment = "A", .flow = "1000", .size = "200", .formula = " 2"};
    const ductsys::SegmentTexts two{.segment = "A", .flow = "1000", .size = "200", .formula = "2"};
    const ductsys::SystemResult a = ductsys::computeSystem({&one, 1});
    const ductsys::SystemResult b = ductsys::computeSystem({&two, 1});
    EXPECT_EQ(a.segments[0].formula, 2);
    EXPECT_EQ(a.segments[0].lambda, b.segments[0].lambda);
}

// --- the segments beyond a branch ---------------------------------------------------

TEST(SegmentsBeyond, TheSegmentAndEverySegmentAwayFromTheFan) {
    // 0 -A- 1 -B- 2 -C- 3
    //         \-D- 4 -E- 5
    const ductsys::SegmentTexts rows[] = {
        {.segment = "E", .from = "4", .to = "5", .flow = "100", .size = "100"},
        {.segment = "A", .from = "0", .to = "1", .size = "300"},
        {.segment = "B", .from = "1", .to = "2", .size = "200"},
        {.segment = "C", .from = "2", .to = "3", .flow = "300", .size = "200"},
        {.segment = "D", .from = "1", .to = "4", .size = "150"}};
    ductsys::Options options;
    options.fanNode = "0";
    const ductsys::SystemResult r = ductsys::computeSystem(rows, options);
    ASSERT_TRUE(r.topologyOk());
    using V = std::vector<std::uint32_t>;
    EXPECT_EQ(ductsys::segmentsBeyond(r, 1), (V{0, 1, 2, 3, 4}));
    EXPECT_EQ(ductsys::segmentsBeyond(r, 2), (V{2, 3}));
    EXPECT_EQ(ductsys::segmentsBeyond(r, 4), (V{0, 4}));
    EXPECT_EQ(ductsys::segmentsBeyond(r, 0), (V{0}));
    EXPECT_EQ(ductsys::segmentsBeyond(r, 5), V{});
    EXPECT_EQ(ductsys::segmentsBeyond(r, ductsys::kNone), V{});
}

}  // namespace
