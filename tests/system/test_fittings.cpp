// SPDX-License-Identifier: GPL-3.0-or-later
// The fitting library, the terms of a ζ cell, and fitting terms computed in
// a system: tees from the flows around their junction, transitions from
// their neighbour, each ζ put on the segment's own velocity.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "messages/catalogue.h"
#include "system/fittings.h"
#include "system/readers.h"
#include "system/system.h"
#include "system/zeta_terms.h"

namespace {
// The reasons in the command line's English, to look for a phrase in them.
std::string english(const msg::Messages& reasons) {
    return msg::renderList(reasons, msg::Language::english);
}
std::string english(const std::optional<msg::Message>& reason) {
    return reason ? msg::render(*reason, msg::Language::english) : std::string();
}
}  // namespace

namespace {

using ductsys::SegmentTexts;
using ductsys::SystemResult;
namespace fit = ductsys::fittings;

std::uint32_t byName(const SystemResult& r, std::string_view name) {
    for (std::uint32_t i = 0; i < r.segments.size(); ++i)
        if (r.segmentNames[i] == name) return i;
    ADD_FAILURE() << "no segment " << name;
    return 0;
}

// A term computed alone, as `ductcalc-cli fitting` computes it.
fit::Result alone(std::string_view text, fit::Conditions conditions = {}) {
    const ductsys::ZetaCell cell = ductsys::parseZetaCell(text);
    EXPECT_TRUE(cell.ok()) << english(cell.error);
    EXPECT_EQ(cell.terms.size(), 1u);
    if (!cell.ok() || cell.terms.size() != 1 || !cell.terms[0].fitting) return {};
    EXPECT_EQ(english(fit::checkArgs(*cell.terms[0].fitting, cell.terms[0].args)), "");
    return fit::evaluate(*cell.terms[0].fitting, cell.terms[0].args, conditions);
}

// --- every check value the library carries ---------------------------------

struct CheckCase {
    const fit::Fitting* fitting;
    const fit::Check* check;
};

std::vector<CheckCase> everyCheck() {
    std::vector<CheckCase> cases;
    for (const fit::Fitting& f : fit::all())
        for (const fit::Check& c : f.checks) cases.push_back({&f, &c});
    return cases;
}

class LibraryChecks : public ::testing::TestWithParam<CheckCase> {};

TEST_P(LibraryChecks, TermGivesItsCheckValueWithinItsRange) {
    const fit::Check& c = *GetParam().check;
    const fit::Result r = alone(c.term);
    // A published value to its printed digits; a worked one to the three
    // decimals it is given with.
    const double tolerance = c.published ? 1e-9 * std::max(1.0, std::abs(c.zeta)) : 5e-4;
    EXPECT_NEAR(r.zeta, c.zeta, tolerance) << c.term << " (" << c.origin << ")";
    EXPECT_TRUE(r.valid) << english(r.note);
}

INSTANTIATE_TEST_SUITE_P(EveryFitting, LibraryChecks, ::testing::ValuesIn(everyCheck()),
                         [](const auto& info) {
                             std::string name(info.param.fitting->id);
                             name += "_" + std::to_string(info.index);
                             for (char& ch : name)
                                 if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             return name;
                         });

TEST(Library, EveryFittingNamesItsSourceAndTheVelocityItRefersTo) {
    for (const fit::Fitting& f : fit::all()) {
        EXPECT_FALSE(f.methods.empty()) << f.id;
        EXPECT_FALSE(fit::sourceOf(f, "").empty()) << f.id;
        EXPECT_FALSE(f.chinese.empty()) << f.id;
        EXPECT_EQ(fit::find(f.id), &f);
        EXPECT_EQ(fit::find(f.chinese), &f);
        if (f.tee) {
            ASSERT_NE(fit::find(f.otherKind), nullptr) << f.id;
            EXPECT_EQ(fit::find(f.otherKind)->otherKind, f.id);
        }
    }
}

// --- the range each formula holds in ---------------------------------------

struct RangeCase {
    const char* name;
    const char* term;
    double reynolds;  // 0: not known
    bool valid;
    const char* note;  // a part of the note
};

class ValidRange : public ::testing::TestWithParam<RangeCase> {};

TEST_P(ValidRange, OutsideItIsComputedAndMarkedWithTheRange) {
    fit::Conditions conditions;
    if (GetParam().reynolds > 0) conditions.reynolds = GetParam().reynolds;
    const fit::Result r = alone(GetParam().term, conditions);
    EXPECT_EQ(r.valid, GetParam().valid) << english(r.note);
    EXPECT_NE(english(r.note).find(GetParam().note), std::string::npos) << english(r.note);
    EXPECT_TRUE(std::isfinite(r.zeta));
}

INSTANTIATE_TEST_SUITE_P(
    Table, ValidRange,
    ::testing::Values(
        RangeCase{"BendWithinItsRadii", "bend(90, 1.5)", 3e5, true, ""},
        RangeCase{"BendTighterThanHalfADiameter", "bend(90, 0.3)", 3e5, false,
                  "r/D 0.3 outside 0.5–3"},
        RangeCase{"BendWiderThanThreeDiameters", "bend(r/D=4)", 3e5, false, "r/D 4 outside 0.5–3"},
        RangeCase{"BendBelowItsReynoldsNumber", "bend(90, 1.5)", 1e5, false, "Re 100000"},
        RangeCase{"RectangularBendUnconfirmedAspectFactor", "bend(90, 1.5, aspect=2)", 3e5, false,
                  "C1 for a0/b0 2 taken as 1"},
        RangeCase{"SquareBendHasNoAspectFactor", "bend(90, 1.5, aspect=1)", 3e5, true, ""},
        RangeCase{"ExpansionTheWrongWayRound", "expansion(1.5)", 0, false,
                  "area-ratio 1.5 outside 0–1"},
        RangeCase{"ContractionTheWrongWayRound", "contraction(beta=1.2)", 0, false,
                  "beta 1.2 outside 0–1"},
        RangeCase{"TeeBranchBeyondNinetyDegrees", "tee-split-side(1, 0.5, 120)", 0, false,
                  "angle 120 outside 15–90°"},
        RangeCase{"SplitSideFlowAboveTheCombined", "tee-split-side(1, 1.2)", 0, false,
                  "qs/qc 1.2 outside 0–1"},
        RangeCase{"JoinRunAtAnotherAngle", "tee-join-run(1, 1, 0.5, 45)", 0, false, "K'_st"},
        RangeCase{"JoinSideWithBranchesAddingUp", "tee-join-side(0.5, 0.5, 0.5)", 0, false,
                  "K' of table 7-2"},
        RangeCase{"GrilleWideOpen", "grille(1)", 0, true, ""},
        RangeCase{"MiterOfRennels", "miter(60, method=rennels)", 0, true, ""}),
    [](const auto& info) { return std::string(info.param.name); });

// Negative ζ is physical: a join's side branch at a small branch flow.
TEST(Library, KeepsANegativeZeta) {
    const fit::Result r = alone("tee-join-side(1, 1, 0.1)");
    EXPECT_LT(r.zeta, 0);
    EXPECT_TRUE(r.valid);
}

// --- reading a cell --------------------------------------------------------

struct CellCase {
    const char* name;
    const char* text;
    std::size_t terms;    // 0: refused
    const char* error;    // a part of the error
    double count;         // of the first term
    const char* fitting;  // of the first term; "" for a number
};

class ZetaCells : public ::testing::TestWithParam<CellCase> {};

TEST_P(ZetaCells, ReadsTermsOrRefusesWithTheNearestName) {
    const ductsys::ZetaCell cell = ductsys::parseZetaCell(GetParam().text);
    if (GetParam().terms == 0) {
        EXPECT_FALSE(cell.ok());
        EXPECT_NE(english(cell.error).find(GetParam().error), std::string::npos)
            << english(cell.error);
        EXPECT_TRUE(cell.terms.empty());
        return;
    }
    ASSERT_TRUE(cell.ok()) << english(cell.error);
    ASSERT_EQ(cell.terms.size(), GetParam().terms);
    EXPECT_EQ(cell.terms[0].count, GetParam().count);
    const std::string id = cell.terms[0].fitting ? std::string(cell.terms[0].fitting->id) : "";
    EXPECT_EQ(id, GetParam().fitting);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ZetaCells,
    ::testing::Values(
        CellCase{"NumbersAsBefore", "0.3+0.25", 2, "", 1, ""},
        CellCase{"ByIdWithACount", "bend(90,1.5)*2 + tee-split-side + 0.25", 3, "", 2, "bend"},
        CellCase{"ByChineseName", "弯头(90,1.5)×2+分流三通支管", 2, "", 2, "bend"},
        CellCase{"NamedArguments", "bend(angle=90, r/D=1.5) x2", 1, "", 2, "bend"},
        CellCase{"ChineseInputMethodPunctuation", "弯头（90，1.5）＋0.1", 2, "", 1, "bend"},
        CellCase{"NumberWithACount", "0.3*2", 1, "", 2, ""},
        CellCase{"GivenValueWithItsReference", "value(2.5, 消声器样本 p.12)", 1, "", 1, "value"},
        CellCase{"OtherChineseNameOfAGivenValue", "消声器(zeta=2.5, ref=样本 p.12)", 1, "", 1,
                 "value"},
        CellCase{"ExitIsNotACount", "exit", 1, "", 1, "exit"},
        CellCase{"MisspeltFitting", "bnd(90,1.5)", 0, "nearest: \"bend\"", 0, ""},
        CellCase{"MisspeltChineseFitting", "弯投(90)", 0, "nearest: \"弯头\"", 0, ""},
        CellCase{"ArgumentNotANumber", "bend(90, x)", 0, "r/D \"x\" is not a number", 0, ""},
        CellCase{"UnknownArgumentName", "bend(radius=2)", 0, "no argument \"radius\"", 0, ""},
        CellCase{"TooManyArguments", "miter(90, 2)", 0, "1 arguments at most", 0, ""},
        CellCase{"AngleThatCannotBe", "bend(-30)", 0, "angle -30 must be above 0", 0, ""},
        CellCase{"GrilleClosed", "grille(0)", 0, "open 0 must be above 0", 0, ""},
        CellCase{"UnknownMethod", "miter(90, method=crane)", 0, "no method \"crane\"", 0, ""},
        CellCase{"SplitRunWithoutItsValue", "tee-split-run", 0, "needs zeta", 0, ""},
        CellCase{"UnclosedArguments", "bend(90", 0, "\")\"", 0, ""},
        CellCase{"EmptyTerm", "bend+", 0, "empty term", 0, ""}),
    [](const auto& info) { return std::string(info.param.name); });

// --- in a system -----------------------------------------------------------

// The hand-worked system of test_system.cpp with fittings in its ζ cells.
// Areas: F-A 500x320 = 0.16 m², A-B and A-C 400x250 = 0.1 m². Flows: F-A
// 5000, A-B and A-C 2500 m3/h. Velocities as stored: F-A 8.680555, A-B and
// A-C 6.944444 m/s (test_system.cpp).
//
// Supply (the air divides at A):
//   A-B side branch: F_s/F_c = 0.1/0.16 = 0.625, Q_s/Q_c = 0.5, w_s/w_c = 0.8;
//     A′ = 1.0 − 0.6·0.5 = 0.7 (F_s/F_c > 0.35, Q_s/Q_c ≤ 0.6);
//     ζ_c = 0.7 (1 + 0.64 − 2·0.8·cos 90°) = 1.148 on w_c;
//     on A-B's own velocity: 1.148 (8.680555/6.944444)² = 1.148 · 1.5625 = 1.79375.
//   A-C straight passage: the ζ given, 0.1 on w_c: 0.1 · 1.5625 = 0.15625.
// Exhaust (the same ducts, the air joins at A):
//   B-A side branch: A = 0.55 (F_s/F_c > 0.35, Q_s/Q_c > 0.4);
//     ζ_c = 0.55 (1 + 0.64 − 2 (1/0.625)(0.5)² − 0) = 0.55 · 0.84 = 0.462;
//     on B-A's velocity: 0.462 · 1.5625 = 0.721875.
//   C-A straight passage: ζ_c = 1 − 0.5² − (1.4 − 0.5)·0.5²·sin 90° = 0.525;
//     on C-A's velocity: 0.525 · 1.5625 = 0.8203125.
struct TeeCase {
    const char* name;
    bool exhaust;
    const char* segment;
    const char* zeta;
    const char* used;  // the fitting the air's direction calls for
    double onCombined;
    double onSegment;
};

class TeeLegs : public ::testing::TestWithParam<TeeCase> {};

TEST_P(TeeLegs, TakeTheirRatiosFromTheFlowsAroundTheJunction) {
    const TeeCase& c = GetParam();
    std::vector<SegmentTexts> rows = {
        {.segment = c.exhaust ? "A-F" : "F-A", .size = "500x320", .length = "5"},
        {.segment = c.exhaust ? "B-A" : "A-B", .flow = "2500", .size = "400x250", .length = "8"},
        {.segment = c.exhaust ? "C-A" : "A-C", .flow = "2500", .size = "400x250", .length = "8"},
    };
    for (SegmentTexts& row : rows)
        if (row.segment == std::string_view(c.segment)) row.zeta = c.zeta;
    ductsys::Options options;
    options.fanNode = "F";
    const SystemResult r = ductsys::computeSystem(rows, options);
    const std::uint32_t s = byName(r, c.segment);
    ASSERT_TRUE(r.segments[s].ok()) << english(r.segments[s].reason);
    ASSERT_TRUE(r.complete());
    const ductsys::ZetaDetail* detail = r.zetaDetail(s);
    ASSERT_NE(detail, nullptr);
    ASSERT_EQ(detail->terms.size(), 1u);
    const ductsys::TermResult& t = detail->terms[0];
    EXPECT_EQ(t.id, c.used);
    EXPECT_EQ(t.refersTo, fit::RefersTo::combined);
    EXPECT_NEAR(t.zeta, c.onCombined, 1e-12);
    // The velocities are the stored singles: their ratio squared is 1.5625
    // to about seven digits.
    EXPECT_NEAR(*t.onSegment, c.onSegment, 1e-6);
    EXPECT_EQ(r.segments[s].zeta, *t.onSegment);
    EXPECT_NEAR(r.segments[s].localLoss, r.segments[s].zeta * r.segments[s].velocityPressure, 1e-4);
}

INSTANTIATE_TEST_SUITE_P(
    HandWorked, TeeLegs,
    ::testing::Values(
        TeeCase{"SplitSide", false, "A-B", "tee-split-side", "tee-split-side", 1.148, 1.79375},
        TeeCase{"SplitSideNamedAsAJoin", false, "A-B", "合流三通支管", "tee-split-side", 1.148,
                1.79375},
        TeeCase{"SplitRunGiven", false, "A-C", "tee-split-run(zeta=0.1)", "tee-split-run", 0.1,
                0.15625},
        TeeCase{"JoinSide", true, "B-A", "tee-join-side", "tee-join-side", 0.462, 0.721875},
        TeeCase{"JoinSideNamedAsASplit", true, "B-A", "分流三通支管", "tee-join-side", 0.462,
                0.721875},
        TeeCase{"JoinRun", true, "C-A", "tee-join-run", "tee-join-run", 0.525, 0.8203125}),
    [](const auto& info) { return std::string(info.param.name); });

// The ratios follow the flows: a larger branch flow changes the tee's ζ.
TEST(TeeLegsFollowTheSystem, ChangingABranchFlowChangesTheRatio) {
    auto zetaOfAB = [](const char* flowAC) {
        const std::vector<SegmentTexts> rows = {
            {.segment = "F-A", .size = "500x320", .length = "5"},
            {.segment = "A-B", .flow = "2500", .size = "400x250", .zeta = "tee-split-side"},
            {.segment = "A-C", .flow = flowAC, .size = "400x250"},
        };
        const SystemResult r = ductsys::computeSystem(rows);
        return r.zetaDetail(1)->terms[0].arguments;
    };
    EXPECT_NE(zetaOfAB("2500").find("qs/qc=0.5"), std::string::npos) << zetaOfAB("2500");
    EXPECT_NE(zetaOfAB("7500").find("qs/qc=0.25"), std::string::npos) << zetaOfAB("7500");
}

// Transitions take their areas from the segment on the fan's side, and
// their ζ on the small section's velocity is put on the segment's.
// F-A φ200 and A-B φ400 carry 1000 m3/h: A1/A2 = 0.25, ζ = 0.5625 on F-A's
// velocity, (v1/v2)² = 16 times A-B's: 9 on A-B's velocity.
struct TransitionCase {
    const char* name;
    const char* zeta;
    double onSegment;
    double tolerance;
};

class Transitions : public ::testing::TestWithParam<TransitionCase> {};

TEST_P(Transitions, PutTheirZetaOnTheSegmentsVelocity) {
    const std::vector<SegmentTexts> rows = {
        {.segment = "F-A", .flow = "1000", .size = "200", .length = "5"},
        {.segment = "A-B", .flow = "1000", .size = "400", .length = "5", .zeta = GetParam().zeta},
    };
    const SystemResult r = ductsys::computeSystem(rows);
    ASSERT_TRUE(r.segments[1].ok()) << english(r.segments[1].reason);
    EXPECT_NEAR(r.segments[1].zeta, GetParam().onSegment, GetParam().tolerance);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Transitions,
    ::testing::Values(TransitionCase{"ExpansionFromTheNeighbour", "expansion", 9.0, 1e-5},
                      TransitionCase{"ExpansionGivenItsRatio", "expansion(0.25)", 9.0, 1e-12},
                      TransitionCase{"SegmentVelocityNeedsNoConversion", "bend(90,1.5)",
                                     0.21 / std::sqrt(1.5), 1e-15},
                      TransitionCase{"MixedWithNumbersAndCounts", "0.3+expansion*2+0.1", 18.4,
                                     2e-5}),
    [](const auto& info) { return std::string(info.param.name); });

// A system whose ζ cells mix numbers and fittings: the sums, the losses
// and the path totals carry the fittings' ζ, and each segment lists its
// terms with their sources.
TEST(MixedZetaCells, SumNumbersAndFittingsIntoTheLosses) {
    const std::vector<SegmentTexts> rows = {
        {.segment = "F-A", .size = "500x320", .length = "5", .zeta = "0.5"},
        {.segment = "A-B",
         .flow = "2500",
         .size = "400x250",
         .length = "8",
         .zeta = "0.3+弯头(90,1.5)*2"},
        {.segment = "A-C", .flow = "2500", .size = "400×250", .length = "8", .zeta = "0.25+0.05"},
    };
    const SystemResult r = ductsys::computeSystem(rows);
    ASSERT_TRUE(r.complete());
    const ductsys::Segment& ab = r.segments[1];
    const double bend = 1.0 * (0.21 / std::sqrt(1.5));
    EXPECT_DOUBLE_EQ(ab.zeta, 0.3 + bend * 2);
    EXPECT_NEAR(ab.localLoss, ab.zeta * ab.velocityPressure, 1e-4);
    EXPECT_NEAR(ab.total, ab.frictionLoss + ab.localLoss, 1e-4);
    EXPECT_NEAR(ab.pathTotal, r.segments[0].total + static_cast<double>(ab.total), 1e-9);
    EXPECT_EQ(r.zetaDetail(0), nullptr);  // numbers only
    EXPECT_EQ(r.zetaDetail(2), nullptr);
    const ductsys::ZetaDetail* d = r.zetaDetail(1);
    ASSERT_NE(d, nullptr);
    ASSERT_EQ(d->terms.size(), 2u);
    EXPECT_EQ(d->terms[0].id, "");
    EXPECT_EQ(d->terms[0].onSegment, 0.3);
    EXPECT_EQ(d->terms[1].id, "bend");
    EXPECT_EQ(d->terms[1].count, 2);
    EXPECT_EQ(d->terms[1].arguments, "angle=90, r/D=1.5");
    EXPECT_NE(d->terms[1].source.find("Idelchik"), std::string::npos);
    // A-B runs at Re about 1.1·10⁵, below the bend diagram's 2·10⁵: marked.
    EXPECT_FALSE(d->terms[1].valid);
    EXPECT_NE(english(d->terms[1].note).find("200000"), std::string::npos);
}

// Fittings closer than about 10 diameters interact: their terms are marked,
// not refused. A-B (De 0.3077 m) holds two bends and a tee.
struct CloseCase {
    const char* name;
    const char* length;
    bool marked;
};

class CloseCoupled : public ::testing::TestWithParam<CloseCase> {};

TEST_P(CloseCoupled, FittingsNearerThanTenDiametersAreMarked) {
    const std::vector<SegmentTexts> rows = {
        {.segment = "F-A", .size = "500x320", .length = "5"},
        {.segment = "A-B",
         .flow = "2500",
         .size = "400x250",
         .length = GetParam().length,
         .zeta = "tee-split-side+bend(90,1.5)*2"},
        {.segment = "A-C", .flow = "2500", .size = "400x250", .length = "8"},
    };
    const SystemResult r = ductsys::computeSystem(rows);
    ASSERT_TRUE(r.segments[1].ok()) << english(r.segments[1].reason);
    const ductsys::TermResult& tee = r.zetaDetail(1)->terms[0];
    EXPECT_EQ(english(tee.note).find("close-coupled") != std::string::npos, GetParam().marked)
        << english(tee.note);
    EXPECT_EQ(tee.valid, !GetParam().marked);
    EXPECT_TRUE(r.complete());
}

// Three fittings need 2 × 10 × 0.3077 = 6.15 m between them.
INSTANTIATE_TEST_SUITE_P(Table, CloseCoupled,
                         ::testing::Values(CloseCase{"ShortSegment", "3", true},
                                           CloseCase{"LongEnoughSegment", "7", false}),
                         [](const auto& info) { return std::string(info.param.name); });

struct RefusalCase {
    const char* name;
    const char* zetaOfFA;
    const char* zetaOfAB;
    const char* reason;  // of the segment carrying the term
};

class FittingRefusals : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(FittingRefusals, LeaveZetaUnknownWithTheReason) {
    const std::vector<SegmentTexts> rows = {
        {.segment = "F-A", .size = "500x320", .zeta = GetParam().zetaOfFA},
        {.segment = "A-B", .flow = "2500", .size = "400x250", .zeta = GetParam().zetaOfAB},
        {.segment = "A-C", .flow = "2500", .size = "400x250"},
    };
    const SystemResult r = ductsys::computeSystem(rows);
    const std::string reasons = english(r.segments[0].reason) + "|" + english(r.segments[1].reason);
    EXPECT_NE(reasons.find(GetParam().reason), std::string::npos) << reasons;
    const ductsys::Segment& failed = r.segments[r.segments[0].ok() ? 1 : 0];
    EXPECT_FALSE(failed.has(ductsys::Figure::zeta));
    EXPECT_FALSE(failed.has(ductsys::Figure::total));
    EXPECT_FALSE(r.complete());
}

INSTANTIATE_TEST_SUITE_P(Table, FittingRefusals,
                         ::testing::Values(RefusalCase{"TeeAtTheFan", "tee-split-side", "",
                                                       "starts at the fan, not at a junction"},
                                           RefusalCase{"TransitionAtTheFan", "expansion", "",
                                                       "needs area-ratio"},
                                           RefusalCase{"UnknownFitting", "", "0.3+elbow(90)",
                                                       "zeta term \"elbow(90)\" is not a"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
