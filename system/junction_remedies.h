// SPDX-License-Identifier: GPL-3.0-or-later
// What would balance each junction over the limit of a computed system, as
// a document's grid and its printed report show them, and what applying a
// remedy writes into the lighter branch's first segment: a damper's ζ added
// to its ζ cell, or the resize's standard size.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "system/roles.h"
#include "system/sizing.h"

namespace ductsys {

// The velocities a balancing resize keeps to: the document's largest
// velocity for every part of the system when it gives one, otherwise
// kDefaultPreset's limits.
VelocityLimits remedyLimits(std::optional<double> maxVelocity);
// The limits' name for a report: "公共建筑（GB 50736-2012 表6.6.3）" or
// "最大风速 8 m/s".
std::string remedyLimitsName(std::optional<double> maxVelocity);

// The remedies of every junction over the limit, fan outward, each role
// by the tree (the grid has no role column); empty for a system with no
// such junction or whose topology is not sound. A report's whole list.
std::vector<Remedy> systemRemedies(const SystemResult& result, const Options& options,
                                   std::optional<double> maxVelocity);
// The remedies of one junction, `roles` by segment (assignRoles with none
// given): what a window shows of the junction in view, at the cost of
// that junction alone.
std::vector<Remedy> remediesAt(const SystemResult& result, std::uint32_t junction,
                               const std::vector<Role>& roles, const Options& options,
                               std::optional<double> maxVelocity);

// The damper's ζ as it is added to a cell: four significant digits.
std::string damperZetaText(double zeta);
// A ζ cell with the damper's ζ added as one more term: "0.3" → "0.3+0.3445";
// an empty cell takes the ζ alone.
std::string zetaWithDamper(std::string_view cell, double zeta);

// The remedies' lines as a report and the grid show them:
//   "节点 A：A-B 21.4 Pa，最重支路 31.4 Pa，不平衡率 31.8%"
//   "阀门：A-B 增加 10.0 Pa，ζ = 0.3445（按 A-B 的动压）"
//   "改尺寸：A-B 改为 320*250，余下不平衡率 3.2%"
std::string remedyJunctionLine(const SystemResult& result, const Remedy& remedy);
std::string remedyDamperLine(const SystemResult& result, const Remedy& remedy);
std::string remedyResizeLine(const SystemResult& result, const Remedy& remedy);

}  // namespace ductsys
