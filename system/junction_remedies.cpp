// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/junction_remedies.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "system/readers.h"
#include "system/report.h"
#include "system/report_sections.h"

namespace ductsys {

VelocityLimits remedyLimits(std::optional<double> maxVelocity) {
    if (maxVelocity && *maxVelocity > 0) return targetLimits(*maxVelocity, *maxVelocity);
    return *presetLimits(kDefaultPreset);
}

std::string remedyLimitsName(std::optional<double> maxVelocity) {
    if (maxVelocity && *maxVelocity > 0) {
        char text[64];
        const auto r = std::to_chars(text, text + sizeof text, *maxVelocity);
        return "最大风速 " + std::string(text, r.ptr) + " m/s";
    }
    const VelocityLimits limits = *presetLimits(kDefaultPreset);
    return limits.group + "（" + std::string(limits.source) + "）";
}

std::vector<Remedy> systemRemedies(const SystemResult& result, const Options& options,
                                   std::optional<double> maxVelocity) {
    if (!result.topologyOk() || std::none_of(result.junctions.begin(), result.junctions.end(),
                                             [](const Junction& j) { return j.flagged; }))
        return {};
    return balanceRemedies(result, assignRoles(result, {}), remedyLimits(maxVelocity), options);
}

std::vector<Remedy> remediesAt(const SystemResult& result, std::uint32_t junction,
                               const std::vector<Role>& roles, const Options& options,
                               std::optional<double> maxVelocity) {
    if (junction >= result.junctions.size() || !result.junctions[junction].flagged) return {};
    return junctionRemedies(result, junction, roles, remedyLimits(maxVelocity), options);
}

std::string damperZetaText(double zeta) {
    char text[64];
    const auto r = std::to_chars(text, text + sizeof text, zeta, std::chars_format::general, 4);
    return std::string(text, r.ptr);
}

std::string zetaWithDamper(std::string_view cell, double zeta) {
    const std::string_view t = trimmed(cell);
    if (t.empty()) return damperZetaText(zeta);
    return std::string(t) + "+" + damperZetaText(zeta);
}

namespace {

double heaviestGap(const Remedy& r) {
    return r.heaviest > 0 ? (r.heaviest - r.branchTotal) / r.heaviest : 0;
}

}  // namespace

std::string remedyJunctionLine(const SystemResult& result, const Remedy& r) {
    const std::uint32_t node = result.junctions[r.junction].node;
    return "节点 " + std::string(result.nodeNames[node]) + "：" + segmentLabel(result, r.segment) +
           " 支路 " + fixedText(r.branchTotal, 1) + " Pa，最重支路 " + fixedText(r.heaviest, 1) +
           " Pa，不平衡率 " + imbalanceText(heaviestGap(r));
}

std::string remedyDamperLine(const SystemResult& result, const Remedy& r) {
    const std::string name = segmentLabel(result, r.segment);
    std::string line = "阀门：" + name + " 增加 " + fixedText(r.damperPressure, 1) + " Pa";
    if (r.damperZeta)
        line += "，ζ = " + damperZetaText(*r.damperZeta) + "（按 " + name + " 的动压）";
    else
        line += "（本段没有动压，无法折算 ζ）";
    return line;
}

std::string remedyResizeLine(const SystemResult& result, const Remedy& r) {
    const std::string name = segmentLabel(result, r.segment);
    if (r.resize.empty()) return "改尺寸：" + name + " 在风速限值内没有更接近平衡的标准尺寸";
    return "改尺寸：" + name + " 改为 " + r.resize + "，余下不平衡率 " +
           imbalanceText(r.resizeImbalance);
}

}  // namespace ductsys
