// SPDX-License-Identifier: GPL-3.0-or-later
// The tree of segments: nodes from names, the fan's node, the order in which
// the segments are reached from the fan, and what keeps them from forming
// one tree.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "system/model.h"

namespace ductsys {

// Gives each row its two nodes as rows are added, and checks what can be
// checked row by row: names given twice, nodes that are not both named.
class TopologyReader {
public:
    // `fanNode`: the fan's node name; empty for the first row's 起点.
    TopologyReader(SystemResult& result, std::string_view fanNode);

    // Finds the nodes of segment `index` (named in result.segmentNames, the
    // next after the last one added) from its 起点/终点 texts, or its name
    // "A-B", or else as the next segment of the run in file order. Touches
    // nothing in result.segments, which may be filled at the same time.
    void add(std::uint32_t index, std::string_view from, std::string_view to);
    // Starts reading from memory the slots of the table of names where the
    // nodes of segment `index` will be looked up, so that add() a few rows
    // later finds them at hand. Changes nothing.
    void prefetch(std::uint32_t index, std::string_view from, std::string_view to) const;

    // Sets the nodes found into result.segments, which then holds every
    // segment added. Call once all rows are in.
    void placeNodes();

    // Finds the names given twice, when rows that do not take their nodes
    // from their names call for it. Call once all rows are in.
    void checkNames();

    // Room for `rows` segments. The tables of names grow as names come: a
    // room made too large would be memory spent, not just addresses.
    void reserve(std::size_t rows) {
        excluded_.reserve(rows);
        from_.reserve(rows);
        to_.reserve(rows);
    }

    // The fan's node; kNone when it was named and no row has it.
    std::uint32_t fanNode() const { return fan_; }
    // Whether the fan's node was named rather than taken from the rows.
    bool fanNamed() const { return !fanName_.empty(); }
    // Whether a segment was already found to be outside any tree.
    bool excluded(std::uint32_t segment) const { return excluded_[segment]; }
    const std::vector<bool>& excludedSegments() const { return excluded_; }

private:
    std::uint32_t node(std::string_view name);
    std::uint32_t unnamedNode();
    void error(TopologyError::Kind kind, std::vector<std::uint32_t> segments, msg::Message message);

    SystemResult& result_;
    TextIndex nodeIndex_, nameIndex_;
    std::vector<bool> excluded_;           // by segment
    LargeArray<std::uint32_t> from_, to_;  // by segment, until placed
    std::uint32_t fan_ = kNone;
    std::uint32_t previousTo_ = kNone;  // the far node of the previous row
    std::string fanName_;
    bool checkNames_ = false;
};

// The segments reached from the fan, each after the segment before it
// (pre-order), with the segments leaving each node in input order.
struct Tree {
    LargeArray<std::uint32_t> order;       // segments, fan first
    LargeArray<std::uint32_t> firstChild;  // by node, into `children`; size nodes + 1
    LargeArray<std::uint32_t> children;    // segments grouped by their 起点
    // By segment: on the fan's suction side, where the air moves toward it
    // (written from the far end toward the fan).
    std::vector<bool> suction;
    std::uint32_t childCount(std::uint32_t node) const {
        return firstChild[node + 1] - firstChild[node];
    }
};

// Builds the tree from the fan's node over the segments taken either way
// round (supply and exhaust are the same tree), turns each segment to face
// away from the fan, sets its parent, and adds to result.errors every cycle
// (a pair of segments between the same nodes among them) and every group of
// segments the fan does not reach. Iterative: a run a million segments deep
// needs no deeper stack.
Tree buildTree(SystemResult& result, const TopologyReader& reader);

// The nodes and the tree of the last system built with it, and the texts
// of the rows that gave them. The grid builds its system again after every
// edit, and most edits (an air volume, a size, a length) leave every 段号,
// 起点 and 终点 as it was: such a system takes its nodes and tree from
// here, with no name looked up and no tree walked.
class TopologyMemo {
public:
    // Whether it holds the nodes and tree of rows that name these segments
    // (`names`, `lines`) and nodes (`froms`, `tos`: the 起点 and 终点 texts
    // as given), in this order, with this fan node.
    bool holds(std::string_view fanNode, const TextList& names, const TextList& froms,
               const TextList& tos, const std::vector<long>& lines) const;
    // Sets into `result`, whose rows it holds, the nodes, the segments' ends
    // and parents, the fan's node and the topology errors, and gives the tree.
    Tree restore(SystemResult& result) const;
    // Keeps what the rows gave: `result` just after its tree was built.
    void keep(std::string_view fanNode, TextList froms, TextList tos, const SystemResult& result,
              const Tree& tree);

private:
    struct Ends {
        std::uint32_t from, to, parent;
        bool reversed;
    };
    bool kept_ = false;
    // What the rows named.
    std::string fanNode_;
    TextList names_, froms_, tos_;
    std::vector<long> lines_;
    // What that gave.
    TextList nodeNames_;
    LargeArray<Ends> ends_;  // by segment
    std::uint32_t fan_ = kNone;
    std::vector<TopologyError> errors_;
    Tree tree_;
};

// "1-2, 2-3 and 4 more": segment names for a message.
msg::Message segmentList(const SystemResult& result, const std::vector<std::uint32_t>& segments);

}  // namespace ductsys
