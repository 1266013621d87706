// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/topology.h"

#include <algorithm>

#include "calc/ascii.h"
#include "system/readers.h"
#include "system/table_file.h"

namespace ductsys {

namespace {

msg::Message nodeLabel(const SystemResult& result, std::uint32_t node) {
    const std::string_view name = result.nodeNames[node];
    if (name.empty()) return {msg::Code::unnamedNode, {}};
    return {msg::Code::quotedName, {name}};
}

// The caption of a node column, as the messages name it in either language.
std::string_view caption(Column column) { return inputField(column).caption; }

// "A, B and 3 more": node names for a message; `nodes` is not empty.
msg::Message nodeList(const SystemResult& result, const std::vector<std::uint32_t>& nodes) {
    using msg::Code;
    constexpr std::size_t kShown = 5;
    msg::Message list = nodeLabel(result, nodes[0]);
    for (std::size_t i = 1; i < nodes.size() && i < kShown; ++i)
        list = {i + 1 == nodes.size() ? Code::listLast : Code::listNext,
                {std::move(list), nodeLabel(result, nodes[i])}};
    if (nodes.size() > kShown)
        list = {Code::listMoreNodes, {std::move(list), nodes.size() - kShown}};
    return list;
}

// "nodes A and B", or "no node" when there is none.
msg::Message someNodes(const SystemResult& result, const std::vector<std::uint32_t>& nodes) {
    if (nodes.empty()) return {msg::Code::nodesNone, {}};
    return {msg::Code::nodesSome, {nodeList(result, nodes)}};
}

}  // namespace

msg::Message segmentList(const SystemResult& result, const std::vector<std::uint32_t>& segments) {
    using msg::Code;
    constexpr std::size_t kShown = 5;
    auto item = [&](std::uint32_t s) -> msg::Message {
        const std::string_view name = result.segmentNames[s];
        // A file's rows are named with their lines, so that a message about
        // one segment names the line of another that it follows from.
        const long line = result.line(s);
        if (line > 0) {
            if (name.empty()) return {Code::segmentOnLine, {line}};
            return {Code::quotedNameOnLine, {name, line}};
        }
        if (name.empty()) return {Code::rowNumber, {s + 1}};
        return {Code::quotedName, {name}};
    };
    // Every message names at least one segment.
    if (segments.empty()) return {Code::quotedName, {""}};
    msg::Message list = item(segments[0]);
    for (std::size_t i = 1; i < segments.size() && i < kShown; ++i)
        list = {i + 1 == segments.size() ? Code::listLast : Code::listNext,
                {std::move(list), item(segments[i])}};
    if (segments.size() > kShown)
        list = {Code::listMore, {std::move(list), segments.size() - kShown}};
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
                           msg::Message message) {
    for (std::uint32_t s : segments) excluded_[s] = true;
    result_.errors.push_back({kind, std::move(segments), std::move(message)});
}

namespace {

// The node names a row gives: its 起点 and 终点, or else the two halves of
// a name "A-B" (`fromName`). Both empty: the row names no node.
struct NodeNames {
    std::string_view from, to;
    bool fromName = false;
};

NodeNames nodeNames(std::string_view name, std::string_view fromText, std::string_view toText) {
    NodeNames n{trimmed(fromText), trimmed(toText)};
    if (n.from.empty() && n.to.empty() && std::count(name.begin(), name.end(), '-') == 1) {
        const std::size_t hyphen = name.find('-');
        n.from = trimmed(name.substr(0, hyphen));
        n.to = trimmed(name.substr(hyphen + 1));
        n.fromName = true;
    }
    return n;
}

}  // namespace

void TopologyReader::prefetch(std::uint32_t index, std::string_view fromText,
                              std::string_view toText) const {
    const NodeNames n = nodeNames(result_.segmentNames[index], fromText, toText);
    if (!n.from.empty()) nodeIndex_.prefetch(n.from);
    if (!n.to.empty()) nodeIndex_.prefetch(n.to);
}

void TopologyReader::add(std::uint32_t index, std::string_view fromText, std::string_view toText) {
    using Kind = TopologyError::Kind;
    excluded_.push_back(false);
    from_.push_back(kNone);
    to_.push_back(kNone);
    const std::string_view name = result_.segmentNames[index];
    // Formed only for a message: most rows never need it.
    auto label = [&] { return segmentList(result_, {index}); };

    const NodeNames names = nodeNames(name, fromText, toText);
    const std::string_view from = names.from, to = names.to;
    const bool nodesFromName = names.fromName;
    if (nodesFromName && (from.empty() || to.empty())) {
        error(Kind::badNodes, {index},
              {from.empty() ? msg::Code::segmentNoNodeBeforeHyphen
                            : msg::Code::segmentNoNodeAfterHyphen,
               {label()}});
        return;
    }
    if (from.empty() != to.empty()) {
        error(Kind::badNodes, {index},
              {msg::Code::segmentOneNodeOnly,
               {label(), caption(from.empty() ? Column::to : Column::from),
                caption(from.empty() ? Column::from : Column::to)}});
        return;
    }
    const bool named = !from.empty();
    if (named && from == to) {
        error(Kind::badNodes, {index},
              {msg::Code::segmentToItself, {label(), msg::Message{msg::Code::quotedName, {from}}}});
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
              {msg::Code::segmentNameTwice,
               {msg::Message{msg::Code::quotedName, {name}}, first + 1, index + 1}});
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
            result.errors.push_back({Kind::noFan,
                                     {},
                                     {msg::Code::fanNodeUnclear,
                                      {someNodes(result, sources), someNodes(result, sinks)}}});
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
             fan == kNone
                 ? msg::Message{msg::Code::noFanNode, {}}
                 : (near.empty()
                        ? msg::Message{msg::Code::noSegmentAtFanNode, {nodeLabel(result, fan)}}
                        : msg::Message{msg::Code::noSegmentAtFanNodeNearest,
                                       {nodeLabel(result, fan), nodeList(result, near)}})});
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
                result.errors.push_back(
                    {Kind::duplicateName,
                     loop,
                     {msg::Code::segmentNameTwice,
                      {msg::Message{msg::Code::quotedName, {result.segmentNames[loop[0]]}},
                       loop[0] + 1, loop[1] + 1}}});
            else if (loop.size() == 2)
                result.errors.push_back(
                    {Kind::duplicatePair,
                     loop,
                     {msg::Code::segmentsBothJoin,
                      {segmentList(result, loop), nodeLabel(result, std::min(n, m)),
                       nodeLabel(result, std::max(n, m))}}});
            else
                result.errors.push_back({Kind::cycle,
                                         loop,
                                         {msg::Code::segmentsCloseLoop,
                                          {segmentList(result, loop), nodeLabel(result, m)}}});
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
            againstAir.push_back(
                {Kind::againstAir,
                 {s},
                 {onSuction ? msg::Code::segmentAgainstSuctionAir
                            : msg::Code::segmentAgainstDischargeAir,
                  {segmentList(result, {s}), nodeLabel(result, up), nodeLabel(result, down)}}});
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
        msg::Message message{
            part.size() == 1 ? msg::Code::segmentNotConnected : msg::Code::segmentsNotConnected,
            {segmentList(result, part), nodeLabel(result, fan), nodeLabel(result, start)}};
        result.errors.push_back({Kind::disconnected, part, std::move(message)});
    }
    return tree;
}

