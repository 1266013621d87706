// SPDX-License-Identifier: GPL-3.0-or-later
// Air volumes summed from the outlets toward the fan.
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include "system/segment_figures.h"
#include "system/topology.h"
#include "system/work_pool.h"

namespace ductsys {

// A segment whose flow is left empty, waiting for the segments beyond it.
struct PendingSegment {
    std::uint32_t segment;
    DuctSetting setting;
    // What the segments beyond gave: their sum, or why there is none.
    enum class Sum : std::uint8_t { notYet, summed, noneBeyond, missing };
    Sum state = Sum::notYet;
    double sum = 0;                 // m3/h, when summed
    std::uint32_t missing = kNone;  // the segment beyond without an air volume
};

// Computes each pending segment: its flow is the double sum of the stored
// air volumes (m3/h) of the segments beyond it, computed as if that sum had
// been typed in m3/h. An outlet left empty, or a segment beyond that has no
// air volume, leaves the flow unknown with the reason; the figures that do
// not depend on the flow are still computed. The sums go from the outlets
// toward the fan; the segments are then computed on the pool's lanes, each
// with its own of `calculators`, and through `memo` when there is one
// (reserved for every segment).
void sumFlows(SystemResult& result, const Tree& tree, LargeArray<PendingSegment>& pending,
              WorkPool& pool, std::deque<SegmentCalculator>& calculators,
              ComputeMemo* memo = nullptr);

// Computes pending segments whose flow cannot be summed, with `reason`.
void leaveFlowsUnknown(SystemResult& result, LargeArray<PendingSegment>& pending,
                       SegmentCalculator& calculator, const msg::Message& reason);

// Warns of a given air volume more than 0.5 % from the sum of the segments
// it feeds (or that feed it, on a suction side), and of an outlet given 0.
// Needs sumFlows first.
void checkGivenFlows(SystemResult& result, const Tree& tree);

}  // namespace ductsys
