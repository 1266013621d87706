// SPDX-License-Identifier: GPL-3.0-or-later
// ductcalc-cli system: the hydraulic calculation of a duct system (风管水力计算)
// from a CSV file of segments between nodes: every segment's figures, the
// paths from the fan, the index run, the balance at each junction and the
// fan's duty, as text, CSV, JSON or a 计算书 workbook.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "ascii.h"
#include "command_line.h"
#include "commands.h"
#include "duct_options.h"
#include "messages.h"
#include "system.h"
#include "system_output.h"

namespace cli {

namespace {

int runSystemFile(const std::string& file, const SystemOptions& options, std::ostream& out,
                  std::ostream& err) {
    if (options.xlsx && options.output.empty()) {
        err << kProgram << ": --format xlsx writes a workbook: give its file with -o FILE.xlsx\n";
        return kUsage;
    }
    if (file == "-") return runSystem(stdin, "-", options, out, err);
    if (outputIsInput(file, options.output, err)) return kUsage;
    std::FILE* in = std::fopen(file.c_str(), "rb");
    if (!in) {
        err << kProgram << ": " << file << ": cannot open: " << std::strerror(errno) << '\n';
        return kUsage;
    }
    const int status = runSystem(in, file, options, out, err);
    std::fclose(in);
    return status;
}

}  // namespace

void addSystemCommand(CLI::App& app, std::ostream& out, std::ostream& err, int& status) {
    auto options = std::make_shared<SystemOptions>();
    auto file = std::make_shared<std::string>();
    auto encoding = std::make_shared<std::string>("auto");
    CLI::App* command = app.add_subcommand(
        "system",
        "The hydraulic calculation of a duct system: segments between nodes (columns "
        "from and to, 起点 and 终点, or segment names such as 1-2), flows left empty "
        "summed toward the fan, fixed losses (dp, 固定阻力), the paths from the fan, the "
        "index run (最不利环路), the balance of parallel branches and the fan's pressure.");
    command->add_option("FILE", *file, "CSV file with a header row, or - for standard input")
        ->required();
    addFormatOption(*command, options->format, &options->xlsx);
    command->add_option("-o,--output", options->output,
                        "write to this file instead of standard output (needed for xlsx)");
    command->add_option("--delimiter", options->delimiter,
                        "field separator of the input and of CSV output");
    command->add_option("--fan", options->fan,
                        "the fan's node (default: the from node of the first row)");
    command
        ->add_option("--encoding", *encoding,
                     "encoding of the file: auto (UTF-8, or GB18030 when it is not UTF-8), "
                     "utf-8 or gb18030")
        ->check(CLI::IsMember({"auto", "utf-8", "utf8", "gb18030", "gbk"}, CLI::ignore_case));
    command->add_flag("--bom", options->bom,
                      "begin text or CSV output with a UTF-8 byte-order mark, for spreadsheet "
                      "programs");
    addRowFormulaOption(*command, options->formula, 2);
    command
        ->add_option("--max-imbalance", options->maxImbalance,
                     "largest (largest - smallest) / largest of parallel branches before a "
                     "junction is flagged")
        ->check(CLI::Range(0.0, 1.0));
    command
        ->add_option("--margin", options->margin,
                     "allowance on the index run's total for the fan's pressure")
        ->check(CLI::Range(0.0, 10.0));
    addAirOptions(*command, options->air);
    addJobsOption(*command, options->jobs);
    command->callback([options, file, encoding, &out, &err, &status] {
        SystemOptions o = *options;
        const std::string e = calc::asciiLower(*encoding);
        o.encoding = e == "auto"                   ? InputEncoding::automatic
                     : e == "utf-8" || e == "utf8" ? InputEncoding::utf8
                                                   : InputEncoding::gb18030;
        status = runSystemFile(*file, o, out, err);
    });
}

int runSystem(std::FILE* in, const std::string& name, const SystemOptions& options,
              std::ostream& out, std::ostream& err) {
    const std::optional<AirInUse> air = readAirOptions(options.air, err);
    if (!air) return kUsage;
    ductsys::Options systemOptions;
    systemOptions.fanNode = options.fan;
    systemOptions.maxImbalance = options.maxImbalance;
    systemOptions.fanMargin = options.margin;
    systemOptions.air = air->state;
    systemOptions.formula = options.formula;
    systemOptions.jobs = options.jobs;

    SystemInput input(name, err);
    input.defaultFormula = options.formula;
    ductsys::SystemBuilder builder(systemOptions);
    if (!readSystem(in, options.delimiter, input, builder, encodingOf(options.encoding)))
        return kUsage;
    const ductsys::SystemResult result = builder.finish();
    return writeSystem(result, input, *air, options, out);
}

}  // namespace cli
