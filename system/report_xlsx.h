// SPDX-License-Identifier: GPL-3.0-or-later
// The 计算书 of a computed system as a workbook (xlsx), for the command line
// and the table window alike. Three sheets: 水力计算表 (one row per segment,
// the index run highlighted), 环路 (the paths and the junctions, those over
// the limit highlighted) and 说明 (the air, the formulas, the fan, the date
// and the program). Every figure is a number cell whose format shows the
// digits the window shows.
#pragma once

#include <string>

#include "air_state.h"
#include "messages/catalogue.h"
#include "model.h"
#include "recalc.h"

namespace ductsys {

// What the workbook says besides the system's figures.
struct ReportInfo {
    double temperature = kStandardTemperatureC;  // °C the air state stands for
    double pressure = kSeaLevelKPa;              // kPa
    calc::AirState air;                          // the air the figures were computed with
    bool airGiven = false;                       // false: the window's own air
    std::string formulas = "1";  // the friction-factor formulas the rows use: "1", "2", "1, 2"
    std::string source;          // the input's name
    std::string program;         // name and version
    std::string date;            // YYYY-MM-DD; empty for today's
    // The words of the segments' and the fan's remarks: the command line's
    // language, or Chinese for the windows.
    msg::Language language = msg::Language::english;
};

// Writes the workbook of `result` to `path`. Returns an empty text on
// success, or what went wrong; then nothing is left at `path` (the
// workbook is written beside it under another name and moved in place
// whole).
std::string writeXlsxReport(const SystemResult& result, const ReportInfo& info,
                            const std::string& path);

}  // namespace ductsys
