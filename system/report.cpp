// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/report.h"

#include "calc/calc_state.h"
#include "calc/number_text.h"

namespace ductsys {

std::optional<float> asSingle(std::optional<double> value) {
    float x = 0;
    if (!value || !calc::storeSingle(x, *value)) return std::nullopt;
    return x;
}

std::optional<std::string> figureText(std::optional<double> value) {
    const std::optional<float> x = asSingle(value);
    if (!x) return std::nullopt;
    return calc::bareNumberText(*x);
}

ReportValues reportValues(const Segment& s) {
    ReportValues v{};
    auto f = [&](ReportColumn c, Figure figure, float x) {
        if (s.has(figure)) v[c] = x;
    };
    auto d = [&](ReportColumn c, Figure figure, double x) {
        if (s.has(figure)) v[c] = asSingle(x);
    };
    f(rFlow, Figure::flow, s.flow);
    f(rEqDiameter, Figure::eqDiameter, s.eqDiameter);
    f(rVelocity, Figure::velocity, s.velocity);
    f(rReynolds, Figure::reynolds, s.reynolds);
    f(rLambda, Figure::lambda, s.lambda);
    f(rRm, Figure::rm, s.rm);
    d(rLength, Figure::length, s.length);
    f(rFrictionLoss, Figure::frictionLoss, s.frictionLoss);
    f(rVelocityPressure, Figure::velocityPressure, s.velocityPressure);
    d(rZeta, Figure::zeta, s.zeta);
    f(rLocalLoss, Figure::localLoss, s.localLoss);
    d(rDp, Figure::dp, s.dp);
    f(rTotal, Figure::total, s.total);
    d(rPathTotal, Figure::pathTotal, s.pathTotal);
    return v;
}

std::string sizeLabel(const Segment& s) {
    if (!s.has(Figure::size)) return {};
    if (s.shape == calc::Shape::circular) return "φ" + calc::bareNumberText(s.diameter);
    return calc::bareNumberText(s.sideA) + "*" + calc::bareNumberText(s.sideB);
}

std::string segmentLabel(const SystemResult& result, std::uint32_t segment) {
    const std::string_view name = result.segmentNames[segment];
    if (!name.empty()) return std::string(name);
    const Segment& s = result.segments[segment];
    if (s.from != kNone && s.to != kNone && !result.nodeNames[s.from].empty() &&
        !result.nodeNames[s.to].empty()) {
        const std::uint32_t a = s.reversed ? s.to : s.from, b = s.reversed ? s.from : s.to;
        return std::string(result.nodeNames[a]) + "-" + std::string(result.nodeNames[b]);
    }
    return std::to_string(segment + 1);
}

std::vector<bool> indexRunSegments(const SystemResult& result) {
    std::vector<bool> on(result.segments.size(), false);
    if (result.topologyOk() && result.fan.indexOutlet != kNone)
        for (std::uint32_t s : result.pathTo(result.fan.indexOutlet)) on[s] = true;
    if (result.topologyOk() && result.fan.indexInlet != kNone)
        for (std::uint32_t s : result.pathTo(result.fan.indexInlet)) on[s] = true;
    return on;
}

std::string formulasInUse(const SystemResult& result) {
    bool one = false, two = false;
    for (const Segment& s : result.segments) (s.formula == 2 ? two : one) = true;
    return formulaList(one, two);
}

std::string formulaList(bool one, bool two) { return one && two ? "1, 2" : two ? "2" : "1"; }

std::vector<std::uint32_t> segmentsBeyond(const SystemResult& result, std::uint32_t segment) {
    const auto& segments = result.segments;
    if (segment >= segments.size()) return {};
    // 1: beyond `segment`, 2: not; 0: not yet known. Each walk toward the fan
    // stops at the first segment already known, so every segment is walked once.
    std::vector<unsigned char> state(segments.size(), 0);
    state[segment] = 1;
    std::vector<std::uint32_t> walk, beyond;
    for (std::uint32_t s = 0; s < segments.size(); ++s) {
        std::uint32_t at = s;
        walk.clear();
        while (at != kNone && state[at] == 0) {
            walk.push_back(at);
            at = segments[at].parent;
        }
        const unsigned char found = at == kNone ? 2 : state[at];
        for (const std::uint32_t w : walk) state[w] = found;
        if (state[s] == 1) beyond.push_back(s);
    }
    return beyond;
}

}  // namespace ductsys
