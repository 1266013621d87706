// SPDX-License-Identifier: GPL-3.0-or-later
// What a system calculation gives: the figures of each segment, the paths
// from the fan to the outlets, the junctions and their balance, the fan.
// Plain data, indexed by segment (input order) and node (order of first
// appearance), for any front end to write out.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "calc/headless.h"
#include "messages/message.h"
#include "system/fields.h"
#include "system/large_arrays.h"
#include "system/names.h"
#include "system/zeta_terms.h"

namespace ductsys {

// The figures of a segment, as bits of Segment::defined.
enum class Figure : unsigned {
    flow,              // air volume, m3/h
    size,              // diameter or sides, mm
    eqDiameter,        // equivalent diameter, m
    velocity,          // m/s
    reynolds,          // Reynolds number
    lambda,            // friction factor
    rm,                // specific friction loss, Pa/m
    length,            // m
    zeta,              // sum of loss coefficients
    dp,                // fixed loss of equipment or outlet, Pa
    frictionLoss,      // Rm x l, Pa
    velocityPressure,  // Pd, Pa
    localLoss,         // Z = sum of zeta x Pd, Pa
    total,             // Rm x l + Z + dp, Pa
    pathTotal,         // sum of totals from the fan to the segment's far end, Pa
};
constexpr unsigned figureBit(Figure f) { return 1u << static_cast<unsigned>(f); }

// Below this Reynolds number the flow is laminar, and neither friction
// formula is meant for it.
inline constexpr float kLaminarReynolds = 2300;

// Whether a duct's Reynolds number says its flow is laminar. A duct that
// carries no air (Reynolds number 0) has no flow to speak of, laminar or not.
constexpr bool isLaminar(float reynolds) { return reynolds > 0 && reynolds < kLaminarReynolds; }

// One segment. Figures in single precision are the recalculation's stored
// values (the window's) or, for the losses, formed in double from them and
// rounded once; a figure is only meaningful when defined.
struct Segment {
    // Nodes as seen from the fan: `from` toward it, `to` away from it. A row
    // written from an inlet toward the fan (exhaust) is turned round, and
    // `reversed` says so; outside a tree they stay as written.
    std::uint32_t from = kNone;
    std::uint32_t to = kNone;
    std::uint32_t parent = kNone;  // the segment ending at `from`; kNone at the fan
    bool reversed = false;
    bool flowGiven = false;  // false: the flow is the sum of the segments beyond
    // The friction-factor formula the segment is computed with: 1 or 2 (1
    // when its text names neither, as the figures that need it are missing).
    std::uint8_t formula = 1;
    calc::Shape shape = calc::Shape::circular;
    float diameter = 0, sideA = 0, sideB = 0;  // mm, as the recalculation stored them
    float flow = 0;                            // m3/h
    float eqDiameter = 0;                      // m
    float velocity = 0;                        // m/s
    float reynolds = 0;
    float lambda = 0;
    float rm = 0;                                                            // Pa/m
    float frictionLoss = 0, velocityPressure = 0, localLoss = 0, total = 0;  // Pa
    double length = 0;                                                       // m, as read
    double zeta = 0;                                                         // as summed
    double dp = 0;                                                           // Pa, as read
    double pathTotal = 0;                                                    // Pa, in double
    float roughness = 0;   // mm, as read: a later resize computes with the same wall
    unsigned defined = 0;  // figureBit()s of the figures that hold values
    // Why the segment's figures are not all there: empty for a complete
    // segment; the front end words each reason.
    msg::Messages reason;

    bool has(Figure f) const { return (defined & figureBit(f)) != 0; }
    bool ok() const { return reason.empty(); }
    // Whether the segment's flow is laminar (see isLaminar).
    bool laminar() const { return has(Figure::reynolds) && isLaminar(reynolds); }
};

// Whether a segment's velocity lies above a document's largest velocity
// (最大风速); none is no limit.
inline bool aboveVelocity(const Segment& s, std::optional<double> limit) {
    return limit && s.has(Figure::velocity) && s.velocity > *limit;
}

// A warning on a segment that did not stop its calculation (a custom
// roughness held within its limits).
struct Warning {
    std::uint32_t segment;
    msg::Message message;
};

// Something that keeps the segments from forming one tree reached from the
// fan. The whole system is then not computed beyond its single segments.
struct TopologyError {
    enum class Kind {
        badNodes,       // from without to, an empty node name, a segment from a node to itself
        duplicateName,  // two segments of the same name
        duplicatePair,  // two segments between the same two nodes (either way round)
        cycle,          // segments that close a loop: a node reached two ways from the fan
        disconnected,   // segments not reached from the fan
        noFan,          // the fan's node starts no segment, or no node is clearly the fan
        againstAir,     // a segment written against the air of its side of the fan
    };
    Kind kind;
    std::vector<std::uint32_t> segments;  // the segments involved, in input order
    msg::Message message;                 // names them (up to a few, then how many more)
};

// One branch leaving a junction: its first segment and the largest path
// total from the junction to an outlet through it (Pa, double sums).
struct Branch {
    std::uint32_t segment;
    std::optional<double> total;  // none when a segment on the way has no total
};

// A node where the tree branches.
struct Junction {
    std::uint32_t node;
    std::uint32_t firstBranch;  // into SystemResult::branches
    std::uint32_t branchCount;
    // (largest - smallest) / largest of the branch totals; none when a branch
    // total is unknown. 0 when the largest is 0.
    std::optional<double> imbalance;
    bool flagged = false;  // imbalance above the system's maximum
};

// The fan's duty.
struct Fan {
    std::uint32_t node = kNone;
    // m3/h: what enters the fan, the sum over its suction side's first
    // segments; with no suction side, what leaves it.
    std::optional<double> airVolume;
    std::uint32_t indexOutlet = kNone;  // the outlet segment ending the index run (最不利环路)
    // With a suction side and a discharge side: the inlet segment starting
    // the index run, which runs from it through the fan to indexOutlet.
    std::uint32_t indexInlet = kNone;
    std::optional<double> indexTotal;  // Pa: the index run's total
    std::optional<double> pressure;    // Pa: indexTotal x (1 + margin)
    double margin = 0;                 // as given
    msg::Messages reason;              // why a figure is missing; empty otherwise
    // The segment whose row the reason goes back to: a message about the fan
    // is said at its line. kNone when there is none.
    std::uint32_t reasonSegment = kNone;
};

struct SystemResult {
    LargeArray<Segment> segments;  // input order
    TextList segmentNames;         // by segment
    TextList nodeNames;            // by node; "" for the unnamed nodes of a run in file order
    std::vector<Warning> warnings;
    std::vector<TopologyError> errors;  // when not empty, no paths, junctions or fan
    // The outlet segments (nothing beyond their far end), in input order:
    // each ends the path from the fan whose total is its pathTotal.
    std::vector<std::uint32_t> outlets;
    LargeArray<Junction> junctions;  // in order of their nodes' first appearance
    LargeArray<Branch> branches;
    Fan fan;
    double maxImbalance = 0.15;
    // The terms of every segment whose ζ cell has fittings, by segment.
    std::vector<ZetaDetail> zetaDetails;
    // The remarks (备注) of the segments that have one, in input order: the
    // designer's own text, carried to every output beside its row.
    std::vector<std::pair<std::uint32_t, std::string>> remarks;
    // The file line of each segment's row, by segment, when the rows came
    // from a file (SegmentTexts::line); empty otherwise. Messages name a
    // segment with its line, so that a consequence names its cause's.
    std::vector<long> segmentLines;

