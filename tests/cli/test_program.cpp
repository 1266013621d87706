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

Result run(const std::string& arguments, const std::string& input) {
    const std::string in = scratch("in.csv"), out = scratch("out"), err = scratch("err");
    std::ofstream(in, std::ios::binary) << input;
    const std::string command =
        std::string(DUCTCALC_CLI) + " " + arguments + " <" + in + " >" + out + " 2>" + err;
    const int raw = std::system(command.c_str());
    Result r{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(out), slurp(err)};
    for (const std::string& file : {in, out, err}) std::remove(file.c_str());
    return r;
}

struct Case {
    const char* name;
    const char* arguments;  // may name the input file as IN
    const char* input;
    int status;
    const char* out;  // a part of standard output; "" for none expected
    const char* err;  // a part of standard error; "" for nothing at all
};
void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class Program : public testing::TestWithParam<Case> {};
TEST_P(Program, StatusAndStreams) {
    const Case& c = GetParam();
    std::string arguments = c.arguments;
    const std::size_t at = arguments.find("IN");
    if (at != std::string::npos) arguments.replace(at, 2, scratch("in.csv"));
    const Result r = run(arguments, c.input);
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
             "2,,,", "in.csv:3: size \"50O\" is not a size"},
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
