// SPDX-License-Identifier: GPL-3.0-or-later
// The settings a system's file carries about itself: name,value rows above
// its header ("风机,F", "温度,40", "工程名称,某办公楼"). The grid keeps them as
// part of the document and writes them back on Save; the command line reads
// the same rows, so that a file computes alike in both. Kept as typed: each
// front end reads the numbers with its own messages, and an option given on
// the command line wins over the file's row.
#pragma once

#include <string>
#include <string_view>

#include "calc/ascii.h"

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

}  // namespace ductsys
