// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/document_settings.h"

#include <cmath>

#include "system/readers.h"

namespace ductsys {

namespace {

// How a setting is read: a number of its range, in the unit its row is
// written in, times `scale` for the value used (a percentage to a fraction).
struct NumberSetting {
    std::string DocumentSettings::*field;
    // Stores the value read. A function, not a member pointer: GCC 12 took
    // a write through one for a write into the struct's string.
    void (*store)(SettingValues&, double);
    double low, high;  // as written, both included
    double scale;
    msg::Code expected;     // what the text should be
    std::string_view what;  // the unit or the largest percentage it names
};
constexpr double kAny = 1e300;
// The imbalance and margin reach as far as the command line's options do.
const NumberSetting kNumberSettings[] = {
    {&DocumentSettings::temperature, [](SettingValues& v, double x) { v.temperature = x; }, -273.15,
     kAny, 1, msg::Code::settingWantsTemperature, "°C"},
    {&DocumentSettings::altitude, [](SettingValues& v, double x) { v.altitude = x; }, -kAny, kAny,
     1, msg::Code::settingWantsAltitude, "m"},
    {&DocumentSettings::maxImbalance, [](SettingValues& v, double x) { v.maxImbalance = x; }, 0,
     100, 0.01, msg::Code::settingWantsPercentage, "100"},
    {&DocumentSettings::margin, [](SettingValues& v, double x) { v.margin = x; }, 0, 1000, 0.01,
     msg::Code::settingWantsPercentage, "1000"},
    {&DocumentSettings::maxVelocity, [](SettingValues& v, double x) { v.maxVelocity = x; }, 0, kAny,
     1, msg::Code::settingWantsVelocity, "m/s"},
    {&DocumentSettings::leakage, [](SettingValues& v, double x) { v.leakage = x; }, 0, 100, 0.01,
     msg::Code::settingWantsPercentage, "100"},
};

const SettingName* nameOf(std::string DocumentSettings::*field) {
    for (const SettingName& n : kSettingNames)
        if (n.field == field) return &n;
    return nullptr;
}

}  // namespace

DocumentSettings settingsOfRows(const std::vector<SettingRow>& rows, std::vector<long>* lines) {
    DocumentSettings settings;
    if (lines) lines->assign(std::size(kSettingNames), 0);
    for (const SettingRow& row : rows) {
        const SettingName* n = settingNamed(row.name);
        if (!n) continue;
        settings.*(n->field) = row.value;
        if (lines) (*lines)[static_cast<std::size_t>(n - kSettingNames)] = row.line;
    }
    return settings;
}

SettingsReading readSettingValues(const DocumentSettings& settings) {
    SettingsReading r;
    r.values.fan = std::string(trimmed(settings.fan));
    for (const NumberSetting& s : kNumberSettings) {
        const std::string_view text = trimmed(settings.*(s.field));
        if (text.empty()) continue;
        // A percentage may carry its sign, as a 计算书's heading writes it
        // ("15.0%").
        std::string_view number = text;
        if (s.scale == 0.01 && (number.ends_with('%') || number.ends_with("％")))
            number = trimmed(
                number.substr(0, number.ends_with('%') ? number.size() - 1 : number.size() - 3));
        const NumberRead read = readCellNumber(number);
        if (!number.empty() && read.value && std::isfinite(*read.value) && *read.value >= s.low &&
            *read.value <= s.high)
            s.store(r.values, *read.value * s.scale);
        else
            r.problems.push_back({nameOf(s.field), std::string(text), {s.expected, {s.what}}});
    }
    if (const std::string_view f = trimmed(settings.formula); !f.empty()) {
        if (f == "1" || f == "2")
            r.values.formula = f == "2" ? 2 : 1;
        else
            r.problems.push_back({nameOf(&DocumentSettings::formula),
                                  std::string(f),
                                  {msg::Code::settingWantsFormula, {}}});
    }
    return r;
}

}  // namespace ductsys
