// SPDX-License-Identifier: GPL-3.0-or-later
// A system being typed is often not yet one tree: a row not connected yet,
// a name given twice, a loop. A grid computes the rest without the rows at
// fault, so that one bad row spoils only the paths through it. No Qt.
#pragma once

#include <cstdint>
#include <vector>

#include "system/model.h"

namespace ductsys {

// The segments to leave out so that the others may form a tree: those with
// bad nodes, those of a loop, those not reached from the fan, and of two
// segments with one name or between one pair of nodes the later. Sorted,
// without repeats. Empty when the system has no topology error, or when
// leaving segments out cannot help (the fan's node starts no segment).
std::vector<std::uint32_t> segmentsToLeaveOut(const SystemResult& result);

}  // namespace ductsys
