// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/flows.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <span>
#include <string>

#include "calc/calc_state.h"

namespace ductsys {

namespace {

void computeWithoutFlow(Segment& segment, PendingSegment& p, SegmentCalculator& calculator,
                        msg::Message reason) {
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

// |given - beyond| / beyond in per cent, two places: "127.27".
std::string percentText(double given, double beyond) {
    std::array<char, 64> text{};
    const double p = beyond == 0 ? 100.0 : std::fabs(given - beyond) / beyond * 100;
    const auto end =
        std::to_chars(text.data(), text.data() + text.size(), p, std::chars_format::fixed, 2).ptr;
    return std::string(text.data(), end);
}

// Computes a pending segment once the segments beyond it are summed. Writes
// its own segment only (and reads the names of others), so that two threads
// can compute different segments at once.
void computeSummed(SystemResult& result, PendingSegment& p, SegmentCalculator& calculator,
                   ComputeMemo* memo) {
    Segment& segment = result.segments[p.segment];
    switch (p.state) {
        case PendingSegment::Sum::notYet:
            break;  // not reached from the fan: left as read
        case PendingSegment::Sum::noneBeyond:
            computeWithoutFlow(segment, p, calculator, {msg::Code::flowEmptyAtOutlet, {}});
            break;
        case PendingSegment::Sum::missing:
            computeWithoutFlow(segment, p, calculator,
                               {msg::Code::flowSumMissing, {segmentList(result, {p.missing})}});
            break;
        case PendingSegment::Sum::summed:
            calculator.compute(segment, p.setting, sumText(p.sum).view(),
                               memo ? &memo->entry(p.segment) : nullptr);
            break;
    }
}

}  // namespace

void sumFlows(SystemResult& result, const Tree& tree, LargeArray<PendingSegment>& pending,
              WorkPool& pool, std::deque<SegmentCalculator>& calculators, ComputeMemo* memo) {
    // A system whose every air volume is given sums nothing, and needs no
    // table by segment either.
    if (pending.empty()) return;
    auto& segments = result.segments;
    // By segment: where it waits in `pending`, or kNone.
    LargeArray<std::uint32_t> pendingOf(segments.size(), kNone);
    for (std::size_t k = 0; k < pending.size(); ++k)
        pendingOf[pending[k].segment] = static_cast<std::uint32_t>(k);
    // The air volumes and far nodes in compact copies, and what each pending
    // segment's sum gives beside them: the sums read them in tree order, all
    // over the segments, and a few bytes each keep far more of them in cache
    // than whole segments do. NaN: no air volume.
    LargeArray<float> flow(segments.size());
    LargeArray<std::uint32_t> toOf(segments.size());
    for (std::size_t s = 0; s < segments.size(); ++s) {
        flow[s] = segments[s].has(Figure::flow) ? segments[s].flow : std::nanf("");
        toOf[s] = segments[s].to;
    }
    struct Summed {
        double sum = 0;
        std::uint32_t missing = kNone;
        PendingSegment::Sum state = PendingSegment::Sum::notYet;
        bool flowUnusable = false;
    };
    LargeArray<Summed> summed(pending.size());
    for (std::size_t k = 0; k < pending.size(); ++k)
        summed[k].flowUnusable = (pending[k].setting.unusable & figureBit(Figure::flow)) != 0;

    // The sums, the segments beyond first. A summed segment's own air volume
    // is what its computation will store from the sum's text, read as the
    // air volume box reads it; nothing else of it is needed on the way.
    for (std::size_t i = tree.order.size(); i-- > 0;) {
        const std::uint32_t s = tree.order[i];
        if (pendingOf[s] == kNone) continue;
        Summed& p = summed[pendingOf[s]];
        const std::uint32_t node = toOf[s];
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
        float stored = 0;
        if (!p.flowUnusable && calc::storeText(stored, sumText(sum).view(), 1.0f)) flow[s] = stored;
    }
    for (std::size_t k = 0; k < pending.size(); ++k) {
        PendingSegment& p = pending[k];
        const Summed& q = summed[k];
        p.state = q.state;
        if (q.state == PendingSegment::Sum::missing) p.missing = q.missing;
        if (q.state == PendingSegment::Sum::summed) p.sum = q.sum, p.setting.flowFactor = 1;
    }

    // Each segment now has all it needs: computed in any order, each chunk
    // of the pending list on one lane (each pending entry is a segment of
    // its own).
    constexpr std::size_t kChunk = 2048;
    forEachChunk(pool, std::span(pending), kChunk, calculators,
                 [&result, memo](std::span<PendingSegment> chunk, SegmentCalculator& calc) {
                     for (PendingSegment& p : chunk) computeSummed(result, p, calc, memo);
                 });
}

void checkGivenFlows(SystemResult& result, const Tree& tree) {
    const auto& segments = result.segments;
    // A given air volume that the segments beyond it contradict (more than
    // 0.5 % apart) is a warning, not an error: leakage allowances are
    // legitimate. So is an outlet given no air at all.
    for (std::uint32_t s : tree.order) {
        if (!segments[s].flowGiven || !segments[s].has(Figure::flow)) continue;
        const std::uint32_t node = segments[s].to;
        if (tree.childCount(node) == 0) {
            if (segments[s].flow == 0)
                result.warnings.push_back(
                    {s, {msg::Code::outletAirVolumeZero, {segmentList(result, {s})}}});
            continue;
        }
        double beyond = 0;
        bool known = true;
        for (std::uint32_t c = tree.firstChild[node]; c < tree.firstChild[node + 1]; ++c)
            known = known && segments[tree.children[c]].has(Figure::flow),
            beyond += segments[tree.children[c]].flow;
        const double given = segments[s].flow;
        if (!known || std::fabs(given - beyond) <= 0.005 * std::max(given, beyond)) continue;
        const bool suction = tree.suction[s];
        result.warnings.push_back(
            {s,
             {suction ? msg::Code::flowDiffersFromFeeding : msg::Code::flowDiffersFromFed,
              {sumText(given).view(), sumText(beyond).view(), percentText(given, beyond)}}});
    }
}

void leaveFlowsUnknown(SystemResult& result, LargeArray<PendingSegment>& pending,
                       SegmentCalculator& calculator, const msg::Message& reason) {
    for (PendingSegment& p : pending)
        computeWithoutFlow(result.segments[p.segment], p, calculator, reason);
}

}  // namespace ductsys
