// SPDX-License-Identifier: GPL-3.0-or-later
// The three commands of ductcalc-cli, callable without the argument parser
// so that tests can run them in-process.
#pragma once

#include <cstdio>
#include <optional>
#include <ostream>
#include <string>

namespace cli {

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

// What calc and size both take: the air volume, the wall and the formula.
struct DuctOptions {
    std::string flow;
    std::string unit = "m3/h";
    MaterialOptions material;
    int formula = 1;
};

struct CalcOptions : DuctOptions {
    std::optional<std::string> diameter;  // mm
    std::optional<std::string> sides;     // "AxB", mm
    Format format = Format::text;
};
int runCalc(const CalcOptions& options, std::ostream& out, std::ostream& err);

struct SizeOptions : DuctOptions {
    double maxAspect = 4;
    std::optional<double> maxVelocity;  // m/s
    std::optional<double> minVelocity;  // m/s
    std::optional<double> maxRm;        // Pa/m
    Format format = Format::text;
};
int runSize(const SizeOptions& options, std::ostream& out, std::ostream& err);

struct TableOptions {
    Format format = Format::csv;
    char delimiter = ',';
    bool progress = false;  // a row count on the error stream while reading
};
// Reads a table of segments from `in` (named `name` in messages) and writes
// the hydraulic calculation table to `out`, row by row.
int runTable(std::FILE* in, const std::string& name, const TableOptions& options, std::ostream& out,
             std::ostream& err);

// The whole program: parses the command line and runs one command.
int runMain(int argc, char** argv, std::ostream& out, std::ostream& err);

}  // namespace cli
