// SPDX-License-Identifier: GPL-3.0-or-later
// A workbook's sheet read as a table: each form a cell takes in the sheet's
// XML gives what the same rows give as CSV (header, settings and titles,
// rows and their line numbers, notes); what cannot be read is refused with
// its reason. The workbooks are written here, part by part, with libzip, so
// that each case shows the XML it stands for.
#include <gtest/gtest.h>
#include <unistd.h>
#include <zip.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "messages/catalogue.h"
#include "system/table_file.h"
#include "system/xlsx_reader.h"

namespace {

using Kind = ductsys::FileError::Kind;

constexpr const char* kMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";

// What a reading gives, in one text for comparison.
struct Reading {
    ductsys::FileError error;
    std::string said;               // the error's message in English
    std::string header;             // columns found, then settings and titles with their lines
    std::vector<std::string> rows;  // "line: cell|cell|…"
    std::vector<std::string> notes;
    std::string sheet;
};

Reading readWith(const std::string& path, const std::string& bytes, const std::string& sheet = {}) {
    Reading r;
    ductsys::TableFileReader reader({}, sheet);
    const auto onHeader = [&](const ductsys::TableHeader& h) {
        for (std::size_t c = 0; c < ductsys::kColumnCount; ++c)
            r.header += std::to_string(h.columns[c]) + " ";
        for (const auto& s : h.settings)
            r.header += "| " + std::to_string(s.line) + " " + s.name + "=" + s.value;
        for (const auto& t : h.titles) r.header += "| " + std::to_string(t.line) + " " + t.text;
        r.header += "| line " + std::to_string(h.line);
        r.sheet = h.sheet;
        return true;
    };
    const auto onRecord = [&](std::vector<std::string>& fields, std::size_t count, long line) {
        std::string row = std::to_string(line) + ":";
        for (std::size_t i = 0; i < count; ++i) row += (i ? "|" : " ") + fields[i];
        r.rows.push_back(row);
        return true;
    };
    const auto onNote = [&](const ductsys::FileNote& n) {
        r.notes.push_back(std::to_string(n.line) + (n.warning ? " warning: " : " note: ") +
                          msg::render(n.message, msg::Language::english));
    };
    r.error = path.empty() ? reader.readText(bytes, onHeader, onRecord, onNote)
                           : reader.read(path, onHeader, onRecord, onNote);
    r.said = msg::renderList(r.error.message, msg::Language::english);
    return r;
}

// A workbook file of the given parts, in a temporary folder.
class WorkbookFile {
public:
    explicit WorkbookFile(const std::map<std::string, std::string>& parts) {
        path_ = (std::filesystem::temp_directory_path() /
                 // ctest runs each case in a process of its own, side by side.
                 ("ductcalc-workbook-" + std::to_string(::getpid()) + "-" +
                  std::to_string(++serial_) + ".xlsx"))
                    .string();
        int error = 0;
        zip_t* z = zip_open(path_.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
        EXPECT_NE(z, nullptr);
        for (const auto& [name, text] : parts) {
            zip_source_t* s = zip_source_buffer(z, text.data(), text.size(), 0);
            EXPECT_GE(zip_file_add(z, name.c_str(), s, ZIP_FL_ENC_UTF_8), 0);
        }
        EXPECT_EQ(zip_close(z), 0);
    }
    ~WorkbookFile() { std::remove(path_.c_str()); }
    const std::string& path() const { return path_; }
    std::string bytes() const {
        std::string out;
        if (std::FILE* f = std::fopen(path_.c_str(), "rb")) {
            char buffer[4096];
            for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
                out.append(buffer, n);
            std::fclose(f);
        }
        return out;
    }

private:
    static inline int serial_ = 0;
    std::string path_;
};

// The parts of a workbook with the given sheets (name, sheetData's XML) and
// shared strings.
std::map<std::string, std::string> workbookParts(
    const std::vector<std::pair<std::string, std::string>>& sheets,
    const std::vector<std::string>& shared = {}) {
    std::map<std::string, std::string> parts;
    std::string list, rels;
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        const std::string n = std::to_string(i + 1);
        list +=
            "<sheet name=\"" + sheets[i].first + "\" sheetId=\"" + n + "\" r:id=\"rId" + n + "\"/>";
        rels += "<Relationship Id=\"rId" + n +
                "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
                "worksheet\" Target=\"worksheets/sheet" +
                n + ".xml\"/>";
        parts["xl/worksheets/sheet" + n + ".xml"] =
            std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?><worksheet xmlns=\"") + kMain +
            "\"><sheetData>" + sheets[i].second + "</sheetData></worksheet>";
    }
    if (!shared.empty()) {
        rels +=
            "<Relationship Id=\"rIdS\" "
            "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
            "sharedStrings\" Target=\"sharedStrings.xml\"/>";
        std::string items;
        for (const std::string& s : shared) items += "<si>" + s + "</si>";
        parts["xl/sharedStrings.xml"] =
            std::string("<sst xmlns=\"") + kMain + "\">" + items + "</sst>";
    }
    parts["[Content_Types].xml"] =
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"/>";
    parts["xl/workbook.xml"] =
        std::string("<workbook xmlns=\"") + kMain +
        "\" xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
        "<sheets>" +
        list + "</sheets></workbook>";
    parts["xl/_rels/workbook.xml.rels"] =
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" +
        rels + "</Relationships>";
    return parts;
}

