// SPDX-License-Identifier: GPL-3.0-or-later
// The 计算书's texts: figures with their column's decimals, the fan-selection
// line with and without a leakage allowance, the title block, and what a
// damper writes into a ζ cell.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "messages/catalogue.h"
#include "system/junction_remedies.h"
#include "system/report_sections.h"
#include "system/zeta_terms.h"

namespace {

using ductsys::FigureKey;

struct FixedCase {
    FigureKey figure;
    float value;
    const char* text;
};
class FixedFigures : public testing::TestWithParam<FixedCase> {};

TEST_P(FixedFigures, ShowTheirColumnsDecimals) {
    const FixedCase& c = GetParam();
    EXPECT_EQ(ductsys::fixedFigure(c.figure, c.value), c.text);
}

INSTANTIATE_TEST_SUITE_P(Columns, FixedFigures,
                         testing::Values(FixedCase{FigureKey::flow, 5000.0f, "5000"},
                                         FixedCase{FigureKey::velocity, 8.680555f, "8.68"},
                                         FixedCase{FigureKey::reynolds, 224935.8f, "224936"},
                                         FixedCase{FigureKey::lambda, 0.01596997f, "0.0160"},
                                         FixedCase{FigureKey::rm, 1.856349f, "1.86"},
                                         FixedCase{FigureKey::length, 5.0f, "5.0"},
                                         FixedCase{FigureKey::total, 31.96271f, "32.0"},
                                         FixedCase{FigureKey::pathTotal, 67.30085f, "67.3"},
                                         // A negative figure that rounds to nothing shows no sign.
                                         FixedCase{FigureKey::dp, -0.04f, "0.0"}));

TEST(FixedFigures, NoneIsEmptyAndNoNumberIsADash) {
    EXPECT_EQ(ductsys::fixedFigure(FigureKey::velocity, std::nullopt), "");
    EXPECT_EQ(ductsys::fixedText(std::numeric_limits<double>::quiet_NaN(), 1), "—");
    EXPECT_EQ(ductsys::fixedText(std::numeric_limits<double>::infinity(), 1), "—");
    EXPECT_EQ(ductsys::imbalanceText(0.31828), "31.8%");
}

struct FanCase {
    const char* name;
    std::optional<double> leakage;
    std::optional<double> airVolume;
    const char* line;
};
class FanSelectionLine : public testing::TestWithParam<FanCase> {};

// The hand-worked system's fan: 6000 m3/h, the index run 67.30085 Pa,
// 10 % margin: 74.03094 Pa.
TEST_P(FanSelectionLine, SaysTheAllowancesItIncludes) {
    const FanCase& c = GetParam();
    ductsys::Fan fan;
    fan.airVolume = c.airVolume;
    fan.indexTotal = 67.30085;
    fan.margin = 0.1;
    fan.pressure = 74.03094;
    EXPECT_EQ(ductsys::fanSelectionLine(ductsys::fanSelection(fan, c.leakage)), c.line);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FanSelectionLine,
    testing::Values(
        FanCase{"LeakageNotGivenIsZeroAndSaid", std::nullopt, 6000.0,
                "风机选型：风量 6000 m3/h（含漏风附加 0.0 %，未设定，按 0 计），全压 74.0 Pa"
                "（最不利环路 67.3 Pa，余量 10.0 %）"},
        // 6000 × 1.05 = 6300.
        FanCase{"LeakageRaisesTheAirVolume", 0.05, 6000.0,
                "风机选型：风量 6300 m3/h（含漏风附加 5.0 %），全压 74.0 Pa"
                "（最不利环路 67.3 Pa，余量 10.0 %）"},
        FanCase{"AnUnknownAirVolumeIsADash", 0.05, std::nullopt,
                "风机选型：风量 — m3/h（含漏风附加 5.0 %），全压 74.0 Pa"
                "（最不利环路 67.3 Pa，余量 10.0 %）"}),
    [](const testing::TestParamInfo<FanCase>& info) { return std::string(info.param.name); });

TEST(TitleBlock, KeepsItsOrderAndDatesAnEmptyDateToday) {
    ductsys::DocumentSettings s;
    s.project = " 某办公楼 ";
    s.checker = "王五";
    const auto block = ductsys::titleBlock(s, "2026-12-11");
    EXPECT_EQ(block[0].caption, "工程名称");
    EXPECT_EQ(block[0].value, "某办公楼");
    EXPECT_EQ(block[2].value, "");
    EXPECT_EQ(block[3].caption, "校对");
    EXPECT_EQ(block[3].value, "王五");
    EXPECT_EQ(block[5].value, "2026-12-11");
    s.date = "2026-01-02";
    EXPECT_EQ(ductsys::titleBlock(s, "2026-12-11")[5].value, "2026-01-02");
}

TEST(CalculationBasis, NamesTheIndustrialCodeOnlyWhereItsPresetWasUsed) {
    EXPECT_EQ(ductsys::calculationBasis(false).size(), 1u);
    ASSERT_EQ(ductsys::calculationBasis(true).size(), 2u);
    EXPECT_NE(ductsys::calculationBasis(true)[1].find("GB 50019-2015"), std::string::npos);
}

struct DamperCase {
    const char* cell;
    double zeta;
    const char* text;
    double sum;
};
class DamperTerm : public testing::TestWithParam<DamperCase> {};

TEST_P(DamperTerm, IsOneMoreTermTheCellReads) {
    const DamperCase& c = GetParam();
    const std::string text = ductsys::zetaWithDamper(c.cell, c.zeta);
    EXPECT_EQ(text, c.text);
    const ductsys::ZetaCell read = ductsys::parseZetaCell(text);
    ASSERT_TRUE(read.ok()) << msg::render(*read.error, msg::Language::english);
    if (read.hasFittings) return;
    EXPECT_NEAR(*ductsys::numberSum(read), c.sum, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(Cells, DamperTerm,
                         testing::Values(DamperCase{"0.3", 0.34445182724, "0.3+0.3445", 0.6445},
                                         DamperCase{"", 5.55351, "5.554", 5.554},
                                         DamperCase{"  0.25+0.05 ", 12.3456, "0.25+0.05+12.35",
                                                    12.65},
                                         DamperCase{"bend(90,1.5)", 0.5, "bend(90,1.5)+0.5", 0}));

}  // namespace
