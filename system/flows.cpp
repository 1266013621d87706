// SPDX-License-Identifier: GPL-3.0-or-later
#include "flows.h"

#include <array>
#include <charconv>
#include <cmath>

namespace ductsys {

namespace {

void computeWithoutFlow(Segment& segment, PendingSegment& p, SegmentCalculator& calculator,
                        std::string_view reason) {
    addReason(segment, reason);
    p.setting.unusable |= kFromFlow;
    calculator.compute(segment, p.setting, "0");
}

}  // namespace

void sumFlows(SystemResult& result, const Tree& tree, LargeArray<PendingSegment>& pending,
              const LargeArray<std::uint32_t>& pendingOf, SegmentCalculator& calculator) {
    auto& segments = result.segments;
    // The air volumes in a compact copy: the sums read them in tree order,
    // all over the segments, and a float each keeps far more of them in cache
    // than whole segments do. NaN: no air volume.
    LargeArray<float> flow(segments.size());
    for (std::size_t s = 0; s < segments.size(); ++s)
        flow[s] = segments[s].has(Figure::flow) ? segments[s].flow : std::nanf("");
    std::array<char, 32> text{};
    for (std::size_t i = tree.order.size(); i-- > 0;) {
        const std::uint32_t s = tree.order[i];
        if (pendingOf[s] == kNone) continue;
        PendingSegment& p = pending[pendingOf[s]];
        Segment& segment = segments[s];
        const std::uint32_t node = segment.to;
        if (tree.childCount(node) == 0) {
            computeWithoutFlow(segment, p, calculator,
                               "the flow is empty, and an outlet has no segments beyond to sum");
            continue;
        }
        double sum = 0;
        std::uint32_t missing = kNone;
        for (std::uint32_t c = tree.firstChild[node]; c < tree.firstChild[node + 1]; ++c) {
            const float beyond = flow[tree.children[c]];
            if (std::isnan(beyond)) {
                missing = tree.children[c];
                break;
            }
            sum += beyond;
        }
        if (missing != kNone) {
            computeWithoutFlow(segment, p, calculator,
                               "the flow is the sum beyond, and segment " +
                                   segmentList(result, {missing}) + " has no air volume");
            continue;
        }
        // Typed in m3/h: the shortest text that reads back as the sum.
        const auto end = std::to_chars(text.data(), text.data() + text.size(), sum).ptr;
        p.setting.flowFactor = 1;
        calculator.compute(
            segment, p.setting,
            std::string_view(text.data(), static_cast<std::size_t>(end - text.data())));
        if (segment.has(Figure::flow)) flow[s] = segment.flow;
    }
}

void leaveFlowsUnknown(SystemResult& result, LargeArray<PendingSegment>& pending,
                       SegmentCalculator& calculator, std::string_view reason) {
    for (PendingSegment& p : pending)
        computeWithoutFlow(result.segments[p.segment], p, calculator, reason);
}

}  // namespace ductsys
