// SPDX-License-Identifier: GPL-3.0-or-later
// The part each segment plays in a system (干管, 支管, the fan's inlet or
// outlet) and the velocity each part may carry: a row of the codes' table
// (presets.h) or a designer's own targets.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "system/model.h"
#include "system/presets.h"

namespace ductsys {

enum class Role : std::uint8_t { main, branch, subBranch, fanOutlet, fanInlet };
inline constexpr std::size_t kRoleCount = 5;

// A role's names: its key in written tables, the caption a grid and a
// report show, and the word that ends the slug of the preset rows meant
// for it ("public-fan-outlet").
struct RoleName {
    Role role;
    std::string_view key;
    std::string_view caption;
    std::string_view presetKind;
};
inline constexpr std::array<RoleName, kRoleCount> kRoleNames{{
    {Role::main, "main", "干管", "main"},
    {Role::branch, "branch", "支管", "branch"},
    {Role::subBranch, "sub-branch", "从支管上接出的风管", "sub-branch"},
    {Role::fanOutlet, "fan-outlet", "风机出口", "fan-outlet"},
    {Role::fanInlet, "fan-inlet", "风机入口", "fan-inlet"},
}};
constexpr const RoleName& roleName(Role role) { return kRoleNames[static_cast<std::size_t>(role)]; }

// The role a 角色 cell names: its key or caption in any letter case, or the
// preset row's own words (通风机出口, 通风机入口). None for any other text.
std::optional<Role> roleOfText(std::string_view text);

// "main, branch, …": the keys, for a message.
std::string roleList();

// Each segment's role by the rule, unless `given` (by segment; may be
// shorter, or hold none) says otherwise: a segment that leaves the fan's
// node is its outlet, or its inlet when its row was written toward the fan
// (exhaust); otherwise a segment that feeds more than one outlet is a 干管
// and one that feeds exactly one a 支管. Outside a tree every segment is a
// 支管 unless given.
std::vector<Role> assignRoles(const SystemResult& result,
                              const std::vector<std::optional<Role>>& given);

// The velocity a role may carry, m/s, and where the figure comes from.
struct RoleLimit {
    double velocity = 0;
    const VelocityPreset* row = nullptr;  // none for a designer's own target
    bool nearest = false;                 // the preset has no row for the role: the nearest's
};

struct VelocityLimits {
    std::array<RoleLimit, kRoleCount> roles{};
    std::string group;  // the preset's name ("公共建筑"), or empty for own targets
    std::string_view groupSlug;
    std::string_view source;  // the preset's code and table
    const RoleLimit& of(Role role) const { return roles[static_cast<std::size_t>(role)]; }
};

// The limits of a preset group named by its slug ("public"), its Chinese
// name ("公共建筑"), or the slug or name of any of its rows: each role takes
// the largest velocity of its row, or of the nearest row when the group has
// none for it (an industrial group has 干管 and 支管 only). None when the
// name is no preset's.
std::optional<VelocityLimits> presetLimits(std::string_view name);

// The preset groups, one a line, for a usage message.
std::string presetGroupList();

// A designer's own targets: `main` for the 干管 and the fan's ducts,
// `branch` for the 支管 and what leaves them.
VelocityLimits targetLimits(double main, double branch);

}  // namespace ductsys
