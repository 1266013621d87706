// SPDX-License-Identifier: GPL-3.0-or-later
// Sizing a whole system and balancing its junctions.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "messages/catalogue.h"
#include "system/report.h"
#include "system/sizing.h"

namespace {
// The reasons in the command line's English, to look for a phrase in them.
std::string english(const msg::Messages& reasons) {
    return msg::renderList(reasons, msg::Language::english);
}
}  // namespace

namespace {

using namespace ductsys;

struct Sized {
    SystemResult result;
    SizingReport report;
};

Sized run(const std::vector<SegmentTexts>& rows, SizingOptions sizing,
          const Options& options = {}) {
    SystemBuilder builder(options);
    SystemSizer sizer(std::move(sizing));
    for (const SegmentTexts& row : rows) sizer.add(builder, row);
    Sized r{builder.finish(), {}};
    r.report = sizer.finish(r.result, options);
    return r;
}

std::uint32_t segmentNamed(const SystemResult& r, std::string_view name) {
    for (std::uint32_t s = 0; s < r.segments.size(); ++s)
        if (segmentLabel(r, s) == name) return s;
    ADD_FAILURE() << "no segment " << name;
    return 0;
}

// One duct alone: its figures with a size, for the size just below a choice.
Segment alone(const std::string& flow, const std::string& size) {
    const SegmentTexts row{.segment = "1", .flow = flow, .size = size, .formula = "1"};
    return computeSystem({&row, 1}).segments.front();
}

// A fan at node 1, a 干管 2-4 to two outlets, and a 支管 2-3, worked with
// the calculator's formula 1.
//   1-2  (sum, 2300 m3/h)  the fan's outlet
//   2-3  1000 m3/h         支管
//   2-4  (sum, 1300 m3/h)  干管, 250 high
//   4-5   500 m3/h         支管
//   4-6   800 m3/h         支管
const std::vector<SegmentTexts> kBuilding{
    {.segment = "1-2", .size = "", .length = "10", .zeta = "0.5", .formula = "1"},
    {.segment = "2-3",
     .flow = "1000",
     .size = "",
     .length = "5",
     .zeta = "1.0",
     .dp = "20",
     .formula = "1"},
    {.segment = "2-4", .size = "*x250", .length = "8", .zeta = "0.3", .formula = "1"},
    {.segment = "4-5",
     .flow = "500",
     .size = "",
     .length = "4",
     .zeta = "1.2",
     .dp = "20",
     .formula = "1"},
    {.segment = "4-6",
     .flow = "800",
     .size = "",
     .length = "6",
     .zeta = "1.2",
     .dp = "20",
     .formula = "1"},
};

struct Choice {
    const char* segment;
    const char* flow;     // m3/h, as the segment carries it
    const char* chosen;   // the size chosen, as a table reads it back
    const char* smaller;  // the next smaller standard size, which fails the limit
    double limit;         // m/s or Pa/m
};
std::ostream& operator<<(std::ostream& os, const Choice& c) { return os << c.segment; }

// 假定流速法 with the 公共建筑 preset (GB 50736 表6.6.3, the largest
// velocities): 风机出口 11 m/s, 干管 8 m/s, 支管 6.5 m/s; v = Q / 3600 / A.
//   1-2  2300 m3/h  φ280: A = π·0.14² = 0.061575 m², v = 10.376 ≤ 11
//                   φ250: A = 0.049087 m², v = 13.015 > 11
//   2-3  1000 m3/h  φ250: v = 5.659 ≤ 6.5;   φ220: A = 0.038013, v = 7.307 > 6.5
//   2-4  1300 m3/h  200×250: A = 0.05, v = 7.222 ≤ 8;   160×250: A = 0.04, v = 9.028 > 8
//   4-5   500 m3/h  φ180: A = 0.025447, v = 5.458 ≤ 6.5;  φ160: A = 0.020106, v = 6.908 > 6.5
//   4-6   800 m3/h  φ220: v = 5.846 ≤ 6.5;   φ200: A = 0.031416, v = 7.074 > 6.5
class VelocityMethod : public testing::TestWithParam<Choice> {};

TEST_P(VelocityMethod, SmallestSizeWithinItsRolesVelocity) {
    const Choice& c = GetParam();
    SizingOptions o;
    o.method = SizingMethod::velocity;
    o.limits = presetLimits("public");
    const Sized r = run(kBuilding, o);
    const std::uint32_t s = segmentNamed(r.result, c.segment);
    const Segment& seg = r.result.segments[s];
    EXPECT_TRUE(seg.ok()) << english(seg.reason);
    EXPECT_EQ(sizeLabel(seg), c.chosen);
    EXPECT_LE(seg.velocity, c.limit);
    EXPECT_TRUE(r.report.sized[s]);
    EXPECT_GT(alone(c.flow, c.smaller).velocity, c.limit);
}

INSTANTIATE_TEST_SUITE_P(HandWorked, VelocityMethod,
                         testing::Values(Choice{"1-2", "2300", "φ280", "250", 11.0},
                                         Choice{"2-3", "1000", "φ250", "220", 6.5},
                                         Choice{"2-4", "1300", "200*250", "160x250", 8.0},
                                         Choice{"4-5", "500", "φ180", "160", 6.5},
                                         Choice{"4-6", "800", "φ220", "200", 6.5}));

// 等摩阻法 at Rm ≤ 1 Pa/m, no velocity limit; Rm = λ/d · ρv²/2 (ρ = 1.204).
//   1-2  2300 m3/h  φ400: v = 5.084, Pd = 15.56, λ = 0.01588, Rm = 0.618 ≤ 1
//                   φ360: v = 6.277, Pd = 23.72, λ ≈ 0.0163,  Rm ≈ 1.07 > 1
//   2-3  1000 m3/h  φ280: v = 4.511, Pd = 12.25, λ ≈ 0.0174,  Rm ≈ 0.76 ≤ 1
//                   φ250: v = 5.659, Pd = 19.28, λ = 0.01765, Rm = 1.361 > 1
//   2-4  1300 m3/h  320×250: De = 0.2807, v = 4.514, Rm = 0.751 ≤ 1
//                   250×250: v = 5.778, Rm ≈ 1.5 > 1
//   4-5   500 m3/h  φ220 ≤ 1;  φ200: v = 4.421, Pd = 11.77, λ = 0.0186, Rm = 1.094 > 1
//   4-6   800 m3/h  φ250: v = 4.527, Pd = 12.34, λ = 0.01765, Rm = 0.871 ≤ 1;  φ220 > 1
class FrictionMethod : public testing::TestWithParam<Choice> {};

TEST_P(FrictionMethod, SmallestSizeWithinTheRm) {
    const Choice& c = GetParam();
    SizingOptions o;
    o.method = SizingMethod::friction;
    o.rm = 1.0;
    const Sized r = run(kBuilding, o);
    const Segment& seg = r.result.segments[segmentNamed(r.result, c.segment)];
    EXPECT_TRUE(seg.ok()) << english(seg.reason);
    EXPECT_EQ(sizeLabel(seg), c.chosen);
    EXPECT_LE(seg.rm, c.limit);
    EXPECT_GT(alone(c.flow, c.smaller).rm, c.limit);
}

INSTANTIATE_TEST_SUITE_P(HandWorked, FrictionMethod,
                         testing::Values(Choice{"1-2", "2300", "φ400", "360", 1.0},
                                         Choice{"2-3", "1000", "φ280", "250", 1.0},
                                         Choice{"2-4", "1300", "320*250", "250x250", 1.0},
                                         Choice{"4-5", "500", "φ220", "200", 1.0},
                                         Choice{"4-6", "800", "φ250", "220", 1.0}));

TEST(FrictionMethod, APresetsVelocityHoldsAsWell) {
    // At Rm ≤ 5 Pa/m alone, 1-2 would be φ280 at 10.4 m/s; the 住宅 preset
    // allows its fan outlet 8.5 m/s: φ320, A = 0.080425 m², v = 7.944.
    SizingOptions o;
    o.method = SizingMethod::friction;
    o.rm = 5.0;
    const Sized loose = run(kBuilding, o);
    EXPECT_EQ(sizeLabel(loose.result.segments[0]), "φ280");
    o.limits = presetLimits("residential");
    const Sized held = run(kBuilding, o);
    EXPECT_EQ(sizeLabel(held.result.segments[0]), "φ320");
    EXPECT_LE(held.result.segments[0].velocity, 8.5f);
}

TEST(Sizing, SizedSystemIsRecomputedWholeAndReadsBackTheSame) {
    SizingOptions o;
    o.method = SizingMethod::velocity;
    o.limits = presetLimits("public");
    const Sized r = run(kBuilding, o);
    ASSERT_TRUE(r.result.complete());
    // The same rows with the chosen sizes typed in give the same figures.
    std::vector<std::string> sizes;
    for (const Segment& s : r.result.segments) sizes.push_back(sizeLabel(s));
    std::vector<SegmentTexts> typed = kBuilding;
    for (std::size_t i = 0; i < typed.size(); ++i) typed[i].size = sizes[i];
    const SystemResult back = computeSystem(typed);
    for (std::uint32_t s = 0; s < back.segments.size(); ++s) {
        EXPECT_EQ(back.segments[s].total, r.result.segments[s].total);
        EXPECT_EQ(back.segments[s].pathTotal, r.result.segments[s].pathTotal);
    }
    EXPECT_EQ(back.fan.pressure, r.result.fan.pressure);
    EXPECT_EQ(back.fan.indexOutlet, r.result.fan.indexOutlet);
    ASSERT_EQ(back.junctions.size(), r.result.junctions.size());
    for (std::size_t j = 0; j < back.junctions.size(); ++j)
        EXPECT_EQ(back.junctions[j].imbalance, r.result.junctions[j].imbalance);
}

TEST(Sizing, OnlyEmptyCellsUnlessAllAreAsked) {
    std::vector<SegmentTexts> rows = kBuilding;
    rows[1].size = "φ500";
    SizingOptions o;
    o.method = SizingMethod::velocity;
    o.limits = presetLimits("public");
    const Sized some = run(rows, o);
    EXPECT_EQ(sizeLabel(some.result.segments[1]), "φ500");
    EXPECT_FALSE(some.report.sized[1]);
    o.resizeAll = true;
    const Sized all = run(rows, o);
    EXPECT_EQ(sizeLabel(all.result.segments[1]), "φ250");
    EXPECT_TRUE(all.report.sized[1]);
}

struct Wish {
    const char* text;
    bool all;
    SizeWish::Kind kind;
    const char* side;
};
std::ostream& operator<<(std::ostream& os, const Wish& w) {
    return os << '"' << w.text << '"' << (w.all ? " all" : "");
}
class SizeWishes : public testing::TestWithParam<Wish> {};

TEST_P(SizeWishes, CellSaysWhatToSize) {
    const Wish& w = GetParam();
    const SizeWish got = sizeWish(w.text, w.all);
    EXPECT_EQ(got.kind, w.kind);
    EXPECT_EQ(got.side, w.side);
}

using K = SizeWish::Kind;
INSTANTIATE_TEST_SUITE_P(
    Cells, SizeWishes,
    testing::Values(
        Wish{"", false, K::round, ""}, Wish{"  ", false, K::round, ""},
        Wish{"*x320", false, K::fixedSecond, "320"}, Wish{"x320", false, K::fixedSecond, "320"},
        Wish{"?×320", false, K::fixedSecond, "320"}, Wish{"？x320", false, K::fixedSecond, "320"},
        Wish{"* x 320", false, K::fixedSecond, "320"}, Wish{"*320", false, K::fixedSecond, "320"},
        Wish{"500x*", false, K::fixedFirst, "500"}, Wish{"500×?", false, K::fixedFirst, "500"},
        Wish{"500x", false, K::fixedFirst, "500"}, Wish{"φ200", false, K::keep, ""},
        Wish{"500x320", false, K::keep, ""}, Wish{"φ200", true, K::round, ""},
        Wish{"500x320", true, K::fixedSecond, "320"}, Wish{"*x0", false, K::keep, ""},
        Wish{"*x-320", false, K::keep, ""}, Wish{"*xabc", false, K::keep, ""},
        Wish{"abc", true, K::keep, ""}));

struct FixedSide {
    const char* cell;
    const char* flow;
    const char* chosen;
    const char* smaller;  // fails 8 m/s
};
std::ostream& operator<<(std::ostream& os, const FixedSide& f) { return os << f.cell; }
class FixedSideRectangles : public testing::TestWithParam<FixedSide> {};

// At 8 m/s, v = Q / 3600 / (a·b):
//   5000 m3/h, 320 high:  630×320 = 0.2016 m², v = 6.889;  500×320 = 0.16, v = 8.681
//   2000 m3/h, 320 high:  250×320 = 0.08,   v = 6.944;  200×320 = 0.064, v = 8.681
//   5000 m3/h, 500 wide:  500×400 = 0.2,    v = 6.944;  500×320 = 0.16,  v = 8.681
//   9000 m3/h, 250 high: the aspect limit 4 allows 1000×250 at most, v = 10 > 8
TEST_P(FixedSideRectangles, OtherSideFromTheSeries) {
    const FixedSide& f = GetParam();
    SizingOptions o;
    o.method = SizingMethod::velocity;
    o.limits = targetLimits(8, 8);
    const SegmentTexts row{.segment = "1-2", .flow = f.flow, .size = f.cell};
    const Sized r = run({row}, o);
    const Segment& seg = r.result.segments[0];
    EXPECT_EQ(seg.shape, calc::Shape::rectangular);
    EXPECT_EQ(sizeLabel(seg), f.chosen);
    EXPECT_GT(alone(f.flow, f.smaller).velocity, 8.0f);
}

INSTANTIATE_TEST_SUITE_P(Cells, FixedSideRectangles,
                         testing::Values(FixedSide{"*x320", "5000", "630*320", "500x320"},
                                         FixedSide{"?×320", "2000", "250*320", "200x320"},
                                         FixedSide{"500x*", "5000", "500*400", "500x320"}));

TEST(Sizing, NoStandardSizeMeetsTheLimit) {
    // 9000 m3/h through a duct 250 high: 1000×250 (aspect 4) carries it at
    // 10 m/s, above 8; 200000 m3/h through φ2000 at 17.7 m/s, above 8.
    SizingOptions o;
    o.method = SizingMethod::velocity;
    o.limits = targetLimits(8, 8);
    const std::vector<SegmentTexts> rows{
        {.segment = "1-2", .flow = "9000", .size = "*x250"},
        {.segment = "1-3", .flow = "200000", .size = ""},
        {.segment = "1-4", .flow = "1000", .size = ""},
    };
    const Sized r = run(rows, o);
    EXPECT_TRUE(r.report.anyNoFit);
    EXPECT_EQ(sizeLabel(r.result.segments[0]), "1000*250");
    EXPECT_EQ(sizeLabel(r.result.segments[1]), "φ2000");
    for (std::uint32_t s : {0u, 1u}) {
        EXPECT_TRUE(r.report.noFit[s]);
        EXPECT_NE(english(r.result.segments[s].reason).find("no standard size meets the limit"),
                  std::string::npos);
        // The largest's figures are still shown: the row says what they are.
        EXPECT_TRUE(r.result.segments[s].has(Figure::velocity));
    }
    EXPECT_FALSE(r.report.noFit[2]);
    EXPECT_TRUE(r.result.segments[2].ok());
}

TEST(Sizing, CeilingLimitsTheSizesTried) {
    // 5000 m3/h at 8 m/s needs φ500 (v = 7.07); under a 300 mm ceiling φ280
    // is the largest allowed, and it does not meet the limit.
    SizingOptions o;
    o.method = SizingMethod::velocity;
    o.limits = targetLimits(8, 8);
    const SegmentTexts row{.segment = "1-2", .flow = "5000", .size = ""};
    EXPECT_EQ(sizeLabel(run({row}, o).result.segments[0]), "φ500");
    o.maxSide = 300;
    const Sized r = run({row}, o);
    EXPECT_EQ(sizeLabel(r.result.segments[0]), "φ280");
    EXPECT_TRUE(r.report.noFit[0]);
}

TEST(Sizing, RowThatCannotBeSizedShowsNoStandInFigures) {
    SizingOptions o;
    o.method = SizingMethod::velocity;
    o.limits = targetLimits(8, 6);
    const SegmentTexts row{.segment = "1-2", .flow = "abc", .size = ""};
    const Sized r = run({row}, o);
    const Segment& seg = r.result.segments[0];
    EXPECT_FALSE(seg.ok());
    EXPECT_FALSE(seg.has(Figure::size));
    EXPECT_FALSE(seg.has(Figure::velocity));
    EXPECT_TRUE(sizeLabel(seg).empty());
    EXPECT_FALSE(r.report.sized[0]);
}

// Roles by the rule, and a 角色 cell over it.
struct RoleCase {
    const char* name;
    std::vector<SegmentTexts> rows;
    std::string fan;
    std::vector<Role> roles;
};
std::ostream& operator<<(std::ostream& os, const RoleCase& c) { return os << c.name; }
class Roles : public testing::TestWithParam<RoleCase> {};

TEST_P(Roles, ByTheRuleOrTheCell) {
    const RoleCase& c = GetParam();
    Options options;
    options.fanNode = c.fan;
    const Sized r = run(c.rows, {}, options);
    EXPECT_EQ(r.report.roles, c.roles);
}

INSTANTIATE_TEST_SUITE_P(
    Systems, Roles,
    testing::Values(
        RoleCase{"supply: the fan's outlet, a main to two outlets, branches",
                 kBuilding,
                 "",
                 {Role::fanOutlet, Role::branch, Role::main, Role::branch, Role::branch}},
        RoleCase{"exhaust written toward the fan: the fan's inlet",
                 {{.segment = "3-2", .flow = "300", .size = "200"},
                  {.segment = "4-2", .flow = "300", .size = "200"},
                  {.segment = "2-1", .size = "300"}},
                 "1",
                 {Role::branch, Role::branch, Role::fanInlet}},
        RoleCase{"a run in a line: every segment feeds the one outlet",
                 {{.segment = "1-2", .size = "300"},
                  {.segment = "2-3", .size = "300"},
                  {.segment = "3-4", .flow = "500", .size = "200"}},
                 "",
                 {Role::fanOutlet, Role::branch, Role::branch}},
        RoleCase{"cells override the rule, in either language",
                 {{.segment = "1-2", .size = "300", .role = "干管"},
                  {.segment = "2-3", .flow = "300", .size = "200", .role = "从支管上接出的风管"},
                  {.segment = "2-4", .flow = "300", .size = "200", .role = " Fan-Outlet "}},
                 "",
                 {Role::main, Role::subBranch, Role::fanOutlet}}));

TEST(Roles, CellThatNamesNoRoleIsSaid) {
    const std::vector<SegmentTexts> rows{
        {.segment = "1-2", .flow = "300", .size = "200", .role = "riser"}};
    const Sized r = run(rows, {});
    EXPECT_EQ(r.report.roles[0], Role::fanOutlet);
    EXPECT_NE(english(r.result.segments[0].reason).find("role \"riser\" is not one of"),
              std::string::npos);
}

struct PresetCase {
    const char* name;
    Role role;
    double velocity;
    const char* row;  // the preset row used
    bool nearest;
};
std::ostream& operator<<(std::ostream& os, const PresetCase& c) {
    return os << c.name << ' ' << roleName(c.role).key;
}
class PresetRows : public testing::TestWithParam<PresetCase> {};

TEST_P(PresetRows, EachRoleTakesItsRowOrTheNearest) {
    const PresetCase& c = GetParam();
    const std::optional<VelocityLimits> limits = presetLimits(c.name);
    ASSERT_TRUE(limits);
    const RoleLimit& l = limits->of(c.role);
    EXPECT_EQ(l.velocity, c.velocity);
    ASSERT_NE(l.row, nullptr);
    EXPECT_EQ(l.row->slug, c.row);
    EXPECT_EQ(l.nearest, c.nearest);
}

INSTANTIATE_TEST_SUITE_P(
    Groups, PresetRows,
    testing::Values(
        PresetCase{"public", Role::main, 8.0, "public-main", false},
        PresetCase{"公共建筑", Role::branch, 6.5, "public-branch", false},
        PresetCase{"public-main", Role::fanInlet, 5.0, "public-fan-inlet", false},
        PresetCase{"住宅 支管", Role::subBranch, 4.0, "residential-sub-branch", false},
        PresetCase{"residential", Role::fanOutlet, 8.5, "residential-fan-outlet", false},
        PresetCase{"industrial-metal", Role::fanOutlet, 14.0, "industrial-metal-main", true},
        PresetCase{"工业 金属及非金属风管", Role::fanInlet, 14.0, "industrial-metal-main", true},
        PresetCase{"industrial-masonry", Role::subBranch, 6.0, "industrial-masonry-branch", true},
        PresetCase{"industrial-masonry", Role::main, 12.0, "industrial-masonry-main", false}));

TEST(PresetRows, UnknownNameIsNone) {
    EXPECT_FALSE(presetLimits("office"));
    EXPECT_FALSE(presetLimits(""));
}

// Balancing a junction at node 2 whose branches are single outlets of
// 1000 m3/h with no length (no friction) and ζ = 1, so each total is its
// velocity pressure plus its fixed loss: Pd = ρv²/2, ρ = 1.204.
//   φ400: v = 1000 / 3600 / 0.125664 = 2.21049, Pd = 2.94152 Pa
//   φ250: v = 1000 / 3600 / 0.049087 = 5.65884, Pd = 19.27757 Pa
//   φ220: v = 7.30712 > 6.5, the 公共建筑 支管's largest
std::vector<SegmentTexts> junctionRows(const char* heavyDp) {
    return {{.segment = "1-2", .size = "400"},
            {.segment = "2-3", .flow = "1000", .size = "400", .zeta = "1"},
            {.segment = "2-4", .flow = "1000", .size = "250", .zeta = "1", .dp = heavyDp}};
}

TEST(Balancing, AResizeSettlesTheJunction) {
    // 2-3 at 2.94152 Pa against 2-4 at 19.27757 Pa: 84.7 % apart. A damper
    // would add 16.33605 Pa, ζ = 16.33605 / 2.94152 = 5.5535; φ250 brings
    // 2-3 to 19.27757 Pa, level with 2-4.
    SizingOptions o;
    o.limits = presetLimits("public");
    const Sized before = run(junctionRows("0"), o);
    ASSERT_EQ(before.report.remedies.size(), 1u);
    const Remedy& r = before.report.remedies[0];
    EXPECT_EQ(segmentLabel(before.result, r.segment), "2-3");
    EXPECT_NEAR(r.branchTotal, 2.94152, 1e-4);
    EXPECT_NEAR(r.heaviest, 19.27757, 1e-4);
    EXPECT_NEAR(r.damperPressure, 16.33605, 1e-4);
    ASSERT_TRUE(r.damperZeta);
    EXPECT_NEAR(*r.damperZeta, 5.5535, 1e-3);
    EXPECT_EQ(r.resize, "φ250");
    EXPECT_NEAR(r.resizeImbalance, 0.0, 1e-6);

    o.balance = true;
    const Sized after = run(junctionRows("0"), o);
    EXPECT_EQ(sizeLabel(after.result.segments[1]), "φ250");
    EXPECT_TRUE(after.report.remedies.empty());
    ASSERT_EQ(after.result.junctions.size(), 1u);
    EXPECT_FALSE(after.result.junctions[0].flagged);
    ASSERT_EQ(after.report.changes.size(), 1u);
    EXPECT_TRUE(after.report.changes[0].balancing);
    EXPECT_EQ(after.report.before(after.report.changes[0]), "φ400");
    EXPECT_EQ(after.report.after(after.report.changes[0]), "φ250");
}

TEST(Balancing, WhatTheVelocityLimitLeavesIsADamper) {
    // 2-4 carries a fixed 100 Pa: 119.27757 Pa. 2-3 steps down to φ250
    // (φ220 would pass 6.5 m/s): 19.27757 Pa, (119.27757 - 19.27757) /
    // 119.27757 = 83.84 % left. The damper then adds 100 Pa, ζ = 100 /
    // 19.27757 = 5.18738 on φ250's velocity pressure.
    SizingOptions o;
    o.limits = presetLimits("public");
    o.balance = true;
    const Sized r = run(junctionRows("100"), o);
    EXPECT_EQ(sizeLabel(r.result.segments[1]), "φ250");
    ASSERT_EQ(r.report.remedies.size(), 1u);
    const Remedy& left = r.report.remedies[0];
    EXPECT_NEAR(left.branchTotal, 19.27757, 1e-4);
    EXPECT_NEAR(left.heaviest, 119.27757, 1e-4);
    EXPECT_NEAR(left.damperPressure, 100.0, 1e-4);
    ASSERT_TRUE(left.damperZeta);
    EXPECT_NEAR(*left.damperZeta, 5.18738, 1e-4);
    EXPECT_TRUE(left.resize.empty());
    EXPECT_TRUE(r.result.junctions[0].flagged);
}

TEST(Balancing, JunctionsWithinTheLimitGetNoRemedy) {
    SizingOptions o;
    const Sized r = run({{.segment = "1-2", .size = "400"},
                         {.segment = "2-3", .flow = "1000", .size = "250", .zeta = "1"},
                         {.segment = "2-4", .flow = "1000", .size = "250", .zeta = "1.1"}},
                        o);
    EXPECT_TRUE(r.report.remedies.empty());
    EXPECT_TRUE(r.report.balanceLimitsAssumed);
}

TEST(Balancing, ARectangleStepsItsFirstSideKeepingItsHeight) {
    // 2-3 500×250 carries 1000 m3/h at 2.22 m/s; 250×250 (v = 4.444) and
    // 200×250 (v = 5.556) stay within 6.5 m/s, 160×250 (v = 6.944) does not.
    SizingOptions o;
    o.limits = presetLimits("public");
    const Sized r =
        run({{.segment = "1-2", .size = "400"},
             {.segment = "2-3", .flow = "1000", .size = "500x250", .zeta = "1"},
             {.segment = "2-4", .flow = "1000", .size = "250", .zeta = "1", .dp = "100"}},
            o);
    ASSERT_EQ(r.report.remedies.size(), 1u);
    EXPECT_EQ(r.report.remedies[0].resize, "200*250");
}

}  // namespace
