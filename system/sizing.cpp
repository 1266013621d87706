// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/sizing.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <deque>
#include <span>

#include "calc/number_reading.h"
#include "calc/number_text.h"
#include "calc/tables.h"
#include "system/fan.h"
#include "system/paths.h"
#include "system/readers.h"
#include "system/report.h"
#include "system/segment_figures.h"
#include "system/topology.h"
#include "system/work_pool.h"

namespace ductsys {

namespace {

// What a row to be sized hands the calculation until its size is chosen:
// any size that computes, so that the row's other figures and the flows
// summed through it are found as usual.
constexpr std::string_view kStandIn = "1000";

constexpr std::string_view kWildcards[] = {"*", "?", "？", "＊"};
constexpr std::string_view kSeparators[] = {"x", "X", "×", "*", "＊", "✕"};

bool startsWithAny(std::string_view text, std::span<const std::string_view> words,
                   std::string_view& rest) {
    for (std::string_view w : words)
        if (text.starts_with(w)) {
            rest = text.substr(w.size());
            return true;
        }
    return false;
}

bool endsWithAny(std::string_view text, std::span<const std::string_view> words,
                 std::string_view& rest) {
    for (std::string_view w : words)
        if (text.ends_with(w)) {
            rest = text.substr(0, text.size() - w.size());
            return true;
        }
    return false;
}

// A side typed by the designer: a positive number read whole.
std::optional<std::string> sideText(std::string_view text) {
    const std::string_view t = trimmed(text);
    if (t.empty()) return std::nullopt;
    const NumberRead r = readCellNumber(t);
    if (!r.value || !(*r.value > 0)) return std::nullopt;
    return std::string(t);
}

double valueOf(std::string_view text) { return calc::textValue(text).value_or(0); }

// The standard series as numbers, read once.
template <std::size_t N>
std::array<double, N> valuesOf(const std::array<std::string_view, N>& texts) {
    std::array<double, N> values{};
    for (std::size_t i = 0; i < N; ++i) values[i] = valueOf(texts[i]);
    return values;
}
const auto& diameterValues() {
    static const auto values = valuesOf(calc::standardDiameters);
    return values;
}
const auto& sideValues() {
    static const auto values = valuesOf(calc::standardSides);
    return values;
}

// A standard size to try: its texts, and the side a ceiling limits.
struct Candidate {
    SizeText size;
    double height;  // mm: the diameter, or the shorter side
};

// The standard sizes a wish allows, smallest first.
std::vector<Candidate> candidatesFor(const SizeWish& wish, const SizingOptions& o) {
    std::vector<Candidate> list;
    list.reserve(calc::standardDiameters.size());
    auto allowed = [&](double height) { return !o.maxSide || height <= *o.maxSide; };
    if (wish.kind == SizeWish::Kind::round) {
        for (std::size_t i = 0; i < calc::standardDiameters.size(); ++i)
            if (allowed(diameterValues()[i]))
                list.push_back(
                    {{calc::Shape::circular, std::string(calc::standardDiameters[i]), {}},
                     diameterValues()[i]});
        return list;
    }
    const double fixed = valueOf(wish.side);
    for (std::size_t i = 0; i < calc::standardSides.size(); ++i) {
        const std::string_view side = calc::standardSides[i];
        const double free = sideValues()[i];
        const double longer = std::max(free, fixed), shorter = std::min(free, fixed);
        if (longer > o.maxAspect * shorter || !allowed(shorter)) continue;
        if (wish.kind == SizeWish::Kind::fixedSecond)
            list.push_back({{calc::Shape::rectangular, std::string(side), wish.side}, shorter});
        else
            list.push_back({{calc::Shape::rectangular, wish.side, std::string(side)}, shorter});
    }
    return list;
}

// The segment computed again with another size: the same flow (as the
// shortest text of its stored air volume in m3/h), wall, formula, length,
// coefficients and fixed loss. Its path total is left to the paths.
Segment withSize(const Segment& base, const SizeText& size, SegmentCalculator& calculator,
                 std::string_view flow) {
    Segment s;
    s.from = base.from;
    s.to = base.to;
    s.parent = base.parent;
    s.reversed = base.reversed;
    s.flowGiven = base.flowGiven;
    s.length = base.length;
    s.zeta = base.zeta;
    s.dp = base.dp;
    s.roughness = base.roughness;
    s.formula = base.formula;
    s.defined = base.defined & figureBits(Figure::length, Figure::zeta, Figure::dp);
    DuctSetting setting;
    setting.size = size;
    setting.roughness = base.roughness;
    setting.formula = base.formula;
    calculator.compute(s, setting, flow);
    return s;
}

// Whether a segment computed with a size meets the sizing's limits.
bool meets(const Segment& s, const SizingOptions& o, Role role) {
    if (!s.ok() || !s.has(Figure::velocity)) return false;
    if (o.limits && s.velocity > o.limits->of(role).velocity) return false;
    if (o.method == SizingMethod::friction && (!s.has(Figure::rm) || s.rm > o.rm)) return false;
    return true;
}

// The tree of a computed system, for its paths, junctions and fan to be
// worked out again: segments fan first, each after its parent, and the
// segments leaving each node in input order.
Tree treeOf(const SystemResult& result) {
    Tree tree;
    const auto nodes = static_cast<std::uint32_t>(result.nodeNames.size());
    const auto& segments = result.segments;
    tree.firstChild.assign(nodes + 1, 0);
    for (const Segment& s : segments)
        if (s.from != kNone) ++tree.firstChild[s.from + 1];
    for (std::uint32_t n = 0; n < nodes; ++n) tree.firstChild[n + 1] += tree.firstChild[n];
    tree.children.assign(tree.firstChild[nodes], kNone);
    std::vector<std::uint32_t> next(tree.firstChild.begin(), tree.firstChild.end() - 1);
    for (std::uint32_t s = 0; s < segments.size(); ++s)
        if (segments[s].from != kNone) tree.children[next[segments[s].from]++] = s;
    // A segment written toward the fan lies on its suction side: the tree
    // turned it round, and a system whose sides disagree is not sized.
    tree.suction.assign(segments.size(), false);
    for (std::uint32_t s = 0; s < segments.size(); ++s) tree.suction[s] = segments[s].reversed;
    if (result.fan.node == kNone) return tree;
    tree.order.reserve(segments.size());
    auto addChildren = [&](std::uint32_t node) {
        for (std::uint32_t c = tree.firstChild[node]; c < tree.firstChild[node + 1]; ++c)
            tree.order.push_back(tree.children[c]);
    };
    // The far ends in a compact copy: the walk reads them all over the list.
    LargeArray<std::uint32_t> toOf(segments.size());
    for (std::uint32_t s = 0; s < segments.size(); ++s) toOf[s] = segments[s].to;
    addChildren(result.fan.node);
    for (std::size_t i = 0; i < tree.order.size(); ++i) addChildren(toOf[tree.order[i]]);
    return tree;
}

// Works out the paths, junctions and fan again after sizes changed.
void recomputeSystem(SystemResult& result, const Options& options) {
    const Tree tree = treeOf(result);
    result.outlets.clear();
    result.junctions.clear();
    result.branches.clear();
    const std::uint32_t fanNode = result.fan.node;
    result.fan = Fan{};
    result.fan.node = fanNode;
    computePaths(result, tree);
    computeBalance(result, tree, options.maxImbalance);
    computeFan(result, tree, options.fanMargin);
    result.maxImbalance = options.maxImbalance;
    result.fan.margin = options.fanMargin;
}

// The standard sizes below a segment's own, largest first: smaller
// diameters, or for a rectangle smaller first sides with the second kept.
std::vector<SizeText> smallerSizes(const Segment& s, double maxAspect) {
    std::vector<SizeText> list;
    if (s.shape == calc::Shape::circular) {
        for (std::size_t i = 0; i < calc::standardDiameters.size(); ++i)
            if (diameterValues()[i] < s.diameter)
                list.push_back(
                    {calc::Shape::circular, std::string(calc::standardDiameters[i]), {}});
    } else {
        const std::string second = calc::plainDecimalText(s.sideB);
        for (std::size_t i = 0; i < calc::standardSides.size(); ++i) {
            const std::string_view a = calc::standardSides[i];
            const double first = sideValues()[i];
            const double longer = std::max<double>(first, s.sideB);
            const double shorter = std::min<double>(first, s.sideB);
            if (first < s.sideA && longer <= maxAspect * shorter)
                list.push_back({calc::Shape::rectangular, std::string(a), second});
        }
    }
    std::reverse(list.begin(), list.end());
    return list;
}

double imbalanceOf(double a, double b) {
    const double larger = std::max(a, b), smaller = std::min(a, b);
    return larger > 0 ? (larger - smaller) / larger : 0;
}

}  // namespace

SizeWish sizeWish(std::string_view text, bool all) {
    const std::string_view t = trimmed(text);
    if (t.empty()) return {SizeWish::Kind::round, {}};
    std::string_view rest;
    // "*x320", "?×320", "x320", "*320": the second side fixed.
    {
        std::string_view after = t;
        const bool wild = startsWithAny(t, kWildcards, after);
        after = trimmed(after);
        std::string_view number;
        if (startsWithAny(after, kSeparators, number) ||
            (wild && (t.starts_with("*") || t.starts_with("＊")) && (number = after, true)))
            if (std::optional<std::string> side = sideText(number))
                return {SizeWish::Kind::fixedSecond, *side};
    }
    // "500x*", "500x?", "500x": the first side fixed.
    {
        std::string_view before = t;
        endsWithAny(t, kWildcards, before);
        before = trimmed(before);
        if (endsWithAny(before, kSeparators, rest))
            if (std::optional<std::string> side = sideText(rest))
                return {SizeWish::Kind::fixedFirst, *side};
    }
    if (all) {
        if (const std::optional<SizeText> size = parseSize(t)) {
            if (size->shape == calc::Shape::circular) return {SizeWish::Kind::round, {}};
            return {SizeWish::Kind::fixedSecond, size->b};
        }
    }
    return {};
}

SystemSizer::SystemSizer(SizingOptions options) : options_(std::move(options)) {}

std::uint32_t SystemSizer::add(SystemBuilder& builder, const SegmentTexts& row) {
    SegmentTexts texts = row;
    SizeWish wish;
    if (options_.method != SizingMethod::none) {
        wish = sizeWish(row.size, options_.resizeAll);
        if (wish.kind != SizeWish::Kind::keep) texts.size = kStandIn;
    }
    const std::uint32_t index = builder.add(texts);
    if (index == kNone) return index;
    const std::string_view roleText = trimmed(row.role);
    if (!roleText.empty()) {
        if (given_.size() <= index) given_.resize(index + 1);
        if (const std::optional<Role> role = roleOfText(roleText))
            given_[index] = role;
        else
            badRoles_.emplace_back(index, std::string(roleText));
    }
    if (wish.kind != SizeWish::Kind::keep) {
        wanted_.push_back(index);
        wantedTexts_.append(trimmed(row.size));
    }
    return index;
}

SizingReport SystemSizer::finish(SystemResult& result, const Options& options) {
    SizingReport report;
    report.method = options_.method;
    report.limits = options_.limits;
    report.rm = options_.rm;
    if (options_.limits) {
        report.balanceLimits = *options_.limits;
    } else {
        report.balanceLimits = *presetLimits(kDefaultPreset);
        report.balanceLimitsAssumed = true;
    }
    const auto count = static_cast<std::uint32_t>(result.segments.size());
    // The roles matter only to what sizes, balances or proposes remedies:
    // a system only computed spares the walk over its tree.
    if (options_.method != SizingMethod::none || options_.balance || options_.remedies)
        report.roles = assignRoles(result, given_);
    report.sized.assign(count, 0);
    report.noFit.assign(count, 0);
    // Each segment is sized alone, writing only itself and its own slots:
    // the pool's lanes share a large system, each with its own calculator,
    // and the changes are joined in order.
    const auto wantedCount = static_cast<std::uint32_t>(wanted_.size());
    std::vector<std::uint8_t> fitsOf(wantedCount, 0), doneOf(wantedCount, 0);
    {
        WorkPool pool(options.jobs);
        std::deque<SegmentCalculator> calculators;
        for (unsigned lane = 0; lane < pool.lanes(); ++lane) calculators.emplace_back(options.air);
        const std::uint32_t* const first = wanted_.data();
        constexpr std::size_t kChunk = 2048;
        forEachChunk(pool, std::span<const std::uint32_t>(wanted_), kChunk, calculators,
                     [&](std::span<const std::uint32_t> chunk, SegmentCalculator& calculator) {
                         for (const std::uint32_t& s : chunk) {
                             const auto i = static_cast<std::size_t>(&s - first);
                             const std::optional<bool> fits = sizeOne(
                                 result.segments[s], report.roles[s], wantedTexts_[i], calculator);
                             doneOf[i] = fits.has_value();
                             fitsOf[i] = fits.value_or(false);
                         }
                     });
    }
    bool changed = false;
    report.changes.reserve(wantedCount);
    for (std::uint32_t i = 0; i < wantedCount; ++i) {
        if (!doneOf[i]) continue;
        const std::uint32_t s = wanted_[i];
        report.sized[s] = 1;
        report.noFit[s] = fitsOf[i] ? 0 : 1;
        report.anyNoFit = report.anyNoFit || !fitsOf[i];
        const std::uint32_t before = report.texts.append(wantedTexts_[i]);
        const std::uint32_t after = report.texts.append(sizeLabel(result.segments[s]));
        report.changes.push_back({s, before, after, fitsOf[i] != 0, false});
        changed = true;
    }
    SegmentCalculator calculator(options.air);
    if ((changed || options.pathsLater) && result.topologyOk()) recomputeSystem(result, options);

    // A role cell that names no role is said, not passed over: the rule's
    // role stands in for it.
    for (const auto& [segment, text] : badRoles_)
        addReason(result.segments[segment],
                  {msg::Code::cellNotOneOf, {columnArg(Column::role), text, roleList()}});
    if (!result.topologyOk()) return report;
    if (options_.balance) {
        const std::vector<Remedy> remedies = balanceRemedies(
            result, report.roles, report.balanceLimits, options, options_.maxAspect);
        bool resized = false;
        for (const Remedy& r : remedies) {
            if (r.resize.empty()) continue;
            Segment& seg = result.segments[r.segment];
            const std::string before = sizeLabel(seg);
            const std::optional<SizeText> size = parseSize(r.resize);
            if (!size) continue;
            const std::uint32_t parent = seg.parent;
            seg = withSize(seg, *size, calculator, calc::plainDecimalText(seg.flow));
            seg.parent = parent;
            report.sized[r.segment] = 1;
            const std::uint32_t from = report.texts.append(before);
            const std::uint32_t to = report.texts.append(sizeLabel(seg));
            report.changes.push_back({r.segment, from, to, true, true});
            resized = true;
        }
        if (resized) recomputeSystem(result, options);
    }
    if (options_.remedies)
        report.remedies = balanceRemedies(result, report.roles, report.balanceLimits, options,
                                          options_.maxAspect);
    return report;
}

std::optional<bool> SystemSizer::sizeOne(Segment& seg, Role role, std::string_view cell,
                                         SegmentCalculator& calculator) const {
    if (!seg.ok() || !seg.has(Figure::flow)) {
        // The stand-in's figures are no one's: a row that cannot be sized
        // shows no size and nothing that depends on it.
        seg.defined &= ~kFromSize;
        addReason(seg, {msg::Code::notSizedFigureMissing, {}});
        return std::nullopt;
    }
    const std::vector<Candidate> list = candidatesFor(sizeWish(cell, options_.resizeAll), options_);
    if (list.empty()) {
        seg.defined &= ~kFromSize;
        addReason(seg, {msg::Code::notSizedNoStandardSize, {}});
        return std::nullopt;
    }
    const std::string flow = calc::plainDecimalText(seg.flow);
    // Velocity and Rm fall as the size grows: the first size that meets
    // the limits is found by halving.
    std::size_t low = 0, high = list.size();
    std::optional<Segment> best;
    while (low < high) {
        const std::size_t mid = (low + high) / 2;
        Segment trial = withSize(seg, list[mid].size, calculator, flow);
        if (meets(trial, options_, role)) {
            high = mid;
            best = std::move(trial);
        } else {
            low = mid + 1;
        }
    }
    const bool fits = low < list.size();
    seg = fits ? std::move(*best) : withSize(seg, list.back().size, calculator, flow);
    if (!fits) addReason(seg, {msg::Code::notSizedLargestTaken, {sizeLabel(seg)}});
    return fits;
}

namespace {

// The dampers of junction `j` when it is over the limit, one for each
// lighter branch, appended to `out`; their resizes are worked out apart.
void dampersAt(const SystemResult& result, std::uint32_t j, const Options& options,
               std::vector<Remedy>& out) {
    const Junction& junction = result.junctions[j];
    if (!junction.flagged) return;
    double heaviest = 0;
    for (std::uint32_t b = 0; b < junction.branchCount; ++b)
        heaviest = std::max(heaviest, result.branches[junction.firstBranch + b].total.value_or(0));
    for (std::uint32_t b = 0; b < junction.branchCount; ++b) {
        const Branch& branch = result.branches[junction.firstBranch + b];
        if (!branch.total || !(heaviest > 0)) continue;
        const double total = *branch.total;
        if ((heaviest - total) / heaviest <= options.maxImbalance) continue;
        const Segment& seg = result.segments[branch.segment];
        Remedy remedy;
        remedy.junction = j;
        remedy.segment = branch.segment;
        remedy.branchTotal = total;
        remedy.heaviest = heaviest;
        remedy.damperPressure = heaviest - total;
        if (seg.has(Figure::velocityPressure) && seg.velocityPressure > 0)
            remedy.damperZeta = remedy.damperPressure / seg.velocityPressure;
        out.push_back(std::move(remedy));
    }
}

// A remedy's resize: the smaller standard size that comes closest to the
// heaviest branch within the role's velocity limit.
void resizeOf(Remedy& remedy, const SystemResult& result, const std::vector<Role>& roles,
              const VelocityLimits& limits, double maxAspect, SegmentCalculator& calculator) {
    const Segment& seg = result.segments[remedy.segment];
    if (!seg.ok() || !seg.has(Figure::total) || !seg.has(Figure::flow)) return;
    const double heaviest = remedy.heaviest, total = remedy.branchTotal;
    const double limit = limits.of(roles[remedy.segment]).velocity;
    const std::string flow = calc::plainDecimalText(seg.flow);
    double bestGap = heaviest - total;
    for (const SizeText& size : smallerSizes(seg, maxAspect)) {
        const Segment trial = withSize(seg, size, calculator, flow);
        if (!trial.ok() || !trial.has(Figure::total) || trial.velocity > limit) break;
        const double with = total - seg.total + trial.total;
        if (std::abs(heaviest - with) < bestGap) {
            bestGap = std::abs(heaviest - with);
            remedy.resize = sizeLabel(trial);
            remedy.resizeTotal = with;
            remedy.resizeImbalance = imbalanceOf(heaviest, with);
        }
        // A smaller size only loses more.
        if (with >= heaviest) break;
    }
}

}  // namespace

std::vector<Remedy> balanceRemedies(const SystemResult& result, const std::vector<Role>& roles,
                                    const VelocityLimits& limits, const Options& options,
                                    double maxAspect) {
    std::vector<Remedy> remedies;
    if (!result.topologyOk() || result.junctions.empty()) return remedies;
    const auto& segments = result.segments;
    // The junctions fan outward: in the order their nodes are reached.
    std::vector<std::uint32_t> junctionOf(result.nodeNames.size(), kNone);
    for (std::uint32_t j = 0; j < result.junctions.size(); ++j)
        junctionOf[result.junctions[j].node] = j;
    const Tree tree = treeOf(result);
    std::vector<std::uint32_t> order;
    if (result.fan.node != kNone && junctionOf[result.fan.node] != kNone)
        order.push_back(junctionOf[result.fan.node]);
    // The junction at each segment's far end, in input order, then read in
    // the tree's.
    LargeArray<std::uint32_t> junctionAt(segments.size());
    for (std::uint32_t s = 0; s < segments.size(); ++s)
        junctionAt[s] = segments[s].to < junctionOf.size() ? junctionOf[segments[s].to] : kNone;
    for (std::uint32_t s : tree.order)
        if (junctionAt[s] != kNone) order.push_back(junctionAt[s]);

    for (std::uint32_t j : order) dampersAt(result, j, options, remedies);

    // The resizes, each remedy's own: the smaller sizes are tried on the
    // pool's lanes, each with its own calculator.
    WorkPool pool(options.jobs);
    std::deque<SegmentCalculator> calculators;
    for (unsigned lane = 0; lane < pool.lanes(); ++lane) calculators.emplace_back(options.air);
    constexpr std::size_t kChunk = 256;
    forEachChunk(pool, std::span<Remedy>(remedies), kChunk, calculators,
                 [&](std::span<Remedy> chunk, SegmentCalculator& calculator) {
                     for (Remedy& remedy : chunk)
                         resizeOf(remedy, result, roles, limits, maxAspect, calculator);
                 });
    return remedies;
}

std::vector<Remedy> junctionRemedies(const SystemResult& result, std::uint32_t junction,
                                     const std::vector<Role>& roles, const VelocityLimits& limits,
                                     const Options& options, double maxAspect) {
    std::vector<Remedy> remedies;
    if (!result.topologyOk() || junction >= result.junctions.size()) return remedies;
    dampersAt(result, junction, options, remedies);
    SegmentCalculator calculator(options.air);
    for (Remedy& remedy : remedies) resizeOf(remedy, result, roles, limits, maxAspect, calculator);
    return remedies;
}

}  // namespace ductsys
