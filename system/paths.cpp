// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/paths.h"

#include <algorithm>

namespace ductsys {

void computePaths(SystemResult& result, const Tree& tree) {
    auto& segments = result.segments;
    for (std::uint32_t s : tree.order) {
        Segment& segment = segments[s];
        segment.defined &= ~figureBit(Figure::pathTotal);
        if (!segment.has(Figure::total)) continue;
        double before = 0;
        if (segment.parent != kNone) {
            if (!segments[segment.parent].has(Figure::pathTotal)) continue;
            before = segments[segment.parent].pathTotal;
        }
        segment.pathTotal = before + segment.total;
        segment.defined |= figureBit(Figure::pathTotal);
    }
    std::vector<bool> reached(segments.size(), false);
    for (std::uint32_t s : tree.order) reached[s] = true;
    for (std::uint32_t s = 0; s < segments.size(); ++s)
        if (reached[s] && tree.childCount(segments[s].to) == 0) result.outlets.push_back(s);
}

void computeBalance(SystemResult& result, const Tree& tree, double maxImbalance) {
    const auto& segments = result.segments;
    const std::uint32_t nodes = result.nodeNames.size();
    // The largest total from each node to an outlet, the segments beyond
    // first; a node with no segment beyond is an outlet's end, at 0.
    enum : std::uint8_t { none, known, unknown };
    LargeArray<double> below(nodes, 0);
    LargeArray<std::uint8_t> belowState(nodes, none);
    LargeArray<double> branch(segments.size(), 0);
    std::vector<bool> branchKnown(segments.size(), false);
    for (std::size_t i = tree.order.size(); i-- > 0;) {
        const std::uint32_t s = tree.order[i];
        const Segment& segment = segments[s];
        const bool ok = segment.has(Figure::total) && belowState[segment.to] != unknown;
        const double total = static_cast<double>(segment.total) + below[segment.to];
        branch[s] = total;
        branchKnown[s] = ok;
        std::uint8_t& state = belowState[segment.from];
        if (!ok) {
            state = unknown;
        } else if (state == none) {
            below[segment.from] = total;
            state = known;
        } else if (state == known) {
            below[segment.from] = std::max(below[segment.from], total);
        }
    }

    std::vector<bool> reachedNode(nodes, false);
    if (result.fan.node != kNone) reachedNode[result.fan.node] = true;
    for (std::uint32_t s : tree.order) reachedNode[segments[s].to] = true;
    for (std::uint32_t n = 0; n < nodes; ++n) {
        if (!reachedNode[n] || tree.childCount(n) < 2) continue;
        if (n == result.fan.node) {
            // A fan between a suction side and a discharge side: its two
            // sides are in series through it, not parallel branches.
            bool suction = false, discharge = false;
            for (std::uint32_t c = tree.firstChild[n]; c < tree.firstChild[n + 1]; ++c)
                (tree.suction[tree.children[c]] ? suction : discharge) = true;
            if (suction && discharge) continue;
        }
        Junction junction{n, static_cast<std::uint32_t>(result.branches.size()), tree.childCount(n),
                          std::nullopt, false};
        bool allKnown = true;
        double largest = 0, smallest = 0;
        for (std::uint32_t c = tree.firstChild[n]; c < tree.firstChild[n + 1]; ++c) {
            const std::uint32_t s = tree.children[c];
            if (!branchKnown[s]) {
                allKnown = false;
                result.branches.push_back({s, std::nullopt});
                continue;
            }
            if (c == tree.firstChild[n] || branch[s] > largest) largest = branch[s];
            if (c == tree.firstChild[n] || branch[s] < smallest) smallest = branch[s];
            result.branches.push_back({s, branch[s]});
        }
        if (allKnown) {
            // A junction whose branches lose nothing is in balance; negative
            // totals (a fitting that regains pressure) give no ratio.
            if (largest > 0)
                junction.imbalance = (largest - smallest) / largest;
            else if (largest == 0 && smallest == 0)
                junction.imbalance = 0.0;
        }
        junction.flagged = junction.imbalance && *junction.imbalance > maxImbalance;
        result.junctions.push_back(junction);
    }
    result.maxImbalance = maxImbalance;
}

}  // namespace ductsys
