// SPDX-License-Identifier: GPL-3.0-or-later
// What the system layer reports, worded in both languages: the command line
// says it in English (or Chinese in a Chinese locale), the grid in Chinese.
// Columns are named by their key in English and their caption in Chinese.

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "messages/catalogue.h"
#include "system/system.h"

namespace {

using ductsys::SegmentTexts;
using ductsys::SystemResult;

SegmentTexts row(const char* name, const char* from = "", const char* to = "") {
    return {.segment = name, .from = from, .to = to, .flow = "1000", .size = "200"};
}

struct Said {
    const char* name;
    std::vector<SegmentTexts> rows;
    const char* english;
    const char* chinese;
};
void PrintTo(const Said& c, std::ostream* os) { *os << c.name; }

// The first thing the system says: its first topology error, or else the
// reasons of its first segment.
msg::Messages firstSaid(const SystemResult& r) {
    if (!r.errors.empty()) return {r.errors.front().message};
    return r.segments.empty() ? msg::Messages{} : r.segments[0].reason;
}

class SystemMessages : public testing::TestWithParam<Said> {};
TEST_P(SystemMessages, InBothLanguages) {
    const msg::Messages said = firstSaid(ductsys::computeSystem(GetParam().rows));
    EXPECT_EQ(msg::renderList(said, msg::Language::english), GetParam().english);
    EXPECT_EQ(msg::renderList(said, msg::Language::chinese), GetParam().chinese);
}

SegmentTexts with(SegmentTexts r, void (*change)(SegmentTexts&)) {
    change(r);
    return r;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SystemMessages,
    testing::Values(
        Said{"NegativeLength",
             {with(row("1-2"), [](SegmentTexts& r) { r.length = "-3"; })},
             "length \"-3\" is negative",
             "长度“-3”为负数"},
        Said{"ZetaTermThatIsNoNumber",
             {with(row("1-2"), [](SegmentTexts& r) { r.zeta = "0.3+1-2"; })},
             "zeta term \"1-2\" is not a number",
             "局部阻力系数中的项“1-2”不是数字"},
        Said{"SizeThatIsNoSize",
             {with(row("1-2"), [](SegmentTexts& r) { r.size = "50O"; })},
             "size \"50O\" is not a size",
             "尺寸“50O”不是风管尺寸"},
        Said{"TwoReasonsOfOneRow",
             {with(row("1-2"),
                   [](SegmentTexts& r) {
                       r.length = "-3";
                       r.dp = "abc";
                   })},
             "length \"-3\" is negative; dp \"abc\" is not a number",
             "长度“-3”为负数；固定阻力“abc”不是数字"},
        Said{"MaterialAndK",
             {with(row("1-2"),
                   [](SegmentTexts& r) {
                       r.material = "plastic";
                       r.k = "0.5";
                   })},
             "give a material or k, not both (material \"plastic\", k \"0.5\")",
             "材料与粗糙度只能给出其一（材料“plastic”，粗糙度“0.5”）"},
        Said{"NameGivenTwice",
             {row("A", "1", "2"), row("A", "2", "3")},
             "segment name \"A\" is given twice (rows 1 and 2)",
             "段号“A”出现了两次（第 1 行和第 2 行）"},
        Said{"StartWithoutEnd",
             {row("A", "1", "")},
             "segment \"A\" gives a 起点 but no 终点",
             "管段“A”给出了起点，但没有终点"},
        Said{"UnnamedRowOfANodePair",
             {row("1-2"), row("", "3", "")},
             "segment row 2 gives a 起点 but no 终点",
             "管段第 2 行给出了起点，但没有终点"},
        Said{"OneSegmentApart",
             {row("1-2"), row("3-4")},
             "segment \"3-4\" is not connected to the fan's node \"1\" (starting at node \"3\")",
             "管段“3-4”未与风机节点“1”相连（自节点“3”起）"},
        Said{"ThreeSegmentsApart",
             {row("1-2"), row("3-4"), row("4-5"), row("5-6")},
             "segments \"3-4\", \"4-5\" and \"5-6\" are not connected to the fan's node \"1\" "
             "(starting at node \"3\")",
             "管段“3-4”、“4-5”和“5-6”未与风机节点“1”相连（自节点“3”起）"},
        Said{"SevenSegmentsApartNameFiveAndCountTheRest",
             {row("1-2"), row("3-4"), row("4-5"), row("5-6"), row("6-7"), row("7-8"), row("8-9"),
              row("9-10")},
             "segments \"3-4\", \"4-5\", \"5-6\", \"6-7\", \"7-8\" and 2 more are not connected to "
             "the fan's node \"1\" (starting at node \"3\")",
             "管段“3-4”、“4-5”、“5-6”、“6-7”、“7-8”等，另有 2 "
             "段未与风机节点“1”相连（自节点“3”起）"}),
    [](const testing::TestParamInfo<Said>& info) { return info.param.name; });

}  // namespace
