// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversions.h"

#include "number_text_oracle.h"

#include <gtest/gtest.h>

#include <bit>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <limits>
#include <locale>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace {

using calc::numberText;
using calc::plainText;
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
                    FullWidth{"０ｘ１０", "0x10"}, FullWidth{"１Ｆ", "1F"}));

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
                    Split{"1e400", "1e400", ""}));

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

struct Showing {
    float value;
    const char* text;
};
void PrintTo(const Showing& c, std::ostream* os) { *os << '"' << c.text << '"'; }
struct NumberText : testing::TestWithParam<Showing> {};
TEST_P(NumberText, SevenSignificantDigitsWithLeadingSign) {
    EXPECT_EQ(numberText(GetParam().value), GetParam().text);
}
INSTANTIATE_TEST_SUITE_P(
    Values, NumberText,
    testing::Values(Showing{0, " 0"}, Showing{-0.0f, " 0"}, Showing{200, " 200"},
                    Showing{-200, "-200"}, Showing{0.16f, " 0.16"}, Showing{0.1f, " 0.1"},
                    Showing{0.3902439f, " 0.3902439"}, Showing{117423, " 117423"},
                    Showing{224935.8f, " 224935.8"}, Showing{3.6f, " 3.6"}, Showing{1699, " 1699"},
                    Showing{1.0f / 3, " 0.3333333"}, Showing{9999999, " 9999999"},
                    Showing{1e7f, " 1E+07"}, Showing{9999999.5f, " 1E+07"},
                    Showing{12345678, " 1.234568E+07"}, Showing{-3e38f, "-3E+38"},
                    Showing{1e-4f, " 0.0001"}, Showing{1.5e-5f, " 1.5E-05"},
                    Showing{-2.5e-7f, "-2.5E-07"}, Showing{1e-45f, " 1.401298E-45"}));

// Where the fixed-notation digits are made by integer arithmetic: its edges
// at 1E-04 and 1E+07 (decided by the value after rounding), carries that add
// a digit, exact ties (to the even digit), powers of ten, and the smallest
// and largest values it takes.
INSTANTIATE_TEST_SUITE_P(
    FixedNotationEdges, NumberText,
    testing::Values(Showing{std::nextafter(1e-4f, 0.0f), " 9.999999E-05"},
                    Showing{9.99999975e-05f, " 0.0001"},  // just below 1E-04, rounds up to it
                    Showing{std::nextafter(1e-4f, 1.0f), " 0.0001"},
                    Showing{-9.99999975e-05f, "-0.0001"}, Showing{0.000123456746f, " 0.0001234567"},
                    Showing{0.000999999931f, " 0.0009999999"}, Showing{0.001f, " 0.001"},
                    Showing{0.125f, " 0.125"}, Showing{0.99999994f, " 0.9999999"}, Showing{1, " 1"},
                    Showing{1.00000012f, " 1"}, Showing{10, " 10"},
                    Showing{9.99999905f, " 9.999999"}, Showing{99999.9922f, " 99999.99"},
                    Showing{999999.9375f, " 999999.9"},
                    Showing{999999.96875f, " 1000000"},  // the carry makes an eighth digit
                    Showing{1e6f, " 1000000"}, Showing{-1e6f, "-1000000"},
                    Showing{1.0078125f, " 1.007812"},  // ties, to the even digit
                    Showing{1.0234375f, " 1.023438"}, Showing{131072.25f, " 131072.2"},
                    Showing{131072.75f, " 131072.8"}, Showing{2097152.25f, " 2097152"},
                    Showing{2097152.75f, " 2097153"}, Showing{4194304.5f, " 4194304"},
                    Showing{4194305.5f, " 4194306"}, Showing{-4194305.5f, "-4194306"},
                    Showing{1234567.5f, " 1234568"}, Showing{1234568.5f, " 1234568"},
                    Showing{8388607.5f, " 8388608"}, Showing{8388609, " 8388609"},
                    Showing{std::nextafter(1e7f, 0.0f), " 9999999"},
                    Showing{16777215, " 1.677722E+07"}));

