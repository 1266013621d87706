// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/number_reading.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

namespace {

using calc::textValue;

struct Reading {
    const char* text;
    double value;
};
void PrintTo(const Reading& r, std::ostream* os) { *os << '"' << r.text << '"'; }
struct TextValue : testing::TestWithParam<Reading> {};
TEST_P(TextValue, ReadsTheLeadingNumber) {
    const std::optional<double> got = textValue(GetParam().text);
    ASSERT_TRUE(got.has_value()) << GetParam().text;
    EXPECT_EQ(*got, GetParam().value) << GetParam().text;
}
INSTANTIATE_TEST_SUITE_P(
    Texts, TextValue,
    testing::Values(Reading{"", 0}, Reading{"abc", 0}, Reading{"-", 0}, Reading{"+", 0},
                    Reading{".", 0}, Reading{"-.", 0}, Reading{"e5", 0}, Reading{"150", 150},
                    Reading{"12abc", 12}, Reading{"5mm", 5}, Reading{"0.16", 0.16},
                    Reading{".5", 0.5}, Reading{"5.", 5}, Reading{"-3", -3}, Reading{"+7", 7},
                    Reading{"1 000", 1000}, Reading{" \t1\n2 ", 12}, Reading{"- 4", -4},
                    Reading{"1.2.3", 1.2}, Reading{"1,5", 1}, Reading{"1e3", 1000},
                    Reading{"1E+3", 1000}, Reading{"2.5e-2", 0.025}, Reading{"1e", 1},
                    Reading{"1e+", 1}, Reading{"1ex", 1}, Reading{"1 e 2", 100},
                    Reading{"0001.50", 1.5}, Reading{"0.000", 0}, Reading{"1e-400", 0},
                    Reading{"1.7976931348623157e308", 1.7976931348623157e308},
                    Reading{"4.9e-324", 4.9e-324}, Reading{"0.1e1", 1},
                    Reading{"10000000000000000000000", 1e22}, Reading{"0x10", 0}));

// An input method in Chinese mode types full-width forms; they read exactly
// like the ASCII text beside them, and everything else still ends the number.
struct FullWidth {
    const char* typed;
    const char* ascii;
};
void PrintTo(const FullWidth& c, std::ostream* os) { *os << '"' << c.ascii << '"'; }
struct FullWidthText : testing::TestWithParam<FullWidth> {};
TEST_P(FullWidthText, ReadsLikeItsAsciiForm) {
    const std::optional<double> typed = textValue(GetParam().typed);
    const std::optional<double> ascii = textValue(GetParam().ascii);
    ASSERT_TRUE(typed.has_value());
    ASSERT_TRUE(ascii.has_value());
    EXPECT_EQ(*typed, *ascii);
    EXPECT_EQ(std::signbit(*typed), std::signbit(*ascii));
    const calc::Reading a = calc::readNumber(GetParam().typed);
    const calc::Reading b = calc::readNumber(GetParam().ascii);
    EXPECT_EQ(a.number, b.number);
    EXPECT_EQ(a.whole(), b.whole());
}
INSTANTIATE_TEST_SUITE_P(
    Texts, FullWidthText,
    testing::Values(FullWidth{"１０００", "1000"}, FullWidth{"３", "3"}, FullWidth{"１．５", "1.5"},
                    FullWidth{"．５", ".5"}, FullWidth{"－３", "-3"}, FullWidth{"＋７", "+7"},
                    FullWidth{"－０", "-0"}, FullWidth{"１Ｅ３", "1E3"},
                    FullWidth{"２ｅ－２", "2e-2"}, FullWidth{"１ｅ＋２", "1e+2"},
                    FullWidth{"1\u3000000", "1 000"}, FullWidth{"\u3000５\u3000", " 5 "},
                    FullWidth{"1０", "10"}, FullWidth{"１，０００", "1,000"},
                    FullWidth{"１２ａｂｃ", "12abc"}, FullWidth{"１２ｍｍ", "12mm"},
                    FullWidth{"１．２．３", "1.2.3"}, FullWidth{"Ｅ５", "E5"},
                    FullWidth{"０ｘ１０", "0x10"}, FullWidth{"１Ｆ", "1F"},
                    // The ideographic full stop, typed for "." in Chinese
                    // punctuation mode, is a decimal point like ．.
                    FullWidth{"0。5", "0.5"}, FullWidth{"１。２５", "1.25"},
                    FullWidth{"。５", ".5"}, FullWidth{"1。2。3", "1.2.3"}));

TEST(TextValue, FullWidthBeyondTheDoubleRangeIsAnError) {
    EXPECT_FALSE(textValue("１ｅ４００").has_value());
}

TEST(TextValue, BrokenMultiByteCharactersEndTheNumber) {
    // Bytes that only look like the start of a full-width digit.
    EXPECT_EQ(*textValue("12\xef\xbc"), 12);
    EXPECT_EQ(*textValue("12\xef\xbc\x11"), 12);
    EXPECT_EQ(*textValue("\xef\xbc\x50"), 0);
}

// Which part of a text was read and which was left: the mark beside a box
// quotes both.
struct Split {
    const char* text;
    const char* number;
    const char* ignored;
};
void PrintTo(const Split& c, std::ostream* os) { *os << '"' << c.text << '"'; }
struct ReadNumber : testing::TestWithParam<Split> {};
TEST_P(ReadNumber, SaysWhatWasReadAndWhatWasLeft) {
    const calc::Reading r = calc::readNumber(GetParam().text);
    EXPECT_EQ(r.number, GetParam().number);
    EXPECT_EQ(r.ignored, GetParam().ignored);
    EXPECT_EQ(r.whole(), std::string(GetParam().ignored).empty());
    EXPECT_EQ(r.value, textValue(GetParam().text));
}
INSTANTIATE_TEST_SUITE_P(
    Texts, ReadNumber,
    testing::Values(Split{"", "", ""}, Split{"   ", "", ""}, Split{"1000", "1000", ""},
                    Split{" 1 000 ", "1000", ""}, Split{"1,000", "1", ",000"},
                    Split{"1,000  ", "1", ",000"}, Split{"12abc", "12", "abc"},
                    Split{"12 abc d ", "12", "abc d"}, Split{"abc", "", "abc"}, Split{"-", "", "-"},
                    Split{".", "", "."}, Split{"-.", "", "-."}, Split{"1e", "1", "e"},
                    Split{"1e+", "1", "e+"}, Split{"1e5", "1e5", ""}, Split{"1 e 5x", "1e5", "x"},
                    Split{"5.", "5.", ""}, Split{"1.2.3", "1.2", ".3"}, Split{"-3", "-3", ""},
                    Split{"１，０００", "1", "，０００"}, Split{"１２ａｂｃ", "12", "ａｂｃ"},
                    Split{"1e400", "1e400", ""}, Split{"0。5", "0.5", ""},
                    Split{"1。2。3", "1.2", "。3"}));

TEST(TextValue, SignOfZeroIsKept) {
    EXPECT_TRUE(std::signbit(*textValue("-0")));
    EXPECT_TRUE(std::signbit(*textValue("-1e-999")));
}

TEST(TextValue, BeyondTheDoubleRangeIsAnError) {
    for (const char* text : {"1e309", "-1e309", "2e308", "1e99999999999999999999", "999e306"})
        EXPECT_FALSE(textValue(text).has_value()) << text;
}

TEST(TextValue, LongMantissaRoundsOnce) {
    // 0.1 followed by many digits still rounds correctly.
    const std::string text = "0.1000000000000000000000000000000000000000000000000001";
    EXPECT_EQ(*textValue(text), 0.1);
    EXPECT_FALSE(textValue(std::string(5000, '9')).has_value());
    EXPECT_EQ(*textValue("0." + std::string(5000, '0') + "1"), 0);
    EXPECT_EQ(*textValue(std::string(400, '1') + "e-399"), 1.1111111111111111);
}

// The standard reader's shortcut for plain decimals: it must give textValue's
// value and take only texts the box's reading takes whole, or decline.
struct PlainCase {
    const char* name;
    const char* text;
    bool taken;  // false: left to the box's own reading
};
void PrintTo(const PlainCase& c, std::ostream* os) { *os << c.name; }
struct ReadPlainDecimal : testing::TestWithParam<PlainCase> {};
TEST_P(ReadPlainDecimal, AgreesWithTheBoxReadingOrDeclines) {
    const std::optional<double> plain = calc::readPlainDecimal(GetParam().text);
    ASSERT_EQ(plain.has_value(), GetParam().taken);
    if (!plain) return;
    const calc::Reading reading = calc::readNumber(GetParam().text);
    EXPECT_TRUE(reading.whole());
    ASSERT_TRUE(reading.value.has_value());
    EXPECT_EQ(std::bit_cast<std::uint64_t>(*plain), std::bit_cast<std::uint64_t>(*reading.value));
}
INSTANTIATE_TEST_SUITE_P(
    Texts, ReadPlainDecimal,
    testing::Values(PlainCase{"Whole", "1000", true}, PlainCase{"Fraction", "0.16", true},
                    PlainCase{"NegativeWithExponent", "-2.5e3", true},
                    PlainCase{"CapitalExponent", "1E3", true}, PlainCase{"PointFirst", ".5", true},
                    PlainCase{"PointLast", "5.", true}, PlainCase{"NegativeZero", "-0", true},
                    PlainCase{"SmallestDouble", "4.9e-324", true},
                    PlainCase{"LongMantissa", "0.1000000000000000000000000000000000000001", true},
                    PlainCase{"Empty", "", false}, PlainCase{"LoneMinus", "-", false},
                    PlainCase{"LonePoint", ".", false}, PlainCase{"Blank", " 1", false},
                    PlainCase{"Grouped", "1 000", false}, PlainCase{"Plus", "+1", false},
                    PlainCase{"Comma", "1,5", false}, PlainCase{"TrailingLetters", "12abc", false},
                    PlainCase{"BareExponent", "1e", false}, PlainCase{"TwoPoints", "1.2.3", false},
                    PlainCase{"Infinity", "inf", false}, PlainCase{"NotANumber", "nan", false},
                    PlainCase{"BeyondTheDoubleRange", "1e400", false},
                    PlainCase{"BelowTheDoubleRange", "1e-400", false},
                    PlainCase{"FullWidth", "１０００", false}),
    [](const testing::TestParamInfo<PlainCase>& info) { return info.param.name; });

}  // namespace
