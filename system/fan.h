// SPDX-License-Identifier: GPL-3.0-or-later
// The fan's duty: its air volume and the pressure of the index run.
#pragma once

#include "topology.h"

namespace ductsys {

// Fills result.fan: the air volume (double sum over the segments leaving the
// fan's node, m3/h), the index run (the outlet whose path total is largest;
// the first in input order on a tie), its total and the pressure
// total x (1 + margin), Pa. A figure that cannot be known is left empty and
// fan.reason says why. Needs computePaths first.
void computeFan(SystemResult& result, const Tree& tree, double margin);

}  // namespace ductsys
