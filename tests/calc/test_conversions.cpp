#include "conversions.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <locale>
#include <ostream>
#include <string>

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
                    Reading{"10000000000000000000000", 1e22}, Reading{"３", 0},
                    Reading{"0x10", 0}));

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
                    Showing{224935.8f, " 224935.8"}, Showing{3.6f, " 3.6"},
                    Showing{1699, " 1699"}, Showing{1.0f / 3, " 0.3333333"},
                    Showing{9999999, " 9999999"}, Showing{1e7f, " 1E+07"},
                    Showing{9999999.5f, " 1E+07"}, Showing{12345678, " 1.234568E+07"},
                    Showing{-3e38f, "-3E+38"}, Showing{1e-4f, " 0.0001"},
                    Showing{1.5e-5f, " 1.5E-05"}, Showing{-2.5e-7f, "-2.5E-07"},
                    Showing{1e-45f, " 1.401298E-45"}));

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
