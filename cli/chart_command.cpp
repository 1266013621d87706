// SPDX-License-Identifier: GPL-3.0-or-later
// ductcalc-cli chart: the friction chart (摩擦阻力线算图) as SVG, with every
// segment of a system as a point when a file is given.

#include <charconv>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/duct_options.h"
#include "cli/messages.h"
#include "cli/roughness.h"
#include "cli/system_output.h"
#include "system/chart.h"
#include "system/chart_svg.h"
#include "system/presets.h"
#include "system/readers.h"
#include "system/report.h"
#include "system/system.h"

namespace cli {

namespace {

// "LO,HI" read whole, locale-free; none unless it makes a band.
std::optional<ductsys::ChartBand> readBand(std::string_view text) {
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos) return std::nullopt;
    auto number = [](std::string_view t) -> std::optional<double> {
        double x = 0;
        const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), x);
        if (ec != std::errc() || end != t.data() + t.size()) return std::nullopt;
        return x;
    };
    const auto low = number(text.substr(0, comma));
    const auto high = number(text.substr(comma + 1));
    if (!low || !high || !ductsys::validBand(*low, *high)) return std::nullopt;
    return ductsys::ChartBand{*low, *high};
}

// Writes `text` to `path` whole or not at all.
bool writeWhole(const std::string& path, const std::string& text) {
    const std::string partial = path + ".part";
    bool written = false;
    {
        std::ofstream file(partial, std::ios::binary);
        if (file) {
            file << text;
            file.close();
            written = !file.fail();
        }
    }
    if (!written || std::rename(partial.c_str(), path.c_str()) != 0) {
        std::remove(partial.c_str());
        return false;
    }
    return true;
}

}  // namespace

int runChart(const ChartCommandOptions& options, std::ostream& out, std::ostream& err) {
    ductsys::ChartOptions chart;
    if (options.k) {
        const ductsys::RoughnessRead r = ductsys::readRoughness(*options.k);
        if (!r.k) {
            err << kProgram << ": " << said({msg::Code::roughnessRefused, {r.error->in("--k")}})
                << '\n';
            return kUsage;
        }
        if (r.warning) err << kProgram << ": warning: " << said(*r.warning) << '\n';
        chart.basis.roughness = *r.k;
    } else if (options.material) {
        const std::optional<float> k = namedRoughness(*options.material);
        if (!k) {
            err << kProgram << ": "
                << said({msg::Code::cliMaterialNotOneOf, {*options.material, materialList()}})
                << '\n';
            return kUsage;
        }
        chart.basis.roughness = *k;
    }
    if (options.formula != 1 && options.formula != 2) {
        err << kProgram << ": " << said({msg::Code::cliFormulaOneOrTwo, {}}) << '\n';
        return kUsage;
    }
    chart.basis.formula = options.formula;
    if (options.band) {
        const auto band = readBand(*options.band);
        if (!band) {
            err << kProgram << ": " << said({msg::Code::cliBandNotABand, {*options.band}}) << '\n';
            return kUsage;
        }
        chart.band = *band;
    }
    if (options.preset) {
        chart.preset = ductsys::findVelocityPreset(*options.preset);
        if (!chart.preset) {
            err << kProgram << ": " << said({msg::Code::cliPresetUnknownSeeList, {*options.preset}})
                << '\n';
            for (const ductsys::VelocityPreset& p : ductsys::kVelocityPresets)
                err << "  " << p.slug << "  " << p.name << '\n';
            return kUsage;
        }
    }
    const std::optional<AirInUse> air = readAirOptions(options.air, err);
    if (!air) return kUsage;
    chart.basis.air = air->state;

    int status = kSuccess;
    std::vector<ductsys::ChartPoint> points;
    std::vector<std::uint32_t> unplaced;
    if (!options.file.empty()) {
        std::FILE* in = options.file == "-" ? stdin : std::fopen(options.file.c_str(), "rb");
        if (!in) {
            err << kProgram << ": " << options.file << ": "
                << said({msg::Code::fileCannotOpen, {std::strerror(errno)}}) << '\n';
            return kUsage;
        }
        ductsys::Options systemOptions;
        systemOptions.fanNode = options.fan;
        systemOptions.air = air->state;
        // Rows that name no formula are drawn with the chart's own.
        systemOptions.formula = options.formula;
        SystemInput input(options.file, err);
        input.defaultFormula = options.formula;
        ductsys::SystemBuilder builder(systemOptions);
        const bool read = readSystem(in, options.delimiter, input, builder);
        if (in != stdin) std::fclose(in);
        if (!read) return kUsage;
        const ductsys::SystemResult result = builder.finish();
        status = reportSystemProblems(result, input);
        if (status == kUsage) return kUsage;
        points = ductsys::systemPoints(result, air->state, chart, &unplaced);
        for (std::uint32_t s : unplaced) {
            // A segment that failed has said why already.
            if (!result.segments[s].ok()) continue;
            err << segmentPlace(input, result, s)
                << said({msg::Code::cliSegmentNotOnChart, {ductsys::segmentLabel(result, s)}})
                << '\n';
            status = kRowsFailed;
        }
    }
    const std::string svg =
        ductsys::chartSvg(ductsys::makeChart(chart, std::move(points), std::move(unplaced)));
    if (options.output.empty() || options.output == "-") {
        out << svg;
    } else if (!writeWhole(options.output, svg)) {
        err << kProgram << ": " << options.output << ": "
            << said({msg::Code::cliCannotWriteFile, {}}) << '\n';
        return kUsage;
    }
    return status;
}

void addChartCommand(CLI::App& app, std::ostream& out, std::ostream& err, int& status) {
    auto options = std::make_shared<ChartCommandOptions>();
    CLI::App* command = app.add_subcommand(
        "chart",
        "The friction chart (摩擦阻力线算图) as SVG: Rm against air volume on log-log axes, "
        "lines of constant diameter for the standard diameters and of constant velocity, the "
        "economic band and a preset's velocity ceilings, computed as the calculator computes; "
        "with FILE, a system as for the system command, each segment a point and the index "
        "run (最不利环路) marked.");
    command->add_option("FILE", options->file,
                        "CSV file of a system with a header row, or - for standard input");
    command->add_option("-o,--output", options->output,
                        "write the SVG to this file instead of standard output");
    command->add_option("--k", options->k,
                        "roughness K of the chart's lines in mm (default 0.15, the handbooks' "
                        "chart); the segments keep their own");
    command->add_option("--material", options->material,
                        "the chart's K from a material: " + materialList());
    command->add_option("--formula", options->formula,
                        "the chart's friction-factor formula, 1 or 2");
    command->add_option("--band", options->band,
                        "the economic band of Rm as LO,HI in Pa/m (default 0.8,1.5)");
    command->add_option("--preset", options->preset,
                        "draw a preset's velocity ceilings and mark points above them (names: "
                        "ductcalc-cli size --preset list)");
    command->add_option("--delimiter", options->delimiter, "field separator of FILE");
    command->add_option("--fan", options->fan,
                        "the fan's node (default: the from node of the first row)");
    addAirOptions(*command, options->air);
    command->callback([options, &out, &err, &status] { status = runChart(*options, out, err); });
}

}  // namespace cli
