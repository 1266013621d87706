// SPDX-License-Identifier: GPL-3.0-or-later
// Paths from the fan to the outlets, and the balance of the branches at each
// junction.
#pragma once

#include "system/topology.h"

namespace ductsys {

// Sets each segment's pathTotal (Pa, the double sum of the totals from the
// fan to its far end; unknown from a segment without a total on) and lists
// the outlets in input order.
void computePaths(SystemResult& result, const Tree& tree);

// Lists the junctions (nodes with two or more segments leaving them) in node
// order, each branch's total (the largest path total from the junction to an
// outlet through it) and the imbalance (largest - smallest) / largest,
// flagged above `maxImbalance`.
void computeBalance(SystemResult& result, const Tree& tree, double maxImbalance);

}  // namespace ductsys
