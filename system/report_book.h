// SPDX-License-Identifier: GPL-3.0-or-later
// What a 计算书 says besides the system's figures, as texts any writer can
// set: the title block, the 计算依据 and the 计算方法, the air, the friction
// formula with its source, the fan's selection and what would balance a
// junction. The workbook writes them, and a printed report can write the
// same lines in the same order.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "air_state.h"
#include "document_settings.h"
#include "model.h"
#include "recalc.h"
#include "sizing.h"

namespace ductsys {

// A segment's inputs as its row gave them, for a report that shows them.
struct SegmentInputs {
    std::string material;  // as typed; empty when the row names none
    std::string k;         // mm, as typed; empty when the row gives none
    std::string formula;   // as typed; empty when the row names none
    std::string remark;    // 备注: the row's own remark
};

// What a 计算书 says besides the system's figures.
struct ReportInfo {
    double temperature = kStandardTemperatureC;  // °C the air state stands for
    double pressure = kSeaLevelKPa;              // kPa
    std::optional<double> altitude;              // m, when the air was given by one
    calc::AirState air;                          // the air the figures were computed with
    bool airGiven = false;                       // false: the window's own air
    std::string formulas = "1";  // the friction-factor formulas the rows use: "1", "2", "1, 2"
    std::string source;          // the input's name
    std::string program;         // name and version
    std::string date;            // YYYY-MM-DD; empty for today's
    // The title block (project … date; a date given here wins over `date`)
    // and the leakage allowance as typed, in %.
    DocumentSettings document;
    double leakage = 0;         // fraction of the system's air volume added for leakage
    bool leakageGiven = false;  // false: none was given, and the report says so
    SizingMethod method = SizingMethod::none;  // how the sizes were chosen
    bool industrial = false;                   // an industrial building's velocities were used
    // What would balance each junction over the limit (none: not worked out).
    const std::vector<Remedy>* remedies = nullptr;
    // Each segment's inputs as given; none: only what the segment keeps
    // (its roughness and formula) is shown.
    std::function<SegmentInputs(std::uint32_t)> inputs;
};

// One line of the title block: its name as a file's row writes it, and
// its value (empty for a field left to be filled in by hand).
struct TitleLine {
    std::string_view name;
    std::string value;
};
// The six lines of the title block, in order: 工程名称, 子项/系统编号, 设计,
// 校对, 审核, 日期. `date` stands in for an empty 日期.
std::vector<TitleLine> titleBlock(const DocumentSettings& document, const std::string& date);
// Whether any line but the date has a value.
bool hasTitle(const DocumentSettings& document);

// Today's date, YYYY-MM-DD, in local time.
std::string todayText();

// 计算依据: the codes the velocities and limits come from.
std::string basisText(bool industrial);
// 计算方法: 校核计算, or the sizing method used.
std::string methodText(SizingMethod method);
// The friction formulas in use ("1", "2" or "1, 2"), each by name with its
// expression and source, one a line.
std::vector<std::string> formulaTexts(std::string_view formulasInUse);

// The fan's duty as a fan is chosen from it.
struct FanDuty {
    std::optional<double> systemVolume;  // m3/h: what the system's ducts carry
    std::optional<double> airVolume;     // m3/h: with the leakage allowance
    double leakage = 0;                  // fraction
    bool leakageGiven = false;
    std::optional<double> indexTotal;  // Pa
    std::optional<double> pressure;    // Pa: with the margin
    double margin = 0;                 // fraction
};
FanDuty fanDuty(const Fan& fan, double leakage, bool leakageGiven);
// "风机选型：风量 5170 m³/h（系统风量 4700 m³/h，漏风附加 10%），全压 374 Pa
// （最不利环路 339.6 Pa，附加 10%）"; the figures are rounded up to whole
// units, as a fan is chosen at or above them. Empty when a figure is missing.
std::string fanSummary(const FanDuty& duty);
// A duty figure as a fan is chosen at it: the whole unit at or above it
// (a sum a hair above a whole number is not taken to the next).
double roundedUp(double figure);

// A fraction as a percentage for a report's text: "10", "12.5".
std::string percentText(double fraction);
// A figure for a report's text, `decimals` places, independent of the
// locale.
std::string fixedText(double value, int decimals);

// What would balance one lighter branch, in words: "阀门：附加阻力 12.3 Pa，
// 局部阻力系数 ζ 1.25（以本段动压计）" and "改尺寸：400*200，剩余不平衡率 8.1%"
// (or that no smaller size does better).
std::string damperText(const Remedy& remedy);
std::string resizeText(const Remedy& remedy);

}  // namespace ductsys
