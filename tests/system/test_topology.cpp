// SPDX-License-Identifier: GPL-3.0-or-later
// What keeps segments from forming one tree reached from the fan, each named
// with the segments involved; and the ways nodes are given.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "messages/catalogue.h"
#include "system.h"

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
                      ErrorCase{"SamePairTwice",
                                {row("main", "1", "2"), row("again", "1", "2")},
                                "",
                                Kind::duplicatePair,
                                {0, 1},
                                "both join nodes \"1\" and \"2\""},
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

TEST(IndexRun, OnATieTheFirstOutletInInputOrder) {
    const std::vector<SegmentTexts> rows = {row("1-2"), row("2-4"), row("2-3")};
    const SystemResult r = ductsys::computeSystem(rows);
    ASSERT_EQ(r.segments[1].pathTotal, r.segments[2].pathTotal);
    EXPECT_EQ(r.fan.indexOutlet, 1u);
    EXPECT_EQ(*r.junctions[0].imbalance, 0.0);
}

}  // namespace
