// SPDX-License-Identifier: GPL-3.0-or-later
#include "messages/catalogue.h"

#include <gtest/gtest.h>

#include <ostream>
#include <set>
#include <string>
#include <string_view>

namespace {

// The placeholders a text uses, as "{1}", "{2}", …
std::multiset<std::string> placeholders(std::string_view text) {
    std::multiset<std::string> found;
    for (std::size_t at = text.find('{'); at != std::string_view::npos; at = text.find('{', at + 1))
        if (at + 2 < text.size() && text[at + 2] == '}')
            found.insert(std::string(text.substr(at, 3)));
    return found;
}

std::string oneOf(const msg::Entry& e) { return std::string(e.name); }

// Every message can be said in both languages, with the same arguments.
TEST(Catalogue, EveryMessageInBothLanguagesWithTheSamePlaceholders) {
    std::set<std::string> names;
    for (const msg::Entry* e = msg::catalogueBegin(); e != msg::catalogueEnd(); ++e) {
        EXPECT_FALSE(e->english.empty()) << oneOf(*e);
        EXPECT_FALSE(e->chinese.empty()) << oneOf(*e);
        // A text of placeholders alone has no words to translate.
        if (e->english.size() != 3 * placeholders(e->english).size()) {
            EXPECT_NE(e->english, e->chinese) << oneOf(*e) << " is not said in Chinese";
        }
        EXPECT_EQ(placeholders(e->english), placeholders(e->chinese)) << oneOf(*e);
        // The arguments are numbered from 1 without a gap, so that every
        // argument a lower layer gives is shown.
        const auto used = placeholders(e->english);
        for (std::size_t n = 1; n <= std::set<std::string>(used.begin(), used.end()).size(); ++n)
            EXPECT_EQ(used.count("{" + std::to_string(n) + "}"), 1u)
                << oneOf(*e) << " lacks {" << n << "} or has it twice";
        EXPECT_TRUE(names.insert(oneOf(*e)).second) << oneOf(*e) << " is a row twice";
        EXPECT_EQ(&msg::entry(e->code), e) << oneOf(*e);
    }
}

// An English text never holds Chinese, so that the command line speaks one
// language at a time.
TEST(Catalogue, EnglishTextsAreAscii) {
    for (const msg::Entry* e = msg::catalogueBegin(); e != msg::catalogueEnd(); ++e)
        for (char c : e->english)
            EXPECT_LT(static_cast<unsigned char>(c), 0x80) << oneOf(*e) << ": " << e->english;
}

struct Said {
    const char* name;
    msg::Message message;
    const char* english;
    const char* chinese;
};
void PrintTo(const Said& c, std::ostream* os) { *os << c.name; }
class Render : public testing::TestWithParam<Said> {};
TEST_P(Render, InEachLanguage) {
    EXPECT_EQ(msg::render(GetParam().message, msg::Language::english), GetParam().english);
    EXPECT_EQ(msg::render(GetParam().message, msg::Language::chinese), GetParam().chinese);
}
INSTANTIATE_TEST_SUITE_P(
    Messages, Render,
    testing::Values(Said{"TwoTexts",
                         {msg::Code::readPartly, {"1", ",000"}},
                         "only 1 was read; \",000\" was ignored",
                         "只读取了 1，忽略了“,000”"},
                    Said{"AWordAndAMessageAsArguments",
                         {msg::Code::computedFrom,
                          {msg::Code::wordAirVolume,
                           msg::Message{msg::Code::negativeAirVolume, {"-100"}}}},
                         "from the air volume: the air volume is negative: -100",
                         "由风量算出：风量为负数：-100"},
                    Said{"AnArgumentThatLooksLikeAPlaceholderStaysAsItIs",
                         {msg::Code::notASize, {"{1}"}},
                         "not a duct size: {1}",
                         "不是风管尺寸：{1}"},
                    Said{"AMissingArgumentLeavesItsPlaceholder",
                         {msg::Code::sizeLikelyMetres, {"0.5"}},
                         "sizes are in mm; should 0.5 mm be {2} mm?",
                         "尺寸以 mm 计；0.5 mm 是否应为 {2} mm？"},
                    Said{"AnEmptyArgument",
                         {msg::Code::readNothing, {""}},
                         "no number was read, 0 is used; \"\" was ignored",
                         "未读到数字，按 0 计算；忽略了“”"}),
    [](const testing::TestParamInfo<Said>& info) { return info.param.name; });

TEST(Render, ListsAndLinesJoinInTheLanguage) {
    const msg::Messages two{{msg::Code::notAFlowUnit, {"m/s"}}, {msg::Code::notASize, {"abc"}}};
    EXPECT_EQ(msg::renderList(two, msg::Language::english),
              "not a unit of air volume: m/s; not a duct size: abc");
    EXPECT_EQ(msg::renderList(two, msg::Language::chinese), "不是风量单位：m/s；不是风管尺寸：abc");
    EXPECT_EQ(msg::renderLines(two, msg::Language::chinese),
              "不是风量单位：m/s\n不是风管尺寸：abc");
    EXPECT_EQ(msg::renderLines({}, msg::Language::english), "");
}

struct Environment {
    const char* name;
    const char* lcAll;
    const char* lcMessages;
    const char* lang;
    msg::Language language;
};
void PrintTo(const Environment& c, std::ostream* os) { *os << c.name; }
class LanguageFromEnvironment : public testing::TestWithParam<Environment> {};
TEST_P(LanguageFromEnvironment, FirstSetOneWins) {
    const Environment& c = GetParam();
    EXPECT_EQ(msg::languageFromEnvironment(c.lcAll, c.lcMessages, c.lang), c.language);
}
constexpr auto en = msg::Language::english;
constexpr auto zh = msg::Language::chinese;
INSTANTIATE_TEST_SUITE_P(
    Variables, LanguageFromEnvironment,
    testing::Values(Environment{"NoneSet", nullptr, nullptr, nullptr, en},
                    Environment{"LangChinese", nullptr, nullptr, "zh_CN.UTF-8", zh},
                    Environment{"LangTraditionalChinese", nullptr, nullptr, "zh_TW.Big5", zh},
                    Environment{"LangBareZh", nullptr, nullptr, "zh", zh},
                    Environment{"LangEnglish", nullptr, nullptr, "en_US.UTF-8", en},
                    Environment{"LangC", nullptr, nullptr, "C.UTF-8", en},
                    Environment{"LcAllBeforeLang", "C", nullptr, "zh_CN.UTF-8", en},
                    Environment{"LcAllChinese", "zh_CN.GB18030", "C", "en_GB", zh},
                    Environment{"LcMessagesBeforeLang", nullptr, "zh_HK", "en_GB", zh},
                    Environment{"EmptyLcAllPassedOver", "", "", "zh_CN.UTF-8", zh},
                    Environment{"EmptyLcMessagesPassedOver", nullptr, "", "en_US", en},
                    Environment{"NameOnlyBeginningWithZh", nullptr, nullptr, "zha_CN", en},
                    Environment{"UpperCaseIsAnotherName", nullptr, nullptr, "ZH_CN", en}),
    [](const testing::TestParamInfo<Environment>& info) { return info.param.name; });

}  // namespace