// An inline string cell.
std::string is(const std::string& ref, const std::string& text) {
    return "<c r=\"" + ref + "\" t=\"inlineStr\"><is><t>" + text + "</t></is></c>";
}
std::string num(const std::string& ref, const std::string& value) {
    return "<c r=\"" + ref + "\"><v>" + value + "</v></c>";
}
std::string row(int r, const std::string& cells) {
    return "<row r=\"" + std::to_string(r) + "\">" + cells + "</row>";
}

// The plain rows every case shares: a header, two segments.
const std::string kHeaderRow =
    row(1, is("A1", "segment") + is("B1", "flow") + is("C1", "size") + is("D1", "length"));
const std::string kCsvHeader = "segment,flow,size,length\n";

struct SameAsCsv {
    const char* name;
    std::string sheetData;
    std::vector<std::string> shared;
    std::string csv;
};
void PrintTo(const SameAsCsv& c, std::ostream* os) { *os << c.name; }

class WorkbookSheet : public testing::TestWithParam<SameAsCsv> {};
TEST_P(WorkbookSheet, ReadsAsTheSameRowsInCsv) {
    const SameAsCsv& c = GetParam();
    const WorkbookFile file(workbookParts({{"计算表", c.sheetData}}, c.shared));
    const Reading xlsx = readWith(file.path(), {});
    const Reading csv = readWith({}, c.csv);
    ASSERT_EQ(xlsx.error.kind, Kind::ok) << xlsx.said;
    ASSERT_EQ(csv.error.kind, Kind::ok) << csv.said;
    EXPECT_EQ(xlsx.header, csv.header);
    EXPECT_EQ(xlsx.rows, csv.rows);
    EXPECT_EQ(xlsx.notes, csv.notes);
    EXPECT_EQ(xlsx.sheet, "计算表");
    EXPECT_EQ(csv.sheet, "");
}
INSTANTIATE_TEST_SUITE_P(
    Cells, WorkbookSheet,
    testing::Values(
        SameAsCsv{"inline_strings_and_numbers_as_written",
                  kHeaderRow + row(2, is("A2", "1-2") + num("B2", "1800") + is("C2", "500x320") +
                                          num("D2", "0.10000000000000001")),
                  {},
                  kCsvHeader + "1-2,1800,500x320,0.10000000000000001\n"},
        SameAsCsv{"shared_strings_with_runs_and_a_reading_aid_left_out",
                  row(1,
                      "<c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c>"
                      "<c r=\"C1\" t=\"s\"><v>2</v></c>") +
                      row(2, "<c r=\"A2\" t=\"s\"><v>3</v></c>" + num("B2", "2500") +
                                 "<c r=\"C2\" t=\"s\"><v>4</v></c>"),
                  {"<t>管段</t>", "<r><t>风</t></r><r><t>量</t></r>", "<t>尺寸</t>",
                   "<t>1-2</t><rPh sb=\"0\" eb=\"1\"><t>いち</t></rPh>", "<t>φ200</t>"},
                  "管段,风量,尺寸\n1-2,2500,φ200\n"},
        SameAsCsv{"empty_cells_between_filled_ones_keep_their_columns",
                  kHeaderRow + row(2, is("A2", "1-2") + is("C2", "200") + num("D2", "5")) +
                      row(3, is("A3", "2-3") + num("B3", "300")),
                  {},
                  kCsvHeader + "1-2,,200,5\n2-3,300\n"},
        SameAsCsv{"cells_without_references_follow_each_other",
                  kHeaderRow + "<row><c t=\"inlineStr\"><is><t>1-2</t></is></c><c><v>100</v>"
                               "</c><c t=\"inlineStr\"><is><t>200</t></is></c></row>",
                  {},
                  kCsvHeader + "1-2,100,200\n"},
        SameAsCsv{"a_merged_title_row_and_settings_above_the_header",
                  row(1, is("A1", "某工程排风系统水力计算表")) +
                      row(2, is("A2", "风机") + is("B2", "F")) +
                      row(3, is("A3", "工程名称") + is("B3", "某厂房")) +
                      row(5, is("A5", "segment") + is("B5", "flow") + is("C5", "size")) +
                      row(6, is("A6", "F-1") + num("B6", "800") + num("C6", "200")),
                  {},
                  "某工程排风系统水力计算表,,\n风机,F\n工程名称,某厂房\n\nsegment,flow,size\n"
                  "F-1,800,200\n"},
        SameAsCsv{"a_sum_row_with_its_cached_value_is_a_total_row",
                  kHeaderRow + row(2, is("A2", "1-2") + num("B2", "100") + num("C2", "200")) +
                      row(3, is("A3", "合计") + "<c r=\"B3\"><f>SUM(B2:B2)</f><v>100</v></c>"),
                  {},
                  kCsvHeader + "1-2,100,200\n合计,100\n"},
        SameAsCsv{"a_formula_gives_the_value_saved_with_it",
                  kHeaderRow + row(2, is("A2", "1-2") + "<c r=\"B2\"><f>1000+500</f><v>1500</v>"
                                                        "</c><c r=\"C2\" t=\"str\"><f>\"φ\"&amp;"
                                                        "200</f><v>φ200</v></c>"),
                  {},
                  kCsvHeader + "1-2,1500,φ200\n"},
        SameAsCsv{"booleans_escapes_and_rows_apart_keep_their_numbers",
                  kHeaderRow + row(4, is("A4", "1_x002D_2") + num("B4", "100") + num("C4", "200") +
                                          "<c r=\"E4\" t=\"b\"><v>1</v></c>"),
                  {},
                  kCsvHeader + "\n\n1-2,100,200,,TRUE\n"}));

