// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/fitting_terms.h"

#include <algorithm>

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
            neighbours.missing = msg::Message{msg::Code::fittingNotATree, {}};
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
        // Computed, but outside where its formula holds: said with the range.
        for (const TermResult& t : detail.terms)
            if (!t.valid && t.onSegment)
                result.warnings.push_back(
                    {index, {msg::Code::zetaTermOutsideRange, {t.text, msg::Arg(t.note)}}});
    }
    if (!cells.empty())
        std::stable_sort(result.warnings.begin(), result.warnings.end(),
                         [](const Warning& a, const Warning& b) { return a.segment < b.segment; });
    cells.clear();
}

TermNeighbours neighboursIn(const SystemResult& result, std::uint32_t segment) {
    TermNeighbours n;
    if (!result.topologyOk()) {
        n.missing = msg::Message{msg::Code::fittingNotATree, {}};
        return n;
    }
    const Segment& s = result.segments[segment];
    n.joining = s.reversed;
    if (s.parent == kNone) return n;
    n.combined = &result.segments[s.parent];
    for (std::uint32_t o = 0; o < result.segments.size(); ++o)
        if (o != segment && result.segments[o].parent == s.parent &&
            result.segments[o].from == s.from)
            n.others.push_back(&result.segments[o]);
    return n;
}

ZetaPreview previewZeta(const SystemResult& result, std::uint32_t segment, std::string_view text) {
    ZetaPreview preview;
    const ZetaCell cell = parseZetaCell(text);
    if (!cell.ok()) {
        preview.problem = {*cell.error};
        return preview;
    }
    Segment copy = result.segments[segment];
    copy.reason.clear();
    copy.defined &= ~figureBit(Figure::zeta);
    const TermNeighbours n = neighboursIn(result, segment);
    applyZetaTerms(copy, cell, &n, preview.terms);
    if (copy.has(Figure::zeta))
        preview.sum = copy.zeta;
    else
        preview.problem = copy.reason;
    return preview;
}

}  // namespace ductsys
