// SPDX-License-Identifier: GPL-3.0-or-later
#include "fitting_terms.h"

namespace ductsys {

void applyFittingTerms(SystemResult& result, const Tree* tree,
                       std::vector<std::pair<std::uint32_t, ZetaCell>>& cells) {
    result.zetaDetails.clear();
    result.zetaDetails.reserve(cells.size());
    for (auto& [index, cell] : cells) {
        Segment& segment = result.segments[index];
        TermNeighbours neighbours;
        // The air goes toward the fan in a row written from an inlet toward
        // it (exhaust): its tees join.
        neighbours.joining = segment.reversed;
        if (!tree) {
            neighbours.missing =
                "the segments do not form a tree, so the fitting has no neighbours";
        } else if (segment.parent != kNone) {
            neighbours.combined = &result.segments[segment.parent];
            const std::uint32_t node = segment.from;
            for (std::uint32_t c = tree->firstChild[node]; c < tree->firstChild[node + 1]; ++c)
                if (tree->children[c] != index)
                    neighbours.others.push_back(&result.segments[tree->children[c]]);
        }
        ZetaDetail& detail = result.zetaDetails.emplace_back();
        detail.segment = index;
        applyZetaTerms(segment, cell, &neighbours, detail.terms);
    }
    cells.clear();
}

}  // namespace ductsys
