// SPDX-License-Identifier: GPL-3.0-or-later
// A pasted block: plain cells as a spreadsheet copies them, or a file's rows
// with their header, read as the file reader reads a file.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "system/paste_block.h"

namespace {

using Kind = ductsys::PastedBlock::Kind;

struct Block {
    const char* name;
    const char* text;
    Kind kind;
    std::vector<std::string> rows;  // fields joined by |
    long line = 0;                  // of an error
};
void PrintTo(const Block& b, std::ostream* os) { *os << b.name; }
class PastedBlocks : public testing::TestWithParam<Block> {};
TEST_P(PastedBlocks, AreReadByTheirShape) {
    const ductsys::PastedBlock b = ductsys::readPastedBlock(GetParam().text);
    EXPECT_EQ(b.kind, GetParam().kind);
    std::vector<std::string> rows;
    for (const auto& fields : b.rows) {
        std::string joined;
        for (std::size_t i = 0; i < fields.size(); ++i) joined += (i ? "|" : "") + fields[i];
        rows.push_back(joined);
    }
    EXPECT_EQ(rows, GetParam().rows);
    EXPECT_EQ(b.line, GetParam().line);
}
INSTANTIATE_TEST_SUITE_P(
    Texts, PastedBlocks,
    testing::Values(Block{"one_value", "12", Kind::cells, {"12"}},
                    Block{"a_final_line_end_ends_the_last_row", "a\tb\n", Kind::cells, {"a|b"}},
                    Block{"crlf_line_ends", "a\r\nb\r\n", Kind::cells, {"a", "b"}},
                    Block{"empty_fields_kept", "\t\tc", Kind::cells, {"||c"}},
                    Block{"a_quoted_field_holds_a_tab_and_a_line_end",
                          "\"x\ty\nz\"\t1",
                          Kind::cells,
                          {"x\ty\nz|1"}},
                    Block{"a_stray_quote_in_plain_cells_is_text", "5\"\t3", Kind::cells, {"5\"|3"}},
                    Block{"gb18030_cells", "\xd6\xf7\xb9\xdc\t1000", Kind::cells, {"主管|1000"}},
                    Block{"rows_with_their_header",
                          "段号;风量(m3/h);尺寸\nA;1000;200\n合计;1000;\n",
                          Kind::table,
                          {"A|1000|200"}},
                    Block{"a_header_below_a_title",
                          "送风\nsegment\tflow\tsize\nA\t1\t200\n",
                          Kind::table,
                          {"A|1|200"}},
                    Block{"rows_whose_quote_never_closes",
                          "flow,size\n1,200\n\"2,300\n3,400\n",
                          Kind::error,
                          {},
                          3}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TabField, QuotesOnlyWhatMustBe) {
    EXPECT_EQ(ductsys::tabField("a b"), "a b");
    EXPECT_EQ(ductsys::tabField("a\tb"), "\"a\tb\"");
    EXPECT_EQ(ductsys::tabField("\"q"), "\"\"\"q\"");
    // Each field read back is the same.
    const std::string text = ductsys::tabField("x\ny") + "\t" + ductsys::tabField("\"q") + "\n";
    EXPECT_EQ(ductsys::tabSeparatedRows(text),
              (std::vector<std::vector<std::string>>{{"x\ny", "\"q"}}));
}

}  // namespace
