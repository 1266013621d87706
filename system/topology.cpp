// SPDX-License-Identifier: GPL-3.0-or-later
#include "topology.h"

#include <algorithm>

#include "ascii.h"
#include "readers.h"

namespace ductsys {

namespace {

std::string nodeLabel(const SystemResult& result, std::uint32_t node) {
    const std::string_view name = result.nodeNames[node];
    return name.empty() ? std::string("(unnamed)") : quoted(name);
}

std::string nodeList(const SystemResult& result, const std::vector<std::uint32_t>& nodes) {
    constexpr std::size_t kShown = 5;
    std::string list;
    for (std::size_t i = 0; i < nodes.size() && i < kShown; ++i) {
        if (i > 0) list += i + 1 == nodes.size() ? " and " : ", ";
        list += nodeLabel(result, nodes[i]);
    }
    if (nodes.size() > kShown) list += " and " + std::to_string(nodes.size() - kShown) + " more";
    return list;
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
    excluded_.push_back(false);
    from_.push_back(kNone);
    to_.push_back(kNone);
    const std::string_view name = result_.segmentNames[index];
    // Formed only for a message: most rows never need it.
    auto label = [&] { return segmentList(result_, {index}); };

    std::string_view from = trimmed(fromText), to = trimmed(toText);
    bool named = !from.empty() || !to.empty();
    bool nodesFromName = false;
    if (named && (from.empty() || to.empty())) {
        error(Kind::badNodes, {index},
              "segment " + label() + " gives " +
                  (from.empty() ? "a 终点 but no 起点" : "a 起点 but no 终点"));
        return;
    }
    if (!named && std::count(name.begin(), name.end(), '-') == 1) {
        const std::size_t hyphen = name.find('-');
        from = trimmed(name.substr(0, hyphen));
        to = trimmed(name.substr(hyphen + 1));
        if (from.empty() || to.empty()) {
            error(Kind::badNodes, {index},
                  "segment " + label() + " names no node " + (from.empty() ? "before" : "after") +
                      " its hyphen");
            return;
        }
        named = true;
        nodesFromName = true;
    }
    if (named && from == to) {
        error(Kind::badNodes, {index},
              "segment " + label() + " starts and ends at node " + quoted(from));
        return;
    }
    std::uint32_t& fromNode = from_[index];
    std::uint32_t& toNode = to_[index];
    if (named) {
        // Rows along a run name the previous row's far node first: found
        // without a look-up in the table of every name.
        const bool continues = previousTo_ != kNone && result_.nodeNames[previousTo_] == from;
        fromNode = continues ? previousTo_ : node(from);
        toNode = node(to);
    } else {
        // The next segment of a run in file order.
        fromNode = previousTo_ != kNone ? previousTo_ : fan_ != kNone ? fan_ : unnamedNode();
        toNode = unnamedNode();
    }
    previousTo_ = toNode;
    if (fan_ == kNone && fanName_.empty()) fan_ = fromNode;

    // A name that gives the nodes, given twice, gives the same pair twice:
    // the tree's search finds it (and calls it a name given twice). Other
    // names are looked up once all rows are in.
    if (!name.empty() && !nodesFromName) checkNames_ = true;
}

void TopologyReader::placeNodes() {
    for (std::size_t s = 0; s < from_.size(); ++s) {
        result_.segments[s].from = from_[s];
        result_.segments[s].to = to_[s];
    }
    LargeArray<std::uint32_t>().swap(from_);
    LargeArray<std::uint32_t>().swap(to_);
}

void TopologyReader::checkNames() {
    if (!checkNames_) return;
    checkNames_ = false;
    for (std::uint32_t index = 0; index < result_.segmentNames.size(); ++index) {
        const std::string_view name = result_.segmentNames[index];
        if (name.empty()) continue;
        const std::uint32_t first = nameIndex_.findOrInsert(result_.segmentNames, index);
        if (first == index) continue;
        const bool firstExcluded = excluded_[first];
        error(TopologyError::Kind::duplicateName, {first, index},
              "segment name " + quoted(name) + " is given twice (rows " +
                  std::to_string(first + 1) + " and " + std::to_string(index + 1) + ")");
        excluded_[first] = firstExcluded;  // the first stays in the tree
    }
}

Tree buildTree(SystemResult& result, const TopologyReader& reader) {
    using Kind = TopologyError::Kind;
    Tree tree;
    auto& segments = result.segments;
    const std::uint32_t nodes = result.nodeNames.size();
    const auto count = static_cast<std::uint32_t>(segments.size());
    // The ends of each segment in a compact copy: the walk below visits the
    // segments in the tree's order, all over the list, and two numbers a
    // segment keep far more of them in cache than whole segments do. The
    // segments themselves are turned and given their parents in one pass at
    // the end, in input order.
    LargeArray<std::uint32_t> fromOf(count), toOf(count);
    for (std::uint32_t s = 0; s < count; ++s)
        fromOf[s] = segments[s].from, toOf[s] = segments[s].to;
    auto inTree = [&](std::uint32_t s) { return !reader.excluded(s) && fromOf[s] != kNone; };
    auto other = [&](std::uint32_t s, std::uint32_t n) {
        return fromOf[s] == n ? toOf[s] : fromOf[s];
    };

    // The segments at each node, either way round, in input order.
    LargeArray<std::uint32_t> firstEdge(nodes + 1, 0);
    for (std::uint32_t s = 0; s < count; ++s)
        if (inTree(s)) ++firstEdge[fromOf[s] + 1], ++firstEdge[toOf[s] + 1];
    for (std::uint32_t n = 0; n < nodes; ++n) firstEdge[n + 1] += firstEdge[n];
    LargeArray<std::uint32_t> edges(firstEdge[nodes]);
    {
        LargeArray<std::uint32_t> next(firstEdge.begin(), firstEdge.end() - 1);
        for (std::uint32_t s = 0; s < count; ++s)
            if (inTree(s)) edges[next[fromOf[s]]++] = s, edges[next[toOf[s]]++] = s;
    }

    tree.firstChild.assign(nodes + 1, 0);
    tree.suction.assign(count, false);
    if (count == 0) return tree;
    std::uint32_t fan = reader.fanNode();
    if (!reader.fanNamed()) {
        // The fan is the one node no segment enters (a supply system), or
        // else the one node no segment leaves (an exhaust system).
        std::vector<bool> entered(nodes, false), left(nodes, false);
        for (std::uint32_t s = 0; s < count; ++s)
            if (inTree(s)) left[fromOf[s]] = true, entered[toOf[s]] = true;
        // Among the nodes joined to the first row's: segments not joined to
        // them are another matter (not connected to the fan).
        std::vector<bool> joined(nodes, false);
        std::vector<std::uint32_t> reach;
        if (fan != kNone) joined[fan] = true, reach.push_back(fan);
        while (!reach.empty()) {
            const std::uint32_t n = reach.back();
            reach.pop_back();
            for (std::uint32_t i = firstEdge[n]; i < firstEdge[n + 1]; ++i)
                if (const std::uint32_t m = other(edges[i], n); !joined[m])
                    joined[m] = true, reach.push_back(m);
        }
        std::vector<std::uint32_t> sources, sinks;
        for (std::uint32_t n = 0; n < nodes; ++n) {
            if (!joined[n]) continue;
            if (left[n] && !entered[n]) sources.push_back(n);
            if (entered[n] && !left[n]) sinks.push_back(n);
        }
        if (sources.size() == 1) {
            fan = sources.front();
        } else if (sinks.size() == 1) {
            fan = sinks.front();
        } else if (!sources.empty() || !sinks.empty()) {
            result.errors.push_back(
                {Kind::noFan,
                 {},
                 "no node is clearly the fan's: " +
                     (sources.empty() ? std::string("no node")
                                      : "nodes " + nodeList(result, sources)) +
                     " have no segment entering them, and " +
                     (sinks.empty() ? std::string("no node") : "nodes " + nodeList(result, sinks)) +
                     " none leaving them: name the fan's node"});
            return tree;
        }
    }
    result.fan.node = fan;
    if (fan == kNone || firstEdge[fan + 1] == firstEdge[fan]) {
        // The nodes whose names come nearest the one given: those that
        // hold it or differ from it in letter case or a character or two.
        std::vector<std::uint32_t> near;
        if (fan != kNone) {
            const std::string given = calc::asciiLower(result.nodeNames[fan]);
            for (std::uint32_t n = 0; n < nodes; ++n) {
                if (n == fan || firstEdge[n + 1] == firstEdge[n]) continue;
                const std::string name = calc::asciiLower(result.nodeNames[n]);
                if (name.empty()) continue;
                std::size_t same = 0;
                while (same < name.size() && same < given.size() && name[same] == given[same])
                    ++same;
                if (name.find(given) != std::string::npos ||
                    given.find(name) != std::string::npos ||
                    same + 2 >= std::max(name.size(), given.size()))
                    near.push_back(n);
            }
        }
        result.errors.push_back(
            {Kind::noFan,
             {},
             (fan == kNone ? "no segment starts at the fan's node"
                           : "no segment starts at the fan's node " + nodeLabel(result, fan)) +
                 (near.empty() ? std::string() : "; nearest: " + nodeList(result, near))});
        return tree;
    }

    // Depth first from the fan, each node's segments in input order. A
    // segment that reaches a node already reached closes a loop.
    std::vector<bool> reachedNode(nodes, false), used(count, false), turned(count, false);
    LargeArray<std::uint32_t> parentOf(count, kNone);
    LargeArray<std::uint32_t> depth(nodes, 0), parentEdge(nodes, kNone);
    struct Step {
        std::uint32_t segment, node;  // the segment, taken from `node`
    };
    LargeArray<Step> stack;
    auto pushEdges = [&](std::uint32_t n) {
        for (std::uint32_t i = firstEdge[n + 1]; i-- > firstEdge[n];)
            if (!used[edges[i]]) stack.push_back({edges[i], n});
    };
    // Segments against their side's air, said only when the segments close
    // no loop: in a loop, which way is against depends on where it is cut.
    std::vector<TopologyError> againstAir;
    const std::size_t errorsBefore = result.errors.size();
    reachedNode[fan] = true;
    tree.order.reserve(count);
    pushEdges(fan);
    while (!stack.empty()) {
        const Step step = stack.back();
        stack.pop_back();
        const std::uint32_t s = step.segment;
        if (used[s]) continue;
        used[s] = true;
        const std::uint32_t n = step.node, m = other(s, n);
        if (reachedNode[m]) {
            // The loop: this segment and the ways from both its ends up to
            // where they meet.
            std::vector<std::uint32_t> loop{s};
            std::uint32_t a = n, b = m;
            while (a != b) {
                std::uint32_t& deeper = depth[a] >= depth[b] ? a : b;
                loop.push_back(parentEdge[deeper]);
                deeper = other(parentEdge[deeper], deeper);
            }
            std::sort(loop.begin(), loop.end());
            if (loop.size() == 2 && result.segmentNames[loop[0]] == result.segmentNames[loop[1]])
                result.errors.push_back({Kind::duplicateName, loop,
                                         "segment name " + quoted(result.segmentNames[loop[0]]) +
                                             " is given twice (rows " +
                                             std::to_string(loop[0] + 1) + " and " +
                                             std::to_string(loop[1] + 1) + ")"});
            else if (loop.size() == 2)
                result.errors.push_back({Kind::duplicatePair, loop,
                                         "segments " + segmentList(result, loop) +
                                             " both join nodes " +
                                             nodeLabel(result, std::min(n, m)) + " and " +
                                             nodeLabel(result, std::max(n, m))});
            else
                result.errors.push_back({Kind::cycle, loop,
                                         "segments " + segmentList(result, loop) +
                                             " close a loop through node " + nodeLabel(result, m) +
                                             " (a cycle): the segments must form a tree"});
            continue;
        }
        // The air moves away from the fan on its discharge side and toward
        // it on its suction side: the side is that of the first segment
        // from the fan, and every segment beyond must go the same way.
        const bool against = fromOf[s] != n;
        const bool onSuction = n == fan ? against : tree.suction[parentEdge[n]];
        tree.suction[s] = onSuction;
        if (against != onSuction) {
            const std::uint32_t up = onSuction ? m : n, down = onSuction ? n : m;
            againstAir.push_back({Kind::againstAir,
                                  {s},
                                  "segment " + segmentList(result, {s}) +
                                      " runs against the air of the fan's " +
                                      (onSuction ? "suction" : "discharge") +
                                      " side, where the air moves from " + nodeLabel(result, up) +
                                      " to " + nodeLabel(result, down) + ": swap its from and to"});
        }
        if (against) std::swap(fromOf[s], toOf[s]), turned[s] = true;
        parentOf[s] = parentEdge[n];
        reachedNode[m] = true;
        parentEdge[m] = s;
        depth[m] = depth[n] + 1;
        tree.order.push_back(s);
        pushEdges(m);
    }

    if (result.errors.size() == errorsBefore)
        for (TopologyError& e : againstAir) result.errors.push_back(std::move(e));
    std::vector<bool> inOrder(count, false);
    for (std::uint32_t s : tree.order) inOrder[s] = true;
    for (std::uint32_t s = 0; s < count; ++s) {
        if (!inOrder[s]) continue;
        Segment& segment = segments[s];
        if (turned[s]) {
            std::swap(segment.from, segment.to);
            segment.reversed = true;
        }
        segment.parent = parentOf[s];
    }
    for (std::uint32_t s : tree.order) ++tree.firstChild[fromOf[s] + 1];
    for (std::uint32_t n = 0; n < nodes; ++n) tree.firstChild[n + 1] += tree.firstChild[n];
    tree.children.resize(tree.firstChild[nodes]);
    {
        LargeArray<std::uint32_t> next(tree.firstChild.begin(), tree.firstChild.end() - 1);
        for (std::uint32_t s = 0; s < count; ++s)
            if (inOrder[s]) tree.children[next[fromOf[s]]++] = s;
    }

    // What the fan does not reach, one group per connected part.
    std::vector<std::uint32_t> part, nodeStack;
    for (std::uint32_t u = 0; u < count; ++u) {
        if (!inTree(u) || used[u]) continue;
        part.clear();
        const std::uint32_t start = fromOf[u];
        reachedNode[start] = true;
        nodeStack.assign(1, start);
        while (!nodeStack.empty()) {
            const std::uint32_t n = nodeStack.back();
            nodeStack.pop_back();
            for (std::uint32_t i = firstEdge[n]; i < firstEdge[n + 1]; ++i) {
                const std::uint32_t s = edges[i];
                if (used[s]) continue;
                used[s] = true;
                part.push_back(s);
                const std::uint32_t m = other(s, n);
                if (!reachedNode[m]) reachedNode[m] = true, nodeStack.push_back(m);
            }
        }
        std::sort(part.begin(), part.end());
        std::string message = (part.size() == 1 ? "segment " : "segments ") +
                              segmentList(result, part) + (part.size() == 1 ? " is" : " are") +
                              " not connected to the fan's node " + nodeLabel(result, fan) +
                              " (starting at node " + nodeLabel(result, start) + ")";
        result.errors.push_back({Kind::disconnected, part, std::move(message)});
    }
    return tree;
}

}  // namespace ductsys