bool TopologyMemo::holds(std::string_view fanNode, const TextList& names, const TextList& froms,
                         const TextList& tos, const std::vector<long>& lines) const {
    return kept_ && fanNode == fanNode_ && names == names_ && froms == froms_ && tos == tos_ &&
           lines == lines_;
}

Tree TopologyMemo::restore(SystemResult& result) const {
    result.nodeNames = nodeNames_;
    result.errors = errors_;
    result.fan.node = fan_;
    for (std::size_t s = 0; s < ends_.size(); ++s) {
        Segment& segment = result.segments[s];
        segment.from = ends_[s].from;
        segment.to = ends_[s].to;
        segment.parent = ends_[s].parent;
        segment.reversed = ends_[s].reversed;
    }
    return tree_;
}

void TopologyMemo::keep(std::string_view fanNode, TextList froms, TextList tos,
                        const SystemResult& result, const Tree& tree) {
    fanNode_ = fanNode;
    names_ = result.segmentNames;
    froms_ = std::move(froms);
    tos_ = std::move(tos);
    lines_ = result.segmentLines;
    nodeNames_ = result.nodeNames;
    ends_.resize(result.segments.size());
    for (std::size_t s = 0; s < ends_.size(); ++s) {
        const Segment& segment = result.segments[s];
        ends_[s] = {segment.from, segment.to, segment.parent, segment.reversed};
    }
    fan_ = result.fan.node;
    errors_ = result.errors;
    tree_ = tree;
    kept_ = true;
}

}  // namespace ductsys
