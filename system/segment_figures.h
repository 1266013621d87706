// SPDX-License-Identifier: GPL-3.0-or-later
// The figures of one segment: its texts read by the command line's rules,
// then the window's recalculation and the losses formed from its values.
#pragma once

#include <string>
#include <string_view>

#include "system/model.h"
#include "system/readers.h"
#include "system/work_pool.h"
#include "system/zeta_terms.h"

namespace ductsys {

template <typename... F>
constexpr unsigned figureBits(F... f) {
    return (0u | ... | figureBit(f));
}

// What each input leaves unknown when its text cannot be read.
constexpr unsigned kLosses = figureBits(Figure::frictionLoss, Figure::total, Figure::pathTotal);
constexpr unsigned kFromFriction = figureBits(Figure::lambda, Figure::rm) | kLosses;
constexpr unsigned kFromVelocity =
    figureBits(Figure::velocity, Figure::reynolds, Figure::velocityPressure, Figure::localLoss) |
    kFromFriction;
constexpr unsigned kFromFlow = figureBit(Figure::flow) | kFromVelocity;
constexpr unsigned kFromSize = figureBits(Figure::size, Figure::eqDiameter) | kFromVelocity;
constexpr unsigned kFromLength = figureBit(Figure::length) | kLosses;
constexpr unsigned kFromZeta =
    figureBits(Figure::zeta, Figure::localLoss, Figure::total, Figure::pathTotal);
constexpr unsigned kFromDp = figureBits(Figure::dp, Figure::total, Figure::pathTotal);

// How a segment's duct is set, kept between reading its texts and computing
// it (a segment whose flow is a sum waits for the segments beyond it).
struct DuctSetting {
    std::string flow;  // the flow text to compute with: thousands separators taken out
    SizeText size;
    float flowFactor = 1;       // m3/h per unit
    float roughness = 0;        // mm
    int formula = 1;            // 1 or 2
    bool roughnessRead = true;  // the material or k was read
    bool formulaRead = true;    // the formula was read
    bool zetaPending = false;   // ζ has fitting terms, computed once the system is known
    unsigned unusable = 0;      // figureBit()s that a text read wrongly leaves unknown
};

// Reads everything but the names and nodes of `row` into `segment` (length,
// zeta, dp and whether the flow is given) and `setting`. A text that cannot
// be read adds its reason to segment.reason and the figures that depend on
// it to setting.unusable; a held roughness adds `warning`. A ζ cell with
// fitting terms goes to `fittingTerms` and leaves ζ pending (see
// applyZetaTerms); without `fittingTerms` such a cell cannot be read.
void readSegment(const SegmentTexts& row, Segment& segment, DuctSetting& setting,
                 msg::Messages& warnings, ZetaCell* fittingTerms = nullptr);

// What computing each segment gave, kept from one calculation of a system
// to the next. A grid computes its whole system again after every edit, and
// all but a few of its segments are read and computed exactly as the time
// before: a segment whose readings, setting, flow text and air are those
// its index had last time takes its figures from here, the very bits the
// computation gives. Entries are by segment index; a segment that moved
// is simply computed again.
class ComputeMemo {
public:
    // One segment's last computation: everything it was computed from, as
    // bytes, and the segment it gave.
    struct Entry {
        std::string key;
        msg::Messages reasons;  // the segment's reasons before it was computed
        Segment after;
    };

    // Ready for a calculation in `air`: forgets everything when the air
    // is not the last calculation's.
    void prepare(const calc::AirState& air);
    // Room for segments 0 … count - 1. Only while no computation runs: the
    // entries may move.
    void reserve(std::size_t count);
    // The entry of segment `index` (reserved), for one thread at a time.
    Entry& entry(std::uint32_t index) { return entries_[index]; }

private:
    LargeArray<Entry> entries_;
    std::string air_;  // as bytes; empty before the first calculation
};

// Computes a segment whose duct is set by `setting`, with the flow text
// `flow` in the setting's unit. Fills the figures the recalculation and the
// readings allow, and says why in segment.reason when any is missing. With
// `memo`, takes the figures from it when it holds this very computation,
// and keeps them there otherwise. Each lane has its own, on lines of its
// own.
class alignas(kCacheLine) SegmentCalculator {
public:
    explicit SegmentCalculator(const calc::AirState& air) { input_.air = air; }
    SegmentCalculator(const SegmentCalculator&) = delete;
    SegmentCalculator& operator=(const SegmentCalculator&) = delete;

    void compute(Segment& segment, const DuctSetting& setting, std::string_view flow,
                 ComputeMemo::Entry* memo = nullptr);
    const calc::AirState& air() const { return input_.air; }

private:
    void computeFigures(Segment& segment, const DuctSetting& setting, std::string_view flow);

    calc::DuctInput input_;
    calc::HeadlessView view_{input_, false};  // the values only
    std::string key_;                         // the memo key being formed
};

// Adds a reason to a segment's reasons.
void addReason(Segment& segment, msg::Message reason);

}  // namespace ductsys
