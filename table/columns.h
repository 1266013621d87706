// SPDX-License-Identifier: GPL-3.0-or-later
// The grid's columns: the texts of a segment as typed, then the figures the
// system layer computes from them.
#pragma once

#include <array>
#include <string_view>

#include "system/fields.h"

namespace table {

enum Column : int {
    cSegment,
    cFrom,
    cTo,
    cFlow,
    cUnit,
    cSize,
    cLength,
    cZeta,
    cDp,
    cMaterial,
    cK,
    cFormula,
    kInputColumns,
    cFlowInUse = kInputColumns,  // the air volume computed with, m3/h (a sum where 风量 is empty)
    cEqDiameter,
    cVelocity,
    cReynolds,
    cLambda,
    cRm,
    cFriction,
    cVelocityPressure,
    cLocal,
    cTotal,
    cPathTotal,
    kColumns
};

constexpr bool isInput(int column) { return column >= 0 && column < kInputColumns; }

// The figure each result column shows.
inline constexpr std::array<ductsys::FigureKey, kColumns - kInputColumns> kColumnFigures{
    ductsys::FigureKey::flow,         ductsys::FigureKey::eqDiameter,
    ductsys::FigureKey::velocity,     ductsys::FigureKey::reynolds,
    ductsys::FigureKey::lambda,       ductsys::FigureKey::rm,
    ductsys::FigureKey::frictionLoss, ductsys::FigureKey::velocityPressure,
    ductsys::FigureKey::localLoss,    ductsys::FigureKey::total,
    ductsys::FigureKey::pathTotal};
// The grid has a column for each input but the role, which sizing reads from
// a file and which follows from the tree otherwise.
static_assert(ductsys::kInputKeyCount == kInputColumns + 1);

// A name of each column from the one table of columns and figures: `input`
// of the input columns, `figure` of the result columns.
constexpr std::array<std::string_view, kColumns> columnNames(
    std::string_view ductsys::InputField::*input, std::string_view ductsys::FigureField::*figure) {
    std::array<std::string_view, kColumns> names{};
    for (int c = 0; c < kInputColumns; ++c) names[c] = ductsys::kInputFields[c].*input;
    for (int c = kInputColumns; c < kColumns; ++c)
        names[c] = ductsys::figureField(kColumnFigures[c - kInputColumns]).*figure;
    return names;
}

// Captions of the grid's header.
inline constexpr std::array<std::string_view, kColumns> kCaptions =
    columnNames(&ductsys::InputField::caption, &ductsys::FigureField::gridCaption);

// Units shown under the captions.
inline constexpr std::array<std::string_view, kColumns> kUnits =
    columnNames(&ductsys::InputField::unit, &ductsys::FigureField::unit);

// The input columns' names in the system's CSV file, as ductcalc-cli reads
// them; the file is written with these.
inline constexpr std::array<std::string_view, kInputColumns> kFileNames = [] {
    std::array<std::string_view, kInputColumns> names{};
    for (int c = 0; c < kInputColumns; ++c) names[c] = ductsys::kInputFields[c].key;
    return names;
}();

}  // namespace table
