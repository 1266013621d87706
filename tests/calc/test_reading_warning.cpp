// SPDX-License-Identifier: GPL-3.0-or-later
#include "reading_warning.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

struct Warning {
    const char* name;
    const char* text;
    calc::Quantity quantity;
    const char* warning;  // empty: no mark
};
void PrintTo(const Warning& c, std::ostream* os) { *os << c.name; }
struct ReadingWarning : testing::TestWithParam<Warning> {};
TEST_P(ReadingWarning, InChineseWithTheNumbersUsed) {
    EXPECT_EQ(calc::readingWarning(GetParam().text, GetParam().quantity), GetParam().warning);
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
        Warning{"NegativeRoughnessIsHeldByItsLimits", "-3", calc::Quantity::Roughness, ""},
        Warning{"NegativeAndShort", "-12abc", calc::Quantity::Size,
                "只读取了 -12，忽略了“abc”\n风管尺寸为负数：-12"},
        Warning{"BeyondTheDoubleRange", "1e400", calc::Quantity::AirVolume,
                "数值 1e400 超出可计算的范围"},
        Warning{"RoughnessWithUnit", "5mm", calc::Quantity::Roughness, "只读取了 5，忽略了“mm”"}),
    [](const testing::TestParamInfo<Warning>& info) { return info.param.name; });

}  // namespace
