// SPDX-License-Identifier: GPL-3.0-or-later
// Sizing a whole system and balancing its junctions.
//
// 假定流速法 (the velocity method): each segment to be sized gets the
// smallest standard size whose velocity does not exceed its role's limit.
// 等摩阻法 (the friction method): the smallest whose Rm does not exceed a
// chosen Rm, and, with a preset, whose velocity stays within its role's
// limit as well. A junction whose branches differ by more than the
// system's largest imbalance is balanced by stepping the first segment of
// each lighter branch down the standard series while its velocity stays
// within its role's limit; what is left is given as a damper (the extra Pa,
// and its ζ on the segment's velocity pressure).
//
//   ductsys::SystemSizer sizer(sizingOptions);
//   for (each row) sizer.add(builder, texts);
//   ductsys::SystemResult result = builder.finish();
//   ductsys::SizingReport report = sizer.finish(result, options);
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "system/roles.h"
#include "system/segment_figures.h"
#include "system/system.h"

namespace ductsys {

enum class SizingMethod : std::uint8_t { none, velocity, friction };

struct SizingOptions {
    SizingMethod method = SizingMethod::none;
    // The velocity each role may carry: the velocity method's limit, the
    // friction method's too when given, and the limit of a balancing
    // resize. None: the friction method is not held to a velocity, and a
    // balancing resize is held to kDefaultPreset's.
    std::optional<VelocityLimits> limits;
    double rm = 0;           // Pa/m: the friction method's largest Rm
    bool resizeAll = false;  // size every segment, not only those without a size
    // mm: the largest diameter or shorter side, as a ceiling allows.
    std::optional<double> maxSide;
    double maxAspect = 4;  // the longer side over the shorter
    bool balance = false;  // take the resizes that balance the junctions
    // Work out what would balance each junction over the limit (a front
    // end that shows none skips the work).
    bool remedies = true;
};

// The preset whose limits a balancing resize keeps to when none is given.
inline constexpr std::string_view kDefaultPreset = "public";

// What a size cell asks of the sizing: `keep` the size, a round duct, or a
// rectangle with one side fixed ("*x320", "x320", "?×320" fix the second;
// "500x*", "500x?" the first), the other side from the standard series.
struct SizeWish {
    enum class Kind : std::uint8_t { keep, round, fixedSecond, fixedFirst };
    Kind kind = Kind::keep;
    std::string side;  // the fixed side as typed, mm
};
// An empty cell asks for a round duct. With `all`, a size already given is
// sized again: a diameter as a round duct, two sides keeping the second.
// A text that is no size and fixes no side is kept (its row says why).
SizeWish sizeWish(std::string_view text, bool all);

// A size chosen by this run. Its texts are kept in SizingReport::texts: a
// system of a million segments may have as many changes.
struct SizeChange {
    std::uint32_t segment;
    std::uint32_t before;    // the size as it was: a label, or the cell's text
    std::uint32_t after;     // the size as a table reads it back: "φ250", "630*320"
    bool fits = true;        // false: no standard size meets the limit, the largest is taken
    bool balancing = false;  // a resize that balances a junction
};

// What would balance one lighter branch at a junction over the limit.
struct Remedy {
    std::uint32_t junction;  // into SystemResult::junctions
    std::uint32_t segment;   // the branch's first segment
    double branchTotal = 0;  // Pa
    double heaviest = 0;     // Pa: the heaviest branch's total
    // A damper: the extra resistance and its ζ on the segment's velocity
    // pressure (none when the segment has no velocity pressure).
    double damperPressure = 0;
    std::optional<double> damperZeta;
    // A resize: the standard size that comes closest to the heaviest
    // branch without passing the role's velocity limit, the branch's total
    // with it and the imbalance it leaves; empty when no smaller size does
    // better than the size there is.
    std::string resize;
    double resizeTotal = 0;
    double resizeImbalance = 0;
};

struct SizingReport {
    SizingMethod method = SizingMethod::none;
    std::optional<VelocityLimits> limits;  // as given
    // The limits a balancing resize keeps to: as given, or kDefaultPreset's.
    VelocityLimits balanceLimits;
    bool balanceLimitsAssumed = false;
    double rm = 0;
    // By segment; empty when nothing was to be sized, balanced or remedied.
    std::vector<Role> roles;
    std::vector<std::uint8_t> sized;  // by segment: its size was chosen by this run
    std::vector<std::uint8_t> noFit;  // by segment: no standard size met its limit
    std::vector<SizeChange> changes;  // in the order made: sizes, then balancing
    TextList texts;                   // the changes' texts
    std::string_view before(const SizeChange& c) const { return texts[c.before]; }
    std::string_view after(const SizeChange& c) const { return texts[c.after]; }
    // By junction over the limit once sized and balanced, fan outward: what
    // would balance each lighter branch.
    std::vector<Remedy> remedies;
    bool anyNoFit = false;
};

class SystemSizer {
public:
    explicit SystemSizer(SizingOptions options);

    // Adds a row through `builder`, as builder.add does, keeping its role
    // cell and, for a row to be sized, handing the builder a stand-in size
    // that finish() replaces.
    std::uint32_t add(SystemBuilder& builder, const SegmentTexts& row);

    // Sizes the segments asked for, balances when asked, recomputes the
    // system's paths, junctions and fan, and works out the remedies of the
    // junctions still over the limit. `options` are the builder's.
    SizingReport finish(SystemResult& result, const Options& options);

private:
    // Sizes one segment as its cell asks; none when it cannot be sized,
    // otherwise whether a standard size met the limits.
    std::optional<bool> sizeOne(Segment& seg, Role role, std::string_view cell,
                                SegmentCalculator& calculator) const;

    SizingOptions options_;
    std::vector<std::optional<Role>> given_;  // by segment
    std::vector<std::pair<std::uint32_t, std::string>>
        badRoles_;  // The segments to size, in order, and their size cells as typed.
    std::vector<std::uint32_t> wanted_;
    TextList wantedTexts_;
};

// The remedies of every junction over the limit, fan outward; `roles` by
// segment. Needs a system whose topology is sound.
std::vector<Remedy> balanceRemedies(const SystemResult& result, const std::vector<Role>& roles,
                                    const VelocityLimits& limits, const Options& options,
                                    double maxAspect = 4);
// The remedies of one junction (none when it is within the limit), as
// balanceRemedies gives them: for a front end that shows one at a time.
std::vector<Remedy> junctionRemedies(const SystemResult& result, std::uint32_t junction,
                                     const std::vector<Role>& roles, const VelocityLimits& limits,
                                     const Options& options, double maxAspect = 4);

}  // namespace ductsys
