// SPDX-License-Identifier: GPL-3.0-or-later
// The fitting terms of a system's ζ cells, computed once every segment's
// flow and velocity are known: a tee from the legs around its junction, a
// transition from the segment on the fan's side.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "model.h"
#include "topology.h"
#include "zeta_terms.h"

namespace ductsys {

// Computes the cells (by segment, in segment order) into their segments and
// result.zetaDetails. Without a tree (the segments do not form one), tees
// and transitions that need their neighbours are left unknown.
void applyFittingTerms(SystemResult& result, const Tree* tree,
                       std::vector<std::pair<std::uint32_t, ZetaCell>>& cells);

}  // namespace ductsys