    bool topologyOk() const { return errors.empty(); }
    // Whether every segment computed and every junction and fan figure is there.
    bool complete() const;
    // The segments from the fan to `segment`, fan first. Empty for kNone.
    std::vector<std::uint32_t> pathTo(std::uint32_t segment) const;
    // The terms of `segment`'s ζ cell; none when it holds numbers only.
    const ZetaDetail* zetaDetail(std::uint32_t segment) const;
    // The remark of `segment`, empty when it has none.
    std::string_view remark(std::uint32_t segment) const;
    // The file line of `segment`'s row; 0 when its row came from no file.
    long line(std::uint32_t segment) const {
        return segment < segmentLines.size() ? segmentLines[segment] : 0;
    }
};

}  // namespace ductsys

namespace ductsys {

// One row as a designer types it, in a CSV file or in the cells of a grid.
// Every text may be empty; blanks at the ends do not count.
//   segment  段号: a name; "A-B" (one hyphen) names its two nodes
//   from/to  起点/终点: node names (both or neither)
//   flow     风量, in `unit`; empty: the sum of the segments beyond
//   unit     单位: one of the window's unit texts (m3/h when empty)
//   size     尺寸: "200", "φ200", "500x320", "500×320", "500*320" (mm)
//   length   长度, m (0 when empty)
//   zeta     Σζ: a number or a sum "0.3+0.25" (0 when empty)
//   dp       固定阻力, Pa: the loss of equipment or an outlet (0 when empty)
//   material 材料: caption or English name (thin steel sheet when empty)
//   k        粗糙度, mm: a custom roughness, held between 0.01 and 10
//   formula  公式: "1" or "2" (defaultFormula when empty)
//   role     角色: the segment's part in the system, when not by the rule
//            (see roles.h); the calculation itself does not read it
//   remark   备注: the designer's text, kept with the segment; a row with
//            nothing but a remark is blank
struct SegmentTexts {
    std::string_view segment = {};
    std::string_view from = {};
    std::string_view to = {};
    std::string_view flow = {};
    std::string_view unit = {};
    std::string_view size = {};
    std::string_view length = {};
    std::string_view zeta = {};
    std::string_view dp = {};
    std::string_view material = {};
    std::string_view k = {};
    std::string_view formula = {};
    std::string_view role = {};
    std::string_view remark = {};
    // What the file or the program sets for every row: the flow unit a
    // header names ("风量(L/s)") for rows that name none, the header's
    // length and fixed-loss units (m and Pa per unit), and the formula of
    // rows that name none.
    std::string_view columnUnit = {};
    double lengthFactor = 1;
    double dpFactor = 1;
    int defaultFormula = 1;
    // The file line the row starts on; 0 for a row of no file (a grid's).
    long line = 0;
};

// A row's texts from `cellOf(InputKey)`, the text of each input column
// (empty where the row has none). The front ends differ only in where a
// column's text stands: a file's field, a grid's cell.
template <typename CellOf>
SegmentTexts segmentTextsOf(const CellOf& cellOf) {
    using K = InputKey;
    return {.segment = cellOf(K::segment),
            .from = cellOf(K::from),
            .to = cellOf(K::to),
            .flow = cellOf(K::flow),
            .unit = cellOf(K::unit),
            .size = cellOf(K::size),
            .length = cellOf(K::length),
            .zeta = cellOf(K::zeta),
            .dp = cellOf(K::dp),
            .material = cellOf(K::material),
            .k = cellOf(K::k),
            .formula = cellOf(K::formula),
            .role = cellOf(K::role)};
}

}  // namespace ductsys
