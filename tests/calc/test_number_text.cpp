// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/number_text.h"

#include "calc/number_reading.h"
#include "tests/calc/number_text_oracle.h"

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
using calc::plainDecimalText;
using calc::textValue;

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
struct PlainDecimalText : testing::TestWithParam<Plain> {};
TEST_P(PlainDecimalText, ShortestDecimalWithoutBlank) {
    EXPECT_EQ(plainDecimalText(GetParam().value), GetParam().text);
}
INSTANTIATE_TEST_SUITE_P(Values, PlainDecimalText,
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
    EXPECT_EQ(plainDecimalText(3.1), "3.1");
}

}  // namespace