struct Refused {
    const char* name;
    std::map<std::string, std::string> parts;
    std::string sheet;
    Kind kind;
    long line;
    std::string says;  // a part of the message
};
void PrintTo(const Refused& c, std::ostream* os) { *os << c.name; }

std::map<std::string, std::string> without(std::map<std::string, std::string> parts,
                                           const std::string& name) {
    parts.erase(name);
    return parts;
}
std::map<std::string, std::string> with(std::map<std::string, std::string> parts,
                                        const std::string& name, const std::string& text) {
    parts[name] = text;
    return parts;
}

const auto kTwoSheets = workbookParts(
    {{"说明", row(1, is("A1", "见下一页"))},
     {"Sheet2", kHeaderRow + row(2, is("A2", "1-2") + num("B2", "100") + num("C2", "200"))}});

class WorkbookRefused : public testing::TestWithParam<Refused> {};
TEST_P(WorkbookRefused, WithItsReason) {
    const Refused& c = GetParam();
    const WorkbookFile file(c.parts);
    const Reading r = readWith(file.path(), {}, c.sheet);
    EXPECT_EQ(r.error.kind, c.kind) << r.said;
    EXPECT_EQ(r.error.line, c.line);
    EXPECT_NE(r.said.find(c.says), std::string::npos) << r.said;
    EXPECT_TRUE(r.rows.empty());
}
INSTANTIATE_TEST_SUITE_P(
    Workbooks, WorkbookRefused,
    testing::Values(
        Refused{"a_formula_without_its_value_in_a_column_read",
                workbookParts({{"S", kHeaderRow +
                                         row(2, is("A2", "1-2") + "<c r=\"B2\"><f>100*2</f></c>" +
                                                    num("C2", "200"))}}),
                "", Kind::formulaWithoutValue, 2,
                "cell B2 holds a formula whose value the workbook does not hold"},
        Refused{"a_formula_with_an_empty_value_as_some_writers_leave_it",
                workbookParts({{"S", kHeaderRow + row(2, is("A2", "1-2") +
                                                             "<c r=\"B2\"><f>100*2</f><v></v></c>" +
                                                             num("C2", "200"))}}),
                "", Kind::formulaWithoutValue, 2, "cell B2"},
        Refused{"a_formula_without_its_value_above_the_header",
                workbookParts({{"S", row(1, is("A1", "风机") + "<c r=\"B1\"><f>A9</f></c>") +
                                         row(2, is("A2", "flow") + is("B2", "size"))}}),
                "", Kind::formulaWithoutValue, 1, "recalculate and save it"},
        Refused{"an_unknown_sheet_lists_the_sheets", kTwoSheets, "Sheet3", Kind::noSheet, 0,
                "no sheet \"Sheet3\"; its sheets are \"说明\", \"Sheet2\""},
        Refused{"a_shared_string_the_workbook_lacks",
                workbookParts({{"S", row(1, "<c r=\"A1\" t=\"s\"><v>7</v></c>")}}, {"<t>x</t>"}),
                "", Kind::damagedWorkbook, 0, "shared string 7"},
        Refused{"malformed_xml",
                with(workbookParts({{"S", kHeaderRow}}), "xl/worksheets/sheet1.xml",
                     std::string("<worksheet xmlns=\"") + kMain + "\"><sheetData><row>"),
                "", Kind::damagedWorkbook, 0, "xl/worksheets/sheet1.xml: malformed XML at line 1"},
        Refused{"a_document_type_declaration",
                with(workbookParts({{"S", kHeaderRow}}), "xl/workbook.xml",
                     "<!DOCTYPE w [<!ENTITY a \"aaaa\">]><workbook/>"),
                "", Kind::damagedWorkbook, 0, "a document type declaration"},
        Refused{"the_sheet_part_missing",
                without(workbookParts({{"S", kHeaderRow}}), "xl/worksheets/sheet1.xml"), "",
                Kind::damagedWorkbook, 0, "xl/worksheets/sheet1.xml is missing"},
        Refused{"the_relationships_missing",
                without(workbookParts({{"S", kHeaderRow}}), "xl/_rels/workbook.xml.rels"), "",
                Kind::damagedWorkbook, 0, "xl/_rels/workbook.xml.rels is missing"},
        Refused{"rows_out_of_order",
                workbookParts({{"S", kHeaderRow + row(3, is("A3", "x")) + row(2, is("A2", "y"))}}),
                "", Kind::damagedWorkbook, 0, "row 2 is out of order"},
        Refused{"an_opendocument_spreadsheet",
                {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
                 {"content.xml", "<office:document-content/>"}},
                "",
                Kind::ods,
                0,
                "OpenDocument spreadsheet (.ods)"},
        Refused{"a_zip_of_something_else",
                {{"readme.txt", "hello"}},
                "",
                Kind::notWorkbook,
                0,
                "a zip archive, not a workbook"},
        Refused{"a_binary_workbook",
                {{"[Content_Types].xml", "<Types/>"}, {"xl/workbook.bin", "\x83"}},
                "",
                Kind::notWorkbook,
                0,
                ".xlsb"}));

