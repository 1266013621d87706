// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/sizes.h"

#include <algorithm>
#include <cmath>

#include "calc/ascii.h"
#include "calc/number_reading.h"
#include "calc/number_text.h"
#include "calc/tables.h"
#include "system/readers.h"
#include "system/segment_figures.h"

namespace ductsys {

std::vector<SizeCandidate> sizeCandidates(const calc::DuctInput& base, double maxAspect) {
    calc::DuctInput input = base;
    calc::HeadlessView view(input);
    std::vector<SizeCandidate> candidates;
    const auto add = [&](std::string text) {
        const calc::DuctResult r = calc::computeDuct(input, view);
        const calc::CalcState& s = r.state;
        SizeCandidate c;
        c.shape = input.shape;
        c.text = std::move(text);
        c.label = calc::withoutBlanks(view.caption(calc::Result::Label6));
        c.failure = failureReason(r, input);
        c.area = s.area;
        c.eqDiameter = s.eqDiameter;
        c.velocity = s.velocity;
        c.rm = s.specificLoss;
        c.reynolds = s.reynolds;
        c.height = input.shape == calc::Shape::circular ? s.diameter : s.sideB;
        candidates.push_back(std::move(c));
    };
    input.shape = calc::Shape::circular;
    for (const std::string_view d : calc::standardDiameters) {
        input.diameter = d;
        add(std::string(d));
    }
    input.shape = calc::Shape::rectangular;
    for (const std::string_view a : calc::standardSides) {
        for (const std::string_view b : calc::standardSides) {
            const double longer = calc::textValue(a).value_or(0);
            const double shorter = calc::textValue(b).value_or(0);
            if (shorter > longer || longer > maxAspect * shorter) continue;
            input.sideA = a;
            input.sideB = b;
            add(std::string(a) + "x" + std::string(b));
        }
    }
    return candidates;
}

std::optional<calc::DuctInput> sizingInput(const SegmentTexts& row, float flow,
                                           const calc::AirState& air) {
    Segment segment;
    DuctSetting setting;
    msg::Messages warnings;
    SegmentTexts wall;
    wall.material = row.material;
    wall.k = row.k;
    wall.formula = row.formula;
    readSegment(wall, segment, setting, warnings);
    if (!setting.roughnessRead || !setting.formulaRead) return std::nullopt;
    calc::DuctInput input;
    // The shortest text that reads back to the same single.
    input.flow = calc::plainDecimalText(flow);
    input.flowFactor = 1;
    input.roughness = setting.roughness;
    input.formula = setting.formula;
    input.air = air;
    return input;
}

std::optional<double> SizeLimits::velocityCeiling() const {
    std::optional<double> ceiling = maxVelocity;
    if (preset && (!ceiling || preset->maximum < *ceiling)) ceiling = preset->maximum;
    return ceiling;
}

bool SizeLimits::any() const { return velocityCeiling() || minVelocity || maxRm || maxSide; }

void rankSizes(std::vector<SizeCandidate>& candidates, std::optional<double> targetVelocity) {
    std::stable_sort(
        candidates.begin(), candidates.end(),
        [](const SizeCandidate& x, const SizeCandidate& y) { return x.area < y.area; });
    if (!targetVelocity) return;
    const double target = *targetVelocity;
    std::stable_sort(candidates.begin(), candidates.end(),
                     [target](const SizeCandidate& x, const SizeCandidate& y) {
                         return std::abs(x.velocity - target) < std::abs(y.velocity - target);
                     });
}

void judgeSizes(std::vector<SizeCandidate>& candidates, const SizeLimits& limits) {
    if (!limits.any()) return;
    const std::optional<double> maxVelocity = limits.velocityCeiling();
    bool circularFound = false, rectangularFound = false;
    for (SizeCandidate& c : candidates) {
        c.meets = c.computed() && (!maxVelocity || c.velocity <= *maxVelocity) &&
                  (!limits.minVelocity || c.velocity >= *limits.minVelocity) &&
                  (!limits.maxRm || c.rm <= *limits.maxRm) &&
                  (!limits.maxSide || c.height <= *limits.maxSide);
        if (limits.preset) c.recommended = *c.meets && limits.preset->recommends(c.velocity);
        bool& found = c.shape == calc::Shape::circular ? circularFound : rectangularFound;
        if (*c.meets && !found) found = c.smallest = true;
    }
}

}  // namespace ductsys
