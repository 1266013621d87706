// SPDX-License-Identifier: GPL-3.0-or-later
// The texts a 计算书 is made of, whatever prints it: the title block, the
// 计算依据 and 计算方法, the friction formula by name, the fan-selection
// line, and each figure with its column's fixed decimals. Formed here once,
// so that the printed report and the workbook say the same.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "system/document_settings.h"
#include "system/fields.h"
#include "system/model.h"
#include "system/sizing.h"

namespace ductsys {

// One line of the title block: its caption and the value as typed (empty:
// left blank, to be filled in by hand).
struct TitleLine {
    std::string_view caption;
    std::string value;
};
// 工程名称, 子项/系统编号, 设计, 校对, 审核, 日期, in that order. An empty
// date is `today`'s (YYYY-MM-DD).
std::array<TitleLine, 6> titleBlock(const DocumentSettings& settings, std::string_view today);

// The codes a calculation rests on: the civil code always, the industrial
// one where an industrial preset's velocities were used.
struct DesignCode {
    std::string_view code;   // "GB 50736-2012"
    std::string_view title;  // its full Chinese title
    bool industrial;
};
inline constexpr std::array<DesignCode, 2> kDesignCodes{{
    {"GB 50736-2012", "民用建筑供暖通风与空气调节设计规范", false},
    {"GB 50019-2015", "工业建筑供暖通风与空气调节设计规范", true},
}};
// The 计算依据's lines: "《民用建筑供暖通风与空气调节设计规范》GB 50736-2012".
std::vector<std::string> calculationBasis(bool industrialPreset);

// The 计算方法 in one line: 校核计算 for sizes as given, 假定流速法 or
// 等摩阻法 for a system sized by the program.
std::string calculationMethod(SizingMethod method);

// A friction-factor formula by name, with its equation and source: 1 or 2.
std::string frictionFormulaName(int formula);
// The formulas a list names ("1", "2", "1, 2"; formulasInUse), one a line.
std::vector<std::string> frictionFormulaNames(std::string_view inUse);

// The fan's duty as a fan is chosen from it: the air volume with the
// leakage allowance and the pressure with its margin.
struct FanSelection {
    std::optional<double> airVolume;  // m3/h, with the leakage allowance
    std::optional<double> pressure;   // Pa, with the margin
    std::optional<double> indexTotal;
    double leakage = 0;  // fraction added to the air volume
    bool leakageGiven = false;
    double margin = 0;  // fraction added to the index run's total
};
// `leakage` as a fraction (0.05 for 5 %); none when the document gives none.
FanSelection fanSelection(const Fan& fan, std::optional<double> leakage);
// "风机选型：风量 6300 m3/h（含漏风附加 5.0 %），全压 74.0 Pa（最不利环路 67.3 Pa，
// 余量 10.0 %）"; "—" for a figure that is not known.
std::string fanSelectionLine(const FanSelection& selection);

// The decimals a 计算书 shows a figure with: air volume 0, v 0.00, Re 0,
// λ 0.0000, Rm 0.00, lengths 0.0, Pa 0.0. The value stays exact; only the
// text is rounded.
int reportDecimals(FigureKey figure);
// x with `decimals` places, independent of the locale, never "-0.0".
std::string fixedText(double x, int decimals);
// A figure with its column's decimals; empty when there is none.
std::string fixedFigure(FigureKey figure, std::optional<float> value);
// An imbalance (a fraction) as a percentage with one decimal: "31.8%".
std::string imbalanceText(double fraction);

}  // namespace ductsys
