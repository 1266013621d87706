// SPDX-License-Identifier: GPL-3.0-or-later
// A document's settings read into numbers, the same for the grid and the
// command line, and the materials a row may name beyond the calculator's.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "calc/tables.h"
#include "messages/catalogue.h"
#include "system/document_settings.h"
#include "system/materials.h"
#include "system/system.h"

namespace {

using ductsys::DocumentSettings;

// --- settings -------------------------------------------------------------

struct SettingCase {
    const char* name;
    std::string DocumentSettings::*field;
    const char* text;
    std::optional<double> value;  // the value read, none when refused
    bool refused;
};
void PrintTo(const SettingCase& c, std::ostream* os) { *os << c.name; }

std::optional<double> valueOf(const ductsys::SettingValues& v, std::string DocumentSettings::*f) {
    if (f == &DocumentSettings::temperature) return v.temperature;
    if (f == &DocumentSettings::altitude) return v.altitude;
    if (f == &DocumentSettings::maxImbalance) return v.maxImbalance;
    if (f == &DocumentSettings::margin) return v.margin;
    if (f == &DocumentSettings::maxVelocity) return v.maxVelocity;
    if (f == &DocumentSettings::leakage) return v.leakage;
    if (f == &DocumentSettings::formula && v.formula) return *v.formula;
    return std::nullopt;
}

class SettingText : public testing::TestWithParam<SettingCase> {};
TEST_P(SettingText, ReadsAsANumberOfItsRangeOrIsNamed) {
    const SettingCase& c = GetParam();
    DocumentSettings s;
    s.*(c.field) = c.text;
    const ductsys::SettingsReading r = ductsys::readSettingValues(s);
    const std::optional<double> got = valueOf(r.values, c.field);
    ASSERT_EQ(got.has_value(), c.value.has_value());
    if (got) {
        EXPECT_DOUBLE_EQ(*got, *c.value);
    }
    ASSERT_EQ(r.problems.size(), c.refused ? 1u : 0u);
    if (c.refused) {
        EXPECT_EQ(r.problems[0].setting->field, c.field);
        EXPECT_EQ(r.problems[0].text, std::string(ductsys::trimmedCell(c.text)));
        // What it should be, worded whole: every placeholder filled.
        const std::string expected = msg::render(r.problems[0].expected, msg::Language::english);
        EXPECT_FALSE(expected.empty());
        EXPECT_EQ(expected.find('{'), std::string::npos) << expected;
    }
}
INSTANTIATE_TEST_SUITE_P(
    Settings, SettingText,
    testing::Values(
        SettingCase{"a_temperature_in_degrees", &DocumentSettings::temperature, " 40 ", 40, false},
        SettingCase{"absolute_zero_is_the_lowest_read", &DocumentSettings::temperature, "-273.15",
                    -273.15, false},
        SettingCase{"below_absolute_zero_refused", &DocumentSettings::temperature, "-300",
                    std::nullopt, true},
        SettingCase{"a_temperature_not_read_whole_refused", &DocumentSettings::temperature, "40度",
                    std::nullopt, true},
        SettingCase{"an_altitude_below_the_sea", &DocumentSettings::altitude, "-50", -50, false},
        SettingCase{"the_imbalance_a_percentage", &DocumentSettings::maxImbalance, "15", 0.15,
                    false},
        SettingCase{"the_imbalance_at_100", &DocumentSettings::maxImbalance, "100", 1, false},
        SettingCase{"a_percentage_with_its_sign", &DocumentSettings::maxImbalance, "15.0%", 0.15,
                    false},
        SettingCase{"a_percentage_with_a_full_width_sign", &DocumentSettings::margin, "10 ％", 0.1,
                    false},
        SettingCase{"a_sign_alone_refused", &DocumentSettings::margin, "%", std::nullopt, true},
        SettingCase{"a_temperature_takes_no_percent_sign", &DocumentSettings::temperature, "40%",
                    std::nullopt, true},
        SettingCase{"the_imbalance_above_100_refused", &DocumentSettings::maxImbalance, "101",
                    std::nullopt, true},
        SettingCase{"a_negative_margin_refused", &DocumentSettings::margin, "-5", std::nullopt,
                    true},
        SettingCase{"the_margin_a_percentage", &DocumentSettings::margin, "12.5", 0.125, false},
        SettingCase{"the_largest_velocity_in_m_per_s", &DocumentSettings::maxVelocity, "8", 8,
                    false},
        SettingCase{"leakage_a_percentage", &DocumentSettings::leakage, "5", 0.05, false},
        SettingCase{"formula_two", &DocumentSettings::formula, "2", 2, false},
        SettingCase{"formula_one", &DocumentSettings::formula, " 1", 1, false},
        SettingCase{"formula_three_refused", &DocumentSettings::formula, "3", std::nullopt, true},
        SettingCase{"an_empty_setting_is_none", &DocumentSettings::margin, "  ", std::nullopt,
                    false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Settings, RowsAboveTheHeaderKeepTheirLinesAndLeaveOtherRowsOut) {
    const std::vector<ductsys::SettingRow> rows = {
        {"工程名称", "某办公楼", 1}, {"风机", "F", 2}, {"Temperature", "40", 3}, {"图号", "1", 4}};
    std::vector<long> lines;
    const DocumentSettings s = ductsys::settingsOfRows(rows, &lines);
    EXPECT_EQ(s.project, "某办公楼");
    EXPECT_EQ(s.fan, "F");
    EXPECT_EQ(s.temperature, "40");
    auto lineOf = [&](std::string DocumentSettings::*f) {
        for (std::size_t i = 0; i < std::size(ductsys::kSettingNames); ++i)
            if (ductsys::kSettingNames[i].field == f) return lines[i];
        return -1L;
    };
    EXPECT_EQ(lineOf(&DocumentSettings::fan), 2);
    EXPECT_EQ(lineOf(&DocumentSettings::temperature), 3);
    EXPECT_EQ(lineOf(&DocumentSettings::margin), 0);
}

// --- materials ------------------------------------------------------------

struct MaterialCase {
    const char* name;
    const char* text;
    std::optional<float> k;  // mm
};
void PrintTo(const MaterialCase& c, std::ostream* os) { *os << c.name; }
class MaterialName : public testing::TestWithParam<MaterialCase> {};
TEST_P(MaterialName, GivesItsRoughness) {
    EXPECT_EQ(ductsys::roughnessOfMaterial(GetParam().text), GetParam().k);
}
INSTANTIATE_TEST_SUITE_P(
    Materials, MaterialName,
    testing::Values(MaterialCase{"galvanised_steel_in_chinese", "镀锌钢板", 0.15f},
                    MaterialCase{"galvanised_steel_in_english_any_case", "Galvanised-Steel", 0.15f},
                    MaterialCase{"blanks_and_full_width_forms", " 镀锌 钢板　", 0.15f},
                    MaterialCase{"full_width_english", "ＰＶＣ", 0.03f},
                    MaterialCase{"the_calculators_own_first", "薄钢板", 0.16f},
                    MaterialCase{"the_calculators_english_name", "THIN-STEEL", 0.16f},
                    MaterialCase{"glass_fibre_reinforced_plastic", "玻璃钢", 0.09f},
                    MaterialCase{"phenolic_panel", "酚醛复合风管", 0.2f},
                    MaterialCase{"flexible_duct", "柔性风管", 0.9f},
                    MaterialCase{"an_unknown_name", "镀锌板材", std::nullopt},
                    MaterialCase{"an_empty_name", "", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Materials, EveryRowHasItsNamesARoughnessAndASourceAndNoNameIsTwice) {
    std::vector<std::string> keys;
    for (const calc::Material& m : calc::materials)
        keys.insert(keys.end(), {ductsys::nameKey(m.caption), ductsys::nameKey(m.name)});
    for (const ductsys::DuctMaterial& m : ductsys::kDuctMaterials) {
        SCOPED_TRACE(std::string(m.name));
        EXPECT_FALSE(m.chinese.empty());
        EXPECT_FALSE(m.source.empty());
        const std::optional<float> k = ductsys::roughnessOfMaterial(m.name);
        ASSERT_TRUE(k);
        EXPECT_GE(*k, calc::kMinCustomK);
        EXPECT_LE(*k, calc::kMaxCustomK);
        keys.insert(keys.end(), {ductsys::nameKey(m.chinese), ductsys::nameKey(m.name)});
    }
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(std::adjacent_find(keys.begin(), keys.end()), keys.end());
}

TEST(Materials, ASystemRowComputesWithTheMaterialsRoughness) {
    // A row naming 镀锌钢板 computes as one giving k 0.15.
    const ductsys::SegmentTexts named{
        .segment = "1-2", .flow = "1000", .size = "200", .length = "10", .material = "镀锌钢板"};
    ductsys::SegmentTexts given = named;
    given.material = {};
    given.k = "0.15";
    const ductsys::SystemResult a = ductsys::computeSystem(std::vector{named});
    const ductsys::SystemResult b = ductsys::computeSystem(std::vector{given});
    ASSERT_TRUE(a.segments[0].ok())
        << msg::renderList(a.segments[0].reason, msg::Language::english);
    EXPECT_EQ(a.segments[0].rm, b.segments[0].rm);
    EXPECT_EQ(a.segments[0].roughness, 0.15f);
}

}  // namespace
