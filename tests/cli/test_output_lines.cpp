// SPDX-License-Identifier: GPL-3.0-or-later
// The line builders that calc, size and table write with: columns padded by
// the characters a terminal shows, not by bytes, and CSV fields quoted only
// where a reader would otherwise split them.

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "cli/output_lines.h"
#include "cli/text_fields.h"

namespace {

struct Padding {
    const char* name;
    const char* text;
    std::size_t width;
    cli::Align align;
    const char* expected;
};
void PrintTo(const Padding& p, std::ostream* os) { *os << p.name; }

class PaddingTest : public testing::TestWithParam<Padding> {};

TEST_P(PaddingTest, FillsToTheShownWidth) {
    const Padding& p = GetParam();
    std::string line = "|";
    cli::appendPadded(line, p.text, p.width, p.align);
    EXPECT_EQ(line, std::string("|") + p.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cells, PaddingTest,
    testing::Values(Padding{"ascii_left", "500*320", 10, cli::Align::left, "500*320   "},
                    Padding{"ascii_right", "8.84", 6, cli::Align::right, "  8.84"},
                    // φ is two bytes but one character: a byte count would fill one short.
                    Padding{"phi_counts_once", "φ200", 6, cli::Align::left, "φ200  "},
                    Padding{"greek_caption_right", "Σζ", 4, cli::Align::right, "  Σζ"},
                    Padding{"exact_width_no_fill", "12345", 5, cli::Align::right, "12345"},
                    Padding{"wider_than_column_kept_whole", "1.234568E+38", 4, cli::Align::left,
                            "1.234568E+38"},
                    // A Chinese character takes two columns on a terminal.
                    Padding{"chinese_takes_two_columns", "送风1", 8, cli::Align::left, "送风1   "},
                    Padding{"chinese_right", "段号", 6, cli::Align::right, "  段号"},
                    Padding{"full_width_asterisk", "500＊320", 10, cli::Align::left, "500＊320  "}),
    [](const auto& info) { return info.param.name; });

struct Cut {
    const char* name;
    const char* text;
    std::size_t width;
    const char* expected;
};
void PrintTo(const Cut& c, std::ostream* os) { *os << c.name; }
class CutTest : public testing::TestWithParam<Cut> {};
TEST_P(CutTest, FitsTheColumnsWithAnEllipsis) {
    EXPECT_EQ(cli::cutToWidth(GetParam().text, GetParam().width), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Names, CutTest,
                         testing::Values(Cut{"short_kept", "A-1", 10, "A-1"},
                                         Cut{"exact_width_kept", "0123456789", 10, "0123456789"},
                                         Cut{"ascii_cut", "S-1, main run", 10, "S-1, main…"},
                                         // Four characters of two columns and the ellipsis: 9 of 10
                                         // columns, as a fifth would not leave room for it.
                                         Cut{"chinese_cut_on_a_character", "送风系统总管段一", 10,
                                             "送风系统…"}),
                         [](const auto& info) { return info.param.name; });

TEST(TextLine, KeepsABlankBetweenColumnsThatFillTheirWidth) {
    cli::TextLine line;
    line.cell("segment-long", 4, cli::Align::left);
    line.cell("12345", 5, cli::Align::right);
    line.cell("φ200", 2, cli::Align::left);
    EXPECT_EQ(line.end(), "segment-long 12345 φ200\n");
}

struct CsvCase {
    const char* name;
    char delimiter;
    const char* field;
    const char* expected;  // the line "a<d>field<d>b"
};
void PrintTo(const CsvCase& c, std::ostream* os) { *os << c.name; }

class CsvLineTest : public testing::TestWithParam<CsvCase> {};

TEST_P(CsvLineTest, QuotesOnlyWhatAReaderWouldSplit) {
    const CsvCase& c = GetParam();
    cli::CsvLine line(c.delimiter);
    line.plain("a");
    line.text(c.field);
    line.plain("b");
    EXPECT_EQ(line.end(), std::string(c.expected) + '\n');
}

INSTANTIATE_TEST_SUITE_P(
    Fields, CsvLineTest,
    testing::Values(CsvCase{"plain_name", ',', "1-2", "a,1-2,b"},
                    CsvCase{"comma_quoted", ',', "S-1, run 0", "a,\"S-1, run 0\",b"},
                    CsvCase{"quote_doubled", ',', "say \"hi\"", "a,\"say \"\"hi\"\"\",b"},
                    CsvCase{"line_end_quoted", ',', "two\nlines", "a,\"two\nlines\",b"},
                    CsvCase{"other_delimiter_comma_plain", ';', "S-1, run 0", "a;S-1, run 0;b"},
                    CsvCase{"other_delimiter_quoted", ';', "x;y", "a;\"x;y\";b"},
                    CsvCase{"empty_field", ',', "", "a,,b"}),
    [](const auto& info) { return info.param.name; });

TEST(CsvLine, StartsAfreshAfterClear) {
    cli::CsvLine line(',');
    line.plain("x");
    line.end();
    line.clear();
    line.plain("y");
    EXPECT_EQ(line.end(), "y\n");
}

}  // namespace

namespace {

// A JSON string: printable ASCII as it stands, everything else through the
// JSON library's escapes, and bytes that are not UTF-8 replaced.
struct JsonText {
    const char* name;
    std::string text;
    const char* expected;
};
void PrintTo(const JsonText& j, std::ostream* os) { *os << j.name; }

class JsonStringTest : public testing::TestWithParam<JsonText> {};

TEST_P(JsonStringTest, QuotesAndEscapes) {
    EXPECT_EQ(cli::jsonString(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, JsonStringTest,
    testing::Values(JsonText{"plain_name", "1-2", "\"1-2\""}, JsonText{"empty", "", "\"\""},
                    JsonText{"quote", "a\"b", "\"a\\\"b\""},
                    JsonText{"backslash", "a\\b", "\"a\\\\b\""},
                    JsonText{"tab", "a\tb", "\"a\\tb\""},
                    JsonText{"control", std::string("a\x01", 2), "\"a\\u0001\""},
                    JsonText{"delete_stays", "a\x7f", "\"a\x7f\""},
                    JsonText{"chinese_stays", "送风管", "\"送风管\""},
                    JsonText{"phi_stays", "φ250", "\"φ250\""},
                    JsonText{"not_utf8_replaced", "a\xff", "\"a\xef\xbf\xbd\""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