// Floats drawn at random, most of them where the fixed-notation digits are
// made by integer arithmetic, the rest from every bit pattern: the text is the
// plain to_chars one, character for character.
TEST(NumberText, SameAsPlainToCharsForRandomFloats) {
    std::mt19937 random(20261210);
    std::uniform_int_distribution<std::uint32_t> anyBits;
    std::uniform_int_distribution<std::uint32_t> nearExponent(110, 152);  // 2^-17 to 2^25
    int mismatches = 0;
    for (int i = 0; i < 300000; ++i) {
        std::uint32_t bits = anyBits(random);
        if (i % 4 != 0) bits = (bits & 0x807FFFFFu) | (nearExponent(random) << 23);
        const float x = std::bit_cast<float>(bits);
        const std::string plain = calc_test::plainNumberText(x);
        if (numberText(x) != plain && ++mismatches <= 10)
            ADD_FAILURE() << std::hexfloat << x << ": \"" << numberText(x) << "\" instead of \""
                          << plain << '"';
    }
    EXPECT_EQ(mismatches, 0);
}

// The kept texts of recurring values are the texts themselves, asked once or
// again.
TEST_P(NumberText, RecurringValueShowsTheSame) {
    EXPECT_EQ(calc::recurringNumberText(GetParam().value), GetParam().text);
    EXPECT_EQ(calc::recurringNumberText(GetParam().value), GetParam().text);
}

// Far more values than are kept, in an order that has them displace one
// another and come back: each still shows its own text, never another's.
TEST(NumberText, RecurringValuesNeverShowAnothersText) {
    std::vector<float> values{0.0f, -0.0f, std::numeric_limits<float>::quiet_NaN(),
                              std::numeric_limits<float>::infinity()};
    for (int i = 1; i <= 3000; ++i) {
        values.push_back(static_cast<float>(i) / 7);
        values.push_back(std::nextafter(static_cast<float>(i), 0.0f));
    }
    for (int pass = 0; pass < 3; ++pass)
        for (std::size_t i = 0; i < values.size(); ++i) {
            const float x = values[(i * 7919 + static_cast<std::size_t>(pass)) % values.size()];
            ASSERT_EQ(calc::recurringNumberText(x), numberText(x)) << x;
        }
}

TEST(NumberText, NeverShowsNanOrInfinity) {
    for (float x : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                    -std::numeric_limits<float>::infinity()}) {
        const std::string text = numberText(x);
        EXPECT_EQ(text, calc::kFailMarker);
    }
}

struct Plain {
    double value;
    const char* text;
};
void PrintTo(const Plain& c, std::ostream* os) { *os << '"' << c.text << '"'; }
struct PlainText : testing::TestWithParam<Plain> {};
TEST_P(PlainText, ShortestDecimalWithoutBlank) {
    EXPECT_EQ(plainText(GetParam().value), GetParam().text);
}
INSTANTIATE_TEST_SUITE_P(Values, PlainText,
                         testing::Values(Plain{15 / 100.0, "0.15"}, Plain{18 / 100.0, "0.18"},
                                         Plain{1 / 100.0, "0.01"}, Plain{31 / 10.0, "3.1"},
                                         Plain{60 / 10.0, "6"}, Plain{2 / 10.0, "0.2"},
                                         Plain{10 / 10.0, "1"}, Plain{29 / 10.0, "2.9"}));

// Qt sets the C locale from the environment; a comma-decimal locale must not
// change how numbers are read or shown.
class CommaDecimalLocale : public testing::Test {
protected:
    void SetUp() override {
        saved_ = std::setlocale(LC_ALL, nullptr);
        ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr)
            << "the de_DE.UTF-8 locale is missing; make test generates it";
        std::locale::global(std::locale("de_DE.UTF-8"));
    }
    void TearDown() override {
        std::setlocale(LC_ALL, saved_.c_str());
        std::locale::global(std::locale::classic());
    }

private:
    std::string saved_;
};

TEST_F(CommaDecimalLocale, PointStaysThePoint) {
    EXPECT_EQ(*textValue("0.16"), 0.16);
    EXPECT_EQ(*textValue("1,5"), 1);
    EXPECT_EQ(*textValue("1.234e3"), 1234);
    EXPECT_EQ(numberText(8.841949f), " 8.841949");
    EXPECT_EQ(numberText(1234567), " 1234567");
    EXPECT_EQ(numberText(1.5e-5f), " 1.5E-05");
    EXPECT_EQ(plainText(3.1), "3.1");
}

}  // namespace
