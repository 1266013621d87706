// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/sizing_output.h"

#include <algorithm>

#include "calc/number_text.h"
#include "cli/number_texts.h"
#include "cli/output_lines.h"
#include "cli/text_fields.h"
#include "system/report.h"

namespace cli {

namespace {

using ductsys::kNone;

// A double figure as the window shows a single; "-" beyond the single range.
std::string shown(double x) { return ductsys::figureText(x).value_or("-"); }
std::string jsonNumber(double x) {
    const std::optional<float> f = ductsys::asSingle(x);
    return f ? calc::shortestText(*f) : std::string("null");
}
std::string percent(double fraction) { return shown(fraction * 100); }

std::string padded(std::string_view text, std::size_t width) {
    std::string cell;
    if (displayWidth(text) >= width) return cell.append(text) + ' ';
    appendPadded(cell, text, width, Align::left);
    return cell;
}

const char* methodKey(ductsys::SizingMethod m) {
    switch (m) {
        case ductsys::SizingMethod::velocity:
            return "velocity";
        case ductsys::SizingMethod::friction:
            return "friction";
        case ductsys::SizingMethod::none:
            break;
    }
    return nullptr;
}

// Where a role's limit comes from: "公共建筑 干管", with a note when the
// preset has no row for the role.
std::string limitSource(const ductsys::RoleLimit& l, ductsys::Role role) {
    if (!l.row) return "given";
    std::string text(l.row->name);
    if (l.nearest)
        text += " (the preset has no " + std::string(ductsys::roleName(role).caption) +
                " row: the nearest is used)";
    return text;
}

std::string limitsText(const ductsys::VelocityLimits& limits) {
    std::string text;
    for (const ductsys::RoleName& r : ductsys::kRoleNames) {
        const ductsys::RoleLimit& l = limits.of(r.role);
        text += "  " + padded(std::string(r.caption) + " (" + std::string(r.key) + ")", 36) +
                padded("at most " + shown(l.velocity) + " m/s", 18) + limitSource(l, r.role) + '\n';
    }
    return text;
}

std::string limitsJson(const ductsys::VelocityLimits& limits) {
    std::string text = "{";
    for (const ductsys::RoleName& r : ductsys::kRoleNames) {
        const ductsys::RoleLimit& l = limits.of(r.role);
        if (text.size() > 1) text += ", ";
        text += jsonString(r.key) + ": {\"velocity\": " + jsonNumber(l.velocity) +
                ", \"preset\": " + (l.row ? jsonString(l.row->slug) : std::string("null")) +
                ", \"nearest\": " + (l.nearest ? "true" : "false") + '}';
    }
    return text + '}';
}

}  // namespace

SizingShown::SizingShown(const ductsys::SystemResult& result, const ductsys::SizingReport* report,
                         bool sizedOrBalanced, bool balance)
    : result_(result), report_(report), columns_(report && sizedOrBalanced), balance_(balance) {
    if (!report_) return;
    byJunction_ = report_->remedies;
    std::stable_sort(
        byJunction_.begin(), byJunction_.end(),
        [](const ductsys::Remedy& a, const ductsys::Remedy& b) { return a.junction < b.junction; });
    first_.assign(result.junctions.size() + 1, 0);
    for (const ductsys::Remedy& r : byJunction_) ++first_[r.junction + 1];
    for (std::size_t j = 0; j < result.junctions.size(); ++j) first_[j + 1] += first_[j];
}

std::span<const ductsys::Remedy> SizingShown::remediesOf(std::uint32_t junction) const {
    if (!report_ || junction + 1 >= first_.size()) return {};
    return std::span<const ductsys::Remedy>(byJunction_)
        .subspan(first_[junction], first_[junction + 1] - first_[junction]);
}

std::string_view SizingShown::roleKey(std::uint32_t segment) const {
    return ductsys::roleName(report_->roles[segment]).key;
}

std::string SizingShown::text() const {
    if (!columns_) return {};
    const ductsys::SizingReport& r = *report_;
    std::string text = "\n";
    if (r.method == ductsys::SizingMethod::velocity)
        text +=
            "sizing: 假定流速法 (velocity method): the smallest standard size whose velocity "
            "is within its role's limit\n";
    else if (r.method == ductsys::SizingMethod::friction)
        text +=
            "sizing: 等摩阻法 (friction method): the smallest standard size whose Rm is at "
            "most " +
            shown(r.rm) + " Pa/m" +
            (r.limits ? std::string(" and whose velocity is within its role's limit")
                      : std::string()) +
            '\n';
    if (r.limits && !r.limits->group.empty())
        text += "velocity limits: preset " + std::string(r.limits->groupSlug) + " (" +
                r.limits->group + ", " + std::string(r.limits->source) + ")\n";
    else if (r.limits)
        text += "velocity limits: as given\n";
    else
        text += "velocity limits of a balancing resize: preset " +
                std::string(r.balanceLimits.groupSlug) + " (" + r.balanceLimits.group + ", " +
                std::string(r.balanceLimits.source) + "), as no --preset was given\n";
    text += limitsText(r.balanceLimits);
    if (r.changes.empty()) {
        text += "no size changed\n";
        return text;
    }
    text += "\nsizes chosen (+ after the size above)\n";
    text += "  " + padded("segment", 10) + padded("before", 12) + "after\n";
    for (const ductsys::SizeChange& c : r.changes) {
        std::string line = "  " + padded(ductsys::segmentLabel(result_, c.segment), 10) +
                           padded(r.before(c).empty() ? "-" : r.before(c), 12) +
                           padded(r.after(c), 12);
        if (!c.fits) line += "no standard size meets the limit: the largest is taken";
        if (c.balancing) line += "to balance its junction";
        while (!line.empty() && line.back() == ' ') line.pop_back();
        text += line + '\n';
    }
    return text;
}

std::string SizingShown::remediesText(std::uint32_t junction) const {
    std::string text;
    for (const ductsys::Remedy& r : remediesOf(junction)) {
        text += "          to balance " + ductsys::segmentLabel(result_, r.segment) + " (" +
                shown(r.branchTotal) + " Pa against " + shown(r.heaviest) + " Pa): a damper of " +
                shown(r.damperPressure) + " Pa";
        if (r.damperZeta) text += ", ζ " + shown(*r.damperZeta) + " on its velocity pressure";
        if (!r.resize.empty())
            text += "; or resize to " + r.resize + ", " + shown(r.resizeTotal) + " Pa, " +
                    percent(r.resizeImbalance) + " % left";
        else
            text += "; no smaller size within its velocity limit does better";
        text += '\n';
    }
    return text;
}

std::string SizingShown::balanceText() const {
    if (!report_ || !balance_) return {};
    std::size_t resizes = 0;
    for (const ductsys::SizeChange& c : report_->changes) resizes += c.balancing ? 1 : 0;
    std::string text =
        "\nbalancing: " + std::to_string(resizes) + (resizes == 1 ? " resize" : " resizes") + "; ";
    std::vector<std::uint32_t> left;
    for (const ductsys::Remedy& r : byJunction_)
        if (left.empty() || left.back() != r.junction) left.push_back(r.junction);
    if (left.empty()) return text + "every junction is within the limit\n";
    text += "junctions that could not be balanced within the limits (a damper each, above):";
    for (std::size_t i = 0; i < left.size(); ++i) {
        const std::uint32_t node = result_.junctions[left[i]].node;
        text += (i == 0 ? " " : ", ") + std::string(result_.nodeNames[node]);
    }
    return text + '\n';
}

std::string SizingShown::remediesJson(std::uint32_t junction) const {
    const std::span<const ductsys::Remedy> remedies = remediesOf(junction);
    if (remedies.empty()) return {};
    std::string text = ", \"remedies\": [";
    for (std::size_t i = 0; i < remedies.size(); ++i) {
        const ductsys::Remedy& r = remedies[i];
        text += (i == 0 ? "{" : ", {");
        text += "\"segment\": " + jsonString(ductsys::segmentLabel(result_, r.segment)) +
                ", \"branch_total\": " + jsonNumber(r.branchTotal) +
                ", \"heaviest\": " + jsonNumber(r.heaviest) +
                ", \"damper\": {\"pressure\": " + jsonNumber(r.damperPressure) +
                ", \"zeta\": " + (r.damperZeta ? jsonNumber(*r.damperZeta) : std::string("null")) +
                "}, \"resize\": ";
        if (r.resize.empty())
            text += "null";
        else
            text += "{\"size\": " + jsonString(r.resize) +
                    ", \"total\": " + jsonNumber(r.resizeTotal) +
                    ", \"imbalance\": " + jsonNumber(r.resizeImbalance) + '}';
        text += '}';
    }
    return text + ']';
}

std::string SizingShown::json() const {
    if (!columns_) return {};
    const ductsys::SizingReport& r = *report_;
    const char* method = methodKey(r.method);
    std::string text =
        "\"sizing\": {\"method\": " + (method ? jsonString(method) : std::string("null")) +
        ", \"preset\": " +
        (r.limits && !r.limits->group.empty() ? jsonString(r.limits->groupSlug)
                                              : std::string("null")) +
        ", \"rm\": " +
        (r.method == ductsys::SizingMethod::friction ? jsonNumber(r.rm) : std::string("null")) +
        ", \"limits\": " + limitsJson(r.balanceLimits) +
        ", \"limits_assumed\": " + (r.balanceLimitsAssumed ? "true" : "false") + ", \"changes\": [";
    for (std::size_t i = 0; i < r.changes.size(); ++i) {
        const ductsys::SizeChange& c = r.changes[i];
        text += (i == 0 ? "\n   {" : ",\n   {");
        text += "\"segment\": " + jsonString(ductsys::segmentLabel(result_, c.segment)) +
                ", \"before\": " + jsonString(r.before(c)) +
                ", \"after\": " + jsonString(r.after(c)) +
                ", \"fits\": " + (c.fits ? "true" : "false") +
                ", \"balancing\": " + (c.balancing ? "true" : "false") + '}';
    }
    text += r.changes.empty() ? "]" : "\n  ]";
    text += ", \"unbalanced\": [";
    std::uint32_t last = kNone;
    bool firstNode = true;
    for (const ductsys::Remedy& rem : byJunction_) {
        if (rem.junction == last) continue;
        last = rem.junction;
        text += (firstNode ? "" : ", ") +
                jsonString(result_.nodeNames[result_.junctions[rem.junction].node]);
        firstNode = false;
    }
    return text + "]},\n ";
}

}  // namespace cli
