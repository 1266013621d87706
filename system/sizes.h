// SPDX-License-Identifier: GPL-3.0-or-later
// Choosing a duct size: every standard size for one air volume, computed by
// the window's recalculation, then judged against limits on the velocity,
// the friction loss per metre and the duct's height. `ductcalc-cli size` and
// the grid's 选择尺寸 both list these candidates.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "calc/headless.h"
#include "system/model.h"
#include "system/presets.h"

namespace ductsys {

// One standard size with its figures.
struct SizeCandidate {
    calc::Shape shape = calc::Shape::circular;
    std::string text;   // as a cell takes it: "200", "500x320"
    std::string label;  // as the window's size label shows it, blanks left out: "φ200", "500*320"
    float area = 0, eqDiameter = 0, velocity = 0, rm = 0, reynolds = 0;
    float height = 0;  // mm: the diameter, or the shorter side
    std::optional<msg::Message>
        failure;                      // why the figures are missing; none when they are all there
    std::optional<bool> meets;        // none when no limit was given
    std::optional<bool> recommended;  // none without a preset
    bool smallest = false;  // the first of its shape that meets the limits, in the order judged

    bool computed() const { return !failure; }
};

// Every standard diameter, then every pair of standard sides (the longer
// first) whose ratio is at most `maxAspect`, each computed with the air
// volume, wall, formula and air of `base`.
std::vector<SizeCandidate> sizeCandidates(const calc::DuctInput& base, double maxAspect);

// The duct of a segment for sizing: the air volume `flow` (m3/h) it
// carries, the wall and formula its texts name, and `air`. None when its
// material, roughness or formula cannot be read.
std::optional<calc::DuctInput> sizingInput(const SegmentTexts& row, float flow,
                                           const calc::AirState& air);

// Limits a size must keep. A preset's largest velocity limits like
// `maxVelocity`, and the tighter of the two holds: a looser velocity typed
// beside a preset never lets a size over the code's limit through.
struct SizeLimits {
    std::optional<double> maxVelocity = std::nullopt;  // m/s
    std::optional<double> minVelocity = std::nullopt;  // m/s
    std::optional<double> maxRm = std::nullopt;        // Pa/m
    std::optional<double> maxSide = std::nullopt;      // mm: largest diameter or shorter side
    const VelocityPreset* preset = nullptr;

    // The highest velocity a size may have, all limits taken together.
    std::optional<double> velocityCeiling() const;
    // Whether any limit is given.
    bool any() const;
};

// Orders the candidates smallest section first; with a target velocity,
// closest to it first (sizes as close as each other stay smallest first).
void rankSizes(std::vector<SizeCandidate>& candidates, std::optional<double> targetVelocity);

// Marks each candidate against the limits, in the order given: whether it
// meets them, whether the preset recommends its velocity, and the first of
// each shape that meets them. A candidate without figures meets nothing.
// Nothing is marked when no limit is given.
void judgeSizes(std::vector<SizeCandidate>& candidates, const SizeLimits& limits);

}  // namespace ductsys