TEST(WorkbookSheets, ANamedSheetIsRead) {
    const WorkbookFile file(kTwoSheets);
    const Reading r = readWith(file.path(), {}, "Sheet2");
    ASSERT_EQ(r.error.kind, Kind::ok) << r.said;
    EXPECT_EQ(r.rows, std::vector<std::string>{"2: 1-2|100|200|"});
    EXPECT_EQ(r.sheet, "Sheet2");
    EXPECT_TRUE(r.notes.empty());
}

TEST(WorkbookSheets, TheFirstOfSeveralIsReadWithANote) {
    const WorkbookFile file(kTwoSheets);
    const Reading r = readWith(file.path(), {});
    // The first sheet holds no table: its one row is no header.
    EXPECT_EQ(r.error.kind, Kind::badHeader);
    EXPECT_EQ(r.error.line, 1);
    ASSERT_FALSE(r.notes.empty());
    EXPECT_EQ(r.notes.front(), "0 note: the workbook has 2 sheets; the first, \"说明\", is read");
}

TEST(WorkbookCells, AnErrorIsSaidAndItsTextRefusedAsANumber) {
    const WorkbookFile file(
        workbookParts({{"S", kHeaderRow + row(2, is("A2", "1-2") +
                                                     "<c r=\"B2\" t=\"e\"><f>1/0</f><v>#DIV/0!</v>"
                                                     "</c>" +
                                                     num("C2", "200") +
                                                     "<c r=\"F2\" t=\"e\"><v>#N/A</v></c>")}}));
    const Reading r = readWith(file.path(), {});
    ASSERT_EQ(r.error.kind, Kind::ok) << r.said;
    // Said for the flow; the column F is read by nobody.
    EXPECT_EQ(r.notes,
              std::vector<std::string>{"2 warning: cell B2 holds the spreadsheet error #DIV/0!"});
    EXPECT_EQ(r.rows, std::vector<std::string>{"2: 1-2|#DIV/0!|200|||#N/A"});
}

