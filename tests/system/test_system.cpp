// SPDX-License-Identifier: GPL-3.0-or-later
// A small system worked by hand, the run in file order against the
// command line's table, flows summed toward the fan, row errors, sums of
// loss coefficients, a run too deep for recursion.

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "calc/number_text.h"
#include "messages/catalogue.h"
#include "system/readers.h"
#include "system/system.h"

namespace {

// The reasons as the command line words them.
std::string english(const msg::Messages& reasons) {
    return msg::renderList(reasons, msg::Language::english);
}
std::string english(const msg::Message& message) {
    return msg::render(message, msg::Language::english);
}

using ductsys::Figure;
using ductsys::kNone;
using ductsys::SegmentTexts;
using ductsys::SystemResult;

// A figure as the window shows it, without the leading blank.
std::string shown(float x) {
    std::string text = calc::numberText(x);
    if (!text.empty() && text.front() == ' ') text.erase(0, 1);
    return text;
}

std::uint32_t byName(const SystemResult& r, std::string_view name) {
    for (std::uint32_t s = 0; s < r.segments.size(); ++s)
        if (r.segmentNames[s] == name) return s;
    ADD_FAILURE() << "no segment " << name;
    return 0;
}

// The system, fan at node F (thin steel sheet, formula 1):
//
//   F ──F-A (Σ, 500x320, 5 m, ζ 0.5)── A ──A-B (2500, 400x250, 8 m, ζ 0.3)── B
//   │                                   └──A-C (2500, 400x250, 8 m, ζ 0.25+0.05,
//   │                                            filter dp 10 Pa)── C
//   └──F-G (1000, φ200, 10 m, ζ 0.5)── G
//
// Per segment, from the window's worked examples (README):
//   F-A: flow 2500 + 2500 = 5000 m3/h; De 0.3902439, v 8.680555, Re 224935.8,
//        λ 0.01596997, Rm 1.856349; Rm·l 9.281743, Pd 45.36193,
//        Z 0.5 x 45.36193 = 22.68096; total 31.96271.
//   A-B: De 0.3076923, v 6.944444, Re 141882.6, λ 0.01683715, Rm 1.588632;
//        Rm·l 12.70906, Pd 29.03163, Z 0.3 x 29.03163 = 8.70949; total 21.41855.
//   A-C: the same duct; ζ 0.25 + 0.05 = 0.3, so Z 8.70949;
//        total 12.70906 + 8.70949 + 10 = 31.41855.
//   F-G: De 0.2, v 8.841949, Re 117423, λ 0.01859947, Rm 4.376865;
//        Rm·l 43.76865, Pd 47.06439, Z 0.5 x 47.06439 = 23.53220;
//        total 67.30085.
// Paths: B 31.96271 + 21.41855 = 53.38126; C 31.96271 + 31.41855 = 63.38126;
//        G 67.30085, the index run.
// Junction A: branches 21.41855 and 31.41855, imbalance 10 / 31.41855 =
//        0.3183 > 0.15, flagged.
// Junction F: branches F-A 31.96271 + 31.41855 = 63.38126 and F-G 67.30085,
//        imbalance 3.91959 / 67.30085 = 0.05824, within 0.15.
// Fan: 5000 + 1000 = 6000 m3/h; 67.30085 x 1.1 = 74.03094 Pa.
// The figures worked by hand below are 公式一's, the window's formula.
ductsys::Options formulaOne() {
    ductsys::Options o;
    o.formula = 1;
    return o;
}

class HandWorkedSystem : public ::testing::Test {
protected:
    static SystemResult compute() {
        const std::vector<SegmentTexts> rows = {
            {.segment = "F-A", .size = "500x320", .length = "5", .zeta = "0.5"},
            {.segment = "A-B", .flow = "2500", .size = "400x250", .length = "8", .zeta = "0.3"},
            {.segment = "A-C",
             .flow = "2500",
             .size = "400×250",
             .length = "8",
             .zeta = "0.25+0.05",
             .dp = "10"},
            {.segment = "F-G", .flow = "1000", .size = "φ200", .length = "10", .zeta = "0.5"},
        };
        return ductsys::computeSystem(rows, formulaOne());
    }
    const SystemResult r = compute();
    const std::uint32_t fa = byName(r, "F-A"), ab = byName(r, "A-B"), ac = byName(r, "A-C"),
                        fg = byName(r, "F-G");
    static constexpr double kPa = 1e-4;  // the figures above carry seven digits
};

TEST_F(HandWorkedSystem, ComputesEverySegmentWithoutErrors) {
    EXPECT_TRUE(r.errors.empty());
    EXPECT_TRUE(r.complete());
    for (const ductsys::Segment& s : r.segments) EXPECT_EQ(english(s.reason), "");
}

TEST_F(HandWorkedSystem, SumsTheFlowOfTheSegmentBeforeTheJunction) {
    EXPECT_FALSE(r.segments[fa].flowGiven);
    EXPECT_EQ(r.segments[fa].flow, 5000.0f);
    EXPECT_EQ(shown(r.segments[fa].velocity), "8.680555");
    EXPECT_EQ(shown(r.segments[fa].reynolds), "224935.8");
    EXPECT_EQ(shown(r.segments[fa].lambda), "0.01596997");
    EXPECT_EQ(shown(r.segments[fa].rm), "1.856349");
    EXPECT_EQ(shown(r.segments[fa].frictionLoss), "9.281743");
    EXPECT_EQ(shown(r.segments[fa].velocityPressure), "45.36193");
    EXPECT_EQ(shown(r.segments[fa].localLoss), "22.68096");
    EXPECT_EQ(shown(r.segments[fa].total), "31.96271");
}

TEST_F(HandWorkedSystem, GivesEachBranchItsFigures) {
    for (std::uint32_t s : {ab, ac}) {
        EXPECT_EQ(shown(r.segments[s].eqDiameter), "0.3076923");
        EXPECT_EQ(shown(r.segments[s].velocity), "6.944444");
        EXPECT_EQ(shown(r.segments[s].rm), "1.588632");
        EXPECT_EQ(shown(r.segments[s].frictionLoss), "12.70906");
        EXPECT_EQ(shown(r.segments[s].velocityPressure), "29.03163");
        EXPECT_EQ(shown(r.segments[s].localLoss), "8.70949");
    }
    EXPECT_EQ(shown(r.segments[ab].total), "21.41855");
    EXPECT_DOUBLE_EQ(r.segments[ac].zeta, 0.3);
    EXPECT_EQ(r.segments[ac].dp, 10.0);
    EXPECT_NEAR(r.segments[ac].total, 31.41855, kPa);
    EXPECT_EQ(shown(r.segments[fg].rm), "4.376865");
    EXPECT_EQ(shown(r.segments[fg].velocityPressure), "47.06439");
    EXPECT_NEAR(r.segments[fg].localLoss, 23.53220, kPa);
    EXPECT_NEAR(r.segments[fg].total, 67.30085, kPa);
}

TEST_F(HandWorkedSystem, SumsEachPathFromTheFan) {
    EXPECT_NEAR(r.segments[fa].pathTotal, 31.96271, kPa);
    EXPECT_NEAR(r.segments[ab].pathTotal, 53.38126, kPa);
    EXPECT_NEAR(r.segments[ac].pathTotal, 63.38126, kPa);
    EXPECT_NEAR(r.segments[fg].pathTotal, 67.30085, kPa);
    EXPECT_EQ(r.outlets, (std::vector<std::uint32_t>{ab, ac, fg}));
    EXPECT_EQ(r.pathTo(ac), (std::vector<std::uint32_t>{fa, ac}));
}

TEST_F(HandWorkedSystem, FlagsTheJunctionOverFifteenPercentOnly) {
    ASSERT_EQ(r.junctions.size(), 2u);
    // F appears before A.
    const ductsys::Junction& f = r.junctions[0];
    const ductsys::Junction& a = r.junctions[1];
    EXPECT_EQ(r.nodeNames[f.node], "F");
    EXPECT_EQ(r.nodeNames[a.node], "A");
    ASSERT_EQ(a.branchCount, 2u);
    EXPECT_EQ(r.branches[a.firstBranch].segment, ab);
    EXPECT_NEAR(*r.branches[a.firstBranch].total, 21.41855, kPa);
    EXPECT_NEAR(*r.branches[a.firstBranch + 1].total, 31.41855, kPa);
    EXPECT_NEAR(*a.imbalance, 0.3183, 1e-4);
    EXPECT_TRUE(a.flagged);
    EXPECT_NEAR(*r.branches[f.firstBranch].total, 63.38126, kPa);
    EXPECT_NEAR(*r.branches[f.firstBranch + 1].total, 67.30085, kPa);
    EXPECT_NEAR(*f.imbalance, 0.05824, 1e-5);
    EXPECT_FALSE(f.flagged);
}

TEST_F(HandWorkedSystem, SizesTheFanOnTheIndexRun) {
    EXPECT_EQ(r.nodeNames[r.fan.node], "F");
    EXPECT_EQ(*r.fan.airVolume, 6000.0);
    EXPECT_EQ(r.fan.indexOutlet, fg);
    EXPECT_NEAR(*r.fan.indexTotal, 67.30085, kPa);
    EXPECT_NEAR(*r.fan.pressure, 74.03094, kPa);
    EXPECT_EQ(english(r.fan.reason), "");
}

// README.md's run.csv, as `ductcalc-cli table` computes it: once with names
// that give no nodes, so that the rows form one run in file order, and once
// with its own names 1-2 … 4-5, whose nodes form the same run.
class RunInFileOrder : public ::testing::TestWithParam<std::array<const char*, 4>> {};

TEST_P(RunInFileOrder, GivesTheTableCommandsFigures) {
    const std::array<const char*, 4>& names = GetParam();
    const std::vector<SegmentTexts> rows = {
        {.segment = names[0], .flow = "1000", .size = "200", .length = "10", .zeta = "1.5"},
        {.segment = names[1], .flow = "2500", .size = "400x250", .length = "8", .zeta = "0.3"},
        {.segment = names[2], .flow = "5000", .size = "500x320", .length = "5", .zeta = "0.5"},
        {.segment = names[3], .flow = "5000", .size = "φ450", .length = "12", .zeta = "1.2"},
    };
    // segment, De, v, Re, λ, Rm, Rm·l, Pd, Z, total, running total
    const std::vector<std::vector<std::string>> expected = {
        {"0.2", "8.841949", "117423", "0.01859947", "4.376865", "43.76865", "47.06439", "70.59659",
         "114.3652", "114.3652"},
        {"0.3076923", "6.944444", "141882.6", "0.01683715", "1.588632", "12.70906", "29.03163",
         "8.70949", "21.41855", "135.7838"},
        {"0.3902439", "8.680555", "224935.8", "0.01596997", "1.856349", "9.281743", "45.36193",
         "22.68096", "31.96271", "167.7465"},
        {"0.45", "8.732789", "260939.9", "0.01548191", "1.579481", "18.95378", "45.90948",
         "55.09138", "74.04516", "241.7917"},
    };
    const SystemResult r = ductsys::computeSystem(rows, formulaOne());
    ASSERT_TRUE(r.errors.empty());
    ASSERT_EQ(r.segments.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        const ductsys::Segment& s = r.segments[i];
        SCOPED_TRACE(r.segmentNames[static_cast<std::uint32_t>(i)]);
        float running = 0;
        ASSERT_TRUE(calc::storeSingle(running, s.pathTotal));
        const std::vector<std::string> got = {shown(s.eqDiameter),
                                              shown(s.velocity),
                                              shown(s.reynolds),
                                              shown(s.lambda),
                                              shown(s.rm),
                                              shown(s.frictionLoss),
                                              shown(s.velocityPressure),
                                              shown(s.localLoss),
                                              shown(s.total),
                                              shown(running)};
        EXPECT_EQ(got, expected[i]);
    }
    EXPECT_EQ(r.outlets, std::vector<std::uint32_t>{3});
    EXPECT_TRUE(r.junctions.empty());
    EXPECT_EQ(r.fan.indexOutlet, 3u);
    EXPECT_EQ(*r.fan.airVolume, 1000.0);
}

INSTANTIATE_TEST_SUITE_P(Names, RunInFileOrder,
                         ::testing::Values(std::array<const char*, 4>{"S1", "S2", "S3", "S4"},
                                           std::array<const char*, 4>{"1-2", "2-3", "3-4", "4-5"}));

// A flow left empty is summed in double from the stored air volumes and read
// as if typed in m3/h, whatever unit the rows beyond were typed in.
TEST(SummedFlow, AddsTheStoredVolumesOfTheSegmentsBeyond) {
    const std::vector<SegmentTexts> rows = {
        {.segment = "1-2", .size = "630x400"},
        {.segment = "2-3", .flow = "0.1", .unit = "m3/s", .size = "200"},
        {.segment = "2-4", .flow = "100", .unit = "CFM", .size = "200"},
    };
    const SystemResult r = ductsys::computeSystem(rows);
    float expected = 0;
    ASSERT_TRUE(calc::storeSingle(expected, static_cast<double>(r.segments[1].flow) +
                                                static_cast<double>(r.segments[2].flow)));
    EXPECT_EQ(r.segments[1].flow, 360.0f);
    EXPECT_EQ(r.segments[2].flow, 169.9f);
    EXPECT_EQ(r.segments[0].flow, expected);
    EXPECT_EQ(*r.fan.airVolume, static_cast<double>(expected));
}

TEST(SummedFlow, IsInCubicMetresAnHourWhateverTheRowsUnit) {
    const std::vector<SegmentTexts> rows = {
        {.segment = "1-2", .unit = "l/s", .size = "630x400"},
        {.segment = "2-3", .flow = "1000", .size = "200"},
        {.segment = "2-4", .flow = "800", .size = "200"},
    };
    const SystemResult r = ductsys::computeSystem(rows);
    EXPECT_EQ(english(r.segments[0].reason), "");
    EXPECT_EQ(r.segments[0].flow, 1800.0f);
}

TEST(SummedFlow, AnOutletLeftEmptyFailsAndSoDoesEverythingBeforeIt) {
    const std::vector<SegmentTexts> rows = {
        {.segment = "1-2", .size = "630x400", .length = "3"},
        {.segment = "2-3", .size = "200", .length = "3"},
        {.segment = "2-4", .flow = "800", .size = "200", .length = "3"},
    };
    const SystemResult r = ductsys::computeSystem(rows);
    EXPECT_TRUE(r.errors.empty());
    EXPECT_NE(english(r.segments[1].reason).find("outlet"), std::string::npos)
        << english(r.segments[1].reason);
    EXPECT_NE(english(r.segments[0].reason).find("\"2-3\" has no air volume"), std::string::npos)
        << english(r.segments[0].reason);
    EXPECT_EQ(english(r.segments[2].reason), "");
    // What does not depend on the flow is still there.
    EXPECT_TRUE(r.segments[1].has(Figure::eqDiameter));
    EXPECT_TRUE(r.segments[1].has(Figure::length));
    EXPECT_FALSE(r.segments[1].has(Figure::velocity));
    EXPECT_FALSE(r.segments[0].has(Figure::total));
    EXPECT_FALSE(r.fan.pressure.has_value());
    EXPECT_FALSE(r.fan.airVolume.has_value());
    EXPECT_FALSE(r.complete());
}

struct RowErrorCase {
    const char* name;
    SegmentTexts row;
    const char* reason;    // part of the reason
    Figure kept, missing;  // a figure still computed, one that is not
};

class RowErrors : public ::testing::TestWithParam<RowErrorCase> {};

TEST_P(RowErrors, SayWhyAndKeepWhatCouldBeComputed) {
    const RowErrorCase& c = GetParam();
    const SystemResult r = ductsys::computeSystem(std::vector<SegmentTexts>{c.row});
    ASSERT_EQ(r.segments.size(), 1u);
    const ductsys::Segment& s = r.segments[0];
    EXPECT_NE(english(s.reason).find(c.reason), std::string::npos) << english(s.reason);
    EXPECT_TRUE(s.has(c.kept));
    EXPECT_FALSE(s.has(c.missing));
    EXPECT_FALSE(s.has(Figure::total));
    EXPECT_FALSE(r.fan.pressure.has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Table, RowErrors,
    ::testing::Values(
        RowErrorCase{"UnknownUnit",
                     {.segment = "1-2", .flow = "1000", .unit = "gal", .size = "200"},
                     "unit \"gal\"",
                     Figure::eqDiameter,
                     Figure::velocity},
        RowErrorCase{"SizeThatIsNoSize",
                     {.segment = "1-2", .flow = "1000", .size = "50O", .length = "2"},
                     "size \"50O\" is not a size",
                     Figure::flow,
                     Figure::eqDiameter},
        RowErrorCase{"NegativeLength",
                     {.segment = "1-2", .flow = "1000", .size = "200", .length = "-3"},
                     "length \"-3\" is negative",
                     Figure::rm,
                     Figure::frictionLoss},
        RowErrorCase{"NegativeFlow",
                     {.segment = "1-2", .flow = "-1000", .size = "200"},
                     "flow \"-1000\" is negative",
                     Figure::eqDiameter,
                     Figure::flow},
        RowErrorCase{"UnknownMaterial",
                     {.segment = "1-2", .flow = "1000", .size = "200", .material = "glass"},
                     "material \"glass\"",
                     Figure::velocityPressure,
                     Figure::rm},
        RowErrorCase{"ZetaTermNotANumber",
                     {.segment = "1-2", .flow = "1000", .size = "200", .zeta = "0.3+x"},
                     "zeta term \"x\" is not a number",
                     Figure::frictionLoss,
                     Figure::localLoss},
        RowErrorCase{"FlowBeyondTheSingleRange",
                     {.segment = "1-2", .flow = "1e40", .size = "200"},
                     "beyond the range",
                     Figure::eqDiameter,
                     Figure::velocity},
        RowErrorCase{"LossesBeyondTheSingleRange",
                     {.segment = "1-2", .flow = "1000", .size = "200", .length = "1e38"},
                     "losses are beyond the range",
                     Figure::rm,
                     Figure::frictionLoss},
        RowErrorCase{"NegativeFixedLoss",
                     {.segment = "1-2", .flow = "1000", .size = "200", .dp = "-5"},
                     "dp \"-5\" is negative",
                     Figure::localLoss,
                     Figure::dp}),
    [](const auto& info) { return std::string(info.param.name); });

// What a failed or partial row leaves to the segments around it, and the
// figures a row computes without what they need.
struct Consequence {
    const char* name;
    std::vector<SegmentTexts> rows;
    double maxImbalance;
    void (*check)(const SystemResult&);
};
void PrintTo(const Consequence& c, std::ostream* os) { *os << c.name; }

class Consequences : public ::testing::TestWithParam<Consequence> {};

TEST_P(Consequences, FollowFromTheirCause) {
    ductsys::Options options;
    options.maxImbalance = GetParam().maxImbalance;
    const SystemResult r = ductsys::computeSystem(GetParam().rows, options);
    ASSERT_TRUE(r.errors.empty()) << english(r.errors[0].message);
    GetParam().check(r);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Consequences,
    ::testing::Values(
        Consequence{"NoPathTotalAfterASegmentWithout",
                    {{.segment = "1-2", .flow = "1000", .size = "50O"},
                     {.segment = "2-3", .flow = "1000", .size = "200", .length = "2"}},
                    0.15,
                    [](const SystemResult& r) {
                        EXPECT_TRUE(r.segments[1].has(Figure::total));
                        EXPECT_FALSE(r.segments[1].has(Figure::pathTotal));
                        EXPECT_FALSE(r.fan.pressure.has_value());
                    }},
        Consequence{"ABranchWithAnUnknownPartHasNoTotal",
                    {{.segment = "1-2", .size = "400"},
                     {.segment = "2-3", .flow = "1000", .size = "200", .length = "2"},
                     {.segment = "2-4", .flow = "1000", .size = "200", .length = "2"},
                     {.segment = "4-5", .flow = "1000", .size = "abc", .length = "2"}},
                    0.15,
                    [](const SystemResult& r) {
                        ASSERT_EQ(r.junctions.size(), 1u);
                        ASSERT_EQ(r.branches.size(), 2u);
                        EXPECT_TRUE(r.branches[0].total.has_value());
                        EXPECT_FALSE(r.branches[1].total.has_value());
                        EXPECT_FALSE(r.junctions[0].imbalance.has_value());
                        EXPECT_FALSE(r.junctions[0].flagged);
                    }},
        // Totals of fixed losses alone: 100 and 85 Pa, (100 - 85) / 100.
        Consequence{"AnImbalanceExactlyAtTheLimitIsNotFlagged",
                    {{.segment = "1-2", .size = "400", .length = "0"},
                     {.segment = "2-3", .flow = "1000", .size = "200", .length = "0", .dp = "100"},
                     {.segment = "2-4", .flow = "1000", .size = "200", .length = "0", .dp = "85"}},
                    0.15,
                    [](const SystemResult& r) {
                        ASSERT_EQ(r.junctions.size(), 1u);
                        EXPECT_EQ(*r.junctions[0].imbalance, 0.15);
                        EXPECT_FALSE(r.junctions[0].flagged);
                    }},
        Consequence{"AnImbalanceJustAboveTheLimitIsFlagged",
                    {{.segment = "1-2", .size = "400", .length = "0"},
                     {.segment = "2-3", .flow = "1000", .size = "200", .length = "0", .dp = "100"},
                     {.segment = "2-4", .flow = "1000", .size = "200", .length = "0", .dp = "85"}},
                    0.149,
                    [](const SystemResult& r) {
                        ASSERT_EQ(r.junctions.size(), 1u);
                        EXPECT_TRUE(r.junctions[0].flagged);
                    }},
        // The fan's message names the first of its segments without air;
        // each of them says why in its own row.
        Consequence{"TheFanNamesItsFirstSegmentWithoutAir",
                    {{.segment = "1-2", .size = "200"}, {.segment = "1-3", .size = "200"}},
                    0.15,
                    [](const SystemResult& r) {
                        EXPECT_EQ(english(r.fan.reason),
                                  "segment \"1-2\" leaving the fan has no air volume; the path "
                                  "to outlet segment \"1-2\" has no total, so the index run is "
                                  "unknown");
                        EXPECT_NE(english(r.segments[1].reason), "");
                    }},
        Consequence{"NoFrictionFactorWithoutAir",
                    {{.segment = "1-2", .flow = "0", .size = "200", .length = "2"}},
                    0.15,
                    [](const SystemResult& r) {
                        EXPECT_TRUE(r.segments[0].has(Figure::velocity));
                        EXPECT_FALSE(r.segments[0].has(Figure::lambda));
                    }},
        Consequence{"AReadingProblemIsTheRowsOnlyReason",
                    {{.segment = "1-2", .flow = "1e40", .size = "200", .length = "-3"}},
                    0.15,
                    [](const SystemResult& r) {
                        EXPECT_EQ(english(r.segments[0].reason), "length \"-3\" is negative");
                    }},
        Consequence{"NoLocalLossWithoutZeta",
                    {{.segment = "1-2", .flow = "1000", .size = "200", .zeta = "abc"}},
                    0.15,
                    [](const SystemResult& r) {
                        EXPECT_TRUE(r.segments[0].has(Figure::velocityPressure));
                        EXPECT_FALSE(r.segments[0].has(Figure::zeta));
                        EXPECT_FALSE(r.segments[0].has(Figure::localLoss));
                    }}),
    [](const auto& info) { return std::string(info.param.name); });

struct ZetaCase {
    const char* name;
    const char* text;
    std::optional<double> sum;
};

class ZetaSums : public ::testing::TestWithParam<ZetaCase> {};

TEST_P(ZetaSums, ReadEachTermWholeAndAddInDouble) {
    const ductsys::NumberRead read = ductsys::readZetaSum(GetParam().text);
    EXPECT_EQ(read.value, GetParam().sum);
    EXPECT_EQ(!read.error, GetParam().sum.has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Table, ZetaSums,
    ::testing::Values(ZetaCase{"Empty", "", 0.0}, ZetaCase{"OneNumber", " 1.5 ", 1.5},
                      ZetaCase{"OneTermPerFitting", "0.3+0.25+1.0", (0.3 + 0.25) + 1.0},
                      ZetaCase{"BlanksAroundTerms", "0.3 + 0.25", 0.3 + 0.25},
                      ZetaCase{"ExponentSignStaysWithItsTerm", "1e+1+2", 12.0},
                      ZetaCase{"NegativeTermOfABranchFitting", "-0.1+0.5", -0.1 + 0.5},
                      ZetaCase{"TrailingPlus", "0.5+", std::nullopt},
                      ZetaCase{"SignedTerm", "0.5++1", 1.5},
                      ZetaCase{"TermWithText", "0.5+1a", std::nullopt},
                      ZetaCase{"CommaAsSeparator", "0.5,1", std::nullopt},
                      ZetaCase{"SumBeyondTheSingleRange", "3e38+3e38", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

// A run deeper than any stack: every traversal is iterative.
TEST(DeepRun, AQuarterMillionSegmentsInFileOrder) {
    constexpr std::size_t kRows = 250000;
    std::vector<SegmentTexts> rows(kRows, SegmentTexts{.size = "200", .length = "1"});
    rows.back().flow = "1000";
    const SystemResult r = ductsys::computeSystem(rows);
    ASSERT_TRUE(r.errors.empty());
    EXPECT_EQ(r.outlets, std::vector<std::uint32_t>{kRows - 1});
    // Every flow summed back to the fan.
    EXPECT_EQ(r.segments.front().flow, 1000.0f);
    EXPECT_EQ(*r.fan.airVolume, 1000.0);
    EXPECT_EQ(r.pathTo(kRows - 1).size(), kRows);
    EXPECT_NEAR(*r.fan.indexTotal, kRows * static_cast<double>(r.segments[0].total), 1e-3);
}

// Rows beyond the first few thousand are read and computed beside the
// finding of their nodes: each segment must still get its own row's texts,
// in its own place, with its warnings under its own index.
TEST(ManyRows, EachSegmentIsComputedFromItsOwnRow) {
    static const char* const kSizes[] = {"200", "500x320", "φ250", "abc", "320*200"};
    static const char* const kZetas[] = {"0.3", "", "0.25+0.1", "x"};
    constexpr std::uint32_t kRows = 24 * 2048 + 7;
    std::vector<std::string> names(kRows), flows(kRows), lengths(kRows);
    std::vector<SegmentTexts> rows(kRows);
    for (std::uint32_t i = 0; i < kRows; ++i) {
        names[i] = std::to_string(i) + "-" + std::to_string(i + 1);
        flows[i] = i % 11 == 5 ? "" : std::to_string(100 + 7 * i);
        lengths[i] = std::to_string(i % 13) + ".5";
        rows[i] = {.segment = names[i],
                   .flow = flows[i],
                   .size = kSizes[i % 5],
                   .length = lengths[i],
                   .zeta = kZetas[i % 4],
                   .dp = i % 17 == 3 ? "150" : "",
                   .k = i % 97 == 1 ? "20" : "",
                   .formula = i % 2 == 0 ? "1" : "2"};
    }
    const SystemResult whole = ductsys::computeSystem(rows);
    ASSERT_EQ(whole.segments.size(), kRows);
    std::vector<std::uint32_t> warned;
    // The held roughness's warnings (the run's given flows, which rise toward
    // its end, are warned of too).
    for (const ductsys::Warning& w : whole.warnings)
        if (msg::render(w.message, msg::Language::english).starts_with("k "))
            warned.push_back(w.segment);
    std::vector<std::uint32_t> heldK;
    for (std::uint32_t i = 0; i < kRows; ++i)
        if (i % 97 == 1) heldK.push_back(i);
    EXPECT_EQ(warned, heldK);

    for (std::uint32_t i = 0; i < kRows; ++i) {
        if (flows[i].empty()) continue;  // its flow is the sum beyond: not its row's alone
        SegmentTexts alone = rows[i];
        alone.segment = "1-2";
        const SystemResult one = ductsys::computeSystem(std::span(&alone, 1));
        const ductsys::Segment& a = whole.segments[i];
        const ductsys::Segment& b = one.segments[0];
        SCOPED_TRACE("row " + std::to_string(i));
        const unsigned own = ~ductsys::figureBit(Figure::pathTotal);
        EXPECT_EQ(a.defined & own, b.defined & own);
        EXPECT_EQ(a.flow, b.flow);
        EXPECT_EQ(a.velocity, b.velocity);
        EXPECT_EQ(a.rm, b.rm);
        EXPECT_EQ(a.length, b.length);
        EXPECT_EQ(a.zeta, b.zeta);
        EXPECT_EQ(a.dp, b.dp);
        EXPECT_EQ(a.total, b.total);
        EXPECT_EQ(a.reason, b.reason);
        if (::testing::Test::HasFailure()) break;
    }
}

// A system whose rows fill whole batches and a few more, on one lane and on
// two: every row is a segment, in its place, computed from its own texts.
struct BatchEdge {
    std::uint32_t rows;
    unsigned jobs;
};

class BatchEdges : public testing::TestWithParam<BatchEdge> {};

TEST_P(BatchEdges, KeepEveryRowUpToTheLast) {
    const auto [count, jobs] = GetParam();
    std::vector<std::string> names(count), flows(count);
    std::vector<SegmentTexts> rows(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        names[i] = std::to_string(i) + "-" + std::to_string(i + 1);
        flows[i] = std::to_string(1000 + i);
        rows[i] = {.segment = names[i], .flow = flows[i], .size = "200", .length = "1"};
    }
    ductsys::Options options;
    options.jobs = jobs;
    const SystemResult r = ductsys::computeSystem(rows, options);
    ASSERT_TRUE(r.errors.empty());
    ASSERT_EQ(r.segments.size(), count);
    ASSERT_EQ(r.segmentNames.size(), count);
    for (std::uint32_t i : {0u, count / 2, count - 1}) {
        SCOPED_TRACE("row " + std::to_string(i));
        EXPECT_EQ(r.segmentNames[i], names[i]);
        EXPECT_TRUE(r.segments[i].ok()) << english(r.segments[i].reason);
        EXPECT_EQ(r.segments[i].flow, static_cast<float>(1000 + i));
    }
    EXPECT_EQ(r.outlets, std::vector<std::uint32_t>{count - 1});
    EXPECT_TRUE(r.fan.indexTotal.has_value());
}

INSTANTIATE_TEST_SUITE_P(Rows, BatchEdges,
                         testing::Values(BatchEdge{1, 2}, BatchEdge{2047, 2}, BatchEdge{2048, 2},
                                         BatchEdge{2049, 1}, BatchEdge{2049, 2}, BatchEdge{4097, 1},
                                         BatchEdge{4097, 2}, BatchEdge{6145, 2},
                                         BatchEdge{3 * 2048 + 2, 2}),
                         [](const auto& info) {
                             return std::to_string(info.param.rows) + "RowsOn" +
                                    std::to_string(info.param.jobs) + "Lanes";
                         });

TEST(BlankRows, AreSkipped) {
    ductsys::SystemBuilder builder;
    EXPECT_EQ(builder.add({.segment = "1-2", .flow = "1000", .size = "200"}), 0u);
    EXPECT_EQ(builder.add({.segment = " ", .flow = "\t"}), kNone);
    EXPECT_EQ(builder.add({.segment = "2-3", .flow = "500", .size = "200"}), 1u);
    EXPECT_EQ(builder.finish().segments.size(), 2u);
}

}  // namespace
