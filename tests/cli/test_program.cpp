// SPDX-License-Identifier: GPL-3.0-or-later
// The built program as a script sees it: arguments, exit status, what goes
// to standard output and to standard error, standard input as "-".

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>

namespace {

struct Result {
    int status;
    std::string out, err;
};

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Files of this test process: ctest runs the cases side by side.
std::string scratch(const char* name) {
    return testing::TempDir() + "ductcalc_cli_" + std::to_string(getpid()) + "_" + name;
}

// How a case's input file is made.
enum class Encode { utf8, gb18030 };

// `output` redirects standard output: empty for a file, read afterwards;
// ">/dev/full", ">&-" (closed), or "| COMMAND" (a pipe to COMMAND, whose
// output is read). The program runs without the locale of whoever runs the
// tests, and with `environment` ("LANG=zh_CN.UTF-8") when given.
Result run(const std::string& arguments, const std::string& input, Encode encode,
           const std::string& output, const std::string& environment = "") {
    const std::string in = scratch("in.csv"), out = scratch("out"), err = scratch("err");
    if (encode == Encode::gb18030) {
        // Built from the UTF-8 text by iconv, as a Chinese spreadsheet
        // program would save it.
        const std::string utf8 = scratch("utf8.csv");
        std::ofstream(utf8, std::ios::binary) << input;
        const std::string convert = "iconv -f UTF-8 -t GB18030 " + utf8 + " >" + in;
        EXPECT_EQ(std::system(convert.c_str()), 0);
        std::remove(utf8.c_str());
    } else {
        std::ofstream(in, std::ios::binary) << input;
    }
    std::string redirect = " >" + out;
    if (!output.empty())
        redirect = output[0] == '|' ? " 2>" + err + " " + output + " >" + out : " " + output;
    const std::string command = "env -u LC_ALL -u LC_MESSAGES -u LANG " + environment + " " +
                                std::string(DUCTCALC_CLI) + " " + arguments + " <" + in +
                                (output.empty() || output[0] != '|' ? " 2>" + err : "") + redirect;
    const int raw = std::system(command.c_str());
    Result r{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(out), slurp(err)};
    for (const std::string& file : {in, out, err}) std::remove(file.c_str());
    return r;
}

struct Case {
    const char* name;
    const char* arguments;  // may name the input file as IN
    std::string input;
    int status;
    const char* out;  // a part of standard output; "" for none expected
    const char* err;  // a part of standard error; "" for nothing at all
    Encode encode = Encode::utf8;
    const char* output = "";  // where standard output goes (see run)
};
void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class Program : public testing::TestWithParam<Case> {};
TEST_P(Program, StatusAndStreams) {
    const Case& c = GetParam();
    std::string arguments = c.arguments;
    const std::size_t at = arguments.find("IN");
    if (at != std::string::npos) arguments.replace(at, 2, scratch("in.csv"));
    const Result r = run(arguments, c.input, c.encode, c.output);
    EXPECT_EQ(r.status, c.status) << r.err;
    if (*c.out)
        EXPECT_NE(r.out.find(c.out), std::string::npos) << r.out;
    else
        EXPECT_EQ(r.out, "");
    if (*c.err)
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    else
        EXPECT_EQ(r.err, "");
}

const char kTwoSegments[] = "segment,flow,size,length,zeta\nA,1000,200,10,1.5\n";

INSTANTIATE_TEST_SUITE_P(
    Invocations, Program,
    testing::Values(
        Case{"calc_worked_example", "calc --flow 1000 --diameter 200", "", 0, "8.841949 m/s", ""},
        Case{"calc_json", "calc --flow 5000 --sides 500x320 --format json", "", 0,
             "\"velocity\": {\"value\": 8.680555, \"text\": \" 8.680555 m/s\"}", ""},
        Case{"calc_chinese_material", "calc --flow 1000 --diameter 200 --material 砖砌体", "", 0,
             " 5", ""},
        Case{"calc_failure_is_status_one", "calc --flow 1e40 --diameter 200", "", 1, "—",
             "beyond the range"},
        Case{"size_with_a_limit", "size --flow 1000 --max-velocity 6", "", 0,
             "smallest circular:    φ250", ""},
        Case{"table_from_standard_input", "table -", kTwoSegments, 0,
             "A,1000,φ200,0.2,8.841949,117423", ""},
        Case{"table_from_a_file", "table --format json IN", kTwoSegments, 0,
             "\"running_total\": 114.3652", ""},
        Case{"table_semicolons", "table --delimiter ';' -", "flow;size\n1000;200\n", 0,
             "1;1000;φ200;0.2", ""},
        Case{"table_bad_row_names_file_and_line", "table IN", "flow,size\n1000,200\n1,50O\n", 1,
             "2,1,,", "in.csv:3: size \"50O\" is not a size"},
        Case{"table_missing_file", "table /nonexistent/run.csv", "", 2, "",
             "ductcalc-cli: /nonexistent/run.csv: cannot open"},
        Case{"table_of_a_picture", "table -", "\x89PNG\r\n\x1a\n", 2, "", "no \"flow\""},
        Case{"help_is_success", "--help", "", 0, "calc", ""},
        Case{"help_of_a_command_shows_defaults", "table --help", "", 0,
             "TEXT:{text,csv,json,xlsx}=csv", ""},
        Case{"calc_help_shows_the_default_unit", "calc --help", "", 0, "=m3/h", ""},
        Case{"no_command", "", "", 2, "", "ductcalc-cli: "},
        Case{"unknown_command", "draw", "", 2, "", "ductcalc-cli: "},
        Case{"unknown_unit", "calc --flow 1 --diameter 200 --unit m3/d", "", 2, "", "--unit"},
        Case{"material_and_k", "calc --flow 1 --diameter 200 --material wood --k 1", "", 2, "",
             "excludes"},
        Case{"both_sizes", "calc --flow 1 --diameter 200 --sides 500x320", "", 2, "",
             "ductcalc-cli: "},
        Case{"bad_size", "calc --flow 1 --diameter 50O", "", 2, "", "\"50O\" is not a size"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace

namespace {

// Rows enough to fill a pipe many times over.
std::string manyRows(int rows) {
    std::string csv = "segment,flow,size,length,zeta\n";
    for (int i = 0; i < rows; ++i) csv += "S" + std::to_string(i) + ",1000,200,10,1.5\n";
    return csv;
}

// Item by item: every number read whole or refused.
INSTANTIATE_TEST_SUITE_P(
    NumbersReadWhole, Program,
    testing::Values(
        Case{"calc_k_with_a_comma", "calc --flow 1000 --diameter 200 --k 1,5", "", 2, "",
             "--k \"1,5\" is not a number"},
        Case{"calc_k_with_two_points", "calc --flow 1000 --diameter 200 --k 0.1.2", "", 2, "",
             "--k \"0.1.2\" is not a number"},
        Case{"calc_k_empty", "calc --flow 1000 --diameter 200 --k ''", "", 2, "", "--k is empty"},
        Case{"calc_k_negative", "calc --flow 1000 --diameter 200 --k=-1", "", 2, "",
             "--k \"-1\" is negative"},
        Case{"size_k_letters", "size --flow 1000 --k abc", "", 2, "",
             "--k \"abc\" is not a number"},
        Case{"calc_k_above_ten_is_held_with_a_warning", "calc --flow 1000 --diameter 200 --k 20",
             "", 0, "roughness K             10 mm", "k \"20\" is held to 10 mm"},
        Case{"calc_flow_with_a_comma", "calc --flow 1,000 --diameter 200", "", 2, "",
             "--flow \"1,000\" is not a number"},
        Case{"calc_flow_empty", "calc --flow '' --diameter 200", "", 2, "",
             "--flow \"\" is not a number"},
        Case{"size_flow_negative", "size --flow=-100", "", 2, "", "--flow \"-100\" is negative"},
        Case{"calc_lenient_flow_reads_like_the_window",
             "calc --lenient --flow 1,000 --diameter 200", "", 1, "air volume              1 m3/h",
             "warning: --flow: only 1 was read; \",000\" was ignored"},
        Case{"table_k_cell_with_a_comma_is_a_row_error", "table -",
             "flow,size,k\n1000,200,\"1,5\"\n", 1,
             "1,1000,φ200,0.2,8.841949,117423,,,0,,47.06439,0,0,,,0,,1",
             "-:2: k \"1,5\" is not a number"},
        Case{"table_k_cell_letters", "table -", "flow,size,k\n1000,200,abc\n", 1,
             "1,1000,φ200,0.2,8.841949,117423,,,0,,47.06439,0,0,,,0,,1",
             "-:2: k \"abc\" is not a number"},
        Case{"table_empty_k_cell_means_the_material", "table -",
             "flow,size,material,k\n1000,200,brick,\n", 0, ",5,1\n", ""},
        Case{"table_k_cell_held_with_a_warning", "table -", "flow,size,k\n1000,200,20\n", 0,
             ",10,1\n", "-:2: warning: k \"20\" is held to 10 mm"},
        Case{"table_negative_flow_is_a_row_error", "table -", "flow,size\n-1000,200\n", 1,
             "1,,φ200,0.2,,,,,0,,,0,,,,0,0.16,1", "-:2: flow \"-1000\" is negative"},
        Case{"table_shows_k_and_formula_last", "table -", "flow,size,k,formula\n1000,200,0.5,2\n",
             0, "running_total,dp,k,formula\n1,1000,φ200,", ""},
        Case{"table_formula_two_is_shown", "table -", "flow,size,formula\n1000,200,2\n", 0,
             ",0.16,2\n", ""}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    OutputNeverLost, Program,
    testing::Values(Case{"calc_to_a_full_disk", "calc --flow 1000 --diameter 200", "", 2, "",
                         "ductcalc-cli: write error: No space left on device", Encode::utf8,
                         ">/dev/full"},
                    Case{"help_to_a_full_disk", "--help", "", 2, "",
                         "write error: No space left on device", Encode::utf8, ">/dev/full"},
                    Case{"table_to_a_closed_output", "table -", kTwoSegments, 2, "",
                         "write error: Bad file descriptor", Encode::utf8, ">&-"},
                    Case{"table_to_a_full_disk_stops_reading", "table -", manyRows(20000), 2, "",
                         "write error: No space left on device", Encode::utf8, ">/dev/full"},
                    // A reader that wants no more is no error: nothing said.
                    Case{"a_broken_pipe_stays_quiet", "table -", manyRows(20000), 0, "segment,flow",
                         "", Encode::utf8, "| head -n 1"}),
    [](const auto& info) { return std::string(info.param.name); });

const char kChineseRun[] =
    "送风系统水力计算表\n"
    "段号,风量(m3/h),尺寸,长度（m）,局部阻力系数\n"
    "送风1,1000,200,10,1.5\n"
    "合计,,,,\n";

INSTANTIATE_TEST_SUITE_P(
    OfficeFiles, Program,
    testing::Values(
        Case{"gb18030_is_read_with_a_note", "table IN", kChineseRun, 0,
             "送风1,1000,φ200,0.2,8.841949,117423",
             "note: the file is not UTF-8; it is read as "
             "GB18030",
             Encode::gb18030},
        Case{"the_encoding_note_names_the_file_not_a_line", "table IN", kChineseRun, 0, "送风1",
             "in.csv: note: the file is not UTF-8", Encode::gb18030},
        Case{"the_systems_encoding_note_names_the_file_not_a_line", "system IN",
             "段号,起点,终点,风量,尺寸\nA,0,1,1000,200\n", 0, "A",
             "in.csv: note: the file is not UTF-8", Encode::gb18030},
        Case{"gb18030_forced_has_no_note", "table --encoding gb18030 IN",
             "段号,风量,尺寸\n送风1,1000,200\n", 0, "送风1,1000,φ200", "", Encode::gb18030},
        Case{"gb18030_read_as_utf8_gets_a_hint", "table --encoding utf-8 IN", kChineseRun, 2, "",
             "try --encoding gb18030", Encode::gb18030},
        Case{"utf8_with_a_byte_order_mark", "table -",
             "\xEF\xBB\xBF段号,风量,尺寸\n送风1,1000,200\n", 0, "送风1,1000,φ200", ""},
        Case{"undecodable_bytes_keep_json_valid", "table --format json -",
             "segment,flow,size\nA\xFF,1000,200\n", 0, "\"segment\": \"A\xEF\xBF\xBD\"",
             "warning: 1 byte could not be decoded"},
        Case{"bom_on_request", "table --bom -", kTwoSegments, 0, "\xEF\xBB\xBFsegment,flow", ""},
        Case{"semicolons_found_from_the_header", "table -", "flow;size\n1000;200\n", 0,
             "1;1000;φ200;0.2", ""},
        Case{"tabs_found_from_the_header", "table -", "flow\tsize\n1000\t200\n", 0,
             "1\t1000\tφ200\t0.2", ""},
        Case{"delimiter_tab_by_name", "table --delimiter tab -", "flow\tsize\n1000\t200\n", 0,
             "1\t1000\tφ200", ""},
        Case{"delimiter_backslash_t", "table --delimiter '\\t' -", "flow\tsize\n1000\t200\n", 0,
             "1\t1000\tφ200", ""},
        Case{"delimiter_quote_refused", "table --delimiter '\"' -", kTwoSegments, 2, "",
             "a quote encloses fields"},
        Case{"delimiter_empty_refused", "table --delimiter '' -", kTwoSegments, 2, "",
             "an empty text is no delimiter"},
        Case{"semicolons_with_a_comma_forced_get_a_hint", "table --delimiter , -",
             "flow;size\n1000;200\n", 2, "", "try --delimiter ;"},
        Case{"header_units_in_brackets_and_blanks", "table -",
             "\xE3\x80\x80Segment ,flow [m3/h],尺寸（mm）,Length (m)\nA,1000,200,10\n", 0,
             "A,1000,φ200,0.2,8.841949,117423,0.01859947,4.376865,10,43.76865", ""},
        Case{"title_row_skipped_and_rows_numbered_as_read", "table -",
             "风管计算\n\nflow,size\n\n1000,200\n\n1000,250\n", 0, "\n2,1000,φ250",
             "-:1: note: a title row above the header is skipped"},
        Case{"total_rows_skipped", "table -",
             "segment,flow,size\nA,1000,200\n总计,1000,\nTotal,1000,\n", 0, "A,1000,φ200",
             "-:3: note: the total row \"总计\" is skipped"},
        Case{"cr_only_line_ends", "table -", "segment,flow,size\rA,1000,200\rB,1000,250\r", 0,
             "\nB,1000,φ250", ""},
        Case{"unclosed_quote_named_where_it_opened", "table IN",
             "flow,size\n1000,200\n\"1000,200\n1000,250\n", 2, "1,1000,φ200",
             "in.csv:3: not CSV: a quoted field opened here is never closed"},
        Case{"nul_byte_named_with_its_line", "table IN",
             std::string("flow,size\n1000,200\n10\0", 22) + "0,200\n", 2, "",
             "in.csv:3: not CSV: a NUL byte"},
        Case{"a_directory", "table /", "", 2, "", "ductcalc-cli: /: is a directory"},
        Case{"unit_with_a_superscript", "table -", "flow,unit,size\n1000,m³/h,200\n", 0,
             "1,1000,φ200", ""},
        Case{"unit_in_capitals", "table -", "flow,unit,size\n1000,M3/H,200\n", 0, "1,1000,φ200",
             ""},
        Case{"unit_cfm_in_small_letters", "table -", "flow,unit,size\n1000,cfm,200\n", 0,
             "1,1699,φ200", ""},
        Case{"unit_litres_with_a_capital", "table -", "flow,unit,size\n1000,L/s,200\n", 0,
             "1,3600,φ200", ""},
        Case{"sizes_as_people_type_them", "table -",
             "segment,flow,size\na,1000,Ø200\nb,1000,ø200\nc,1000,ф200\nd,1000,D200\n"
             "e,5000,500＊320\nf,5000,500X320\ng,5000,500 x 320\nh,1000,Φ200\n",
             0, "g,5000,500*320,0.3902439", ""}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    OneNamePerQuantity, Program,
    testing::Values(Case{"calc_csv_names_rm", "calc --flow 1000 --diameter 200 --format csv", "", 0,
                         "reynolds,rm,lambda,velocity_pressure\n", ""},
                    Case{"calc_json_has_no_lambda_without_air",
                         "calc --flow 0 --diameter 200 --format json", "", 0,
                         "\"lambda\": {\"value\": null, \"text\": \"—\"}", ""},
                    Case{"table_json_numbers_read_back", "table --format json -", kTwoSegments, 0,
                         "\"velocity\": 8.8419485, \"reynolds\": 117422.95", ""},
                    Case{"table_failed_row_keeps_its_values", "table -",
                         "segment,flow,size,length\nX,1000,"
                         "50O,12\n",
                         1, "X,1000,,,,,,,12,,,0,,,,0,0.16,1", "size \"50O\" is not a size"}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    ErrorsToActOn, Program,
    testing::Values(
        Case{"option_typo_suggested", "calc --flwo 1000 --diameter 200", "", 2, "",
             "unknown option --flwo; did you mean --flow?"},
        Case{"command_typo_suggested", "clac --flow 1000", "", 2, "", "clac: did you mean calc?"},
        Case{"errors_point_to_the_commands_help", "calc --flow 1000", "", 2, "",
             "Try 'ductcalc-cli calc --help'"},
        Case{"formula_two_in_words", "calc --flow 1000 --diameter 200 --formula two", "", 2, "",
             "give 1 (公式一, the default) or 2 (公式二)"},
        Case{"help_names_the_default_formula", "calc --help", "", 0,
             "the default, as in the window", ""},
        Case{"min_velocity_above_max", "size --flow 1000 --min-velocity 8 --max-velocity 6", "", 2,
             "", "--min-velocity 8 is above --max-velocity 6"},
        Case{"no_size_meets", "size --flow 1000 --max-velocity 0.01", "", 1,
             "none meets the limits", "no size meets the limits"},
        Case{"laminar_flow_warned", "calc --flow 1 --diameter 2000", "", 0, "11.7423",
             "warning: Reynolds number 11.7423 is below 2300"},
        Case{"laminar_row_warned", "table -", "flow,size\n1,2000\n", 0, "1,1,φ2000",
             "-:2: warning: Reynolds number 11.7423 is below 2300"},
        Case{"no_air_is_not_laminar", "calc --flow 0 --diameter 200", "", 0,
             "Reynolds number         0", ""},
        Case{"a_row_without_air_is_not_laminar", "table -", "flow,size\n0,200\n", 0,
             "1,0,φ200,0.2,0,0,", ""},
        Case{"a_looser_velocity_leaves_the_presets_limit",
             "size --flow 3000 --preset public-main --max-velocity 12 --format csv", "", 0,
             "circular,φ320,0.0804247,0.32,10.36166,3.370847,no,,no", ""}),
    [](const auto& info) { return std::string(info.param.name); });

// Text lines up on a terminal, where a Chinese character takes two columns.
INSTANTIATE_TEST_SUITE_P(
    TextForPeople, Program,
    testing::Values(
        Case{"chinese_segment_padded_by_display_width", "table --format text -",
             "段号,风量,尺寸\n送风1,1000,200\n", 0, "\n送风1              1000   φ200", ""},
        Case{"long_segment_cut_with_an_ellipsis", "table --format text -",
             "段号,风量,尺寸\n送风系统总管段一,1000,200\n", 0, "\n送风系统…          1000", ""},
        Case{"calc_size_lines_up_with_the_numbers", "calc --flow 1000 --diameter 200", "", 0,
             "duct size               φ 200\nequivalent diameter     0.2 m", ""}),
    [](const auto& info) { return std::string(info.param.name); });

// Faults that changing one line at a time once let through unseen.
INSTANTIATE_TEST_SUITE_P(
    Mutations, Program,
    testing::Values(
        // Found by find_pinned_table_inputs: each text differs when the step
        // is taken in single precision.
        Case{"friction_loss_formed_in_double", "table -",
             "flow,size,length,zeta\n18658,280,18.8,4.96\n", 0, ",18.8,4925.515,", ""},
        Case{"local_loss_formed_in_double", "table -", "flow,size,length,zeta\n6387,2000,50,3.41\n",
             0, ",3.41,0.6546974,", ""},
        Case{"velocity_pressure_with_a_double_density", "table -",
             "flow,size,length,zeta\n7097,180,35.8,4.08\n", 0, ",3613.034,", ""},
        Case{"segment_with_a_quote_reads_back", "table -",
             "segment,flow,size\n\"a\"\"b\",1000,200\n", 0, "\n\"a\"\"b\",1000,", ""},
        Case{"segment_with_a_comma_reads_back", "table -", "segment,flow,size\n\"a,b\",1000,200\n",
             0, "\n\"a,b\",1000,", ""},
        Case{"segment_with_a_line_break_reads_back", "table -",
             "segment,flow,size\n\"a\nb\",1000,200\n", 0, "\n\"a\nb\",1000,", ""},
        Case{"empty_unit_after_m3_per_s_is_m3_per_h", "table -",
             "segment,flow,unit,size\nA,1,m3/s,200\nB,1000,,200\n", 0, "\nB,1000,φ200", ""},
        Case{"material_in_capitals", "table -", "flow,size,material\n1000,200,PLASTIC\n", 0,
             ",0.03,1\n", ""},
        Case{"capital_phi", "table -", "flow,size\n1000,Φ200\n", 0, "1,1000,φ200,0.2", ""},
        Case{"one_side_not_whole_is_refused", "table -", "flow,size\n1000,500x32O\n", 1,
             "1,1000,,,,,,,0,,,0,,,,0,0.16,1", "size \"500x32O\" is not a size"},
        Case{"aspect_of_exactly_the_maximum", "size --flow 1000 --format csv", "", 0,
             "rectangular,2000*500,", ""},
        Case{"aspect_one_keeps_squares", "size --flow 1000 --max-aspect 1 --format csv", "", 0,
             "rectangular,200*200,", ""},
        // 3600 m3/h through 1000x1000 mm: exactly 1 m/s.
        Case{"velocity_of_exactly_both_limits",
             "size --flow 3600 --max-velocity 1 --min-velocity 1 --format csv", "", 0,
             "rectangular,1000*1000,1,1,1,", ""},
        Case{"losses_that_overflow", "table -", "flow,size,length\n1000,200,1e38\n", 1, ",1E+38,,",
             "-:2: the segment's losses are beyond the range of the calculation"},
        Case{"velocity_pressure_that_overflows", "calc --flow 8e22 --diameter 200", "", 1,
             "velocity pressure       —", "beyond the range of the calculation"}),
    [](const auto& info) { return std::string(info.param.name); });

// The language of the messages comes from the environment, as POSIX
// chooses a locale's category: the first of LC_ALL, LC_MESSAGES and LANG that
// is set and not empty. The output itself does not change.
struct Spoken {
    const char* name;
    const char* environment;
    const char* arguments;
    std::string input;
    const char* err;  // a part of standard error
};
void PrintTo(const Spoken& c, std::ostream* os) { *os << c.name; }
class Language : public testing::TestWithParam<Spoken> {};
TEST_P(Language, OfTheMessages) {
    const Spoken& c = GetParam();
    const Result english = run(c.arguments, c.input, Encode::utf8, "");
    const Result r = run(c.arguments, c.input, Encode::utf8, "", c.environment);
    EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    EXPECT_EQ(r.status, english.status);
    EXPECT_EQ(r.out, english.out);
}
constexpr const char* kLenient = "calc --lenient --flow 1,000 --diameter 200";
INSTANTIATE_TEST_SUITE_P(
    Environments, Language,
    testing::Values(
        Spoken{"none_set_speaks_english", "", kLenient, "",
               "ductcalc-cli: warning: --flow: only 1 was read; \",000\" was ignored\n"},
        Spoken{"lang_chinese", "LANG=zh_CN.UTF-8", kLenient, "",
               "ductcalc-cli: warning: --flow: 只读取了 1，忽略了“,000”\n"},
        Spoken{"lang_english", "LANG=en_US.UTF-8", kLenient, "", "only 1 was read"},
        Spoken{"lc_all_before_lang", "LC_ALL=C LANG=zh_CN.UTF-8", kLenient, "", "only 1 was read"},
        Spoken{"lc_messages_before_lang", "LC_MESSAGES=zh_TW.UTF-8 LANG=en_GB.UTF-8", kLenient, "",
               "只读取了 1"},
        Spoken{"lc_all_before_lc_messages", "LC_ALL=zh_SG LC_MESSAGES=C", kLenient, "",
               "只读取了 1"},
        Spoken{"an_empty_lc_all_is_passed_over", "LC_ALL= LANG=zh_CN.UTF-8", kLenient, "",
               "只读取了 1"}),
    [](const auto& info) { return std::string(info.param.name); });

// The program's own messages, each in English and, under a Chinese locale,
// in Chinese: the same status and output, the names, numbers and options
// given as they were written.
struct Worded {
    const char* name;
    const char* arguments;  // may name the input file as IN
    std::string input;
    const char* english;  // a part of standard error in English
    const char* chinese;  // the same part in Chinese
    const char* output = "";
};
void PrintTo(const Worded& c, std::ostream* os) { *os << c.name; }
class OwnMessages : public testing::TestWithParam<Worded> {};
TEST_P(OwnMessages, InEachLanguage) {
    const Worded& c = GetParam();
    std::string arguments = c.arguments;
    const std::size_t at = arguments.find("IN");
    if (at != std::string::npos) arguments.replace(at, 2, scratch("in.csv"));
    const Result english = run(arguments, c.input, Encode::utf8, c.output);
    const Result chinese = run(arguments, c.input, Encode::utf8, c.output, "LANG=zh_CN.UTF-8");
    EXPECT_NE(english.err.find(c.english), std::string::npos) << english.err;
    EXPECT_NE(chinese.err.find(c.chinese), std::string::npos) << chinese.err;
    EXPECT_EQ(chinese.status, english.status);
    EXPECT_EQ(chinese.out, english.out);
}
const char kSettingRows[] =
    "segment,flow,size,length,zeta\nA-F,1000,200,5,0.5\nF-B,1000,200,10,0.5\n";
INSTANTIATE_TEST_SUITE_P(
    CommandLine, OwnMessages,
    testing::Values(
        Worded{"an_unknown_command_with_its_nearest", "clac --flow 1000", "",
               "ductcalc-cli: unknown command clac: did you mean calc?\n"
               "Try 'ductcalc-cli --help' for more information.\n",
               "ductcalc-cli: 未知的命令 clac：是否应为 calc？\n"
               "运行“ductcalc-cli --help”可查看用法。\n"},
        Worded{"an_unknown_command_with_every_command", "wxyzvw", "",
               "ductcalc-cli: unknown command wxyzvw; the commands are calc, size, table, "
               "system, fitting and chart\n",
               "ductcalc-cli: 未知的命令 wxyzvw；可用的命令有 calc、size、table、system、"
               "fitting和chart\n"},
        Worded{"an_unknown_option_with_its_nearest", "calc --flwo 1000 --diameter 200", "",
               "ductcalc-cli: unknown option --flwo; did you mean --flow?\n"
               "Try 'ductcalc-cli calc --help' for more information.\n",
               "ductcalc-cli: 未知的选项 --flwo；是否应为 --flow？\n"
               "运行“ductcalc-cli calc --help”可查看用法。\n"},
        Worded{"the_charts_formula", "chart --formula 3", "",
               "ductcalc-cli: --formula must be 1 or 2\n", "ductcalc-cli: --formula 应为 1 或 2\n"},
        Worded{"a_formula_option_checked_as_it_is_read",
               "calc --flow 1000 --diameter 200 --formula 3", "",
               "\"3\" is no formula: give 1 (公式一, the default) or 2 (公式二)",
               "“3”不是公式：应为 1（公式一，默认）或 2（公式二）"},
        Worded{"a_material_not_in_the_list", "calc --flow 1000 --diameter 200 --material tin", "",
               "ductcalc-cli: material \"tin\" is not one of ",
               "ductcalc-cli: 材料“tin”不在可选之列："},
        Worded{"a_size_not_read", "calc --flow 1000 --diameter 2x", "",
               "ductcalc-cli: --diameter \"2x\" is not a size\n",
               "ductcalc-cli: --diameter“2x”不是风管尺寸\n"},
        Worded{"an_altitude_beyond_the_atmosphere",
               "calc --flow 1000 --diameter 200 --altitude 90000", "",
               "ductcalc-cli: --altitude 90000 lies beyond the standard atmosphere (below about 44 "
               "km)\n",
               "ductcalc-cli: --altitude 90000 超出标准大气的范围（约 44 km 以下）\n"},
        Worded{"air_below_absolute_zero", "calc --flow 1000 --diameter 200 --air-temperature -300",
               "",
               "ductcalc-cli: no air at -300 °C and 101.325 kPa: the temperature must lie above "
               "absolute zero and the pressure above 0\n",
               "ductcalc-cli: 温度 -300 °C、压力 101.325 kPa 时无法求得空气的物性："},
        Worded{"a_setting_that_gives_way", "system --fan F IN",
               std::string("风机,F\n") + kSettingRows,
               ":1: note: setting 风机 gives way to --fan\n",
               ":1: note: 设置 风机 不予采用，以选项 --fan 为准\n"},
        Worded{"a_setting_that_cannot_be_read", "system IN",
               std::string("风机,F\n温度,abc\n") + kSettingRows,
               ":2: setting 温度 \"abc\" cannot be read: give a temperature in °C\n",
               ":2: 设置 温度“abc”无法读取：应为以 °C 计的温度\n"},
        Worded{
            "a_percentage_setting_that_cannot_be_read", "system IN",
            std::string("风机,F\n风机压力余量,2000\n") + kSettingRows,
            ":2: setting 风机压力余量 \"2000\" cannot be read: give a percentage from 0 to 1000\n",
            ":2: 设置 风机压力余量“2000”无法读取：应为介于 0 与 1000 之间的百分数\n"},
        Worded{"a_segment_the_chart_cannot_place", "chart IN",
               "segment,flow,size,length\nA-B,0,200,10\n",
               ":2: segment A-B has no air volume and Rm above 0: it is not on the chart\n",
               ":2: 管段A-B没有风量而比摩阻大于 0：无法标在图上\n"},
        Worded{"no_size_meets_the_limits", "size --flow 1000 --max-velocity 0.01", "",
               "ductcalc-cli: no size meets the limits\n", "ductcalc-cli: 没有尺寸满足限值\n"},
        Worded{"velocity_limits_that_exclude_each_other",
               "size --flow 1000 --min-velocity 8 --max-velocity 4", "",
               "ductcalc-cli: --min-velocity 8 is above --max-velocity 4: no velocity meets both\n",
               "ductcalc-cli: --min-velocity 8 大于 --max-velocity 4：没有风速能同时满足两者\n"},
        Worded{
            "one_laminar_size", "size --flow 240", "",
            "ductcalc-cli: warning: 1 size has a Reynolds number below 2300: the flow is "
            "laminar there, and neither friction formula is meant for it\n",
            "ductcalc-cli: warning: 有 1 个尺寸的雷诺数低于 2300：气流为层流，两个摩擦系数公式都不"
            "适用\n"},
        Worded{
            "laminar_sizes_counted", "size --flow 200", "",
            "ductcalc-cli: warning: 3 sizes have a Reynolds number below 2300: the flow is "
            "laminar there, and neither friction formula is meant for it\n",
            "ductcalc-cli: warning: 有 3 个尺寸的雷诺数低于 2300：气流为层流，两个摩擦系数公式都不"
            "适用\n"},
        Worded{"size_without_its_flow", "size --max-velocity 5", "",
               "ductcalc-cli: size: --flow is required\n", "ductcalc-cli: size：须给出 --flow\n"},
        Worded{"a_limit_that_is_not_finite", "size --flow 1000 --max-velocity inf", "",
               "ductcalc-cli: a limit must be a finite number\n",
               "ductcalc-cli: 限值须为有限的数\n"},
        Worded{"a_unit_checked_as_it_is_read", "calc --flow 1000 --unit gpm --diameter 200", "",
               "\"gpm\" is not one of m3/h, m3/min", "“gpm”不在可选之列：m3/h, m3/min"},
        // The parser names the option once, before the reason.
        Worded{"a_delimiter_of_two_characters", "table --delimiter ab IN", kTwoSegments,
               "ductcalc-cli: --delimiter: give one character, or tab\n",
               "ductcalc-cli: --delimiter: 请给出一个字符，或 tab\n"},
        Worded{"a_leakage_row_that_is_no_percentage",
               "table --format xlsx -o /nonexistent/report.xlsx IN",
               std::string("漏风附加,abc\n") + kTwoSegments,
               ":1: 漏风附加 \"abc\" is not a percentage from 0 to 100\n",
               ":1: 漏风附加“abc”不是 0 至 100 之间的百分数\n"},
        Worded{"the_fans_missing_figures", "system IN", "segment,flow,size,length\nA-B,,200,10\n",
               ":2: fan: segment \"A-B\" (line 2) leaving the fan has no air volume; the path to "
               "outlet segment \"A-B\" (line 2) has no total",
               ":2: 风机：自风机引出的管段“A-B”（第 2 行）没有风量；至末端管段“A-B”（第 2 行）"},
        Worded{"a_sizing_method_not_known", "system --size fast IN", kSettingRows,
               "ductcalc-cli: --size \"fast\" is not a method: velocity (假定流速法) or friction "
               "(等摩阻法)\n",
               "ductcalc-cli: --size“fast”不是计算方法：应为 velocity（假定流速法）或 friction"
               "（等摩阻法）\n"},
        Worded{"an_unknown_fitting_with_its_nearest", "fitting elbow-90x", "",
               "ductcalc-cli: unknown fitting elbow-90x: did you mean ",
               "ductcalc-cli: 未知的管件 elbow-90x：是否应为 "},
        Worded{"fitting_list_takes_no_option", "fitting list --angle 30", "",
               "ductcalc-cli: fitting list takes no --angle\n",
               "ductcalc-cli: fitting list 不接受选项 --angle\n"},
        Worded{"an_option_a_fitting_does_not_take", "fitting bend --beta 0.5", "",
               "ductcalc-cli: bend takes no --beta (its options: --angle, --r-d, --aspect)\n",
               "ductcalc-cli: bend 不接受选项 --beta（其选项：--angle, --r-d, --aspect）\n"},
        Worded{"a_fitting_that_takes_no_option", "fitting exit --beta 0.5", "",
               "ductcalc-cli: exit takes no --beta (its options: none)\n",
               "ductcalc-cli: exit 不接受选项 --beta（其选项：无）\n"},
        Worded{"a_workbook_without_its_file", "system --format xlsx IN", kSettingRows,
               "ductcalc-cli: --format xlsx writes a workbook: give its file with -o FILE.xlsx\n",
               "ductcalc-cli: --format xlsx 输出的是工作簿：请用 -o FILE.xlsx 给出文件\n"},
        Worded{"a_file_that_cannot_be_opened", "system /nonexistent/segments.csv", "",
               "ductcalc-cli: /nonexistent/segments.csv: cannot open: ",
               "ductcalc-cli: /nonexistent/segments.csv: 无法打开："},
        // The table is written beside its place first: a folder that is not
        // there is said, not passed over with a status alone.
        Worded{"an_output_that_cannot_be_written", "table -o /nonexistent/out.csv IN", kTwoSegments,
               "ductcalc-cli: /nonexistent/out.csv: cannot write the file\n",
               "ductcalc-cli: /nonexistent/out.csv: 无法写入文件\n"},
        Worded{"a_system_output_that_cannot_be_written", "system -o /nonexistent/out.csv IN",
               kSettingRows, "ductcalc-cli: /nonexistent/out.csv: cannot write the file\n",
               "ductcalc-cli: /nonexistent/out.csv: 无法写入文件\n"},
        Worded{"output_to_a_full_device", "calc --flow 1000 --diameter 200", "",
               "ductcalc-cli: write error: ", "ductcalc-cli: 写入出错：", ">/dev/full"},
        Worded{"a_workbook_in_a_folder_that_is_not_there",
               "system --format xlsx -o /nonexistent/out.xlsx IN", kSettingRows,
               "ductcalc-cli: /nonexistent/out.xlsx: Error creating output xlsx file. Usually a "
               "permissions error.\n",
               "ductcalc-cli: /nonexistent/out.xlsx: "
               "无法创建工作簿文件，文件夹不存在或没有写入权限（Error creating output "
               "xlsx file. Usually a permissions error.）\n"},
        Worded{"a_table_workbook_in_a_folder_that_is_not_there",
               "table --format xlsx -o /nonexistent/out.xlsx IN", kTwoSegments,
               "ductcalc-cli: /nonexistent/out.xlsx: Error creating output xlsx file. Usually a "
               "permissions error.\n",
               "ductcalc-cli: /nonexistent/out.xlsx: "
               "无法创建工作簿文件，文件夹不存在或没有写入权限（Error creating output "
               "xlsx file. Usually a permissions error.）\n"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
