// SPDX-License-Identifier: GPL-3.0-or-later
// The fan's duty: its air volume and the pressure of the index run.
#pragma once

#include "system/topology.h"

namespace ductsys {

// Fills result.fan: the air volume (double sum over the segments entering
// the fan on its suction side, or leaving it when it has none, m3/h), the
// index run (on each side the end whose path total is largest; the first in
// input order on a tie), its total (the suction side's largest plus the
// discharge side's) and the pressure total x (1 + margin), Pa. A fan that
// gives out more or less than it takes in, by more than 0.5 %, is a warning.
// A figure that cannot be known is left empty and fan.reason says why.
// Needs computePaths first.
void computeFan(SystemResult& result, const Tree& tree, double margin);

}  // namespace ductsys
