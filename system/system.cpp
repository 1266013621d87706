// SPDX-License-Identifier: GPL-3.0-or-later
#include "system.h"

#include "fan.h"
#include "flows.h"
#include "paths.h"
#include "segment_figures.h"
#include "topology.h"

namespace ductsys {

struct SystemBuilder::State {
    explicit State(Options o)
        : options(std::move(o)), topology(result, options.fanNode), calculator(options.air) {}

    Options options;
    SystemResult result;
    TopologyReader topology;
    SegmentCalculator calculator;
    LargeArray<PendingSegment> pending;
    LargeArray<std::uint32_t> pendingOf;  // by segment: into `pending`, or kNone
};

SystemBuilder::SystemBuilder(Options options)
    : state_(std::make_unique<State>(std::move(options))) {}
SystemBuilder::~SystemBuilder() = default;

void SystemBuilder::reserve(std::size_t rows) {
    State& st = *state_;
    st.result.segments.reserve(rows);
    // Names such as "1024-1025": a few characters each.
    st.result.segmentNames.reserve(rows, 8 * rows);
    st.result.nodeNames.reserve(rows + 1, 4 * rows);
    st.topology.reserve(rows);
    st.pendingOf.reserve(rows);
}

std::uint32_t SystemBuilder::add(const SegmentTexts& row) {
    bool blank = true;
    for (std::string_view text : {row.segment, row.from, row.to, row.flow, row.unit, row.size,
                                  row.length, row.zeta, row.dp, row.material, row.k, row.formula})
        blank = blank && trimmed(text).empty();
    if (blank) return kNone;

    State& st = *state_;
    SystemResult& result = st.result;
    const auto index = static_cast<std::uint32_t>(result.segments.size());
    result.segments.emplace_back();
    result.segmentNames.append(trimmed(row.segment));
    st.topology.add(index, row.from, row.to);

    Segment& segment = result.segments[index];
    DuctSetting setting;
    std::string warning;
    readSegment(row, segment, setting, warning);
    if (!warning.empty()) result.warnings.push_back({index, std::move(warning)});
    if (segment.flowGiven) {
        st.calculator.compute(segment, setting, trimmed(row.flow));
        st.pendingOf.push_back(kNone);
    } else {
        st.pendingOf.push_back(static_cast<std::uint32_t>(st.pending.size()));
        st.pending.push_back({index, std::move(setting)});
    }
    return index;
}

SystemResult SystemBuilder::finish() {
    State& st = *state_;
    SystemResult& result = st.result;
    st.topology.checkNames();
    const Tree tree = buildTree(result, st.topology);
    if (!result.errors.empty()) {
        leaveFlowsUnknown(result, st.pending, st.calculator,
                          "the flow is the sum beyond, and the segments do not form a tree");
    } else {
        sumFlows(result, tree, st.pending, st.pendingOf, st.calculator);
        computePaths(result, tree);
        computeBalance(result, tree, st.options.maxImbalance);
        computeFan(result, tree, st.options.fanMargin);
    }
    result.maxImbalance = st.options.maxImbalance;
    result.fan.margin = st.options.fanMargin;
    SystemResult out = std::move(result);
    st.pending.clear();
    return out;
}

SystemResult computeSystem(std::span<const SegmentTexts> rows, const Options& options) {
    SystemBuilder builder(options);
    builder.reserve(rows.size());
    for (const SegmentTexts& row : rows) builder.add(row);
    return builder.finish();
}

bool SystemResult::complete() const {
    if (!errors.empty()) return false;
    for (const Segment& s : segments)
        if (!s.ok()) return false;
    for (const Junction& j : junctions)
        if (!j.imbalance) return false;
    return segments.empty() || (fan.airVolume && fan.pressure);
}

std::vector<std::uint32_t> SystemResult::pathTo(std::uint32_t segment) const {
    std::vector<std::uint32_t> path;
    for (std::uint32_t s = segment; s != kNone; s = segments[s].parent) path.push_back(s);
    return {path.rbegin(), path.rend()};
}

}  // namespace ductsys
