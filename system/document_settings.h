// SPDX-License-Identifier: GPL-3.0-or-later
// The settings a system's file carries about itself: name,value rows above
// its header ("风机,F", "温度,40", "工程名称,某办公楼"). The grid keeps them as
// part of the document and writes them back on Save; the command line reads
// the same rows, so that a file computes alike in both. Kept as typed;
// readSettingValues reads the computation's into numbers for both, each
// front end saying what it cannot read in its own words. An option given on
// the command line wins over the file's row.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calc/ascii.h"
#include "messages/message.h"
#include "system/table_file.h"

namespace ductsys {

struct DocumentSettings {
    // The computation.
    std::string temperature;   // °C
    std::string altitude;      // m
    std::string fan;           // the fan's node
    std::string maxImbalance;  // % of the branch totals
    std::string margin;        // % on the index run's total
    std::string maxVelocity;   // m/s, the velocity marked above it
    std::string formula;       // the friction formula of rows that name none
    std::string leakage;       // % added to the fan's air volume
    // The title block of the 计算书.
    std::string project;     // 工程名称
    std::string systemName;  // 子项/系统编号
    std::string designer;    // 设计
    std::string checker;     // 校对
    std::string reviewer;    // 审核
    std::string date;        // 日期
    bool operator==(const DocumentSettings&) const = default;
};

// The settings' names as written in the rows above the header; the English
// name is read too, in any case.
struct SettingName {
    std::string DocumentSettings::*field;
    std::string_view name;     // as written
    std::string_view english;  // also read
};
inline const SettingName kSettingNames[] = {
    {&DocumentSettings::project, "工程名称", "project"},
    {&DocumentSettings::systemName, "子项/系统编号", "system-name"},
    {&DocumentSettings::designer, "设计", "designer"},
    {&DocumentSettings::checker, "校对", "checker"},
    {&DocumentSettings::reviewer, "审核", "reviewer"},
    {&DocumentSettings::date, "日期", "date"},
    {&DocumentSettings::temperature, "温度", "temperature"},
    {&DocumentSettings::altitude, "海拔", "altitude"},
    {&DocumentSettings::fan, "风机", "fan"},
    {&DocumentSettings::maxImbalance, "不平衡率限值", "max-imbalance"},
    {&DocumentSettings::margin, "风机压力余量", "margin"},
    {&DocumentSettings::leakage, "漏风附加", "leakage"},
    {&DocumentSettings::maxVelocity, "最大风速", "max-velocity"},
    {&DocumentSettings::formula, "空白公式", "formula"},
};

// The setting a row above the header names, or null when it names none.
inline const SettingName* settingNamed(std::string_view name) {
    for (const SettingName& n : kSettingNames)
        if (name == n.name || calc::equalsIgnoringAsciiCase(name, n.english)) return &n;
    return nullptr;
}

// The settings of the rows above a file's header (TableHeader::settings);
// rows that name no setting are left out. With `lines`, the line of each
// setting read, by its name's place in kSettingNames (0 when none).
DocumentSettings settingsOfRows(const std::vector<SettingRow>& rows,
                                std::vector<long>* lines = nullptr);

// The computation's settings as numbers: none where the text is empty or
// cannot be read.
struct SettingValues {
    std::string fan;                     // trimmed; empty when none
    std::optional<double> temperature;   // °C
    std::optional<double> altitude;      // m
    std::optional<double> maxImbalance;  // a fraction: 15 % is 0.15
    std::optional<double> margin;        // a fraction of the index run's total
    std::optional<double> maxVelocity;   // m/s
    std::optional<int> formula;          // 1 or 2
    std::optional<double> leakage;       // a fraction of the fan's air volume
};

// A setting whose text could not be read: which one, its text, and what it
// should be (settingWantsPercentage: "a percentage from 0 to 100").
struct SettingProblem {
    const SettingName* setting;
    std::string text;
    msg::Message expected;
};

struct SettingsReading {
    SettingValues values;
    std::vector<SettingProblem> problems;  // one for each setting not read
};

// Reads the computation's settings of `settings`: each must read whole as
// one number of its range (a percentage from 0 to 100 for the imbalance,
// a formula 1 or 2, …); the title block is text and is not read here.
SettingsReading readSettingValues(const DocumentSettings& settings);

}  // namespace ductsys
