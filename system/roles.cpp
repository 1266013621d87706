// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/roles.h"

#include "calc/ascii.h"
#include "system/readers.h"

namespace ductsys {

namespace {

// The rows tried for a role, the role's own first: a group without it
// takes the next that it has.
constexpr std::array<std::array<Role, 3>, kRoleCount> kNearest{{
    {Role::main, Role::fanOutlet, Role::branch},
    {Role::branch, Role::subBranch, Role::main},
    {Role::subBranch, Role::branch, Role::main},
    {Role::fanOutlet, Role::main, Role::branch},
    {Role::fanInlet, Role::main, Role::branch},
}};

// A preset row's group and role, from its slug "<group>-<kind>" and its
// name "<group name> <kind caption>".
struct RowPlace {
    std::string_view groupSlug;
    std::string_view groupName;
    Role role;
};
std::optional<RowPlace> placeOf(const VelocityPreset& p) {
    std::optional<RowPlace> best;
    std::size_t bestLength = 0;
    for (const RoleName& r : kRoleNames) {
        const std::size_t n = r.presetKind.size();
        // The longest kind that ends the slug: "sub-branch" before "branch".
        if (p.slug.size() > n + 1 && p.slug.ends_with(r.presetKind) &&
            p.slug[p.slug.size() - n - 1] == '-' && n > bestLength) {
            const std::size_t space = p.name.rfind(' ');
            best = RowPlace{p.slug.substr(0, p.slug.size() - n - 1),
                            space == std::string_view::npos ? p.name : p.name.substr(0, space),
                            r.role};
            bestLength = n;
        }
    }
    return best;
}

}  // namespace

std::optional<Role> roleOfText(std::string_view text) {
    const std::string t = calc::asciiLower(trimmed(text));
    for (const RoleName& r : kRoleNames)
        if (t == r.key || t == r.caption) return r.role;
    if (t == "通风机出口" || t == "fan outlet") return Role::fanOutlet;
    if (t == "通风机入口" || t == "fan inlet") return Role::fanInlet;
    if (t == "sub branch") return Role::subBranch;
    return std::nullopt;
}

std::string roleList() {
    std::string list;
    for (const RoleName& r : kRoleNames) {
        if (!list.empty()) list += ", ";
        list += r.key;
        list += " (";
        list += r.caption;
        list += ')';
    }
    return list;
}

std::vector<Role> assignRoles(const SystemResult& result,
                              const std::vector<std::optional<Role>>& given) {
    const auto count = static_cast<std::uint32_t>(result.segments.size());
    std::vector<Role> roles(count, Role::branch);
    if (result.topologyOk()) {
        // Outlets beyond each segment, counted from the outlets inward: a
        // segment is counted once every segment hanging from it has been.
        std::vector<std::uint32_t> waiting(count, 0), beyond(count, 0);
        for (const Segment& s : result.segments)
            if (s.parent != kNone) ++waiting[s.parent];
        std::vector<std::uint32_t> ready;
        for (std::uint32_t s = 0; s < count; ++s)
            if (waiting[s] == 0) beyond[s] = 1, ready.push_back(s);
        while (!ready.empty()) {
            const std::uint32_t s = ready.back();
            ready.pop_back();
            const std::uint32_t parent = result.segments[s].parent;
            if (parent == kNone) continue;
            beyond[parent] += beyond[s];
            if (--waiting[parent] == 0) ready.push_back(parent);
        }
        for (std::uint32_t s = 0; s < count; ++s) {
            const Segment& seg = result.segments[s];
            if (seg.parent == kNone && seg.from == result.fan.node)
                roles[s] = seg.reversed ? Role::fanInlet : Role::fanOutlet;
            else
                roles[s] = beyond[s] > 1 ? Role::main : Role::branch;
        }
    }
    for (std::uint32_t s = 0; s < count && s < given.size(); ++s)
        if (given[s]) roles[s] = *given[s];
    return roles;
}

std::optional<VelocityLimits> presetLimits(std::string_view name) {
    const std::string lower = calc::asciiLower(trimmed(name));
    const std::string compact = calc::withoutBlanks(trimmed(name));
    std::string_view group;
    for (const VelocityPreset& p : kVelocityPresets) {
        const std::optional<RowPlace> place = placeOf(p);
        if (!place) continue;
        if (lower == p.slug || compact == calc::withoutBlanks(p.name) ||
            lower == place->groupSlug || compact == calc::withoutBlanks(place->groupName)) {
            group = place->groupSlug;
            break;
        }
    }
    if (group.empty()) return std::nullopt;

    VelocityLimits limits;
    std::array<const VelocityPreset*, kRoleCount> rows{};
    for (const VelocityPreset& p : kVelocityPresets) {
        const std::optional<RowPlace> place = placeOf(p);
        if (!place || place->groupSlug != group) continue;
        rows[static_cast<std::size_t>(place->role)] = &p;
        limits.group = std::string(place->groupName);
        limits.groupSlug = place->groupSlug;
        limits.source = p.source;
    }
    for (const RoleName& r : kRoleNames) {
        for (Role tried : kNearest[static_cast<std::size_t>(r.role)]) {
            const VelocityPreset* row = rows[static_cast<std::size_t>(tried)];
            if (!row) continue;
            limits.roles[static_cast<std::size_t>(r.role)] = {row->maximum, row, tried != r.role};
            break;
        }
    }
    return limits;
}

std::string presetGroupList() {
    std::string list;
    std::string_view last;
    for (const VelocityPreset& p : kVelocityPresets) {
        const std::optional<RowPlace> place = placeOf(p);
        if (!place || place->groupSlug == last) continue;
        last = place->groupSlug;
        list += "  ";
        list += place->groupSlug;
        list += " (";
        list += place->groupName;
        list += ", ";
        list += p.source;
        list += ")\n";
    }
    return list;
}

VelocityLimits targetLimits(double main, double branch) {
    VelocityLimits limits;
    for (const RoleName& r : kRoleNames) {
        const bool isBranch = r.role == Role::branch || r.role == Role::subBranch;
        limits.roles[static_cast<std::size_t>(r.role)] = {isBranch ? branch : main, nullptr, false};
    }
    return limits;
}

}  // namespace ductsys
