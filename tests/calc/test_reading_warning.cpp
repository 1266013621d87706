// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/reading_warning.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string_view>

#include "messages/catalogue.h"
#include "tests/calc/fake_view.h"

namespace {

// The windows show a warning in Chinese, one point a line.
std::string shown(const msg::Messages& warning) {
    return msg::renderLines(warning, msg::Language::chinese);
}

struct Warning {
    const char* name;
    const char* text;
    calc::Quantity quantity;
    const char* warning;  // empty: no mark
};
void PrintTo(const Warning& c, std::ostream* os) { *os << c.name; }
struct ReadingWarning : testing::TestWithParam<Warning> {};
TEST_P(ReadingWarning, InChineseWithTheNumbersUsed) {
    EXPECT_EQ(shown(calc::readingWarning(GetParam().text, GetParam().quantity)),
              GetParam().warning);
}
INSTANTIATE_TEST_SUITE_P(
    Texts, ReadingWarning,
    testing::Values(
        Warning{"WholeNumber", "1000", calc::Quantity::AirVolume, ""},
        Warning{"EmptyBox", "", calc::Quantity::AirVolume, ""},
        Warning{"GroupedWithBlanks", "1 000", calc::Quantity::AirVolume, ""},
        Warning{"FullWidthDigits", "１０００", calc::Quantity::AirVolume, ""},
        Warning{"ThousandsComma", "1,000", calc::Quantity::AirVolume, "只读取了 1，忽略了“,000”"},
        Warning{"TrailingLetters", "12abc", calc::Quantity::Size, "只读取了 12，忽略了“abc”"},
        Warning{"NoNumber", "abc", calc::Quantity::AirVolume, "未读到数字，按 0 计算；忽略了“abc”"},
        Warning{"LoneMinus", "-", calc::Quantity::Size, "未读到数字，按 0 计算；忽略了“-”"},
        Warning{"NegativeAirVolume", "-100", calc::Quantity::AirVolume, "风量为负数：-100"},
        Warning{"NegativeSize", "-200", calc::Quantity::Size, "风管尺寸为负数：-200"},
        Warning{"NegativeZeroIsNotNegative", "-0", calc::Quantity::Size, ""},
        Warning{"NegativeRoughnessIsHeldByItsLimits", "-3", calc::Quantity::Roughness,
                "粗糙度限于 0.01 至 10 mm，按 0.01 计算"},
        Warning{"RoughnessAboveItsLimit", "25", calc::Quantity::Roughness,
                "粗糙度限于 0.01 至 10 mm，按 10 计算"},
        Warning{"RoughnessWithACommaIsShortAndHeld", "0,5", calc::Quantity::Roughness,
                "只读取了 0，忽略了“,5”\n粗糙度限于 0.01 至 10 mm，按 0.01 计算"},
        Warning{"RoughnessWithAnIdeographicStop", "0。5", calc::Quantity::Roughness, ""},
        Warning{"SizeBelowTenMillimetresIsLikelyMetres", "0.5", calc::Quantity::Size,
                "尺寸以 mm 计；0.5 mm 是否应为 500 mm？"},
        Warning{"FullWidthSmallSize", "０．３２", calc::Quantity::Size,
                "尺寸以 mm 计；0.32 mm 是否应为 320 mm？"},
        Warning{"SizeOfTenMillimetresIsTaken", "10", calc::Quantity::Size, ""},
        Warning{"ZeroSizeIsLeftToThePrompt", "0", calc::Quantity::Size, ""},
        Warning{"SmallAirVolumeIsFine", "0.5", calc::Quantity::AirVolume, ""},
        Warning{"AirVolumeBeyondTheSingleRange", "1e40", calc::Quantity::AirVolume,
                "数值 1e40 超出可计算的范围"},
        Warning{"SizeBeyondTheSingleRange", "-1e40", calc::Quantity::Size,
                "数值 -1e40 超出可计算的范围"},
        Warning{"LargestSingleStillFits", "3.4e38", calc::Quantity::Size, ""},
        Warning{"NegativeAndShort", "-12abc", calc::Quantity::Size,
                "只读取了 -12，忽略了“abc”\n风管尺寸为负数：-12"},
        Warning{"BeyondTheDoubleRange", "1e400", calc::Quantity::AirVolume,
                "数值 1e400 超出可计算的范围"},
        Warning{"RoughnessWithUnit", "5mm", calc::Quantity::Roughness, "只读取了 5，忽略了“mm”"}),
    [](const testing::TestParamInfo<Warning>& info) { return info.param.name; });

// The air volume counts in m3/h: a number that fits on its own may not once
// its unit's factor is applied.
TEST(ReadingWarning, AirVolumeIsJudgedInItsUnit) {
    EXPECT_EQ(shown(calc::readingWarning("1e37", calc::Quantity::AirVolume, 1)), "");
    EXPECT_EQ(shown(calc::readingWarning("1e37", calc::Quantity::AirVolume, 3600)),
              "数值 1e37 超出可计算的范围");
}

// Which results carry which input's warning: every result computed from the
// marked input, and no other.
struct Marks {
    const char* name;
    const char* air;
    bool typedSizes;
    bool rectangular;
    const char* sizeA;   // Text2 for a circle, Text3 for a rectangle
    const char* sizeB;   // Text4
    const char* custom;  // nullptr: a material of the table is chosen
    // The expected mark of each label in Result order (Label6, Label7,
    // Label17, Label10, Label13, Label15, Label11); nullptr: none.
    const char* marks[calc::kResultCount];
};
void PrintTo(const Marks& c, std::ostream* os) { *os << c.name; }
struct ResultWarnings : testing::TestWithParam<Marks> {};
TEST_P(ResultWarnings, FollowTheDependencies) {
    FakeView view;
    view.texts[calc::Input::Text1] = GetParam().air;
    view.check = GetParam().typedSizes ? 1 : 0;
    view.option1 = !GetParam().rectangular;
    view.option2 = GetParam().rectangular;
    if (GetParam().rectangular) {
        view.texts[calc::Input::Text3] = GetParam().sizeA;
        view.texts[calc::Input::Text4] = GetParam().sizeB;
    } else {
        view.texts[calc::Input::Text2] = GetParam().sizeA;
    }
    const auto custom =
        GetParam().custom ? std::optional<std::string_view>(GetParam().custom) : std::nullopt;
    const calc::ResultWarnings got = calc::resultWarnings(view, 1, custom);
    for (int r = 0; r < calc::kResultCount; ++r) {
        const char* want = GetParam().marks[r];
        EXPECT_EQ(shown(got[static_cast<std::size_t>(r)]), want ? want : "") << "label " << r;
    }
}
constexpr const char* kShortAir = "由风量算出：只读取了 1，忽略了“,000”";
constexpr const char* kNegativeSide = "由风管尺寸算出：风管尺寸为负数：-500";
constexpr const char* kHeldK = "由粗糙度算出：粗糙度限于 0.01 至 10 mm，按 10 计算";
INSTANTIATE_TEST_SUITE_P(
    Inputs, ResultWarnings,
    testing::Values(
        Marks{"NothingMarked", "1000", true, false, "200", "", nullptr, {}},
        Marks{"ShortAirVolume",
              "1,000",
              false,
              false,
              "200",
              "",
              nullptr,
              {nullptr, kShortAir, nullptr, kShortAir, nullptr, kShortAir, kShortAir}},
        Marks{"NegativeSide",
              "1000",
              true,
              true,
              "-500",
              "320",
              nullptr,
              {kNegativeSide, kNegativeSide, kNegativeSide, nullptr, nullptr, kNegativeSide,
               kNegativeSide}},
        Marks{"TwoSidesWithTheSameWarningSayItOnce",
              "1000",
              true,
              true,
              "-500",
              "-500",
              nullptr,
              {kNegativeSide, kNegativeSide, kNegativeSide, nullptr, nullptr, kNegativeSide,
               kNegativeSide}},
        Marks{"TypedSizesCountOnlyWhileTicked", "1000", false, true, "-500", "320", nullptr, {}},
        Marks{"CustomRoughnessHeld",
              "1000",
              false,
              false,
              "200",
              "",
              "25",
              {nullptr, nullptr, nullptr, nullptr, kHeldK, nullptr, kHeldK}},
        Marks{"EveryMarkOnTheLossOnSeparateLines",
              "1,000",
              true,
              false,
              "0.5",
              "",
              "25",
              {"由风管尺寸算出：尺寸以 mm 计；0.5 mm 是否应为 500 mm？",
               "由风量算出：只读取了 1，忽略了“,000”\n由风管尺寸算出：尺寸以 mm 计；0.5 mm "
               "是否应为 500 mm？",
               "由风管尺寸算出：尺寸以 mm 计；0.5 mm 是否应为 500 mm？", kShortAir, kHeldK,
               "由风量算出：只读取了 1，忽略了“,000”\n由风管尺寸算出：尺寸以 mm 计；0.5 mm "
               "是否应为 500 mm？",
               "由风量算出：只读取了 1，忽略了“,000”\n由风管尺寸算出：尺寸以 mm 计；0.5 mm "
               "是否应为 500 mm？\n由粗糙度算出：粗糙度限于 0.01 至 10 mm，按 10 计算"}}),
    [](const testing::TestParamInfo<Marks>& info) { return info.param.name; });

}  // namespace
