// SPDX-License-Identifier: GPL-3.0-or-later
// A computed system as its reports show it: each segment's figures in the
// order of the columns of a 水力计算表, the sizes and names as written, the
// segments of the index run. Shared by the command line's text, CSV and JSON
// and by the 计算书 workbook, so that every report shows the same figures.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model.h"

namespace ductsys {

// The numeric columns of a segment, in the order reports write them (the
// size follows the air volume).
enum ReportColumn {
    rFlow,
    rEqDiameter,
    rVelocity,
    rReynolds,
    rLambda,
    rRm,
    rLength,
    rFrictionLoss,
    rVelocityPressure,
    rZeta,
    rLocalLoss,
    rDp,
    rTotal,
    rPathTotal,
    kReportColumns
};
// Their names in CSV and JSON.
inline constexpr std::array<std::string_view, kReportColumns> kReportKeys{
    "flow",   "equivalent_diameter", "velocity",          "reynolds", "lambda",     "rm",
    "length", "friction_loss",       "velocity_pressure", "zeta",     "local_loss", "dp",
    "total",  "path_total"};

using ReportValues = std::array<std::optional<float>, kReportColumns>;

// A segment's figures as singles, none where there is no value. Lengths,
// coefficients, fixed losses and path totals, read or summed in double, are
// rounded once to single, as the table shows its running total.
ReportValues reportValues(const Segment& segment);

// A double rounded to single; none beyond the single range or when none.
std::optional<float> asSingle(std::optional<double> value);

// A single as the window shows it, without the leading blank: "8.841949".
std::string shownText(float x);

// The size as a table reads it back: "φ200", "500*320"; empty when unknown.
std::string sizeLabel(const Segment& segment);

// The name a report gives a segment: its own, or "from-to" of its named
// nodes, or its row number among the segments (1 for the first).
std::string segmentLabel(const SystemResult& result, std::uint32_t segment);

// By segment: whether it lies on the index run (最不利环路).
std::vector<bool> indexRunSegments(const SystemResult& result);

}  // namespace ductsys
