// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/run_result.h"

#include "system/fan.h"
#include "system/paths.h"
#include "system/topology.h"

namespace ductsys {

void RunGatherer::add(const Segment& segment, std::string_view name) {
    result_.segments.push_back(segment);
    names_.append(name);
}

SystemResult RunGatherer::finish() {
    const auto count = static_cast<std::uint32_t>(result_.segments.size());
    // The nodes of a run in file order: its names, which may read as "A-B",
    // give none, so the topology sees the segments unnamed.
    TopologyReader topology(result_, options_.fanNode);
    topology.reserve(count);
    result_.segmentNames.reserve(count, 0);
    for (std::uint32_t s = 0; s < count; ++s) {
        result_.segmentNames.append({});
        topology.add(s, {}, {});
    }
    topology.placeNodes();
    const Tree tree = buildTree(result_, topology);
    result_.segmentNames = std::move(names_);
    if (result_.errors.empty()) {
        computePaths(result_, tree);
        computeBalance(result_, tree, options_.maxImbalance);
        computeFan(result_, tree, options_.fanMargin);
    }
    result_.maxImbalance = options_.maxImbalance;
    result_.fan.margin = options_.fanMargin;
    return std::move(result_);
}

}  // namespace ductsys
