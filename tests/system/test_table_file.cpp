// SPDX-License-Identifier: GPL-3.0-or-later
// The header names every front end reads a segment table by, and the reader's
// API as the table window calls it: header, rows with their lines, notes.
#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "messages/catalogue.h"
#include "table_file.h"

namespace {

using ductsys::Column;

struct Name {
    const char* name;
    const char* cell;
    std::optional<Column> column;
};
void PrintTo(const Name& n, std::ostream* os) { *os << n.name; }
class HeaderNames : public testing::TestWithParam<Name> {};
TEST_P(HeaderNames, NameTheirColumn) {
    EXPECT_EQ(ductsys::headerColumn(GetParam().cell), GetParam().column);
}
INSTANTIATE_TEST_SUITE_P(
    Cells, HeaderNames,
    testing::Values(Name{"english", "flow", Column::flow}, Name{"chinese", "风量", Column::flow},
                    Name{"capitals", "FLOW", Column::flow},
                    Name{"unit_in_brackets", "风量(m3/h)", Column::flow},
                    Name{"unit_in_full_width_brackets", "长度（m）", Column::length},
                    Name{"unit_in_square_brackets", "flow [m3/h]", Column::flow},
                    Name{"ideographic_space_around", "\xE3\x80\x80段号\xE3\x80\x80",
                         Column::segment},
                    Name{"blanks_around", "  Size\t", Column::size},
                    Name{"greek_sum", "Σζ", Column::zeta}, Name{"roughness", "粗糙度", Column::k},
                    Name{"fixed_loss", "固定阻力", Column::dp},
                    Name{"brackets_alone_name_nothing", "(m3/h)", std::nullopt},
                    Name{"other_text", "remarks", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

struct Read {
    ductsys::FileError error;
    std::optional<ductsys::TableHeader> header;
    std::vector<long> lines;
    std::vector<std::size_t> counts;
    std::vector<std::string> notes;
};
Read readText(const std::string& text, ductsys::TableFileOptions options = {}) {
    std::FILE* in = std::tmpfile();
    std::fwrite(text.data(), 1, text.size(), in);
    std::rewind(in);
    Read r;
    ductsys::TableFileReader reader(options);
    r.error = reader.read(
        in,
        [&](const ductsys::TableHeader& h) {
            r.header = h;
            return true;
        },
        [&](std::vector<std::string>&, std::size_t count, long line) {
            r.lines.push_back(line);
            r.counts.push_back(count);
            return true;
        },
        [&](const ductsys::FileNote& n) {
            r.notes.push_back(msg::render(n.message, msg::Language::english));
        });
    std::fclose(in);
    return r;
}

TEST(TableFileReader, HeaderBelowATitleRowWithItsDelimiter) {
    const Read r = readText("Run 1\n\nsegment;flow;size;length\nA;1000;200\n\nB;1000\n");
    ASSERT_TRUE(r.error.ok()) << msg::renderList(r.error.message, msg::Language::english);
    ASSERT_TRUE(r.header);
    EXPECT_EQ(r.header->line, 3);
    EXPECT_EQ(r.header->delimiter, ';');
    EXPECT_EQ(r.header->column(Column::size), 2);
    EXPECT_EQ(r.lines, (std::vector<long>{4, 6}));
    EXPECT_EQ(r.counts, (std::vector<std::size_t>{4, 4}));  // the short row filled
    ASSERT_EQ(r.notes.size(), 1u);
}

TEST(TableFileReader, MissingColumnIsABadHeaderAtItsLine) {
    const Read r = readText("\nsegment,size\nA,200\n");
    EXPECT_EQ(r.error.kind, ductsys::FileError::Kind::badHeader);
    EXPECT_EQ(r.error.line, 2);
    EXPECT_FALSE(r.header);
}

}  // namespace