TEST(WorkbookCells, AFormulaWithoutValueInAColumnReadByNobodyIsLeftAlone) {
    const WorkbookFile file(workbookParts(
        {{"S", kHeaderRow + row(2, is("A2", "1-2") + num("B2", "100") + num("C2", "200") +
                                       "<c r=\"F2\"><f>B2*2</f></c>")}}));
    const Reading r = readWith(file.path(), {});
    ASSERT_EQ(r.error.kind, Kind::ok) << r.said;
    EXPECT_EQ(r.rows, std::vector<std::string>{"2: 1-2|100|200|"});
}

struct Signature {
    const char* name;
    std::string bytes;
    Kind kind;
    std::string says;
};
void PrintTo(const Signature& c, std::ostream* os) { *os << c.name; }
class FileSignatures : public testing::TestWithParam<Signature> {};
TEST_P(FileSignatures, DecideHowAFileIsRead) {
    const Reading r = readWith({}, GetParam().bytes);
    EXPECT_EQ(r.error.kind, GetParam().kind) << r.said;
    EXPECT_NE(r.said.find(GetParam().says), std::string::npos) << r.said;
}
INSTANTIATE_TEST_SUITE_P(
    Bytes, FileSignatures,
    testing::Values(
        Signature{"ole2_is_an_old_workbook",
                  std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(504, '\0'),
                  Kind::xls, "Excel 97-2003 workbook (.xls)"},
        Signature{"a_zip_cut_short_is_damaged",
                  WorkbookFile(workbookParts({{"S", kHeaderRow}})).bytes().substr(0, 200),
                  Kind::damagedWorkbook, "not a readable zip archive"},
        Signature{"an_empty_zip", std::string("PK\x05\x06", 4) + std::string(18, '\0'),
                  Kind::notWorkbook, "not a workbook"},
        Signature{"text_with_a_nul_is_still_text", std::string("segment,flow\0", 13), Kind::binary,
                  "NUL"}));

TEST(FileSignatures, ASheetAskedOfATextFileIsRefused) {
    const Reading r = readWith({}, "flow,size\n100,200\n", "Sheet1");
    EXPECT_EQ(r.error.kind, Kind::noSheet);
    EXPECT_EQ(r.said, "a text file, not a workbook: it has no sheet \"Sheet1\"");
}

TEST(SheetColumns, AreNamedAsSpreadsheetsNameThem) {
    EXPECT_EQ(ductsys::sheetColumnName(0), "A");
    EXPECT_EQ(ductsys::sheetColumnName(25), "Z");
    EXPECT_EQ(ductsys::sheetColumnName(26), "AA");
    EXPECT_EQ(ductsys::sheetColumnName(16383), "XFD");
}

}  // namespace
