// SPDX-License-Identifier: GPL-3.0-or-later
// The command line of ductcalc-cli: subcommands, their options and defaults.

#include <CLI/CLI.hpp>

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>

#include "commands.h"
#include "duct_size.h"
#include "messages.h"
#include "roughness.h"
#include "tables.h"

namespace cli {

namespace {

const std::map<std::string, Format> kFormats{
    {"text", Format::text}, {"csv", Format::csv}, {"json", Format::json}};

std::vector<std::string> unitTexts() {
    std::vector<std::string> texts;
    for (const calc::FlowUnit& unit : calc::flowUnits) texts.emplace_back(unit.text);
    return texts;
}

void addDuctOptions(CLI::App* command, std::string& flow, std::string& unit,
                    MaterialOptions& material, int& formula) {
    command->add_option("--flow", flow, "air volume, read like the window's air-volume box")
        ->required();
    command->add_option("--unit", unit, "unit of the air volume: " + unitList())
        ->check(CLI::IsMember(unitTexts()));
    CLI::Option* named = command->add_option(
        "--material", material.material, "wall material, its default roughness: " + materialList());
    CLI::Option* k = command->add_option("--k", material.k,
                                         "custom roughness K in mm, held between 0.01 and 10");
    named->excludes(k);
    command->add_option("--formula", formula, "friction-factor formula, 1 or 2")
        ->check(CLI::IsMember({1, 2}));
}

}  // namespace

int runMain(int argc, char** argv, std::ostream& out, std::ostream& err) {
    CLI::App app{
        "Duct air velocity and friction loss, computed exactly as the window "
        "风速计算 computes them.",
        std::string(kProgram)};
    app.option_defaults()->always_capture_default();
    app.require_subcommand(1);
    app.failure_message([](const CLI::App*, const CLI::Error& e) {
        return std::string(kProgram) + ": " + e.what() + "\nTry '" + std::string(kProgram) +
               " --help' for more information.\n";
    });
    app.set_version_flag("--version", "ductcalc-cli 1.0.0");

    std::string format;

    CalcOptions calcOptions;
    CLI::App* calcCommand = app.add_subcommand(
        "calc",
        "One duct: roughness, air volume, size, equivalent diameter, velocity, "
        "Reynolds number and Rm as the window shows them, with λ and the velocity "
        "pressure.");
    addDuctOptions(calcCommand, calcOptions.flow, calcOptions.unit, calcOptions.material,
                   calcOptions.formula);
    CLI::Option_group* sizeGroup = calcCommand->add_option_group("size", "the duct size, in mm");
    sizeGroup->add_option("--diameter", calcOptions.diameter, "diameter of a circular duct, mm");
    sizeGroup->add_option("--sides", calcOptions.sides,
                          "sides of a rectangular duct, mm, as 500x320");
    sizeGroup->require_option(1);
    std::string calcFormat = "text";
    calcCommand->add_option("--format", calcFormat, "output: text, csv or json")
        ->check(CLI::IsMember({"text", "csv", "json"}));

    SizeOptions sizeOptions;
    CLI::App* sizeCommand = app.add_subcommand(
        "size",
        "Every standard size for one air volume, by section area, with velocity, "
        "equivalent diameter and Rm; with limits, the sizes that meet them.");
    addDuctOptions(sizeCommand, sizeOptions.flow, sizeOptions.unit, sizeOptions.material,
                   sizeOptions.formula);
    sizeCommand->add_option("--max-aspect", sizeOptions.maxAspect,
                            "largest ratio of the longer side to the shorter");
    sizeCommand->add_option("--max-velocity", sizeOptions.maxVelocity, "highest velocity, m/s");
    sizeCommand->add_option("--min-velocity", sizeOptions.minVelocity, "lowest velocity, m/s");
    sizeCommand->add_option("--max-rm", sizeOptions.maxRm, "highest Rm, Pa/m");
    std::string sizeFormat = "text";
    sizeCommand->add_option("--format", sizeFormat, "output: text, csv or json")
        ->check(CLI::IsMember({"text", "csv", "json"}));

    TableOptions tableOptions;
    std::string file;
    CLI::App* tableCommand = app.add_subcommand(
        "table",
        "The hydraulic calculation table of a duct run: one row per segment of a CSV "
        "file with the columns segment, flow, unit, size, length, zeta, material or k, "
        "formula (or 段号, 风量, 单位, 尺寸, 长度, 局部阻力系数, 材料, 粗糙度, 公式).");
    tableCommand->add_option("FILE", file, "CSV file with a header row, or - for standard input")
        ->required();
    std::string tableFormat = "csv";
    tableCommand->add_option("--format", tableFormat, "output: text, csv or json")
        ->check(CLI::IsMember({"text", "csv", "json"}));
    tableCommand->add_option("--delimiter", tableOptions.delimiter,
                             "field separator of the input and of CSV output");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        // Help and version are successes; everything else is a usage error.
        const int code = app.exit(e, out, err);
        return code == 0 ? kSuccess : kUsage;
    }

    if (calcCommand->parsed()) {
        calcOptions.format = kFormats.at(calcFormat);
        return runCalc(calcOptions, out, err);
    }
    if (sizeCommand->parsed()) {
        sizeOptions.format = kFormats.at(sizeFormat);
        return runSize(sizeOptions, out, err);
    }
    tableOptions.format = kFormats.at(tableFormat);
    if (file == "-") {
        tableOptions.progress = isatty(STDERR_FILENO) && !isatty(STDOUT_FILENO);
        return runTable(stdin, "-", tableOptions, out, err);
    }
    std::FILE* in = std::fopen(file.c_str(), "rb");
    if (!in) {
        err << kProgram << ": " << file << ": cannot open: " << std::strerror(errno) << '\n';
        return kUsage;
    }
    tableOptions.progress = isatty(STDERR_FILENO) && !isatty(STDOUT_FILENO);
    const int status = runTable(in, file, tableOptions, out, err);
    std::fclose(in);
    return status;
}

}  // namespace cli
