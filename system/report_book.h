// SPDX-License-Identifier: GPL-3.0-or-later
// What a writer of the 计算书 is given besides the system's figures: the
// air, the formulas, the title block and leakage, how the sizes were chosen,
// the remedies, each segment's inputs as typed. The texts it writes of them
// are formed in report_sections.h.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "calc/recalc.h"
#include "system/air_state.h"
#include "system/document_settings.h"
#include "system/model.h"
#include "system/sizing.h"

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
    // The title block (project … date; its date wins over `date`).
    DocumentSettings document;
    // The fraction of the system's air volume added for leakage; none when
    // none was given, which the report says.
    std::optional<double> leakage;
    SizingMethod method = SizingMethod::none;  // how the sizes were chosen
    bool industrial = false;                   // an industrial building's velocities were used
    // What would balance each junction over the limit (none: not worked out).
    const std::vector<Remedy>* remedies = nullptr;
    // Each segment's inputs as given; none: only what the segment keeps
    // (its roughness and formula) is shown.
    std::function<SegmentInputs(std::uint32_t)> inputs;
};

// Whether the title block has a line besides the date.
bool hasTitle(const DocumentSettings& document);

// Today's date, YYYY-MM-DD, in local time.
std::string todayText();

}  // namespace ductsys
