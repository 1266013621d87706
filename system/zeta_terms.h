// SPDX-License-Identifier: GPL-3.0-or-later
// The ζ cell (局部阻力系数): terms joined by "+", each a number or a fitting
// of the library with its arguments, either with a count:
//
//   0.3+0.25
//   bend(90,1.5)*2 + tee-split-side + 0.25
//   弯头(90,1.5)×2+分流三通支管
//   bend(angle=90, r/D=1.5) x2 + value(2.5, 消声器样本 p.12)
//
// A fitting term's ζ is computed once the segment's velocity, and for a tee
// or a transition its neighbours, are known; it is converted to the
// segment's own velocity before it is summed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "system/fittings.h"

namespace ductsys {

struct Segment;

// One term as written.
struct ZetaTerm {
    std::string text;                            // trimmed, with its count
    const fittings::Fitting* fitting = nullptr;  // none: a number
    double number = 0;                           // a number's value
    fittings::Args args;                         // as written
    double count = 1;
};

// A ζ cell read: its terms, or why it cannot be read.
struct ZetaCell {
    std::vector<ZetaTerm> terms;
    // 'term "bnd(90)" is not a number or a fitting (nearest: "bend")'
    std::optional<msg::Message> error;
    bool hasFittings = false;
    bool ok() const { return !error; }
};
ZetaCell parseZetaCell(std::string_view text);

// The sum of a cell of numbers, in double in the order written, each times
// its count; none when a term is a fitting.
std::optional<double> numberSum(const ZetaCell& cell);

// One term computed on its segment, for the reports.
struct TermResult {
    std::string text;       // as written
    std::string id;         // the fitting used; empty for a number
    std::string arguments;  // "angle=90, r/D=1.5", with what the system filled in
    double count = 1;
    double zeta = 0;  // one piece, on the velocity it refers to
    fittings::RefersTo refersTo = fittings::RefersTo::segment;
    std::optional<double> onSegment;  // count × ζ on the segment's velocity
    std::string source;
    bool valid = true;
    msg::Messages note;  // why not valid, naming the range
};

// The terms of a segment whose cell has fittings.
struct ZetaDetail {
    std::uint32_t segment;
    std::vector<TermResult> terms;
};

// What a tee or a transition on a segment takes from the system: the
// segment on the fan's side of its start node, the other segments leaving
// that node, and the way the air goes through the node.
struct TermNeighbours {
    const Segment* combined = nullptr;  // none: the segment starts at the fan
    std::vector<const Segment*> others;
    bool joining = false;                 // the air flows toward the fan (exhaust): tees join
    std::optional<msg::Message> missing;  // why there are no neighbours (no tree), when none
};

// Computes the fitting terms of `segment` from its figures (and from
// `neighbours`, none for a segment computed alone), sets its ζ, local loss
// and total, and fills `detail`. A term that cannot be computed leaves ζ and
// what depends on it unknown, with the reason.
void applyZetaTerms(Segment& segment, const ZetaCell& cell, const TermNeighbours* neighbours,
                    std::vector<TermResult>& detail);

}  // namespace ductsys
