// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/tables.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

using calc::customK;

TEST(FlowUnits, FactorsHeldInSinglePrecision) {
    EXPECT_EQ(*calc::flowFactorOf("l/min"), 0.0599999986588954925537109375f);
    EXPECT_EQ(static_cast<double>(*calc::flowFactorOf("CFM")), 1.69900000095367431640625);
    EXPECT_EQ(static_cast<double>(*calc::flowFactorOf("En.GPS")), 16.3656005859375);
    EXPECT_EQ(static_cast<double>(*calc::flowFactorOf("Am.GPM")), 0.22709999978542327880859375);
}

TEST(FlowUnits, TextMustMatchExactly) {
    for (const char* text : {"", "M3/H", "m3/h ", "cfm", "m3"})
        EXPECT_FALSE(calc::flowFactorOf(text).has_value()) << text;
}

TEST(Materials, ScrollStartGivesDefaultText) {
    for (const calc::Material& m : calc::materials) {
        if (!m.hasScroll) continue;
        EXPECT_EQ(calc::scrollKText(m.scrollStart, m.divisor), m.defaultK) << m.caption;
    }
}

struct ScrollCase {
    int n, divisor;
    const char* text;
};
void PrintTo(const ScrollCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }
struct ScrollText : testing::TestWithParam<ScrollCase> {};
TEST_P(ScrollText, PlainDecimal) {
    EXPECT_EQ(calc::scrollKText(GetParam().n, GetParam().divisor), GetParam().text);
}
INSTANTIATE_TEST_SUITE_P(Bars, ScrollText,
                         testing::Values(ScrollCase{15, 100, "0.15"}, ScrollCase{18, 100, "0.18"},
                                         ScrollCase{1, 100, "0.01"}, ScrollCase{60, 10, "6"},
                                         ScrollCase{31, 10, "3.1"}, ScrollCase{10, 10, "1"},
                                         ScrollCase{2, 10, "0.2"}, ScrollCase{29, 10, "2.9"}));

struct CustomCase {
    const char* text;
    float value;
    const char* replacement;  // nullptr: the text stays
};
void PrintTo(const CustomCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }
struct CustomRoughness : testing::TestWithParam<CustomCase> {};
TEST_P(CustomRoughness, HeldBetweenLimits) {
    const calc::CustomK got = customK(GetParam().text);
    EXPECT_EQ(got.value, GetParam().value);
    if (GetParam().replacement)
        EXPECT_EQ(got.replacement, std::string_view(GetParam().replacement));
    else
        EXPECT_FALSE(got.replacement.has_value());
}
INSTANTIATE_TEST_SUITE_P(
    Texts, CustomRoughness,
    testing::Values(CustomCase{"5", 5, nullptr}, CustomCase{"5mm", 5, nullptr},
                    CustomCase{"0.01", 0.01f, nullptr}, CustomCase{"10", 10, nullptr},
                    CustomCase{"10.0000001", 10, nullptr},  // equal to 10 in single precision
                    CustomCase{"10.5", 10, "10"}, CustomCase{"11", 10, "10"},
                    CustomCase{"-3", 0.01f, "0.01"}, CustomCase{"", 0.01f, "0.01"},
                    CustomCase{"-", 0.01f, "0.01"}, CustomCase{".", 0.01f, "0.01"},
                    CustomCase{"abc", 0.01f, "0.01"}, CustomCase{"0.009", 0.01f, "0.01"},
                    CustomCase{"1e39", 10, "10"}, CustomCase{"1e999", 10, "10"},
                    CustomCase{"-1e999", 0.01f, "0.01"}));

// At the end of editing only a number read whole is put right; a text that is
// not read whole stays as typed, whatever K it is held at.
struct EndCase {
    const char* text;
    const char* shown;  // nullptr: kept as typed
};
void PrintTo(const EndCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }
struct CustomRoughnessAtEditingEnd : testing::TestWithParam<EndCase> {};
TEST_P(CustomRoughnessAtEditingEnd, OnlyANumberReadWholeIsReplaced) {
    const auto got = calc::customKAtEditingEnd(GetParam().text);
    if (GetParam().shown)
        EXPECT_EQ(got, std::string_view(GetParam().shown));
    else
        EXPECT_FALSE(got.has_value());
}
INSTANTIATE_TEST_SUITE_P(Texts, CustomRoughnessAtEditingEnd,
                         testing::Values(EndCase{"25", "10"}, EndCase{"-3", "0.01"},
                                         EndCase{"", "0.01"}, EndCase{"0.001", "0.01"},
                                         EndCase{"1e400", "10"}, EndCase{"0。001", "0.01"},
                                         EndCase{"5", nullptr}, EndCase{"0。5", nullptr},
                                         EndCase{"0,5", nullptr}, EndCase{"abc", nullptr},
                                         EndCase{"5mm", nullptr}, EndCase{"25mm", nullptr},
                                         EndCase{"-", nullptr}));

}  // namespace
