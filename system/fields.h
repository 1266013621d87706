// SPDX-License-Identifier: GPL-3.0-or-later
// The one table of a segment's columns: each input column a designer fills
// in and each figure the system computes, with every name it goes by. Every
// output takes its names from here: the command line's text, CSV and JSON,
// the 计算书 workbook, the grid's header, the printed report, the help.
//
// To add a figure: a row in kFigureFields (and its place in FigureKey), and
// its value where the segment's figures are formed; each output then lists
// the figures it shows by key.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace ductsys {

// An input column: what the designer types for a segment.
enum class InputKey {
    segment,
    from,
    to,
    flow,
    unit,
    size,
    length,
    zeta,
    dp,
    material,
    k,
    formula,
    role
};
inline constexpr std::size_t kInputKeyCount = 13;

struct InputField {
    InputKey input;
    std::string_view key;      // English name: a file's header, JSON, the help
    std::string_view caption;  // Chinese name: a file's header, the grid's header
    std::string_view unit;     // shown under the grid's caption; empty for none
};
inline constexpr std::array<InputField, kInputKeyCount> kInputFields{{
    {InputKey::segment, "segment", "段号", ""},
    {InputKey::from, "from", "起点", ""},
    {InputKey::to, "to", "终点", ""},
    {InputKey::flow, "flow", "风量", ""},
    {InputKey::unit, "unit", "单位", ""},
    {InputKey::size, "size", "尺寸", "mm"},
    {InputKey::length, "length", "长度", "m"},
    {InputKey::zeta, "zeta", "局部阻力系数", ""},
    {InputKey::dp, "dp", "固定阻力", "Pa"},
    {InputKey::material, "material", "材料", ""},
    {InputKey::k, "k", "粗糙度", "mm"},
    {InputKey::formula, "formula", "公式", ""},
    {InputKey::role, "role", "角色", ""},
}};

constexpr const InputField& inputField(InputKey key) {
    return kInputFields[static_cast<std::size_t>(key)];
}

// A figure of a segment, as the outputs name it.
enum class FigureKey {
    flow,              // the air volume in use, m3/h
    eqDiameter,        // m
    velocity,          // m/s
    reynolds,          //
    lambda,            // friction factor
    rm,                // specific friction loss, Pa/m
    length,            // m
    frictionLoss,      // Rm·l, Pa
    velocityPressure,  // Pd, Pa
    zeta,              // Σζ
    localLoss,         // Z, Pa
    dp,                // fixed loss, Pa
    total,             // the segment's loss, Pa
    pathTotal,         // from the fan to the segment's far end, Pa
    runningTotal,      // a run in file order: the sum so far, Pa
    k,                 // the roughness in use, mm
    formula,           // the friction-factor formula in use: 1 or 2
};
inline constexpr std::size_t kFigureKeyCount = 17;

struct FigureField {
    FigureKey figure;
    std::string_view key;               // CSV and JSON
    std::string_view caption;           // Chinese, as the workbook heads it
    std::string_view gridCaption;       // over the grid's column
    std::string_view symbol;            // the workbook's symbol; empty for none
    std::string_view unit;              // the grid's unit, in plain characters; empty for none
    std::string_view textCaption;       // the command line's text header: symbol and plain unit
    std::string_view typesetUnit = {};  // the workbook's unit where it differs: "m³/h"

    std::string_view workbookUnit() const { return typesetUnit.empty() ? unit : typesetUnit; }
};
inline constexpr std::array<FigureField, kFigureKeyCount> kFigureFields{{
    {FigureKey::flow, "flow", "风量", "计算风量", "L", "m3/h", "m3/h", "m³/h"},
    {FigureKey::eqDiameter, "equivalent_diameter", "当量直径", "当量直径", "De", "m", "De m"},
    {FigureKey::velocity, "velocity", "风速", "风速", "v", "m/s", "v m/s"},
    {FigureKey::reynolds, "reynolds", "雷诺数", "雷诺数", "Re", "", "Re"},
    {FigureKey::lambda, "lambda", "摩擦系数", "λ", "λ", "", "λ"},
    {FigureKey::rm, "rm", "比摩阻", "比摩阻", "Rm", "Pa/m", "Rm Pa/m"},
    {FigureKey::length, "length", "长度", "长度", "l", "m", "l m"},
    {FigureKey::frictionLoss, "friction_loss", "摩擦阻力", "摩擦阻力", "Rm·l", "Pa", "Rm·l Pa"},
    {FigureKey::velocityPressure, "velocity_pressure", "动压", "动压", "Pd", "Pa", "Pd Pa"},
    {FigureKey::zeta, "zeta", "局部阻力系数", "局部阻力系数", "Σζ", "", "Σζ"},
    {FigureKey::localLoss, "local_loss", "局部阻力", "局部阻力", "Z", "Pa", "Z Pa"},
    {FigureKey::dp, "dp", "固定阻力", "固定阻力", "Δp", "Pa", "dp Pa"},
    {FigureKey::total, "total", "管段阻力", "管段阻力", "", "Pa", "segment Pa"},
    {FigureKey::pathTotal, "path_total", "累计阻力", "累计", "", "Pa", "path Pa"},
    {FigureKey::runningTotal, "running_total", "累计阻力", "累计", "", "Pa", "Σ Pa"},
    {FigureKey::k, "k", "粗糙度", "粗糙度", "K", "mm", "K mm"},
    {FigureKey::formula, "formula", "公式", "公式", "", "", "formula"},
}};

constexpr const FigureField& figureField(FigureKey key) {
    return kFigureFields[static_cast<std::size_t>(key)];
}

// The rows are in the order of their keys, so that a key finds its row.
static_assert([] {
    for (std::size_t i = 0; i < kInputFields.size(); ++i)
        if (static_cast<std::size_t>(kInputFields[i].input) != i) return false;
    for (std::size_t i = 0; i < kFigureFields.size(); ++i)
        if (static_cast<std::size_t>(kFigureFields[i].figure) != i) return false;
    return true;
}());

// A column the outputs write beside the figures, read back by nobody: a
// mark of the segment or the designer's words.
struct MarkField {
    std::string_view key;      // CSV and JSON
    std::string_view caption;  // Chinese: the workbook's and Chinese CSV's heading
};
inline constexpr MarkField kIndexRunMark{"on_index_run", "最不利环路"};
inline constexpr MarkField kSizedMark{"sized", "已选尺寸"};
inline constexpr MarkField kRemarkMark{"remark", "备注"};

// A column's Chinese heading: its caption, its symbol and its unit in
// brackets, "风速 v (m/s)". The workbook and CSV written with Chinese
// headers name their columns so, and a file's header reads them back.
inline std::string chineseHeading(std::string_view caption, std::string_view symbol,
                                  std::string_view unit) {
    std::string text(caption);
    if (!symbol.empty()) text.append(" ").append(symbol);
    if (!unit.empty()) text.append(" (").append(unit).append(")");
    return text;
}
inline std::string chineseHeading(const FigureField& f) {
    return chineseHeading(f.caption, f.symbol, f.workbookUnit());
}
inline std::string chineseHeading(const InputField& f) {
    return chineseHeading(f.caption, {}, f.unit);
}

// A field of each figure of `keys`, in their order: the names of one
// output's columns, formed at compile time.
template <std::size_t N>
constexpr std::array<std::string_view, N> figureNames(const std::array<FigureKey, N>& keys,
                                                      std::string_view FigureField::*name) {
    std::array<std::string_view, N> names{};
    for (std::size_t i = 0; i < N; ++i) names[i] = figureField(keys[i]).*name;
    return names;
}

}  // namespace ductsys
