// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/fittings.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>
#include <vector>

#include "calc/ascii.h"
#include "system/names.h"

namespace ductsys::fittings {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kHuge = 1e30;

// sin and cos of an angle in degrees, exact at the right angles so that a
// 90° tee's angle term is 0 as the sources write it, not 6e-17.
double sinDeg(double deg) {
    if (deg == 90) return 1;
    if (deg == 180 || deg == 0) return 0;
    return std::sin(deg * kPi / 180);
}
double cosDeg(double deg) {
    if (deg == 90) return 0;
    if (deg == 0) return 1;
    if (deg == 180) return -1;
    return std::cos(deg * kPi / 180);
}

double arg(const Args& a, Param p) { return a[p].value_or(0); }

// A large whole number in plain digits ("112345", not "1.1e+05").
std::string wholeText(double x) {
    char buffer[48];
    const auto end =
        std::to_chars(buffer, buffer + sizeof buffer, std::round(x), std::chars_format::fixed, 0)
            .ptr;
    return std::string(buffer, end);
}

void mark(Result& r, msg::Message why) {
    r.valid = false;
    r.note.push_back(std::move(why));
}

// --- the fittings ----------------------------------------------------------

// Smooth bend, Idelchik, Handbook of Hydraulic Resistance, diagram 6-1:
// ζ = A₁·B₁·C₁, the loss of the turn alone (the friction of its length is
// the segment's). A₁ is given for δ ≤ 70°, at 90° and for δ ≥ 100°; between
// these points it is taken linearly.
double bendA1(double delta) {
    const auto low = [](double d) { return 0.9 * sinDeg(d); };
    const auto high = [](double d) { return 0.7 + 0.35 * d / 90; };
    if (delta <= 70) return low(delta);
    if (delta >= 100) return high(delta);
    if (delta <= 90) return low(70) + (1.0 - low(70)) * (delta - 70) / 20;
    return 1.0 + (high(100) - 1.0) * (delta - 90) / 10;
}
Result bend(const Args& a, std::string_view, const Conditions& c) {
    const double rD = arg(a, Param::rD);
    const double b1 = rD >= 1 ? 0.21 / std::sqrt(rD) : 0.21 * std::pow(rD, -2.5);
    Result r{bendA1(arg(a, Param::angle)) * b1, true, {}};
    // C₁ of a rectangular bend depends on a0/b0 (diagram 6-1's table); it is
    // 1 for a square section and taken as 1 otherwise, marked, until the
    // table is checked against a second source.
    if (a[Param::aspect] && *a[Param::aspect] != 1)
        mark(r, {msg::Code::fittingAspectAsOne, {numberText(*a[Param::aspect])}});
    // Diagram 6-1 holds for Re > 2·10⁵; below, its Reynolds correction is
    // not applied.
    if (c.reynolds && *c.reynolds <= 2e5)
        mark(r, {msg::Code::fittingNoReynoldsCorrection, {wholeText(*c.reynolds)}});
    return r;
}

// Miter bend of one joint. Idelchik diagram 6-7:
//   ζ = (0.95 + 33.5/δ) · (0.95 sin²(δ/2) + 2.05 sin⁴(δ/2));
// Rennels & Hudson, Pipe Flow (2012): ζ = 0.42 sin(δ/2) + 2.56 sin³(δ/2).
Result miter(const Args& a, std::string_view method, const Conditions&) {
    const double delta = arg(a, Param::angle);
    const double s = sinDeg(delta / 2);
    if (method == "rennels") return {0.42 * s + 2.56 * s * s * s, true, {}};
    return {(0.95 + 33.5 / delta) * (0.95 * s * s + 2.05 * s * s * s * s), true, {}};
}

// Sudden expansion, Borda–Carnot: ζ = (1 − A₁/A₂)² on the small (upstream)
// section's velocity.
Result expansion(const Args& a, std::string_view, const Conditions&) {
    const double x = 1 - arg(a, Param::areaRatio);
    return {x * x, true, {}};
}

// Sudden contraction, Rennels & Hudson (2012), β = d₂/d₁:
//   λ = 1 + 0.622 (1 − 0.215 β² − 0.785 β⁵),
//   ζ = 0.0696 (1 − β⁵) λ² + (λ − 1)², on the small (downstream) section.
Result contraction(const Args& a, std::string_view, const Conditions&) {
    const double b = arg(a, Param::beta);
    const double b2 = b * b, b5 = b2 * b2 * b;
    const double lambda = 1 + 0.622 * (1 - 0.215 * b2 - 0.785 * b5);
    return {0.0696 * (1 - b5) * lambda * lambda + (lambda - 1) * (lambda - 1), true, {}};
}

// Conical diffuser, Rennels & Hudson (2012), total angle θ, β² = A₁/A₂; the
// loss of the expansion alone (the friction of its length is left out):
//   θ ≤ 20°:  8.30 tan^1.75(θ/2) (1 − β²)²
//   θ ≤ 60°:  {1.366 √sin(2π(θ − 15°)/180°) − 0.170
//              − 3.28 (0.0625 − β⁴) √((θ − 20°)/40°)} (1 − β²)², the last
//              term for β < 0.5 only
//   θ > 60°:  {1.205 − 3.28 (0.0625 − β⁴) − 12.8 β⁶ √((θ − 60°)/120°)} (1 − β²)²
//             for β < 0.5; {1.205 − 0.20 √((θ − 60°)/120°)} (1 − β²)² otherwise.
Result diffuser(const Args& a, std::string_view, const Conditions&) {
    const double theta = arg(a, Param::angle);
    const double b2 = arg(a, Param::areaRatio);
    const double b4 = b2 * b2, b6 = b4 * b2;
    const double expand = (1 - b2) * (1 - b2);
    const bool small = b2 < 0.25;  // β < 0.5
    double k = 0;
    if (theta <= 20) {
        k = 8.30 * std::pow(std::tan(theta * kPi / 360), 1.75);
    } else if (theta <= 60) {
        k = 1.366 * std::sqrt(std::sin(2 * kPi * (theta - 15) / 180)) - 0.170;
        if (small) k -= 3.28 * (0.0625 - b4) * std::sqrt((theta - 20) / 40);
    } else if (small) {
        k = 1.205 - 3.28 * (0.0625 - b4) - 12.8 * b6 * std::sqrt((theta - 60) / 120);
    } else {
        k = 1.205 - 0.20 * std::sqrt((theta - 60) / 120);
    }
    return {k * expand, true, {}};
}

// Conical reducer, Crane Technical Paper 410, β = d₂/d₁, on the small
// (downstream) section: 0.8 sin(θ/2)(1 − β²) for θ < 45°, 0.5 √sin(θ/2)
// (1 − β²) otherwise.
Result reducer(const Args& a, std::string_view, const Conditions&) {
    const double theta = arg(a, Param::angle);
    const double b = arg(a, Param::beta);
    const double s = sinDeg(theta / 2);
    if (theta < 45) return {0.8 * s * (1 - b * b), true, {}};
    return {0.5 * std::sqrt(s) * (1 - b * b), true, {}};
}

// Tees. c: combined flow (总管), s: side branch (支管), st: straight
// passage (直通); fs = F_s/F_c, fst = F_st/F_c, q = Q_s/Q_c, so that
// w_s/w_c = q/fs. Every tee ζ refers to the combined flow's velocity.

// Converging tee, side branch: Idelchik eq. 7-1 with table 7-1's A:
//   ζ = A [1 + (w_s/w_c)² − 2 (F_c/F_st)(1 − q)² − 2 (F_c/F_s) q² cos α],
// A = 1 for fs ≤ 0.35, else 0.9 (1 − q) for q ≤ 0.4, else 0.55.
Result teeJoinSide(const Args& a, std::string_view, const Conditions&) {
    const double fs = arg(a, Param::fsFc), fst = arg(a, Param::fstFc), q = arg(a, Param::qsQc);
    const double alpha = arg(a, Param::angle);
    const double ws = q / fs;
    const double big = fs <= 0.35 ? 1.0 : (q <= 0.4 ? 0.9 * (1 - q) : 0.55);
    Result r{big * (1 + ws * ws - 2 / fst * (1 - q) * (1 - q) - 2 / fs * q * q * cosDeg(alpha)),
             true,
             {}};
    // Table 7-2's K′ applies when the two branches' areas add up to the
    // combined one; it is not applied.
    if (std::abs(fs + fst - 1) < 1e-9) mark(r, {msg::Code::fittingTeeAreasSum, {}});
    return r;
}

// Converging tee, straight passage: Idelchik eq. 7-2:
//   ζ = 1 − (1 − q)² − (1.4 − q) q² sin α − 2 K′_st (F_c/F_s) q cos α.
// The last term vanishes at 90°; K′_st (table 7-3) is not applied at
// other angles, and such a term is marked.
Result teeJoinRun(const Args& a, std::string_view, const Conditions&) {
    const double q = arg(a, Param::qsQc);
    const double alpha = arg(a, Param::angle);
    Result r{1 - (1 - q) * (1 - q) - (1.4 - q) * q * q * sinDeg(alpha), true, {}};
    if (alpha != 90) mark(r, {msg::Code::fittingTeeAngle, {"90°"}});
    return r;
}

// Diverging tee, side branch: Idelchik section 7-16, table 7-4:
//   ζ = A′ [1 + (w_s/w_c)² − 2 (w_s/w_c) cos α],
// A′ = 1.1 − 0.7 q for q ≤ 0.4 (else 0.85) when fs ≤ 0.35,
// A′ = 1.0 − 0.6 q for q ≤ 0.6 (else 0.6) otherwise.
Result teeSplitSide(const Args& a, std::string_view, const Conditions&) {
    const double fs = arg(a, Param::fsFc), q = arg(a, Param::qsQc);
    const double ws = q / fs;
    const double big =
        fs <= 0.35 ? (q <= 0.4 ? 1.1 - 0.7 * q : 0.85) : (q <= 0.6 ? 1.0 - 0.6 * q : 0.6);
    return {big * (1 + ws * ws - 2 * ws * cosDeg(arg(a, Param::angle))), true, {}};
}

// Diverging tee, straight passage: ζ = τ_st q² with τ_st read from Idelchik
// diagram 7-20; until its values are checked against a second source, the
// designer gives the ζ read there (on the combined flow's velocity).
Result givenZeta(const Args& a, std::string_view, const Conditions&) {
    return {arg(a, Param::zeta), true, {}};
}

// Square-edged grille or perforated plate, Blevins, Applied Fluid Dynamics
// Handbook (1984): ζ = [0.5 (1 − α) + (1 − α²)] / α² on the duct's approach
// velocity, α the open area fraction.
Result grille(const Args& a, std::string_view, const Conditions&) {
    const double x = arg(a, Param::open);
    return {(0.5 * (1 - x) + (1 - x * x)) / (x * x), true, {}};
}

Result entrance(const Args&, std::string_view, const Conditions&) { return {0.5, true, {}}; }
Result exitLoss(const Args&, std::string_view, const Conditions&) { return {1.0, true, {}}; }

// --- the table -------------------------------------------------------------

constexpr ParamRule angleRule(std::string_view caption, double validLow, double validHigh,
                              std::optional<double> byDefault) {
    return {Param::angle, "angle", "angle",  caption,   "°",      0,
            180,          true,    validLow, validHigh, byDefault};
}

constexpr ParamRule kBendParams[] = {
    angleRule("转角", 0, 180, 90),
    {Param::rD, "r/D", "r-d", "r/D", "", 0, kHuge, true, 0.5, 3, 1.5},
    {Param::aspect, "aspect", "aspect", "a0/b0", "", 0, kHuge, true, 0, kHuge, std::nullopt,
     FromSystem::no, true},
};
constexpr ParamRule kMiterParams[] = {angleRule("转角", 0, 180, 90)};
constexpr ParamRule kExpansionParams[] = {{Param::areaRatio, "area-ratio", "area-ratio", "A1/A2",
                                           "", 0, kHuge, true, 0, 1, std::nullopt,
                                           FromSystem::areaRatio}};
constexpr ParamRule kContractionParams[] = {{Param::beta, "beta", "beta", "d2/d1", "", 0, kHuge,
                                             true, 0, 1, std::nullopt, FromSystem::areaRatio}};
constexpr ParamRule kDiffuserParams[] = {
    angleRule("扩张角", 0, 180, std::nullopt),
    {Param::areaRatio, "area-ratio", "area-ratio", "A1/A2", "", 0, kHuge, true, 0, 1, std::nullopt,
     FromSystem::areaRatio}};
constexpr ParamRule kReducerParams[] = {angleRule("收缩角", 0, 180, std::nullopt),
                                        {Param::beta, "beta", "beta", "d2/d1", "", 0, kHuge, true,
                                         0, 1, std::nullopt, FromSystem::areaRatio}};
constexpr ParamRule kFsFc = {Param::fsFc, "fs/fc", "fs-fc",      "F支/F总",
                             "",          0,       kHuge,        true,
                             0,           1,       std::nullopt, FromSystem::teeRatio};
constexpr ParamRule kFstFc = {
    Param::fstFc, "fst/fc", "fst-fc", "F直/F总", "",           0,
    kHuge,        true,     0,        1,         std::nullopt, FromSystem::teeRatio};
constexpr ParamRule kQsQc = {Param::qsQc, "qs/qc", "qs-qc",      "Q支/Q总",
                             "",          0,       kHuge,        false,
                             0,           1,       std::nullopt, FromSystem::teeRatio};
// Idelchik's tee diagrams are drawn for branch angles of 15° to 90°.
constexpr ParamRule kTeeAngle = angleRule("支管夹角", 15, 90, 90);
constexpr ParamRule kJoinParams[] = {kFsFc, kFstFc, kQsQc, kTeeAngle};
constexpr ParamRule kSplitSideParams[] = {kFsFc, kQsQc, kTeeAngle};
constexpr ParamRule kZetaParam = {Param::zeta, "zeta", "zeta", "ζ",   "",          -kHuge,
                                  kHuge,       false,  -kHuge, kHuge, std::nullopt};
constexpr ParamRule kSplitRunParams[] = {kZetaParam};
constexpr ParamRule kGrilleParams[] = {
    {Param::open, "open", "open", "开孔率", "", 0, 1, true, 0, 1, std::nullopt}};
constexpr ParamRule kValueParams[] = {kZetaParam};

constexpr Method kIdelchikBend[] = {
    {"idelchik", "Idelchik, Handbook of Hydraulic Resistance, diagram 6-1"}};
constexpr Method kMiterMethods[] = {
    {"idelchik", "Idelchik, Handbook of Hydraulic Resistance, diagram 6-7"},
    {"rennels", "Rennels & Hudson, Pipe Flow (2012)"}};
constexpr Method kBorda[] = {{"borda-carnot", "Borda–Carnot"}};
constexpr Method kRennels[] = {{"rennels", "Rennels & Hudson, Pipe Flow (2012)"}};
constexpr Method kCrane[] = {{"crane", "Crane, Technical Paper 410"}};
constexpr Method kJoinSide[] = {{"idelchik", "Idelchik, eq. 7-1, table 7-1"}};
constexpr Method kJoinRun[] = {{"idelchik", "Idelchik, eq. 7-2"}};
constexpr Method kSplitSide[] = {{"idelchik", "Idelchik, section 7-16, table 7-4"}};
constexpr Method kSplitRun[] = {
    {"idelchik", "Idelchik, diagram 7-20 (τ_st q², as read by the user)"}};
constexpr Method kBlevins[] = {{"blevins", "Blevins, Applied Fluid Dynamics Handbook (1984)"}};
constexpr Method kEntrance[] = {{"idelchik", "Idelchik; Crane"}};
constexpr Method kUser[] = {{"given", "the user's reference"}};

constexpr Check kBendChecks[] = {
    {"bend(90, 0.75)", 0.431, false, "A1 B1 C1 at r/D 0.75"},
    {"bend(90, 1)", 0.210, false, "A1 B1 C1 at r/D 1"},
    {"bend(90, 1.5)", 0.171, false, "A1 B1 C1 at r/D 1.5"},
    {"bend(45, 1)", 0.134, false, "A1 B1 C1 at 45°"},
};
constexpr Check kMiterChecks[] = {
    {"miter(150, method=rennels)", 2.7128147734758103, true, "Rennels & Hudson's example"},
    {"miter(90)", 1.306, false, "diagram 6-7's formula at 90°"},
};
constexpr Check kExpansionChecks[] = {
    {"expansion(0.25)", 0.5625, true, "Borda–Carnot, d1/d2 = 0.5"}};
constexpr Check kContractionChecks[] = {
    {"contraction(0.4)", 0.5301269161, true, "Rennels & Hudson's example, d1 = 1, d2 = 0.4"}};
constexpr Check kJoinSideChecks[] = {
    {"tee-join-side(1, 1, 0.2507228581613657, 90)", -0.0404410851362, true,
     "Crane TP-410 example 7-35 (Q 0.018917 and 0.00633 m3/s, all legs 0.1023 m)"}};
constexpr Check kSplitSideChecks[] = {
    {"tee-split-side(1, 0.5)", 0.875, false, "table 7-4 at F_s = F_c, Q_s/Q_c = 0.5"}};
constexpr Check kGrilleChecks[] = {
    {"grille(0.45)", 5.296296296296296, true, "Blevins' square-edged plate, α = 0.45"}};
constexpr Check kEntranceChecks[] = {{"entrance", 0.5, true, "sharp, flush inlet"}};
constexpr Check kExitChecks[] = {{"exit", 1.0, true, "free discharge"}};

constexpr std::string_view kBendNames[] = {"矩形弯头", "圆弯头"};
constexpr std::string_view kMiterNames[] = {"虾米弯头"};
constexpr std::string_view kValueNames[] = {"调节阀", "防火阀", "风口", "消声器", "阀门"};

const Fitting kFittings[] = {
    {.id = "bend",
     .chinese = "弯头",
     .otherNames = kBendNames,
     .params = kBendParams,
     .refersTo = RefersTo::segment,
     .methods = kIdelchikBend,
     .validity = "0.5 ≤ r/D ≤ 3, Re > 2·10⁵, at least 10 D of straight duct upstream",
     .compute = bend,
     .checks = kBendChecks},
    {.id = "miter",
     .chinese = "直角弯头",
     .otherNames = kMiterNames,
     .params = kMiterParams,
     .refersTo = RefersTo::segment,
     .methods = kMiterMethods,
     .validity = "0° < δ ≤ 180°, one joint",
     .compute = miter,
     .checks = kMiterChecks},
    {.id = "expansion",
     .chinese = "突扩",
     .params = kExpansionParams,
     .refersTo = RefersTo::upstream,
     .methods = kBorda,
     .validity = "A1/A2 ≤ 1 (small to large)",
     .compute = expansion,
     .checks = kExpansionChecks},
    {.id = "contraction",
     .chinese = "突缩",
     .params = kContractionParams,
     .refersTo = RefersTo::downstream,
     .methods = kRennels,
     .validity = "β ≤ 1 (small to large)",
     .compute = contraction,
     .checks = kContractionChecks},
    {.id = "diffuser",
     .chinese = "渐扩管",
     .params = kDiffuserParams,
     .refersTo = RefersTo::upstream,
     .methods = kRennels,
     .validity = "conical, 0° < θ ≤ 180°, A1/A2 ≤ 1; the friction of its length left out",
     .compute = diffuser},
    {.id = "reducer",
     .chinese = "渐缩管",
     .params = kReducerParams,
     .refersTo = RefersTo::downstream,
     .methods = kCrane,
     .validity = "conical, 0° < θ ≤ 180°, β ≤ 1",
     .compute = reducer},
    {.id = "tee-join-side",
     .chinese = "合流三通支管",
     .params = kJoinParams,
     .refersTo = RefersTo::combined,
     .methods = kJoinSide,
     .validity = "15° ≤ α ≤ 90°, F_s/F_c ≤ 1; K' not applied where F_s + F_st = F_c",
     .compute = teeJoinSide,
     .checks = kJoinSideChecks,
     .tee = true,
     .teeSide = true,
     .teeSplitting = false,
     .otherKind = "tee-split-side"},
    {.id = "tee-join-run",
     .chinese = "合流三通直通",
     .params = kJoinParams,
     .refersTo = RefersTo::combined,
     .methods = kJoinRun,
     .validity = "α = 90° (K'_st not applied at other angles)",
     .compute = teeJoinRun,
     .tee = true,
     .teeSide = false,
     .teeSplitting = false,
     .otherKind = "tee-split-run"},
    {.id = "tee-split-side",
     .chinese = "分流三通支管",
     .params = kSplitSideParams,
     .refersTo = RefersTo::combined,
     .methods = kSplitSide,
     .validity = "15° ≤ α ≤ 90°, F_s/F_c ≤ 1",
     .compute = teeSplitSide,
     .checks = kSplitSideChecks,
     .tee = true,
     .teeSide = true,
     .teeSplitting = true,
     .otherKind = "tee-join-side"},
    {.id = "tee-split-run",
     .chinese = "分流三通直通",
     .params = kSplitRunParams,
     .refersTo = RefersTo::combined,
     .methods = kSplitRun,
     .validity = "the ζ given, read from diagram 7-20 on the combined flow's velocity",
     .needsReference = true,
     .compute = givenZeta,
     .tee = true,
     .teeSide = false,
     .teeSplitting = true,
     .otherKind = "tee-join-run"},
    {.id = "grille",
     .chinese = "孔板",
     .params = kGrilleParams,
     .refersTo = RefersTo::segment,
     .methods = kBlevins,
     .validity = "square-edged, 0 < α ≤ 1",
     .compute = grille,
     .checks = kGrilleChecks},
    {.id = "entrance",
     .chinese = "进风口",
     .refersTo = RefersTo::segment,
     .methods = kEntrance,
     .validity = "sharp, flush",
     .compute = entrance,
     .checks = kEntranceChecks},
    {.id = "exit",
     .chinese = "出风口",
     .refersTo = RefersTo::segment,
     .methods = kRennels,
     .validity = "free discharge",
     .compute = exitLoss,
     .checks = kExitChecks},
    {.id = "value",
     .chinese = "给定值",
     .otherNames = kValueNames,
     .params = kValueParams,
     .refersTo = RefersTo::segment,
     .methods = kUser,
     .validity = "as the reference gives it",
     .needsReference = true,
     .compute = givenZeta},
};

}  // namespace

