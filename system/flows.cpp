// SPDX-License-Identifier: GPL-3.0-or-later
#include "flows.h"

#include <array>
#include <charconv>
#include <cmath>
#include <span>

#include "calc_state.h"

namespace ductsys {

namespace {

void computeWithoutFlow(Segment& segment, PendingSegment& p, SegmentCalculator& calculator,
                        std::string_view reason) {
    addReason(segment, reason);
    p.setting.unusable |= kFromFlow;
    calculator.compute(segment, p.setting, "0");
}

// A sum as if typed in m3/h: the shortest text that reads back as the sum.
struct SumText {
    std::array<char, 32> chars{};
    std::size_t size = 0;
    std::string_view view() const { return {chars.data(), size}; }
};
SumText sumText(double sum) {
    SumText text;
    const auto end =
        std::to_chars(text.chars.data(), text.chars.data() + text.chars.size(), sum).ptr;
    text.size = static_cast<std::size_t>(end - text.chars.data());
    return text;
}

// Computes a pending segment once the segments beyond it are summed. Writes
// its own segment only (and reads the names of others), so that two threads
// can compute different segments at once.
void computeSummed(SystemResult& result, PendingSegment& p, SegmentCalculator& calculator) {
    Segment& segment = result.segments[p.segment];
    switch (p.state) {
        case PendingSegment::Sum::notYet:
            break;  // not reached from the fan: left as read
        case PendingSegment::Sum::noneBeyond:
            computeWithoutFlow(segment, p, calculator,
                               "the flow is empty, and an outlet has no segments beyond to sum");
            break;
        case PendingSegment::Sum::missing:
            computeWithoutFlow(segment, p, calculator,
                               "the flow is the sum beyond, and segment " +
                                   segmentList(result, {p.missing}) + " has no air volume");
            break;
        case PendingSegment::Sum::summed:
            calculator.compute(segment, p.setting, sumText(p.sum).view());
            break;
    }
}

}  // namespace

void sumFlows(SystemResult& result, const Tree& tree, LargeArray<PendingSegment>& pending,
              const LargeArray<std::uint32_t>& pendingOf, WorkPool& pool,
              std::deque<SegmentCalculator>& calculators) {
    auto& segments = result.segments;
    // The air volumes in a compact copy: the sums read them in tree order,
    // all over the segments, and a float each keeps far more of them in cache
    // than whole segments do. NaN: no air volume.
    LargeArray<float> flow(segments.size());
    for (std::size_t s = 0; s < segments.size(); ++s)
        flow[s] = segments[s].has(Figure::flow) ? segments[s].flow : std::nanf("");

    // The sums, the segments beyond first. A summed segment's own air volume
    // is what its computation will store from the sum's text, read as the
    // air volume box reads it; nothing else of it is needed on the way.
    for (std::size_t i = tree.order.size(); i-- > 0;) {
        const std::uint32_t s = tree.order[i];
        if (pendingOf[s] == kNone) continue;
        PendingSegment& p = pending[pendingOf[s]];
        const std::uint32_t node = segments[s].to;
        if (tree.childCount(node) == 0) {
            p.state = PendingSegment::Sum::noneBeyond;
            continue;
        }
        double sum = 0;
        p.state = PendingSegment::Sum::summed;
        for (std::uint32_t c = tree.firstChild[node]; c < tree.firstChild[node + 1]; ++c) {
            const float beyond = flow[tree.children[c]];
            if (std::isnan(beyond)) {
                p.state = PendingSegment::Sum::missing;
                p.missing = tree.children[c];
                break;
            }
            sum += beyond;
        }
        if (p.state != PendingSegment::Sum::summed) continue;
        p.sum = sum;
        p.setting.flowFactor = 1;
        float stored = 0;
        if (!(p.setting.unusable & figureBit(Figure::flow)) &&
            calc::storeText(stored, sumText(sum).view(), p.setting.flowFactor))
            flow[s] = stored;
    }

    // Each segment now has all it needs: computed in any order, each chunk
    // of the pending list on one lane (each pending entry is a segment of
    // its own).
    constexpr std::size_t kChunk = 2048;
    forEachChunk(pool, std::span(pending), kChunk, calculators,
                 [&result](std::span<PendingSegment> chunk, SegmentCalculator& calc) {
                     for (PendingSegment& p : chunk) computeSummed(result, p, calc);
                 });
}

void leaveFlowsUnknown(SystemResult& result, LargeArray<PendingSegment>& pending,
                       SegmentCalculator& calculator, std::string_view reason) {
    for (PendingSegment& p : pending)
        computeWithoutFlow(result.segments[p.segment], p, calculator, reason);
}

}  // namespace ductsys
