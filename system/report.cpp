// SPDX-License-Identifier: GPL-3.0-or-later
#include "report.h"

#include "calc_state.h"
#include "number_text.h"

namespace ductsys {

std::optional<float> asSingle(std::optional<double> value) {
    float x = 0;
    if (!value || !calc::storeSingle(x, *value)) return std::nullopt;
    return x;
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

std::string shownText(float x) {
    std::string text = calc::numberText(x);
    if (!text.empty() && text.front() == ' ') text.erase(0, 1);
    return text;
}

std::string sizeLabel(const Segment& s) {
    if (!s.has(Figure::size)) return {};
    if (s.shape == calc::Shape::circular) return "φ" + shownText(s.diameter);
    return shownText(s.sideA) + "*" + shownText(s.sideB);
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

}  // namespace ductsys
