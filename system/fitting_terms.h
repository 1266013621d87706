// SPDX-License-Identifier: GPL-3.0-or-later
// The fitting terms of a system's ζ cells, computed once every segment's
// flow and velocity are known: a tee from the legs around its junction, a
// transition from the segment on the fan's side.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "system/model.h"
#include "system/topology.h"
#include "system/zeta_terms.h"

namespace ductsys {

// Computes the cells (by segment, in segment order) into their segments and
// result.zetaDetails. Without a tree (the segments do not form one), tees
// and transitions that need their neighbours are left unknown.
void applyFittingTerms(SystemResult& result, const Tree* tree,
                       std::vector<std::pair<std::uint32_t, ZetaCell>>& cells);

// The neighbours of a computed segment, found in `result` (for a term
// written after the system was computed).
TermNeighbours neighboursIn(const SystemResult& result, std::uint32_t segment);

// A ζ text tried on a computed segment, as its cell would compute: its
// terms, their sum on the segment's velocity (none when a term cannot be
// computed) and why not.
struct ZetaPreview {
    std::vector<TermResult> terms;
    std::optional<double> sum;
    msg::Messages problem;  // why there is no sum; empty when there is one
};
ZetaPreview previewZeta(const SystemResult& result, std::uint32_t segment, std::string_view text);

}  // namespace ductsys
