// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/ascii.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

// Names compare without regard to the case of ASCII letters, and only of
// letters: the punctuation 32 code points above or below a letter, and the
// bytes of UTF-8 captions, must stay apart.
struct NamePair {
    const char* name;
    const char* a;
    const char* b;
    bool same;
};
void PrintTo(const NamePair& c, std::ostream* os) { *os << c.name; }
struct EqualsIgnoringAsciiCase : testing::TestWithParam<NamePair> {};
TEST_P(EqualsIgnoringAsciiCase, OnlyLetterCaseIsIgnored) {
    EXPECT_EQ(calc::equalsIgnoringAsciiCase(GetParam().a, GetParam().b), GetParam().same);
    EXPECT_EQ(calc::equalsIgnoringAsciiCase(GetParam().b, GetParam().a), GetParam().same);
}
INSTANTIATE_TEST_SUITE_P(
    Names, EqualsIgnoringAsciiCase,
    testing::Values(NamePair{"SameText", "thin-steel", "thin-steel", true},
                    NamePair{"CapitalsAndSmallLetters", "Thin-STEEL", "thin-steel", true},
                    NamePair{"EmptyTexts", "", "", true},
                    NamePair{"OneLetterMore", "thin-steel", "thin-steels", false},
                    NamePair{"OtherLetter", "wood", "wool", false},
                    NamePair{"BracketIsNoCapitalBrace", "[", "{", false},
                    NamePair{"AtIsNoCapitalBacktick", "@", "`", false},
                    NamePair{"DigitIsNoLetter", "1", "Q", false},
                    NamePair{"SameCaption", "薄钢板", "薄钢板", true},
                    NamePair{"OtherCaption", "薄钢板", "塑料板", false}),
    [](const testing::TestParamInfo<NamePair>& info) { return info.param.name; });

TEST(AsciiLower, ChangesOnlyAsciiCapitals) {
    EXPECT_EQ(calc::asciiLower("Thin-STEEL 10 @[]"), "thin-steel 10 @[]");
    EXPECT_EQ(calc::asciiLower("ÄB薄"), "Äb薄");
}

}  // namespace
