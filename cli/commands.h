// SPDX-License-Identifier: GPL-3.0-or-later
// The three commands of ductcalc-cli, callable without the argument parser
// so that tests can run them in-process.
#pragma once

#include <cstdio>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace cli {

// A UTF-8 byte-order mark, for spreadsheet programs that otherwise take a
// CSV file for the local code page.
inline constexpr std::string_view kBom = "\xEF\xBB\xBF";

// Exit statuses.
inline constexpr int kSuccess = 0;
inline constexpr int kRowsFailed = 1;  // some input could not be computed
inline constexpr int kUsage = 2;       // the command line or the file is unusable

enum class Format { text, csv, json };

// Roughness of a duct: a material by name, or a custom K.
struct MaterialOptions {
    std::string material = "thin-steel";
    std::optional<std::string> k;  // mm; replaces the material when given
};

// The air the ducts carry. With none of these, the window's air (1.204
// kg/m3, 1.506e-05 m2/s) exactly; otherwise 20 °C and 101.325 kPa stand for
// whichever is not given.
struct AirOptions {
    std::optional<double> temperature;  // °C
    std::optional<double> altitude;     // m
    std::optional<double> pressure;     // kPa
};

// What calc and size both take: the air volume, the wall, the formula and
// the air.
struct DuctOptions {
    std::string flow;
    // Read the air volume as the window's box reads it (a warning, and exit
    // status 1, when it is not read whole or is negative) rather than refuse it.
    bool lenient = false;
    std::string unit = "m3/h";
    MaterialOptions material;
    int formula = 1;
    AirOptions air;
};

struct CalcOptions : DuctOptions {
    std::optional<std::string> diameter;  // mm
    std::optional<std::string> sides;     // "AxB", mm
    Format format = Format::text;
    bool bom = false;  // a UTF-8 byte-order mark before the output
};
int runCalc(const CalcOptions& options, std::ostream& out, std::ostream& err);

struct SizeOptions : DuctOptions {
    double maxAspect = 4;
    std::optional<double> maxVelocity;  // m/s
    std::optional<double> minVelocity;  // m/s
    std::optional<double> maxRm;        // Pa/m
    // A row of the codes' velocity table (system/presets.h) by slug or
    // Chinese name, or "list".
    std::optional<std::string> preset;
    std::optional<double> maxSide;         // mm: a ceiling limits the duct's height
    std::optional<double> targetVelocity;  // m/s: sizes ranked by closeness to it
    Format format = Format::text;
    bool bom = false;  // a UTF-8 byte-order mark before the output
};
int runSize(const SizeOptions& options, std::ostream& out, std::ostream& err);

enum class InputEncoding { automatic, utf8, gb18030 };

// The 计算书's title block and the fan's leakage allowance; each wins over
// the file's row of the same name.
struct ReportOptions {
    std::optional<std::string> project, systemName, designer, checker, reviewer, date;
    std::optional<double> leakage;  // fraction of the air volume
};

struct TableOptions {
    Format format = Format::csv;
    bool xlsx = false;   // a workbook to `output` instead of `format`
    std::string output;  // -o: the file written instead of standard output
    AirOptions air;
    // Field separator of the input and of CSV output; 0: the header row's
    // own (',', ';' or tab), found when it is read.
    char delimiter = 0;
    InputEncoding encoding = InputEncoding::automatic;
    std::string sheet;            // a workbook's sheet by name; empty: the first
    bool bom = false;             // a UTF-8 byte-order mark before the output
    bool chineseHeaders = false;  // --headers zh: CSV columns by their Chinese headings
    bool progress = false;        // a row count on the error stream while reading
    int formula = 1;              // rows that name no formula: the window's 公式一
    unsigned jobs = 0;            // threads, this one included; 0: the machine's
    ReportOptions report;         // the workbook's title block
};
// Reads a table of segments from `in` (named `name` in messages) and writes
// the hydraulic calculation table to `out`, row by row.
int runTable(std::FILE* in, const std::string& name, const TableOptions& options, std::ostream& out,
             std::ostream& err);
// The same for the file at `path` ("-" for standard input).
int runTableFile(const std::string& path, const TableOptions& options, std::ostream& out,
                 std::ostream& err);

struct SystemOptions {
    Format format = Format::text;
    bool xlsx = false;           // a 计算书 workbook to `output` instead of `format`
    std::string output;          // -o: the file written instead of standard output
    char delimiter = 0;          // 0: the header row's own (',', ';' or tab)
    std::string fan;             // the fan's node; empty: the from node of the first row
    double maxImbalance = 0.15;  // GB 50736's limit for parallel loops
    double margin = 0.10;        // allowance on the index run's total for the fan
    AirOptions air;
    int formula = 2;  // rows that name no formula: 公式二, near Colebrook-White
    // Which of the options above were given on the command line: those win
    // over the settings a file carries above its header (风机, 不平衡率限值,
    // …); the others give way to them.
    bool maxImbalanceGiven = false, marginGiven = false, formulaGiven = false;
    InputEncoding encoding = InputEncoding::automatic;
    std::string sheet;            // a workbook's sheet by name; empty: the first
    bool bom = false;             // a UTF-8 byte-order mark before text or CSV output
    bool chineseHeaders = false;  // --headers zh: CSV columns by their Chinese headings
    unsigned jobs = 0;            // threads, this one included; 0: the machine's
    // Sizing the whole system: "velocity" (假定流速法) or "friction" (等摩阻法).
    std::optional<std::string> size;
    // A preset group of the codes' velocity table (public, 公共建筑, …), or
    // a designer's own velocities for the 干管 and the 支管, m/s.
    std::optional<std::string> preset;
    std::optional<double> velocityMain, velocityBranch;
    std::optional<double> rm;       // Pa/m: the friction method's largest Rm
    std::optional<double> maxSide;  // mm: largest diameter or shorter side
    double maxAspect = 4;           // the longer side over the shorter
    bool resizeAll = false;         // size every segment, not only those without a size
    bool balance = false;           // resize lighter branches to balance the junctions
    ReportOptions report;           // the title block and the fan's leakage allowance
};
// Reads a duct system from `in` (named `name` in messages) and writes its
// hydraulic calculation to `out` or to options.output.
int runSystem(std::FILE* in, const std::string& name, const SystemOptions& options,
              std::ostream& out, std::ostream& err);

struct ChartCommandOptions {
    std::string file;              // a system's CSV file, "-" for standard input; empty: no points
    std::string output;            // -o: the SVG file; empty or "-": standard output
    std::optional<std::string> k;  // mm: the chart's K (0.15 unless given)
    std::optional<std::string> material;  // the chart's K from a material
    int formula = 1;
    std::optional<std::string> band;    // "LO,HI", Pa/m
    std::optional<std::string> preset;  // a row of system/presets.h
    char delimiter = 0;
    std::string fan;
    AirOptions air;
};
// Writes the friction chart as SVG, with the segments of options.file as points.
int runChart(const ChartCommandOptions& options, std::ostream& out, std::ostream& err);

// The whole program: parses the command line and runs one command.
int runMain(int argc, char** argv, std::ostream& out, std::ostream& err);

}  // namespace cli
