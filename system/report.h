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

#include "system/fields.h"
#include "system/model.h"

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
// The figure each column shows.
inline constexpr std::array<FigureKey, kReportColumns> kReportFigures{
    FigureKey::flow,     FigureKey::eqDiameter,   FigureKey::velocity,
    FigureKey::reynolds, FigureKey::lambda,       FigureKey::rm,
    FigureKey::length,   FigureKey::frictionLoss, FigureKey::velocityPressure,
    FigureKey::zeta,     FigureKey::localLoss,    FigureKey::dp,
    FigureKey::total,    FigureKey::pathTotal};
// Their names in CSV and JSON.
inline constexpr std::array<std::string_view, kReportColumns> kReportKeys =
    figureNames(kReportFigures, &FigureField::key);

using ReportValues = std::array<std::optional<float>, kReportColumns>;

// A segment's figures as singles, none where there is no value. Lengths,
// coefficients, fixed losses and path totals, read or summed in double, are
// rounded once to single, as the table shows its running total.
ReportValues reportValues(const Segment& segment);

// A double rounded to single; none beyond the single range or when none.
std::optional<float> asSingle(std::optional<double> value);

// A double figure as the windows show it: rounded to single, in their
// digits; none beyond the single range or when none.
std::optional<std::string> figureText(std::optional<double> value);

// The size as a table reads it back: "φ200", "500*320"; empty when unknown.
std::string sizeLabel(const Segment& segment);

// The name a report gives a segment: its own, or "from-to" of its named
// nodes, or its row number among the segments (1 for the first).
std::string segmentLabel(const SystemResult& result, std::uint32_t segment);

// The friction-factor formulas the segments are computed with, as a report
// lists them: "1", "2" or "1, 2" ("1" for no segment).
std::string formulasInUse(const SystemResult& result);
// The same list for formulas seen otherwise.
std::string formulaList(bool one, bool two);

// By segment: whether it lies on the index run (最不利环路).
std::vector<bool> indexRunSegments(const SystemResult& result);

// The segments from `segment` away from the fan: the segment and every
// segment beyond it, in input order. Empty for a segment that is not there.
std::vector<std::uint32_t> segmentsBeyond(const SystemResult& result, std::uint32_t segment);

}  // namespace ductsys
