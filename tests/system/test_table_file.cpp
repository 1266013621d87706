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
#include "system/table_file.h"

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
    testing::Values(
        Name{"english", "flow", Column::flow}, Name{"chinese", "风量", Column::flow},
        Name{"capitals", "FLOW", Column::flow},
        Name{"unit_in_brackets", "风量(m3/h)", Column::flow},
        Name{"unit_in_full_width_brackets", "长度（m）", Column::length},
        Name{"unit_in_square_brackets", "flow [m3/h]", Column::flow},
        Name{"ideographic_space_around", "\xE3\x80\x80段号\xE3\x80\x80", Column::segment},
        Name{"blanks_around", "  Size\t", Column::size}, Name{"greek_sum", "Σζ", Column::zeta},
        Name{"roughness", "粗糙度", Column::k}, Name{"fixed_loss", "固定阻力", Column::dp},
        Name{"brackets_alone_name_nothing", "(m3/h)", std::nullopt},
        Name{"our_workbook_length", "长度 l (m)", Column::length},
        Name{"our_workbook_zeta", "局部阻力系数 Σζ", Column::zeta},
        Name{"our_workbook_fixed_loss", "固定阻力 Δp (Pa)", Column::dp},
        Name{"office_length", "管段长度", Column::length},
        Name{"symbol_and_unit_without_blanks", "长度L(m)", Column::length},
        Name{"symbol_without_blank", "局部阻力系数Σζ", Column::zeta},
        Name{"flow_symbol_and_superscript_unit", "风量 L (m³/h)", Column::flow},
        Name{"n_ary_sum_sign", "∑ζ", Column::zeta}, Name{"equipment_loss", "设备阻力", Column::dp},
        Name{"added_loss", "附加阻力", Column::dp}, Name{"pipe_material", "管材", Column::material},
        Name{"material_quality", "材质", Column::material},
        Name{"pipe_diameter", "管径", Column::size}, Name{"section_size", "断面尺寸", Column::size},
        Name{"guige_names_the_size", "规格", Column::size},
        Name{"segment_number", "管段编号", Column::segment},
        Name{"number", "编号", Column::segment}, Name{"pipe_length", "管长", Column::length},
        Name{"full_width_letters", "ＦＬＯＷ", Column::flow},
        Name{"blank_inside", "局部 阻力系数", Column::zeta},
        Name{"unit_glued_without_brackets", "风量m3/h", Column::flow},
        Name{"a_name_with_more_after_it_is_another_column", "管段说明", std::nullopt},
        Name{"remark_is_read_by_nobody", "备注", std::nullopt},
        Name{"misspelling_names_nothing", "lenght", std::nullopt},
        Name{"other_text", "remarks", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

// Our own outputs' columns of results and marks: known, so that reading an
// output back notes nothing, and never taken for an input column.
struct Known {
    const char* name;
    const char* cell;
    std::optional<Column> column;
    bool known;
};
void PrintTo(const Known& k, std::ostream* os) { *os << k.name; }
class OutputHeadings : public testing::TestWithParam<Known> {};
TEST_P(OutputHeadings, AreKnownAndReadAsTheirColumn) {
    const ductsys::HeaderCell cell = ductsys::readHeaderCell(GetParam().cell);
    EXPECT_EQ(cell.column, GetParam().column);
    EXPECT_EQ(cell.known, GetParam().known);
    EXPECT_EQ(cell.nearest, "");
}
INSTANTIATE_TEST_SUITE_P(
    Cells, OutputHeadings,
    testing::Values(
        Known{"velocity_with_symbol_and_unit", "风速 v (m/s)", std::nullopt, true},
        Known{"friction_factor_with_its_greek_symbol", "摩擦系数 λ", std::nullopt, true},
        Known{"friction_loss_with_a_compound_symbol", "摩擦阻力 Rm·l (Pa)", std::nullopt, true},
        Known{"equivalent_diameter", "当量直径 De (m)", std::nullopt, true},
        Known{"reynolds_without_unit", "雷诺数 Re", std::nullopt, true},
        Known{"path_total", "累计阻力 (Pa)", std::nullopt, true},
        Known{"the_grids_short_caption", "累计", std::nullopt, true},
        Known{"english_key", "velocity_pressure", std::nullopt, true},
        Known{"index_run_mark", "最不利环路", std::nullopt, true},
        Known{"sized_mark", "已选尺寸", std::nullopt, true},
        Known{"problem_column", "问题", std::nullopt, true},
        Known{"flow_heading_is_the_flow_input", "风量 L (m³/h)", Column::flow, true},
        Known{"roughness_heading_is_the_roughness_input", "粗糙度 K (mm)", Column::k, true},
        Known{"fixed_loss_heading_is_the_fixed_loss_input", "固定阻力 Δp (Pa)", Column::dp, true},
        Known{"role_caption_is_the_role_input", "角色", Column::role, true},
        Known{"a_figure_with_a_wrong_symbol_is_not_known", "风速 q", std::nullopt, false}),
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

// The header is looked for among the first 40 rows: a 计算书's heading fits,
// a file whose header is further down is no table.
TEST(HeaderSearch, LooksAtTheFirstFortyRows) {
    auto above = [](int rows) {
        std::string text;
        for (int i = 0; i < rows; ++i) text += "title " + std::to_string(i) + "\n";
        return text + "flow,size\n1,200\n";
    };
    Read found = readText(above(39));
    ASSERT_TRUE(found.header);
    EXPECT_EQ(found.header->line, 40);
    EXPECT_EQ(found.lines, (std::vector<long>{41}));
    Read lost = readText(above(40));
    EXPECT_FALSE(lost.header);
    EXPECT_FALSE(lost.error.ok());
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

// Header rows that stop the reading, each with the words that must say why.
struct Refused {
    const char* name;
    const char* text;
    const char* says;
};
void PrintTo(const Refused& r, std::ostream* os) { *os << r.name; }
class RefusedHeaders : public testing::TestWithParam<Refused> {};
TEST_P(RefusedHeaders, StopWithTheReason) {
    const Read r = readText(GetParam().text);
    EXPECT_EQ(r.error.kind, ductsys::FileError::Kind::badHeader);
    const std::string says = msg::renderList(r.error.message, msg::Language::english);
    EXPECT_NE(says.find(GetParam().says), std::string::npos) << says;
    EXPECT_FALSE(r.header);
}
INSTANTIATE_TEST_SUITE_P(
    Rows, RefusedHeaders,
    testing::Values(
        Refused{"misspelt_english_gives_the_nearest", "segment,flow,size,lenght\nA,1,200,1\n",
                "did you mean \"length\""},
        Refused{"misspelt_chinese_flow_gives_the_nearest", "段号,风亮,尺寸\nA,1,200\n",
                "did you mean \"风量\""},
        Refused{"swapped_letters", "segment,flow,szie\nA,1,200\n", "did you mean \"size\""},
        Refused{"unknown_flow_unit", "flow(furlongs/h),size\n1,200\n", "unknown unit"},
        Refused{"unknown_length_unit", "flow,size,长度(ft)\n1,200,3\n", "unknown unit \"ft\""},
        Refused{"size_in_metres", "flow,size(m),length\n1,0.2,3\n", "sizes are read in mm"},
        Refused{"a_column_twice_under_two_names", "flow,size,管长,长度\n1,200,3,3\n",
                "appears twice"}),
    [](const auto& info) { return std::string(info.param.name); });

// Units a header names for a whole column.
struct UnitCase {
    const char* name;
    const char* text;
    std::string flow;
    double length;
    double dp;
};
void PrintTo(const UnitCase& u, std::ostream* os) { *os << u.name; }
class HeaderUnits : public testing::TestWithParam<UnitCase> {};
TEST_P(HeaderUnits, AreReadForTheirColumns) {
    const Read r = readText(GetParam().text);
    ASSERT_TRUE(r.error.ok()) << msg::renderList(r.error.message, msg::Language::english);
    ASSERT_TRUE(r.header);
    EXPECT_EQ(r.header->units.flow, GetParam().flow);
    EXPECT_EQ(r.header->units.length, GetParam().length);
    EXPECT_EQ(r.header->units.dp, GetParam().dp);
}
INSTANTIATE_TEST_SUITE_P(
    Rows, HeaderUnits,
    testing::Values(UnitCase{"none", "flow,size,length,dp\n1,200,3,4\n", "", 1, 1},
                    UnitCase{"litres_a_second",
                             "风量(l/s),尺寸(mm),长度(mm),固定阻力(kPa)\n1,2,3,4\n", "l/s", 0.001,
                             1000},
                    UnitCase{"office_cubic_metres", "风量(立方米/小时),尺寸,长度(cm)\n1,2,3\n",
                             "立方米/小时", 0.01, 1},
                    UnitCase{"chinese_litres", "风量（升/秒）,尺寸\n1,2\n", "升/秒", 1, 1},
                    UnitCase{"cmh", "flow [CMH],size,length(m)\n1,2,3\n", "cmh", 1, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TableFileReader, AFirstLineTooLongForAHeaderIsNamedAsSuchWithItsNumber) {
    const Read r = readText("\n" + std::string(3 << 20, 'a') + "\nflow,size\n1,200\n");
    EXPECT_EQ(r.error.kind, ductsys::FileError::Kind::badHeader);
    EXPECT_EQ(r.error.line, 2);
    const std::string says = msg::renderList(r.error.message, msg::Language::english);
    EXPECT_NE(says.find("line 2 is longer than"), std::string::npos) << says;
}

TEST(TableFileReader, NamesEachUnusedColumnInANoteAfterTheTitleRows) {
    const Read r = readText("Title\nsegment,管段说明,flow,size,风速,备注\nA,x,1,200,3,y\n");
    ASSERT_TRUE(r.error.ok()) << msg::renderList(r.error.message, msg::Language::english);
    // The title row's note, then the header's: results and remarks are known.
    EXPECT_EQ(r.notes, (std::vector<std::string>{"a title row above the header is skipped",
                                                 "column 管段说明 is not used"}));
}

// The rows above the header: a name and a value make a setting, a single
// text a title; each keeps its line, and both are still noted as skipped.
struct Above {
    const char* name;
    const char* text;
    std::vector<std::string> settings;  // "name=value@line"
    std::vector<std::string> titles;    // "text@line"
};
void PrintTo(const Above& a, std::ostream* os) { *os << a.name; }
class RowsAboveTheHeader : public testing::TestWithParam<Above> {};
TEST_P(RowsAboveTheHeader, AreSettingsOrTitles) {
    const Read r = readText(GetParam().text);
    ASSERT_TRUE(r.error.ok()) << msg::renderList(r.error.message, msg::Language::english);
    ASSERT_TRUE(r.header);
    std::vector<std::string> settings, titles;
    for (const auto& s : r.header->settings)
        settings.push_back(s.name + "=" + s.value + "@" + std::to_string(s.line));
    for (const auto& t : r.header->titles) titles.push_back(t.text + "@" + std::to_string(t.line));
    EXPECT_EQ(settings, GetParam().settings);
    EXPECT_EQ(titles, GetParam().titles);
    EXPECT_EQ(r.notes.size(), settings.size() + titles.size());
}
INSTANTIATE_TEST_SUITE_P(
    Files, RowsAboveTheHeader,
    testing::Values(
        Above{"a_title_alone", "送风系统\nflow,size\n1,200\n", {}, {"送风系统@1"}},
        Above{"a_title_with_empty_cells", "送风系统,,,\nflow,size\n1,200\n", {}, {"送风系统@1"}},
        Above{"settings_and_a_title",
              "风机,F\n 温度 ;40\n\n项目\nflow,size\n1,200\n",
              {"风机=F@1"},
              {"温度 ;40@2", "项目@4"}},
        Above{"semicolons_split_settings_like_the_header",
              "风机;F\n温度;40\nflow;size\n1;200\n",
              {"风机=F@1", "温度=40@2"},
              {}},
        Above{"three_cells_are_a_title", "a,b,c\nflow,size\n1,200\n", {}, {"a@1"}},
        Above{"a_value_without_a_name_is_a_title", ",F\nflow,size\n1,200\n", {}, {"F@1"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TableFileReader, HeaderKeepsEveryCellsText) {
    const Read r = readText("备注, 风量(m3/h) ,size,\n,1000,200,\n");
    ASSERT_TRUE(r.header);
    EXPECT_EQ(r.header->names, (std::vector<std::string>{"备注", "风量(m3/h)", "size", ""}));
    EXPECT_EQ(r.header->column(Column::flow), 1);
}

TEST(TableFileReader, ReadsATextInMemoryAsAFile) {
    ductsys::TableFileReader reader;
    std::vector<long> lines;
    const std::string text = "flow,size\n1000,200\n\"open,300\n";
    const ductsys::FileError e = reader.readText(
        text, [](const ductsys::TableHeader&) { return true; },
        [&](std::vector<std::string>&, std::size_t, long line) {
            lines.push_back(line);
            return true;
        },
        [](const ductsys::FileNote&) {});
    // The quote opened on line 3 is never closed: that is where it is named.
    EXPECT_EQ(e.kind, ductsys::FileError::Kind::notCsv);
    EXPECT_EQ(e.line, 3);
    EXPECT_EQ(lines, (std::vector<long>{2}));
    EXPECT_EQ(reader.readText("", {}, {}, {}).kind, ductsys::FileError::Kind::empty);
}

TEST(DecodedText, TakesUtf8AndGb18030) {
    EXPECT_EQ(ductsys::decodedText("\xEF\xBB\xBF风量"), "风量");
    EXPECT_EQ(ductsys::decodedText("\xb7\xe7\xc1\xbf"), "风量");  // GB18030
    EXPECT_EQ(ductsys::decodedText("\xff\xff\xff"), std::nullopt);
}

}  // namespace
