// SPDX-License-Identifier: GPL-3.0-or-later
// What keeps segments from forming one tree reached from the fan, each named
// with the segments involved; and the ways nodes are given.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "messages/catalogue.h"
#include "system/system.h"
#include "system/topology.h"

namespace {

// A message as the command line words it.
std::string english(const msg::Message& message) {
    return msg::render(message, msg::Language::english);
}

using ductsys::SegmentTexts;
using ductsys::SystemResult;
using Kind = ductsys::TopologyError::Kind;

// A row of 1000 m3/h in φ200, named `name`, between `from` and `to`.
SegmentTexts row(const char* name, const char* from = "", const char* to = "") {
    return {.segment = name, .from = from, .to = to, .flow = "1000", .size = "200"};
}

struct ErrorCase {
    const char* name;
    std::vector<SegmentTexts> rows;
    const char* fan;
    Kind kind;
    std::vector<std::uint32_t> segments;  // those the error names
    const char* message;                  // part of its message
};

class TopologyErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(TopologyErrors, NameTheSegmentsInvolved) {
    const ErrorCase& c = GetParam();
    ductsys::Options options;
    options.fanNode = c.fan;
    const SystemResult r = ductsys::computeSystem(c.rows, options);
    ASSERT_EQ(r.errors.size(), 1u) << (r.errors.empty() ? "" : english(r.errors[1].message));
    EXPECT_EQ(r.errors[0].kind, c.kind) << english(r.errors[0].message);
    EXPECT_EQ(r.errors[0].segments, c.segments) << english(r.errors[0].message);
    EXPECT_NE(english(r.errors[0].message).find(c.message), std::string::npos)
        << english(r.errors[0].message);
    // Nothing of the system is given for a tree that is not one.
    EXPECT_TRUE(r.junctions.empty());
    EXPECT_FALSE(r.fan.pressure.has_value());
    EXPECT_FALSE(r.complete());
}

INSTANTIATE_TEST_SUITE_P(
    Table, TopologyErrors,
    ::testing::Values(ErrorCase{"CycleBackToTheFan",
                                {row("1-2"), row("2-3"), row("3-1")},
                                "",
                                Kind::cycle,
                                {0, 1, 2},
                                "\"1-2\", \"2-3\" and \"3-1\" close a loop through node \"1\""},
                      ErrorCase{"CycleFurtherOn",
                                {row("1-2"), row("2-3"), row("3-4"), row("4-2")},
                                "",
                                Kind::cycle,
                                {1, 2, 3},
                                "a cycle"},
                      ErrorCase{"CycleNotConnected",
                                {row("1-2"), row("3-4"), row("4-5"), row("5-3")},
                                "",
                                Kind::disconnected,
                                {1, 2, 3},
                                "not connected"},
                      ErrorCase{"SegmentNotConnected",
                                {row("1-2"), row("2-3"), row("7-8")},
                                "",
                                Kind::disconnected,
                                {2},
                                "\"7-8\" is not connected to the fan's node \"1\""},
                      ErrorCase{"RunNotConnected",
                                {row("1-2"), row("7-8"), row("8-9")},
                                "",
                                Kind::disconnected,
                                {1, 2},
                                "(starting at node \"7\")"},
                      ErrorCase{"SameNameTwice",
                                {row("1-2"), row("2-3"), row("2-3")},
                                "",
                                Kind::duplicateName,
                                {1, 2},
                                "\"2-3\" is given twice (rows 2 and 3)"},
                      ErrorCase{"SameNameOnceWithNodesGiven",
                                {row("1-2"), row("2-3"), row("2-3", "3", "4")},
                                "",
                                Kind::duplicateName,
                                {1, 2},
                                "\"2-3\" is given twice (rows 2 and 3)"},
                      ErrorCase{"SameNameTwiceWhereEveryRowGivesItsNodes",
                                {row("a", "1", "2"), row("b", "2", "3"), row("b", "3", "4")},
                                "",
                                Kind::duplicateName,
                                {1, 2},
                                "\"b\" is given twice (rows 2 and 3)"},
                      ErrorCase{"LoopClosedBetweenNodesOfEqualDepth",
                                {row("1-2"), row("1-3"), row("2-3")},
                                "",
                                Kind::cycle,
                                {0, 1, 2},
                                "\"1-2\", \"1-3\" and \"2-3\" close a loop"},
                      ErrorCase{"SamePairTwice",
                                {row("main", "1", "2"), row("again", "1", "2")},
                                "",
                                Kind::duplicatePair,
                                {0, 1},
                                "both join nodes \"1\" and \"2\""},
                      ErrorCase{"SupplyBranchWrittenTowardItsJunction",
                                {row("1-2"), row("2-3"), row("4-2")},
                                "1",
                                Kind::againstAir,
                                {2},
                                "\"4-2\" runs against the air of the fan's discharge side, "
                                "where the air moves from \"2\" to \"4\": swap its from and to"},
                      ErrorCase{"ExhaustBranchWrittenAwayFromTheFan",
                                {row("a", "H1", "J"), row("b", "J", "F"), row("c", "J", "H2")},
                                "F",
                                Kind::againstAir,
                                {2},
                                "\"c\" runs against the air of the fan's suction side"},
                      ErrorCase{"FanNamedNoNodeListsTheNearest",
                                {row("a", "AHU-1", "B"), row("b", "B", "C")},
                                "ahu1",
                                Kind::noFan,
                                {},
                                "no segment starts at the fan's node \"ahu1\"; nearest: "
                                "\"AHU-1\""},
                      ErrorCase{"NoNodeClearlyTheFan",
                                {row("r1", "R1", "A"), row("r2", "R2", "A"), row("s1", "A", "S1"),
                                 row("s2", "A", "S2")},
                                "",
                                Kind::noFan,
                                {},
                                "nodes \"R1\" and \"R2\" have no segment entering them, and "
                                "nodes \"S1\" and \"S2\" none leaving them"},
                      ErrorCase{"SamePairReversed",
                                {row("1-2"), row("2-1")},
                                "",
                                Kind::duplicatePair,
                                {0, 1},
                                "both join nodes"},
                      ErrorCase{"TwoWaysToOneNode",
                                {row("1-2"), row("1-3"), row("2-4"), row("3-4")},
                                "",
                                Kind::cycle,
                                {0, 1, 2, 3},
                                "close a loop"},
                      ErrorCase{"FromWithoutTo",
                                {row("a", "1", "2"), row("b", "2", "")},
                                "",
                                Kind::badNodes,
                                {1},
                                "gives a 起点 but no 终点"},
                      ErrorCase{"HyphenWithoutANode",
                                {row("1-2"), row("2-")},
                                "",
                                Kind::badNodes,
                                {1},
                                "names no node after its hyphen"},
                      ErrorCase{"FromAndToTheSameNode",
                                {row("1-2"), row("2-2")},
                                "",
                                Kind::badNodes,
                                {1},
                                "starts and ends at node \"2\""},
                      ErrorCase{"FanNodeStartsNothing",
                                {row("1-2"), row("2-3")},
                                "9",
                                Kind::noFan,
                                {},
                                "no segment starts at the fan's node \"9\""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Nodes, FromAndToTakePrecedenceOverTheName) {
    const std::vector<SegmentTexts> rows = {row("main-duct", "AHU", "J1"), row("b1", "J1", "R1"),
                                            row("b2", "J1", "R2")};
    const SystemResult r = ductsys::computeSystem(rows);
    ASSERT_TRUE(r.errors.empty()) << english(r.errors[0].message);
    EXPECT_EQ(r.nodeNames[r.fan.node], "AHU");
    ASSERT_EQ(r.junctions.size(), 1u);
    EXPECT_EQ(r.nodeNames[r.junctions[0].node], "J1");
    EXPECT_EQ(*r.fan.airVolume, 1000.0);  // given, not summed
}

TEST(Nodes, AGivenFanNodeNeedNotComeFirst) {
    // Exhaust: listed from the inlets toward the fan, the fan's node named.
    const std::vector<SegmentTexts> rows = {row("3-2"), row("4-2"), row("2-1")};
    ductsys::Options options;
    options.fanNode = "1";
    const SystemResult r = ductsys::computeSystem(rows, options);
    ASSERT_TRUE(r.errors.empty()) << english(r.errors[0].message);
    // The tree is the same as for supply: 1 → 2 → {3, 4}, outlets in input order.
    EXPECT_EQ(r.outlets, (std::vector<std::uint32_t>{0, 1}));
    EXPECT_EQ(r.segments[0].parent, 2u);
    EXPECT_TRUE(r.segments[0].reversed);
    EXPECT_EQ(r.nodeNames[r.segments[0].from], "2");
    EXPECT_EQ(r.nodeNames[r.junctions[0].node], "2");
    EXPECT_TRUE(r.segments[0].reversed);
    EXPECT_EQ(r.nodeNames[r.segments[0].from], "2");
    EXPECT_EQ(r.nodeNames[r.junctions[0].node], "2");
}

TEST(Nodes, ARowWithoutNodesFollowsThePreviousRow) {
    const std::vector<SegmentTexts> rows = {row("1-2"), row("next"), row("2-3")};
    const SystemResult r = ductsys::computeSystem(rows);
    ASSERT_TRUE(r.errors.empty()) << english(r.errors[0].message);
    EXPECT_EQ(r.segments[1].from, r.segments[0].to);
    EXPECT_EQ(r.outlets, (std::vector<std::uint32_t>{1, 2}));
    ASSERT_EQ(r.junctions.size(), 1u);
    EXPECT_EQ(r.nodeNames[r.junctions[0].node], "2");
}

TEST(Nodes, ANameWithTwoHyphensNamesNoNodes) {
    // Not "A" to "B-C": a tag of the drawing, so the rows follow one another.
    const std::vector<SegmentTexts> rows = {row("A-B-C"), row("B-C-D")};
    const SystemResult r = ductsys::computeSystem(rows);
    ASSERT_TRUE(r.errors.empty()) << english(r.errors[0].message);
    EXPECT_EQ(r.segments[1].from, r.segments[0].to);
    EXPECT_EQ(r.outlets, (std::vector<std::uint32_t>{1}));
}

TEST(IndexRun, OnATieTheFirstOutletInInputOrder) {
    const std::vector<SegmentTexts> rows = {row("1-2"), row("2-4"), row("2-3")};
    const SystemResult r = ductsys::computeSystem(rows);
    ASSERT_EQ(r.segments[1].pathTotal, r.segments[2].pathTotal);
    EXPECT_EQ(r.fan.indexOutlet, 1u);
    EXPECT_EQ(*r.junctions[0].imbalance, 0.0);
}

// A dust-extraction plant written as the air moves: three hoods, two
// junctions, a collector (bag filter, 1200 Pa), the fan F and a stack S.
//
//   H1 ─h1 (2000, φ320)─┐
//   H2 ─h2 (3170, φ360)─ J1 ─j1 (Σ 5170, φ450)─ J2 ─j2 (Σ 8670, φ560)─ C ─c (Σ, 1200 Pa)─ F
//   H3 ─h3 (3500, φ400)─────────────────────────┘                      F ─s (8670, φ560)─ S
//
// The fan takes in 2000 + 3170 + 3500 = 8670 m3/h and gives out the same.
// Its pressure is the largest suction path (the worst hood to F) plus the
// stack, x 1.1. Named F, it stands between its two sides; unnamed, the fan
// is S, the one node no segment leaves, and the whole plant is its suction
// side: the same run, the same air volume and the same pressure.
std::vector<SegmentTexts> dustPlant() {
    return {
        {.segment = "h1",
         .from = "H1",
         .to = "J1",
         .flow = "2000",
         .size = "φ320",
         .length = "6",
         .zeta = "1.0"},
        {.segment = "h2",
         .from = "H2",
         .to = "J1",
         .flow = "3170",
         .size = "φ360",
         .length = "4",
         .zeta = "1.0"},
        {.segment = "j1", .from = "J1", .to = "J2", .size = "φ450", .length = "8", .zeta = "0.3"},
        {.segment = "h3",
         .from = "H3",
         .to = "J2",
         .flow = "3500",
         .size = "φ400",
         .length = "5",
         .zeta = "1.0"},
        {.segment = "j2", .from = "J2", .to = "C", .size = "φ560", .length = "10", .zeta = "0.5"},
        {.segment = "c", .from = "C", .to = "F", .size = "φ560", .length = "2", .dp = "1200"},
        {.segment = "s",
         .from = "F",
         .to = "S",
         .flow = "8670",
         .size = "φ560",
         .length = "15",
         .zeta = "1.0"},
    };
}

class DustPlant : public ::testing::TestWithParam<const char*> {};
TEST_P(DustPlant, FanTakesInWhatTheHoodsDrawAndAddsBothSides) {
    ductsys::Options options;
    options.fanNode = GetParam();
    const SystemResult r = ductsys::computeSystem(dustPlant(), options);
    ASSERT_TRUE(r.errors.empty()) << english(r.errors[0].message);
    EXPECT_TRUE(r.warnings.empty()) << english(r.warnings[0].message);
    EXPECT_EQ(r.fan.airVolume, 8670.0);
    EXPECT_EQ(r.nodeNames[r.fan.node], *GetParam() ? GetParam() : "S");
    // The worst hood and the stack, each path in its double sum.
    const auto& seg = r.segments;
    double worst = 0;
    for (std::uint32_t hood : {0u, 1u, 3u}) {
        const double path = static_cast<double>(seg[hood].total) +
                            (hood == 3 ? 0.0 : static_cast<double>(seg[2].total)) + seg[4].total +
                            seg[5].total;
        worst = std::max(worst, path);
    }
    const double expected = worst + seg[6].total;
    ASSERT_TRUE(r.fan.indexTotal);
    EXPECT_NEAR(*r.fan.indexTotal, expected, 1e-9 * expected);
    EXPECT_NEAR(*r.fan.pressure, expected * 1.1, 1e-9 * expected);
    EXPECT_GT(*r.fan.indexTotal, 1200.0);
    // The collector's 1200 Pa is on the run, and no junction compares the
    // fan's two sides.
    for (const ductsys::Junction& j : r.junctions) EXPECT_NE(r.nodeNames[j.node], "F");
}
INSTANTIATE_TEST_SUITE_P(Fans, DustPlant, ::testing::Values("F", ""), [](const auto& info) {
    return std::string(*info.param ? "NamedBetweenItsSides" : "FoundAsTheNodeNothingLeaves");
});

TEST(FanSides, AnExhaustTreeWrittenHoodFirstFindsItsFan) {
    const std::vector<SegmentTexts> rows = {row("a", "H1", "J"), row("b", "H2", "J"),
                                            row("c", "J", "F")};
    const SystemResult r = ductsys::computeSystem(rows);
    ASSERT_TRUE(r.errors.empty()) << english(r.errors[0].message);
    EXPECT_EQ(r.nodeNames[r.fan.node], "F");
    EXPECT_EQ(r.fan.airVolume, 1000.0);
}

TEST(FanSides, AnAirHandlerThatGivesOutMoreThanItTakesInIsAWarning) {
    std::vector<SegmentTexts> rows = {row("r1", "R1", "A"), row("r2", "R2", "A"),
                                      row("s1", "A", "S1"), row("s2", "A", "S2")};
    rows[3].flow = "1200";
    ductsys::Options options;
    options.fanNode = "A";
    const SystemResult r = ductsys::computeSystem(rows, options);
    ASSERT_TRUE(r.errors.empty()) << english(r.errors[0].message);
    EXPECT_EQ(r.fan.airVolume, 2000.0);
    ASSERT_EQ(r.warnings.size(), 1u);
    EXPECT_EQ(english(r.warnings[0].message),
              "the fan takes in 2000 m3/h and gives out 2200 m3/h: they differ by 10.00 %");
    EXPECT_NE(r.fan.indexInlet, ductsys::kNone);
    EXPECT_NE(r.fan.indexOutlet, ductsys::kNone);
}

// Air volumes given on a segment and on the segments it feeds.
struct FlowCase {
    const char* name;
    const char* given;   // on 1-2
    const char* outlet;  // on 2-4 (2-3 carries 1000)
    std::vector<std::string> warnings;
};
void PrintTo(const FlowCase& c, std::ostream* os) { *os << c.name; }
class GivenFlows : public ::testing::TestWithParam<FlowCase> {};
TEST_P(GivenFlows, ThatDisagreeAreWarnedOf) {
    std::vector<SegmentTexts> rows = {row("1-2"), row("2-3"), row("2-4")};
    rows[0].flow = GetParam().given;
    rows[2].flow = GetParam().outlet;
    const SystemResult r = ductsys::computeSystem(rows);
    ASSERT_TRUE(r.errors.empty()) << english(r.errors[0].message);
    std::vector<std::string> said;
    for (const ductsys::Warning& w : r.warnings) said.push_back(english(w.message));
    EXPECT_EQ(said, GetParam().warnings);
}
INSTANTIATE_TEST_SUITE_P(
    Table, GivenFlows,
    ::testing::Values(
        FlowCase{"FarOverItsBranches",
                 "5000",
                 "1200",
                 {"the air volume 5000 m3/h differs from the 2200 m3/h of the segments it feeds "
                  "by 127.27 %"}},
        FlowCase{"WithinHalfAPerCent", "2210", "1200", {}},
        FlowCase{"JustOverHalfAPerCent",
                 "2212",
                 "1200",
                 {"the air volume 2212 m3/h differs from the 2200 m3/h of the segments it feeds "
                  "by 0.55 %"}},
        FlowCase{"SummedIsNeverWarnedOf", "", "1200", {}},
        FlowCase{"AnOutletWithNoAir", "", "0", {"outlet segment \"2-4\" has an air volume of 0"}}),
    [](const auto& info) { return std::string(info.param.name); });

// A system built again with the nodes and tree of the last one, kept in a
// memo: each change to the dust plant's rows gives what the rows give when
// computed afresh, whether it leaves the memo's nodes and tree in use or not.
struct MemoCase {
    const char* name;
    void (*change)(std::vector<SegmentTexts>& rows, ductsys::Options& options);
};

void PrintTo(const MemoCase& c, std::ostream* os) { *os << c.name; }

// Everything the nodes and the tree decide, with the figures that follow.
std::vector<std::string> treeFigures(const SystemResult& r) {
    std::vector<std::string> out;
    for (std::uint32_t n = 0; n < r.nodeNames.size(); ++n) out.emplace_back(r.nodeNames[n]);
    for (const ductsys::Segment& s : r.segments)
        out.push_back(std::to_string(s.from) + ' ' + std::to_string(s.to) + ' ' +
                      std::to_string(s.parent) + ' ' + std::to_string(s.reversed) + ' ' +
                      std::to_string(s.flow) + ' ' + std::to_string(s.pathTotal));
    for (const ductsys::TopologyError& e : r.errors) out.push_back(english(e.message));
    for (const ductsys::Junction& j : r.junctions)
        out.push_back(std::to_string(j.node) + ' ' + std::to_string(j.imbalance.value_or(-1)));
    out.push_back(std::to_string(r.fan.node) + ' ' + std::to_string(r.fan.pressure.value_or(-1)));
    return out;
}

class TopologyMemoed : public ::testing::TestWithParam<MemoCase> {};

TEST_P(TopologyMemoed, GivesWhatTheRowsGiveAfresh) {
    ductsys::Options options;
    options.fanNode = "F";
    std::vector<SegmentTexts> rows = dustPlant();
    ductsys::TopologyMemo memo;
    auto build = [&] {
        ductsys::SystemBuilder builder(options);
        builder.setTopologyMemo(&memo);
        for (const SegmentTexts& r : rows) builder.add(r);
        return builder.finish();
    };
    EXPECT_EQ(treeFigures(build()), treeFigures(ductsys::computeSystem(rows, options)));
    GetParam().change(rows, options);
    // Twice: once with the memo of the rows before, once with its own.
    EXPECT_EQ(treeFigures(build()), treeFigures(ductsys::computeSystem(rows, options)));
    EXPECT_EQ(treeFigures(build()), treeFigures(ductsys::computeSystem(rows, options)));
}

INSTANTIATE_TEST_SUITE_P(
    Changes, TopologyMemoed,
    ::testing::Values(
        MemoCase{"None", [](auto&, auto&) {}},
        MemoCase{"AHoodsAirVolume", [](auto& rows, auto&) { rows[1].flow = "4000"; }},
        MemoCase{"ASize", [](auto& rows, auto&) { rows[4].size = "φ630"; }},
        MemoCase{"ANodeMovedElsewhere", [](auto& rows, auto&) { rows[3].to = "J1"; }},
        MemoCase{"ASegmentTurnedRound",
                 [](auto& rows, auto&) { std::swap(rows[2].from, rows[2].to); }},
        MemoCase{"ANameGivenTwice", [](auto& rows, auto&) { rows[3].segment = "h1"; }},
        MemoCase{"ALoop", [](auto& rows, auto&) { rows[3].from = "J1"; }},
        MemoCase{"ANodeNoOneReaches", [](auto& rows, auto&) { rows[0].to = "X"; }},
        MemoCase{"AnotherFanNode", [](auto&, auto& options) { options.fanNode = "S"; }},
        MemoCase{"TheFanFoundRatherThanNamed", [](auto&, auto& options) { options.fanNode = ""; }},
        MemoCase{"ARowLeftOut", [](auto& rows, auto&) { rows.erase(rows.begin() + 3); }},
        MemoCase{"ARowMore", [](auto& rows, auto&) { rows.push_back(row("h4", "H4", "J2")); }}),
    [](const auto& info) { return std::string(info.param.name); });

// The lines a message names are the rows' own: the same rows on other
// lines are named anew.
TEST(TopologyMemo, NamesTheLinesOfTheRowsAtHand) {
    std::vector<SegmentTexts> rows = dustPlant();
    rows[3].to = "";  // a 起点 without its 终点
    ductsys::TopologyMemo memo;
    auto build = [&] {
        ductsys::SystemBuilder builder;
        builder.setTopologyMemo(&memo);
        for (const SegmentTexts& r : rows) builder.add(r);
        return builder.finish();
    };
    build();
    for (std::size_t i = 0; i < rows.size(); ++i) rows[i].line = static_cast<long>(i + 3);
    const SystemResult r = build();
    ASSERT_FALSE(r.errors.empty());
    EXPECT_EQ(treeFigures(r), treeFigures(ductsys::computeSystem(rows)));
    EXPECT_NE(english(r.errors[0].message).find("line 6"), std::string::npos)
        << english(r.errors[0].message);
}

}  // namespace
