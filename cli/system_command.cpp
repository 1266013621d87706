// SPDX-License-Identifier: GPL-3.0-or-later
// ductcalc-cli system: the hydraulic calculation of a duct system (风管水力计算)
// from a CSV file of segments between nodes: every segment's figures, the
// paths from the fan, the index run, the balance at each junction and the
// fan's duty, as text, CSV, JSON or a 计算书 workbook.

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

#include "calc/ascii.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/duct_options.h"
#include "cli/messages.h"
#include "cli/number_texts.h"
#include "cli/report_options.h"
#include "cli/system_output.h"
#include "system/report.h"
#include "system/roles.h"
#include "system/sizing.h"
#include "system/system.h"

namespace cli {

namespace {

int runSystemFile(const std::string& file, const SystemOptions& options, std::ostream& out,
                  std::ostream& err) {
    if (options.xlsx && options.output.empty()) {
        err << kProgram << ": " << said({msg::Code::cliXlsxNeedsOutput, {}}) << '\n';
        return kUsage;
    }
    if (file == "-") return runSystem(stdin, "-", options, out, err);
    if (outputIsInput(file, options.output, err)) return kUsage;
    std::FILE* in = std::fopen(file.c_str(), "rb");
    if (!in) {
        err << kProgram << ": " << file << ": "
            << said({msg::Code::fileCannotOpen, {std::strerror(errno)}}) << '\n';
        return kUsage;
    }
    const int status = runSystem(in, file, options, out, err);
    std::fclose(in);
    return status;
}

// The sizing and balancing asked for, or none after a message when the
// options do not go together.
std::optional<ductsys::SizingOptions> sizingOptions(const SystemOptions& o, std::ostream& err) {
    ductsys::SizingOptions sizing;
    auto usage = [&](const msg::Message& message, const std::string& more = {}) {
        err << kProgram << ": " << said(message) << more << '\n';
        return std::nullopt;
    };
    if (o.size) {
        if (*o.size == "velocity")
            sizing.method = ductsys::SizingMethod::velocity;
        else if (*o.size == "friction")
            sizing.method = ductsys::SizingMethod::friction;
        else
            return usage({msg::Code::cliSizeNotAMethod, {*o.size, "假定流速法", "等摩阻法"}});
    }
    const bool targets = o.velocityMain || o.velocityBranch;
    if (o.preset && targets) return usage({msg::Code::cliPresetOrTargets, {}});
    if (targets && !(o.velocityMain && o.velocityBranch))
        return usage({msg::Code::cliTargetsTogether, {}});
    for (const auto& v : {o.velocityMain, o.velocityBranch, o.rm, o.maxSide})
        if (v && !(std::isfinite(*v) && *v > 0))
            return usage({msg::Code::cliSizingLimitNotPositive, {}});
    if (!(o.maxAspect >= 1) || !std::isfinite(o.maxAspect))
        return usage({msg::Code::cliMaxAspectAtLeastOne, {}});
    if (o.preset) {
        sizing.limits = ductsys::presetLimits(*o.preset);
        if (!sizing.limits)
            return usage({msg::Code::cliPresetUnknown, {*o.preset}},
                         '\n' + ductsys::presetGroupList());
    } else if (targets) {
        sizing.limits = ductsys::targetLimits(*o.velocityMain, *o.velocityBranch);
    }
    if (sizing.method == ductsys::SizingMethod::velocity && !sizing.limits)
        return usage({msg::Code::cliVelocityMethodNeeds, {}});
    if (sizing.method == ductsys::SizingMethod::friction && !o.rm)
        return usage({msg::Code::cliFrictionMethodNeedsRm, {}});
    if (o.rm && sizing.method != ductsys::SizingMethod::friction)
        return usage({msg::Code::cliRmIsFrictions, {}});
    if (sizing.method == ductsys::SizingMethod::none && (o.resizeAll || o.maxSide))
        return usage({msg::Code::cliSizesTheSystem, {o.resizeAll ? "--resize-all" : "--max-side"}});
    sizing.rm = o.rm.value_or(0);
    sizing.resizeAll = o.resizeAll;
    sizing.maxSide = o.maxSide;
    sizing.maxAspect = o.maxAspect;
    sizing.balance = o.balance;
    // The text, JSON and the workbook show what would balance a junction.
    sizing.remedies = o.xlsx || o.format != Format::csv;
    return sizing;
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
    command
        ->add_option("FILE", *file,
                     "CSV file or xlsx workbook with a header row, or - for standard input")
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
    command->add_option("--sheet", options->sheet,
                        "the sheet of an xlsx workbook to read (default: the first)");
    command->add_flag("--bom", options->bom,
                      "begin text or CSV output with a UTF-8 byte-order mark, for spreadsheet "
                      "programs");
    addHeadersOption(*command, options->chineseHeaders);
    addRowFormulaOption(*command, options->formula, ductsys::kSystemFormula);
    addMaterialListOption(*command, out);
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
    command->add_option("--size", options->size,
                        "size the system: velocity (假定流速法, each role's velocity limit) or "
                        "friction (等摩阻法, --rm); rows whose size is empty, or *x320 for a "
                        "rectangle 320 high, are sized");
    command->add_option("--preset", options->preset,
                        "the velocity limits of each role (干管, 支管, 风机出口, 风机入口) from a "
                        "preset of GB 50736 表6.6.3 or GB 50019 表6.7.6: " +
                            ductsys::presetGroupList());
    command->add_option("--velocity-main", options->velocityMain,
                        "the largest velocity of the 干管 and the fan's ducts, m/s");
    command->add_option("--velocity-branch", options->velocityBranch,
                        "the largest velocity of the 支管, m/s");
    command->add_option("--rm", options->rm, "the friction method's largest Rm, Pa/m");
    command->add_flag("--resize-all", options->resizeAll,
                      "size every segment, not only those whose size is empty");
    command->add_option("--max-side", options->maxSide,
                        "largest diameter or shorter side in mm, as a ceiling allows");
    command->add_option("--max-aspect", options->maxAspect,
                        "largest ratio of the longer side to the shorter");
    command->add_flag("--balance", options->balance,
                      "resize the first segment of each lighter branch to balance the "
                      "junctions over --max-imbalance, within its velocity limit; a damper "
                      "is given for what is left");
    addReportOptions(*command, options->report);
    addJobsOption(*command, options->jobs);
    command->callback([command, options, file, encoding, &out, &err, &status] {
        SystemOptions o = *options;
        o.maxImbalanceGiven = command->count("--max-imbalance") > 0;
        o.marginGiven = command->count("--margin") > 0;
        o.formulaGiven = command->count("--formula") > 0;
        const std::string e = calc::asciiLower(*encoding);
        o.encoding = e == "auto"                   ? InputEncoding::automatic
                     : e == "utf-8" || e == "utf8" ? InputEncoding::utf8
                                                   : InputEncoding::gb18030;
        status = runSystemFile(*file, o, out, err);
    });
}

int runSystem(std::FILE* in, const std::string& name, const SystemOptions& options,
              std::ostream& out, std::ostream& err) {
    // The air and the limits are those of the options until the file's
    // settings are read; a setting gives way to an option given for it.
    std::optional<AirInUse> air = readAirOptions(options.air, err);
    if (!air) return kUsage;
    const std::optional<ductsys::SizingOptions> sizing = sizingOptions(options, err);
    if (!sizing) return kUsage;

    SystemOptions settled = options;
    auto systemOptionsOf = [](const SystemOptions& o, const AirInUse& a) {
        ductsys::Options s;
        s.fanNode = o.fan;
        s.maxImbalance = o.maxImbalance;
        s.fanMargin = o.margin;
        s.air = a.state;
        s.formula = o.formula;
        s.jobs = o.jobs;
        // A system to be sized works out its paths once, after the sizing.
        s.pathsLater = o.size.has_value() || o.balance;
        return s;
    };
    ductsys::Options systemOptions = systemOptionsOf(options, *air);

    SystemInput input(name, err);
    input.defaultFormula = options.formula;
    input.keepInputs = options.xlsx;
    ductsys::SystemBuilder builder(systemOptions);
    ductsys::SystemSizer sizer(*sizing);
    const auto settle = [&](const ductsys::TableHeader& header) {
        if (!takeFileSettings(header, input, settled)) return false;
        air = readAirOptions(settled.air, err);
        if (!air) return false;
        systemOptions = systemOptionsOf(settled, *air);
        builder.setOptions(systemOptions);
        input.defaultFormula = settled.formula;
        return true;
    };
    if (!readSystem(in, options.delimiter, input, builder, &sizer, encodingOf(options.encoding),
                    options.sheet, settle))
        return kUsage;
    ductsys::SystemResult result = builder.finish();
    const ductsys::SizingReport report = sizer.finish(result, systemOptions);
    ductsys::ReportInfo info = reportInfo(*air, ductsys::formulasInUse(result), name);
    if (!reportSettings(settled.report, input.reportRows, name, info, err)) return kUsage;
    info.altitude = settled.air.altitude;
    info.method = report.method;
    info.industrial = report.limits && report.limits->source.starts_with("GB 50019");
    info.remedies = &report.remedies;
    if (input.keepInputs) info.inputs = [&input](std::uint32_t s) { return input.inputs.of(s); };
    return writeSystem(result, input, *air, settled, out, &report, info);
}

}  // namespace cli
