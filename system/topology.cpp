// SPDX-License-Identifier: GPL-3.0-or-later
#include "topology.h"

#include <algorithm>

#include "readers.h"

namespace ductsys {

namespace {

std::string nodeLabel(const SystemResult& result, std::uint32_t node) {
    const std::string_view name = result.nodeNames[node];
    return name.empty() ? std::string("(unnamed)") : quoted(name);
}

}  // namespace

std::string segmentList(const SystemResult& result, const std::vector<std::uint32_t>& segments) {
    constexpr std::size_t kShown = 5;
    std::string list;
    for (std::size_t i = 0; i < segments.size() && i < kShown; ++i) {
        if (i > 0) list += i + 1 == segments.size() ? " and " : ", ";
        const std::string_view name = result.segmentNames[segments[i]];
        list += name.empty() ? "row " + std::to_string(segments[i] + 1) : quoted(name);
    }
    if (segments.size() > kShown)
        list += " and " + std::to_string(segments.size() - kShown) + " more";
    return list;
}

TopologyReader::TopologyReader(SystemResult& result, std::string_view fanNode)
    : result_(result), fanName_(trimmed(fanNode)) {
    if (!fanName_.empty()) fan_ = node(fanName_);
}

std::uint32_t TopologyReader::node(std::string_view name) {
    const std::uint32_t added = result_.nodeNames.append(name);
    const std::uint32_t found = nodeIndex_.findOrInsert(result_.nodeNames, added);
    if (found != added) result_.nodeNames.popBack();
    return found;
}

std::uint32_t TopologyReader::unnamedNode() { return result_.nodeNames.append({}); }

void TopologyReader::error(TopologyError::Kind kind, std::vector<std::uint32_t> segments,
                           std::string message) {
    for (std::uint32_t s : segments) excluded_[s] = true;
    result_.errors.push_back({kind, std::move(segments), std::move(message)});
}

void TopologyReader::add(std::uint32_t index, std::string_view fromText, std::string_view toText) {
    using Kind = TopologyError::Kind;
    Segment& segment = result_.segments[index];
    excluded_.push_back(false);
    const std::string_view name = result_.segmentNames[index];
    const std::string label = segmentList(result_, {index});

    std::string_view from = trimmed(fromText), to = trimmed(toText);
    bool named = !from.empty() || !to.empty();
    if (named && (from.empty() || to.empty())) {
        error(Kind::badNodes, {index},
              "segment " + label + " gives " +
                  (from.empty() ? "a 终点 but no 起点" : "a 起点 but no 终点"));
        return;
    }
    if (!named && std::count(name.begin(), name.end(), '-') == 1) {
        const std::size_t hyphen = name.find('-');
        from = trimmed(name.substr(0, hyphen));
        to = trimmed(name.substr(hyphen + 1));
        if (from.empty() || to.empty()) {
            error(Kind::badNodes, {index},
                  "segment " + label + " names no node " + (from.empty() ? "before" : "after") +
                      " its hyphen");
            return;
        }
        named = true;
    }
    if (named && from == to) {
        error(Kind::badNodes, {index},
              "segment " + label + " starts and ends at node " + quoted(from));
        return;
    }
    if (named) {
        segment.from = node(from);
        segment.to = node(to);
    } else {
        // The next segment of a run in file order.
        segment.from = previousTo_ != kNone ? previousTo_ : fan_ != kNone ? fan_ : unnamedNode();
        segment.to = unnamedNode();
    }
    previousTo_ = segment.to;
    if (fan_ == kNone && fanName_.empty()) fan_ = segment.from;
    if (enteredBy_.size() < result_.nodeNames.size())
        enteredBy_.resize(result_.nodeNames.size(), kNone);

    if (!name.empty()) {
        const std::uint32_t first = nameIndex_.findOrInsert(result_.segmentNames, index);
        if (first != index) {
            error(Kind::duplicateName, {first, index},
                  "segment name " + quoted(name) + " is given twice (rows " +
                      std::to_string(first + 1) + " and " + std::to_string(index + 1) + ")");
            excluded_[first] = false;  // the first stays in the tree
            return;
        }
    }
    const std::uint32_t entered = enteredBy_[segment.to];
    if (entered != kNone) {
        const bool samePair = result_.segments[entered].from == segment.from;
        error(samePair ? Kind::duplicatePair : Kind::loop, {entered, index},
              samePair
                  ? "segments " + segmentList(result_, {entered, index}) + " both join nodes " +
                        nodeLabel(result_, segment.from) + " and " + nodeLabel(result_, segment.to)
                  : "node " + nodeLabel(result_, segment.to) + " is the 终点 of both " +
                        segmentList(result_, {entered, index}) +
                        ": the segments form a loop, not a tree");
        excluded_[entered] = false;
        return;
    }
    const std::uint32_t back = enteredBy_[segment.from];
    if (back != kNone && result_.segments[back].from == segment.to) {
        error(Kind::duplicatePair, {back, index},
              "segments " + segmentList(result_, {back, index}) + " both join nodes " +
                  nodeLabel(result_, segment.to) + " and " + nodeLabel(result_, segment.from));
        excluded_[back] = false;
        return;
    }
    enteredBy_[segment.to] = index;
}

Tree buildTree(SystemResult& result, const TopologyReader& reader) {
    using Kind = TopologyError::Kind;
    Tree tree;
    std::vector<Segment>& segments = result.segments;
    const std::uint32_t nodes = result.nodeNames.size();
    const auto count = static_cast<std::uint32_t>(segments.size());
    auto inTree = [&](std::uint32_t s) { return !reader.excluded(s) && segments[s].from != kNone; };

    tree.firstChild.assign(nodes + 1, 0);
    std::vector<std::uint32_t> enteredBy(nodes, kNone);
    for (std::uint32_t s = 0; s < count; ++s) {
        if (!inTree(s)) continue;
        ++tree.firstChild[segments[s].from + 1];
        enteredBy[segments[s].to] = s;
    }
    for (std::uint32_t n = 0; n < nodes; ++n) tree.firstChild[n + 1] += tree.firstChild[n];
    tree.children.resize(tree.firstChild[nodes]);
    {
        std::vector<std::uint32_t> next(tree.firstChild.begin(), tree.firstChild.end() - 1);
        for (std::uint32_t s = 0; s < count; ++s)
            if (inTree(s)) tree.children[next[segments[s].from]++] = s;
    }
    if (count == 0) return tree;

    const std::uint32_t fan = reader.fanNode();
    result.fan.node = fan;
    if (fan == kNone || tree.childCount(fan) == 0) {
        result.errors.push_back(
            {Kind::noFan,
             {},
             fan == kNone ? "no segment starts at the fan's node"
                          : "no segment starts at the fan's node " + nodeLabel(result, fan)});
        return tree;
    }

    // Depth first from the fan, each node's segments in input order.
    std::vector<bool> reached(count, false);
    tree.order.reserve(count);
    std::vector<std::uint32_t> stack;
    auto pushChildren = [&](std::uint32_t node, std::uint32_t parent) {
        for (std::uint32_t i = tree.firstChild[node + 1]; i-- > tree.firstChild[node];) {
            segments[tree.children[i]].parent = parent;
            stack.push_back(tree.children[i]);
        }
    };
    pushChildren(fan, kNone);
    while (!stack.empty()) {
        const std::uint32_t s = stack.back();
        stack.pop_back();
        reached[s] = true;
        tree.order.push_back(s);
        if (segments[s].to == fan) {
            // Back into the fan's node: the segments from the fan to here.
            std::vector<std::uint32_t> cycle;
            for (std::uint32_t c = s; c != kNone; c = segments[c].parent) cycle.push_back(c);
            std::sort(cycle.begin(), cycle.end());
            result.errors.push_back({Kind::cycle, cycle,
                                     "segments " + segmentList(result, cycle) +
                                         " lead back to the fan's node " + nodeLabel(result, fan) +
                                         " (a cycle)"});
            continue;
        }
        pushChildren(segments[s].to, s);
    }

    // What the fan does not reach: walk up from each such segment to the top
    // of its group, a node nothing enters or a cycle.
    enum : std::uint8_t { unseen, onWalk, done };
    std::vector<std::uint8_t> state(nodes, unseen);
    std::vector<std::uint32_t> group(nodes, kNone);
    struct Group {
        std::uint32_t top;
        std::vector<std::uint32_t> segments;
    };
    std::vector<Group> groups;
    std::vector<bool> inCycle(count, false);
    std::vector<std::uint32_t> walk;
    for (std::uint32_t u = 0; u < count; ++u) {
        if (!inTree(u) || reached[u]) continue;
        walk.clear();
        std::uint32_t n = segments[u].from;
        std::uint32_t id = kNone;
        for (;;) {
            if (state[n] == done) {
                id = group[n];
                break;
            }
            if (state[n] == onWalk) {
                std::vector<std::uint32_t> cycle;
                std::uint32_t m = n;
                do {
                    const std::uint32_t e = enteredBy[m];
                    cycle.push_back(e);
                    inCycle[e] = true;
                    m = segments[e].from;
                } while (m != n);
                std::sort(cycle.begin(), cycle.end());
                result.errors.push_back({Kind::cycle, cycle,
                                         "segments " + segmentList(result, cycle) +
                                             " lead back to node " + nodeLabel(result, n) +
                                             " (a cycle), not connected to the fan"});
                id = static_cast<std::uint32_t>(groups.size());
                groups.push_back({n, {}});
                break;
            }
            state[n] = onWalk;
            walk.push_back(n);
            const std::uint32_t e = enteredBy[n];
            if (e == kNone) {
                id = static_cast<std::uint32_t>(groups.size());
                groups.push_back({n, {}});
                break;
            }
            n = segments[e].from;
        }
        for (std::uint32_t w : walk) state[w] = done, group[w] = id;
        if (!inCycle[u]) groups[id].segments.push_back(u);
    }
    for (Group& g : groups) {
        if (g.segments.empty()) continue;
        std::string message =
            (g.segments.size() == 1 ? "segment " : "segments ") + segmentList(result, g.segments) +
            (g.segments.size() == 1 ? " is" : " are") + " not connected to the fan's node " +
            nodeLabel(result, fan) + " (their run starts at node " + nodeLabel(result, g.top) + ")";
        result.errors.push_back({Kind::disconnected, std::move(g.segments), std::move(message)});
    }
    return tree;
}

}  // namespace ductsys
