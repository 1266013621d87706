// SPDX-License-Identifier: GPL-3.0-or-later
// A run in file order whose segments were computed one row at a time (the
// table command's pass), gathered into a whole system for what needs one:
// the 计算书 workbook, with its paths and the fan. The segments keep the
// figures and reasons that pass gave them; only the nodes, the paths and
// the fan are added here, by the system's own rules.
//
//   ductsys::RunGatherer run(options);
//   for (each row, in order) run.add(segment, name);
//   ductsys::SystemResult result = run.finish();
#pragma once

#include <string_view>

#include "system/model.h"
#include "system/system.h"

namespace ductsys {

class RunGatherer {
public:
    // The fan's node, the imbalance limit and the margin of `options`; the
    // air and the jobs are not used (the segments come computed).
    explicit RunGatherer(const Options& options = {}) : options_(options) {}

    // The next segment of the run, as computed, and its name as shown.
    void add(const Segment& segment, std::string_view name);

    // The run as a system: each segment from the node where the one before
    // it ends, the path totals summed from the fan, the fan's duty. The
    // gatherer is spent afterwards.
    SystemResult finish();

private:
    Options options_;
    SystemResult result_;
    TextList names_;
};

}  // namespace ductsys
