// SPDX-License-Identifier: GPL-3.0-or-later
// table, run in-process over small files: a row checked by hand, bad rows,
// quoting, Chinese headers, CRLF, empty input, the three formats.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "calc/derived.h"
#include "calc/headless.h"
#include "calc/number_text.h"
#include "cli/commands.h"

namespace {

struct Outcome {
    int status;
    std::string out, err;
};

Outcome table(const std::string& csv, cli::Format format = cli::Format::csv) {
    // fmemopen cannot open an empty buffer for reading everywhere: use a
    // temporary file, as a user's file would be.
    std::FILE* in = std::tmpfile();
    std::fwrite(csv.data(), 1, csv.size(), in);
    std::rewind(in);
    std::ostringstream out, err;
    cli::TableOptions options;
    options.format = format;
    const int status = cli::runTable(in, "run.csv", options, out, err);
    std::fclose(in);
    return {status, out.str(), err.str()};
}

const std::string kHeader =
    "segment,flow,size,equivalent_diameter,velocity,reynolds,lambda,rm,length,friction_loss,"
    "velocity_pressure,zeta,local_loss,total,running_total,dp,k,formula\n";

// Checked by hand from the window's worked examples (Rm 4.376865 Pa/m and
// 8.841949 m/s for 1000 m3/h in φ200; 1.856349 Pa/m and 8.680555 m/s for
// 5000 m3/h in 500x320):
//   A: Rm l = 4.376865 x 10 = 43.76865; Pd = 1.204 x 8.841949^2 / 2 = 47.06439;
//      Z = 1.5 x 47.06439 = 70.59659; total 114.3652.
//   B: Rm l = 1.856349 x 5 = 9.281743; Pd = 45.36193; Z = 22.68096;
//      total 31.96271; running 114.3652 + 31.96271 = 146.3279.
const std::string kRowA =
    "A,1000,φ200,0.2,8.841949,117423,0.01859947,4.376865,10,43.76865,47.06439,1.5,70.59659,"
    "114.3652,114.3652,0,0.16,1\n";
const std::string kRowB =
    "B,5000,500*320,0.3902439,8.680555,224935.8,0.01596997,1.856349,5,9.281743,45.36193,0.5,"
    "22.68096,31.96271,146.3279,0,0.16,1\n";

// A row as written after a failed one: the running total unknown, the
// fixed loss still there.
std::string withoutRunningTotal(const std::string& row) {
    const std::size_t dp = row.rfind(',', row.rfind(',', row.rfind(',') - 1) - 1);
    const std::size_t running = row.rfind(',', dp - 1);
    return row.substr(0, running + 1) + row.substr(dp);
}

struct Case {
    const char* name;
    std::string input;
    int status;
    std::string out;  // whole output
    std::string err;  // a part of the diagnostics; empty: none at all
};
void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class TableCsv : public testing::TestWithParam<Case> {};
TEST_P(TableCsv, OutputStatusAndDiagnostics) {
    const Case& c = GetParam();
    const Outcome r = table(c.input);
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_EQ(r.out, c.out);
    if (c.err.empty())
        EXPECT_EQ(r.err, "");
    else
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    EXPECT_EQ(r.out.find("nan"), std::string::npos);
    EXPECT_EQ(r.out.find("inf"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Files, TableCsv,
    testing::Values(
        Case{"two_segments_checked_by_hand",
             "segment,flow,size,length,zeta\nA,1000,200,10,1.5\nB,5000,500x320,5,0.5\n",
             cli::kSuccess, kHeader + kRowA + kRowB, ""},
        Case{"blanks_and_tabs_around_fields_are_dropped",
             "segment,flow,size,length,zeta\n  A\t, 1000 ,\t200 , 10 ,1.5 \n"
             "\" B \",5000,500x320, 5,0.5\t\n",
             cli::kSuccess, kHeader + kRowA + kRowB, ""},
        Case{"lengths_and_coefficients_read_like_the_boxes",
             "segment,flow,size,length,zeta\nA,1000,200,+1 0,1.50\nB,5000,500x320,5e0,.5\n",
             cli::kSuccess, kHeader + kRowA + kRowB, ""},
        Case{"length_beyond_the_single_range", "segment,flow,size,length\nA,1000,200,1e39\n",
             cli::kRowsFailed,
             kHeader +
                 "A,1000,φ200,0.2,8.841949,117423,0.01859947,4.376865,,,47.06439,0,0,,,0,0.16,1\n",
             "run.csv:2: length \"1e39\" is beyond the range of the calculation"},
        Case{"zeta_with_a_unit_is_not_a_number", "segment,flow,size,zeta\nA,1000,200,1.5x\n",
             cli::kRowsFailed,
             kHeader +
                 "A,1000,φ200,0.2,8.841949,117423,0.01859947,4.376865,0,0,47.06439,,,,,0,0.16,1\n",
             "run.csv:2: zeta term \"1.5x\" is not a number"},
        Case{"columns_in_any_order_and_defaults",
             "zeta,size,length,flow,segment,unit,material,formula\n"
             "1.5,φ200,10,1000,A,m3/h,thin-steel,1\n0.5,500×320,5,5000,B,,,\n",
             cli::kSuccess, kHeader + kRowA + kRowB, ""},
        Case{"chinese_headers",
             "段号,风量,单位,尺寸,长度,局部阻力系数,材料,公式\n"
             "A,1000,m3/h,200,10,1.5,薄钢板,1\nB,5000,m3/h,500*320,5,0.5,薄钢板,1\n",
             cli::kSuccess, kHeader + kRowA + kRowB, ""},
        Case{"crlf_line_ends_and_byte_order_mark",
             "\xEF\xBB\xBFsegment,flow,size,length,zeta\r\nA,1000,200,10,1.5\r\n"
             "B,5000,500x320,5,0.5\r\n",
             cli::kSuccess, kHeader + kRowA + kRowB, ""},
        Case{"last_line_without_line_end",
             "segment,flow,size,length,zeta\nA,1000,200,10,1.5\nB,5000,500x320,5,0.5",
             cli::kSuccess, kHeader + kRowA + kRowB, ""},
        Case{"quoted_fields_with_commas_quotes_and_line_ends",
             "segment,flow,size,length,zeta\n\"A, \"\"main\"\"\nrun\",\"1000\",\"200\",10,1.5\n",
             cli::kSuccess, kHeader + "\"A, \"\"main\"\"\nrun\"" + kRowA.substr(1), ""},
        Case{"blank_and_empty_rows_are_skipped",
             "segment,flow,size,length,zeta\n\nA,1000,200,10,1.5\n,,,,\n", cli::kSuccess,
             kHeader + kRowA, ""},
        Case{"bad_size_is_reported_and_the_rest_computed",
             "segment,flow,size,length,zeta\nA,1000,200,10,1.5\nX,1000,50O,1,1\n"
             "B,5000,500x320,5,0.5\n",
             cli::kRowsFailed,
             kHeader + kRowA + "X,1000,,,,,,,1,,,1,,,,0,0.16,1\n" + withoutRunningTotal(kRowB),
             "ductcalc-cli: run.csv:3: size \"50O\" is not a size"},
        Case{"unknown_unit", "segment,flow,unit,size\nA,1000,m3/d,200\n", cli::kRowsFailed,
             kHeader + "A,,φ200,0.2,,,,,0,,,0,,,,0,0.16,1\n",
             "run.csv:2: unit \"m3/d\" is not one of m3/h"},
        Case{"unknown_material", "segment,flow,size,material\nA,1000,200,steel\n", cli::kRowsFailed,
             kHeader + "A,1000,φ200,0.2,8.841949,117423,,,0,,47.06439,0,0,,,0,,1\n",
             "run.csv:2: material \"steel\" is not one of"},
        Case{"material_and_k_together", "segment,flow,size,material,k\nA,1000,200,brick,0.2\n",
             cli::kRowsFailed,
             kHeader + "A,1000,φ200,0.2,8.841949,117423,,,0,,47.06439,0,0,,,0,,1\n",
             "give a material or k, not both"},
        Case{"flow_not_a_number", "segment,flow,size\nA,1OOO,200\n", cli::kRowsFailed,
             kHeader + "A,,φ200,0.2,,,,,0,,,0,,,,0,0.16,1\n",
             "run.csv:2: flow \"1OOO\" is not a number"},
        Case{"negative_length", "segment,flow,size,length\nA,1000,200,-3\n", cli::kRowsFailed,
             kHeader +
                 "A,1000,φ200,0.2,8.841949,117423,0.01859947,4.376865,,,47.06439,0,0,,,0,0.16,1\n",
             "length \"-3\" is negative"},
        Case{"formula_three", "segment,flow,size,formula\nA,1000,200,3\n", cli::kRowsFailed,
             kHeader + "A,1000,φ200,0.2,8.841949,117423,,,0,,47.06439,0,0,,,0,0.16,\n",
             "formula \"3\" is not 1 or 2"},
        // Spreadsheets drop a row's trailing empty cells.
        Case{"short_row_is_filled_with_empty_fields", "segment,flow,size,length\nA,1000,200\n",
             cli::kSuccess,
             kHeader + "A,1000,φ200,0.2,8.841949,117423,0.01859947,4.376865,0,0,47.06439,0,0,0,0,"
                       "0,0.16,1\n",
             ""},
        Case{"too_many_fields", "segment,flow,size\nA,1000,200,5\n", cli::kRowsFailed,
             kHeader + "A,,,,,,,,,,,,,,,,,\n", "the row has 4 fields, the header 3"},
        Case{"recalculation_failure_keeps_what_was_computed",
             "segment,flow,size,length,zeta\nN,1000,-200,10,1\n", cli::kRowsFailed,
             kHeader + "N,1000,φ-200,-0.2,8.841949,-117423,,,10,,47.06439,1,47.06439,,,0,0.16,1\n",
             "run.csv:2: the friction formula has no value here"},
        Case{"zero_size_has_no_velocity", "segment,flow,size\nZ,1000,0\n", cli::kRowsFailed,
             kHeader + "Z,1000,φ0,0,,0,,0,0,0,,0,,,,0,0.16,1\n", "size \"0\" gives no section"},
        Case{"error_line_counts_line_ends_inside_quotes",
             "segment,flow,size\n\"two\nlines\",1000,200\nX,1000,abc\n", cli::kRowsFailed,
             kHeader + "\"two\nlines\",1000,φ200,0.2,8.841949,117423,0.01859947,4.376865,0,0,"
                       "47.06439,0,0,0,0,0,0.16,1\nX,1000,,,,,,,0,,,0,,,,0,0.16,1\n",
             "run.csv:4: size \"abc\" is not a size"},
        Case{"segment_defaults_to_the_row_number", "flow,size\n1000,200\n", cli::kSuccess,
             kHeader + "1,1000,φ200,0.2,8.841949,117423,0.01859947,4.376865,0,0,47.06439,0,0,0,0,0,"
                       "0.16,1\n",
             ""},
        Case{"header_only", "segment,flow,size\n", cli::kSuccess, kHeader, ""},
        // A file the table cannot be read from at all: usage errors.
        Case{"empty_file", "", cli::kUsage, "", "run.csv: empty"},
        Case{"no_flow_column", "segment,size\nA,200\n", cli::kUsage, "",
             "run.csv:1: no \"flow\" (风量) column"},
        Case{"no_size_column", "segment,flow\nA,1000\n", cli::kUsage, "",
             "no \"size\" (尺寸) column"},
        Case{"column_twice", "flow,size,风量\n1,2,3\n", cli::kUsage, "", "appears twice"},
        Case{"binary_data", std::string("flow,size\n\0\1\2", 13), cli::kUsage, "",
             "run.csv:2: not CSV: a NUL byte"},
        Case{"stray_quote", "flow,size\n1000,2\"00\n", cli::kUsage, kHeader, "run.csv:2: not CSV"}),
    [](const auto& info) { return std::string(info.param.name); });

// A segment of the table shows what calc shows for the same duct.
struct Same {
    const char* name;
    const char* row;  // flow,unit,size,material,k,formula
    cli::CalcOptions calc;
};
void PrintTo(const Same& s, std::ostream* os) { *os << s.name; }
cli::CalcOptions calcOf(const char* flow, const char* unit, const char* diameter, const char* sides,
                        const char* material, const char* k, int formula) {
    cli::CalcOptions o;
    o.flow = flow;
    o.unit = unit;
    if (diameter) o.diameter = diameter;
    if (sides) o.sides = sides;
    if (*material) o.material.material = material;
    if (k) o.material.k = k;
    o.formula = formula;
    o.format = cli::Format::csv;
    return o;
}
class TableEqualsCalc : public testing::TestWithParam<Same> {};
TEST_P(TableEqualsCalc, SameValues) {
    const Same& s = GetParam();
    const Outcome t = table(std::string("flow,unit,size,material,k,formula\n") + s.row + "\n");
    std::ostringstream out, err;
    cli::runCalc(s.calc, out, err);
    // calc: roughness,flow,size,equivalent_diameter,velocity,reynolds,friction_loss,lambda,vp
    auto fields = [](const std::string& line) {
        std::vector<std::string> f;
        std::istringstream in(line.substr(0, line.find('\n')));
        for (std::string x; std::getline(in, x, ',');) f.push_back(x);
        return f;
    };
    const std::string calcText = out.str();
    const auto c = fields(calcText.substr(calcText.find('\n') + 1));
    const auto r = fields(t.out.substr(t.out.find('\n') + 1));
    ASSERT_GE(c.size(), 9u);
    ASSERT_GE(r.size(), 11u);
    // table: segment,flow,size,equivalent_diameter,velocity,reynolds,lambda,rm,length,fl,vp
    EXPECT_EQ(r[1], c[1]);   // flow
    EXPECT_EQ(r[2], c[2]);   // size
    EXPECT_EQ(r[3], c[3]);   // equivalent diameter
    EXPECT_EQ(r[4], c[4]);   // velocity
    EXPECT_EQ(r[5], c[5]);   // Reynolds number
    EXPECT_EQ(r[6], c[7]);   // lambda
    EXPECT_EQ(r[7], c[6]);   // Rm
    EXPECT_EQ(r[10], c[8]);  // velocity pressure
}
INSTANTIATE_TEST_SUITE_P(
    Ducts, TableEqualsCalc,
    testing::Values(Same{"unit_m3_per_s", "1,m3/s,200,,,1",
                         calcOf("1", "m3/s", "200", nullptr, "", nullptr, 1)},
                    Same{"cfm_rectangle_formula_two", "2000,CFM,630x250,,,2",
                         calcOf("2000", "CFM", nullptr, "630x250", "", nullptr, 2)},
                    Same{"english_material", "3000,,φ400,concrete,,1",
                         calcOf("3000", "m3/h", "400", nullptr, "concrete", nullptr, 1)},
                    Same{"chinese_material", "3000,,400,木板,,2",
                         calcOf("3000", "m3/h", "400", nullptr, "木板", nullptr, 2)},
                    Same{"custom_k_held", "1000,,200,,20,1",
                         calcOf("1000", "m3/h", "200", nullptr, "", "20", 1)},
                    Same{"custom_material_named_with_k", "1000,,200,自定义,0.5,1",
                         calcOf("1000", "m3/h", "200", nullptr, "", "0.5", 1)}),
    [](const auto& info) { return std::string(info.param.name); });

// The reader's notes and the rows' own messages, which come once a row is
// computed, are said in line order.
struct Ordered {
    const char* name;
    std::string input;
    std::vector<std::string> lines;  // each message's "run.csv:LINE" place
};
void PrintTo(const Ordered& o, std::ostream* os) { *os << o.name; }
class MessageOrder : public testing::TestWithParam<Ordered> {};
TEST_P(MessageOrder, FollowsTheFile) {
    const Outcome r = table(GetParam().input);
    std::vector<std::string> places;
    std::istringstream lines(r.err);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t at = line.find("run.csv:");
        places.push_back(line.substr(at, line.find(':', at + 8) - at));
    }
    EXPECT_EQ(places, GetParam().lines) << r.err;
}
INSTANTIATE_TEST_SUITE_P(
    Files, MessageOrder,
    testing::Values(
        Ordered{"a_total_row_after_rows_with_warnings",
                "segment,flow,size,length\nA,\"1,200\",200,1\nB,800,200,\"1,000\"\n合计,2000,,\n",
                {"run.csv:2", "run.csv:3", "run.csv:4"}},
        Ordered{"a_total_row_between_failing_rows",
                "segment,flow,size\nA,abc,200\ntotal,1,\nB,800,20O\n",
                {"run.csv:2", "run.csv:3", "run.csv:4"}},
        Ordered{"a_blank_then_a_total_row_after_a_long_run",
                "segment,flow,size\n" +
                    [] {
                        std::string rows;
                        for (int i = 0; i < 5000; ++i) rows += "S,1000,200\n";
                        return rows;
                    }() +
                    "S,abc,200\n合计,1,\n",
                {"run.csv:5002", "run.csv:5003"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TableWarnings, CustomKHeldIsTold) {
    const Outcome r = table("segment,flow,size,k\nA,1000,200,20\n");
    EXPECT_EQ(r.status, cli::kSuccess);
    EXPECT_NE(r.err.find("run.csv:2: warning: k \"20\" is held to 10 mm"), std::string::npos)
        << r.err;
}

TEST(TableFormats, JsonIsAnArrayOfRowsWithNulls) {
    const Outcome r =
        table("segment,flow,size,length,zeta\nA,1000,200,10,1.5\nX,1,abc\n", cli::Format::json);
    EXPECT_EQ(r.status, cli::kRowsFailed);
    const nlohmann::json j = nlohmann::json::parse(r.out);
    ASSERT_EQ(j.size(), 2u);
    EXPECT_EQ(j[0]["segment"], "A");
    EXPECT_EQ(j[0]["size"], "φ200");
    // The shortest decimals that read back as the singles.
    EXPECT_EQ(j[0]["total"].dump(), "114.365234");
    EXPECT_EQ(j[0]["running_total"].dump(), "114.365234");
    EXPECT_EQ(j[0]["velocity"].dump(), "8.8419485");
    EXPECT_TRUE(j[1]["velocity"].is_null());
    EXPECT_TRUE(j[1]["size"].is_null());
}

TEST(TableFormats, JsonOfNoRowsIsAnEmptyArray) {
    const Outcome r = table("flow,size\n", cli::Format::json);
    EXPECT_EQ(nlohmann::json::parse(r.out), nlohmann::json::array());
}

TEST(TableFormats, TextHasAHeaderAndOneLinePerSegment) {
    const Outcome r =
        table("segment,flow,size,length,zeta\nA,1000,200,10,1.5\nB,5000,500x320,5,0.5\n",
              cli::Format::text);
    EXPECT_EQ(r.status, cli::kSuccess);
    std::istringstream lines(r.out);
    std::string header, a, b, more;
    std::getline(lines, header);
    std::getline(lines, a);
    std::getline(lines, b);
    EXPECT_FALSE(std::getline(lines, more));
    EXPECT_NE(header.find("Rm Pa/m"), std::string::npos);
    EXPECT_EQ(a.rfind("A ", 0), 0u);
    EXPECT_NE(a.find("114.3652"), std::string::npos);
    EXPECT_NE(b.find("146.3279"), std::string::npos);
}

// The running total is summed in double and rounded only for printing.
TEST(TableRunningTotal, SummedInDoubleRoundedForPrinting) {
    std::string csv = "segment,flow,size,length,zeta\n";
    for (int i = 0; i < 1000; ++i) csv += "s,1000,200,0.1,0\n";
    const Outcome r = table(csv);
    ASSERT_EQ(r.status, cli::kSuccess) << r.err;
    calc::DuctInput input;
    input.flow = "1000";
    input.diameter = "200";
    calc::HeadlessView view(input);
    const float segment =
        *calc::frictionLoss(calc::computeDuct(input, view).state.specificLoss, 0.1);
    float singles = 0;
    for (int i = 0; i < 1000; ++i) singles += segment;
    const float doubles = static_cast<float>(1000.0 * segment);
    ASSERT_NE(calc::numberText(singles), calc::numberText(doubles));  // the sums tell apart
    const std::string lastRow = r.out.substr(r.out.rfind('\n', r.out.size() - 2) + 1);
    const std::size_t dp = lastRow.rfind(',', lastRow.rfind(',', lastRow.rfind(',') - 1) - 1);
    const std::size_t running = lastRow.rfind(',', dp - 1);
    EXPECT_EQ(" " + lastRow.substr(running + 1, dp - running - 1), calc::numberText(doubles));
}

// After a failed segment the sum along the path is unknown: the running
// total stays empty rather than leave the failed segment out.
TEST(TableRunningTotal, UnknownAfterAFailedSegment) {
    const Outcome r = table(
        "segment,flow,size,length,zeta\nA,1000,200,10,1.5\nX,1,abc\n"
        "B,5000,500x320,5,0.5\n");
    EXPECT_EQ(r.status, cli::kRowsFailed);
    EXPECT_NE(r.out.find("114.3652,114.3652,0,0.16,1\n"), std::string::npos);
    EXPECT_NE(r.out.find("31.96271,,0,0.16,1\n"), std::string::npos);
}

}  // namespace

namespace {

// A table long enough to be computed in several batches: every row in file
// order, every message naming its own line, in order.
TEST(TableLongInput, RowsAndMessagesInFileOrder) {
    std::string csv = "segment,flow,size,length,zeta\n";
    const int rows = 20000;
    for (int i = 0; i < rows; ++i) {
        if (i % 3 == 0)
            csv += "A,1000,200,10,1.5\n";
        else if (i % 3 == 1)
            csv += "B,5000,500x320,5,0.5\n";
        else {
            const std::string n = std::to_string(i);
            csv += 'X';
            csv += n;
            csv += ",1000,5";
            csv += n;
            csv += "O,1,1\n";
        }
    }
    const Outcome r = table(csv);
    EXPECT_EQ(r.status, cli::kRowsFailed);
    std::istringstream out(r.out), err(r.err);
    std::string line;
    std::getline(out, line);
    std::string rowA = withoutRunningTotal(kRowA), rowB = withoutRunningTotal(kRowB);
    rowA.pop_back(), rowB.pop_back();
    for (int i = 0; i < rows; ++i) {
        ASSERT_TRUE(std::getline(out, line)) << i;
        if (i == 0)
            EXPECT_EQ(line + "\n", kRowA);
        else if (i == 1)
            EXPECT_EQ(line + "\n", kRowB);
        else if (i % 3 == 0)
            EXPECT_EQ(line, rowA) << i;
        else if (i % 3 == 1)
            EXPECT_EQ(line, rowB) << i;
        else
            EXPECT_EQ(line, "X" + std::to_string(i) + ",1000,,,,,,,1,,,1,,,,0,0.16,1") << i;
        if (i % 3 == 2) {
            ASSERT_TRUE(std::getline(err, line)) << i;
            EXPECT_EQ(line, "ductcalc-cli: run.csv:" + std::to_string(i + 2) + ": size \"5" +
                                std::to_string(i) + "O\" is not a size");
        }
    }
    EXPECT_FALSE(std::getline(out, line));
    EXPECT_FALSE(std::getline(err, line));
}

}  // namespace