std::string_view refersToName(RefersTo r) {
    switch (r) {
        case RefersTo::segment:
            return "segment";
        case RefersTo::upstream:
            return "upstream";
        case RefersTo::downstream:
            return "downstream";
        case RefersTo::combined:
            return "combined";
    }
    return "segment";
}

std::string_view refersToCaption(RefersTo r) {
    switch (r) {
        case RefersTo::segment:
            return "本段";
        case RefersTo::upstream:
            return "上游";
        case RefersTo::downstream:
            return "下游";
        case RefersTo::combined:
            return "总管";
    }
    return "本段";
}

std::span<const Fitting> all() { return kFittings; }

const Fitting* find(std::string_view name) {
    for (const Fitting& f : kFittings) {
        if (calc::equalsIgnoringAsciiCase(f.id, name) || f.chinese == name) return &f;
        for (std::string_view other : f.otherNames)
            if (other == name) return &f;
    }
    return nullptr;
}

std::string nearestName(std::string_view name) {
    std::string best;
    std::size_t bestDistance = std::string::npos;
    auto consider = [&](std::string_view known) {
        const std::size_t d = editDistance(calc::asciiLower(name), calc::asciiLower(known));
        if (d < bestDistance) best = known, bestDistance = d;
    };
    // A name typed in Latin letters is meant as an id, one in Chinese as a
    // Chinese name.
    const bool latin = std::all_of(name.begin(), name.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    for (const Fitting& f : kFittings) {
        if (latin) {
            consider(f.id);
        } else {
            consider(f.chinese);
            for (std::string_view other : f.otherNames) consider(other);
        }
    }
    return best;
}

const Method* findMethod(const Fitting& fitting, std::string_view name) {
    if (name.empty()) return fitting.methods.empty() ? nullptr : &fitting.methods.front();
    for (const Method& m : fitting.methods)
        if (calc::equalsIgnoringAsciiCase(m.name, name)) return &m;
    return nullptr;
}

const ParamRule* paramRule(const Fitting& fitting, Param param) {
    for (const ParamRule& p : fitting.params)
        if (p.param == param) return &p;
    return nullptr;
}

std::string_view sourceOf(const Fitting& fitting, std::string_view method) {
    const Method* m = findMethod(fitting, method);
    return m ? m->source : std::string_view{};
}

std::string numberText(double value) {
    if (value == 0) return "0";  // and not "-0"
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}

std::optional<msg::Message> checkArgs(const Fitting& fitting, const Args& args, bool systemGives) {
    using msg::Code;
    if (!findMethod(fitting, args.method)) {
        std::string known;
        for (const Method& m : fitting.methods)
            known += (known.empty() ? "" : ", ") + std::string(m.name);
        return msg::Message{Code::fittingNoMethod, {fitting.id, args.method, known}};
    }
    for (std::size_t i = 0; i < kParamCount; ++i) {
        const auto p = static_cast<Param>(i);
        const ParamRule* rule = paramRule(fitting, p);
        const std::optional<double>& value = args[p];
        if (!rule) {
            if (value) return msg::Message{Code::fittingNoSuchArgument, {fitting.id}};
            continue;
        }
        if (!value) {
            if (rule->byDefault || rule->optional ||
                (systemGives && rule->fromSystem != FromSystem::no))
                continue;
            return msg::Message{Code::fittingNeeds, {fitting.id, rule->name}};
        }
        const double v = *value;
        if (!std::isfinite(v) || v < rule->lowest || v > rule->highest ||
            (rule->lowestOpen && v == rule->lowest)) {
            msg::Message range{rule->lowestOpen ? Code::rangeAbove : Code::rangeAtLeast,
                               {numberText(rule->lowest)}};
            if (rule->highest < kHuge) {
                range.code = rule->lowestOpen ? Code::rangeAboveAtMost : Code::rangeAtLeastAtMost;
                range.args.emplace_back(numberText(rule->highest));
            }
            return msg::Message{Code::fittingArgumentRange,
                                {fitting.id, rule->name, numberText(v), std::move(range)}};
        }
    }
    return std::nullopt;
}

Result evaluate(const Fitting& fitting, const Args& given, const Conditions& conditions) {
    Args args = given;
    for (const ParamRule& rule : fitting.params)
        if (!args[rule.param] && rule.byDefault) args[rule.param] = rule.byDefault;
    const Method* method = findMethod(fitting, args.method);
    Result r = fitting.compute(args, method ? method->name : std::string_view{}, conditions);
    for (const ParamRule& rule : fitting.params) {
        const std::optional<double>& v = args[rule.param];
        if (!v || (*v >= rule.validLow && *v <= rule.validHigh)) continue;
        msg::Arg range =
            rule.validHigh >= kHuge
                ? msg::Arg(msg::Message{msg::Code::rangeAbove, {numberText(rule.validLow)}})
                : msg::Arg(numberText(rule.validLow) + "–" + numberText(rule.validHigh));
        mark(r,
             {msg::Code::fittingOutside, {rule.name, numberText(*v), std::move(range), rule.unit}});
    }
    return r;
}

}  // namespace ductsys::fittings
