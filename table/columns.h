// SPDX-License-Identifier: GPL-3.0-or-later
// The grid's columns: the texts of a segment as typed, then the figures the
// system layer computes from them.
#pragma once

#include <array>
#include <string_view>

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

// Captions of the grid's header.
inline constexpr std::array<std::string_view, kColumns> kCaptions{
    "段号",     "起点",   "终点",     "风量", "单位",     "尺寸",     "长度", "局部阻力系数",
    "固定阻力", "材料",   "粗糙度",   "公式", "计算风量", "当量直径", "风速", "雷诺数",
    "λ",        "比摩阻", "摩擦阻力", "动压", "局部阻力", "管段阻力", "累计"};

// Units shown under the captions.
inline constexpr std::array<std::string_view, kColumns> kUnits{
    "",     "",  "",    "", "", "mm",   "m",  "",   "Pa", "",   "mm", "",
    "m3/h", "m", "m/s", "", "", "Pa/m", "Pa", "Pa", "Pa", "Pa", "Pa"};

// The input columns' names in the system's CSV file, as ductcalc-cli reads
// them; the file is written with these.
inline constexpr std::array<std::string_view, kInputColumns> kFileNames{
    "segment", "from", "to", "flow",     "unit", "size",
    "length",  "zeta", "dp", "material", "k",    "formula"};

}  // namespace table
