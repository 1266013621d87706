// SPDX-License-Identifier: GPL-3.0-or-later
// ductcalc-cli size: every standard size for one air volume, smallest first.

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "calc/number_text.h"
#include "calc/tables.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/duct_options.h"
#include "cli/duct_size.h"
#include "cli/messages.h"
#include "cli/number_texts.h"
#include "cli/output_lines.h"
#include "system/presets.h"
#include "system/sizes.h"

namespace cli {

namespace {

using ductsys::SizeCandidate;

std::string presetList() {
    std::string list;
    for (const ductsys::VelocityPreset& p : ductsys::kVelocityPresets) {
        std::string line;
        appendPadded(line, p.slug, 26, Align::left);
        appendPadded(line, p.name, 30, Align::left);
        line += "recommended ";
        line += calc::bareNumberText(static_cast<float>(p.recommendedLow));
        if (!p.singleRecommendation)
            line += "-" + calc::bareNumberText(static_cast<float>(p.recommendedHigh));
        line += " m/s, at most " + calc::bareNumberText(static_cast<float>(p.maximum)) + " m/s  (" +
                std::string(p.source) + ")\n";
        list += line;
    }
    return list;
}

const char* shapeName(calc::Shape shape) {
    return shape == calc::Shape::circular ? "circular" : "rectangular";
}

std::string pad(std::string_view text, std::size_t width, bool right) {
    std::string cell;
    // A text that fills its column still stands apart from the next.
    if (displayWidth(text) >= width) return cell.append(text) + ' ';
    appendPadded(cell, text, width, right ? Align::right : Align::left);
    return cell;
}

}  // namespace

void addSizeCommand(CLI::App& app, std::ostream& out, std::ostream& err, int& status) {
    auto options = std::make_shared<SizeOptions>();
    CLI::App* command = app.add_subcommand(
        "size",
        "Every standard size for one air volume, by section area, with velocity, "
        "equivalent diameter and Rm; with limits, the sizes that meet them.");
    addDuctOptions(*command, *options);
    command->add_option("--max-aspect", options->maxAspect,
                        "largest ratio of the longer side to the shorter");
    command->add_option("--max-velocity", options->maxVelocity, "highest velocity, m/s");
    command->add_option("--min-velocity", options->minVelocity, "lowest velocity, m/s");
    command->add_option("--max-rm", options->maxRm, "highest Rm, Pa/m");
    command->add_option("--preset", options->preset,
                        "the recommended and largest velocity of a duct from GB 50736 表6.6.3 "
                        "or GB 50019 表6.7.6, by name (list: --preset list):\n" +
                            presetList());
    command->add_option("--max-side", options->maxSide,
                        "largest diameter or shorter side in mm, as a ceiling allows");
    command->add_option("--target-velocity", options->targetVelocity,
                        "rank the sizes by closeness to this velocity, m/s");
    // --preset list needs no air volume.
    command->get_option("--flow")->required(false);
    addFormatOption(*command, options->format);
    command->add_flag("--bom", options->bom,
                      "begin the output with a UTF-8 byte-order mark, for spreadsheet programs");
    command->callback([options, &out, &err, &status] { status = runSize(*options, out, err); });
}

int runSize(const SizeOptions& options, std::ostream& out, std::ostream& err) {
    if (options.preset && *options.preset == "list") {
        out << presetList();
        return kSuccess;
    }
    const ductsys::VelocityPreset* preset = nullptr;
    if (options.preset) {
        preset = ductsys::findVelocityPreset(*options.preset);
        if (!preset) {
            err << kProgram << ": " << said({msg::Code::cliPresetUnknownSeeList, {*options.preset}})
                << '\n'
                << presetList();
            return kUsage;
        }
    }
    if (options.flow.empty()) {
        err << kProgram << ": " << said({msg::Code::cliSizeFlowRequired, {}}) << '\n';
        return kUsage;
    }
    calc::DuctInput input;
    bool flowWarned = false;
    if (!readDuctOptions(options, nullptr, input, err, flowWarned)) return kUsage;
    if (!(options.maxAspect >= 1) || !std::isfinite(options.maxAspect)) {
        err << kProgram << ": " << said({msg::Code::cliMaxAspectAtLeastOne, {}}) << '\n';
        return kUsage;
    }
    for (const auto& limit : {options.maxVelocity, options.minVelocity, options.maxRm,
                              options.maxSide, options.targetVelocity})
        if (limit && !std::isfinite(*limit)) {
            err << kProgram << ": " << said({msg::Code::cliLimitNotFinite, {}}) << '\n';
            return kUsage;
        }
    if (options.maxVelocity && options.minVelocity && *options.minVelocity > *options.maxVelocity) {
        err << kProgram << ": "
            << said({msg::Code::cliMinAboveMaxVelocity,
                     {calc::bareNumberText(static_cast<float>(*options.minVelocity)),
                      calc::bareNumberText(static_cast<float>(*options.maxVelocity))}})
            << '\n';
        return kUsage;
    }
    input.standard = true;

    std::vector<SizeCandidate> candidates = ductsys::sizeCandidates(input, options.maxAspect);
    for (const SizeCandidate& c : candidates)
        if (!c.computed()) {
            err << kProgram << ": " << said(*c.failure) << '\n';
            return kRowsFailed;
        }
    const int laminar = static_cast<int>(
        std::count_if(candidates.begin(), candidates.end(),
                      [](const SizeCandidate& c) { return ductsys::isLaminar(c.reynolds); }));
    ductsys::rankSizes(candidates, options.targetVelocity);
    ductsys::SizeLimits limits{.maxVelocity = options.maxVelocity,
                               .minVelocity = options.minVelocity,
                               .maxRm = options.maxRm,
                               .maxSide = options.maxSide,
                               .preset = preset};
    ductsys::judgeSizes(candidates, limits);
    const bool limited = limits.any();
    const std::string first = options.targetVelocity ? "closest " : "smallest ";
    std::optional<std::string> smallestCircular, smallestRectangular;
    for (const SizeCandidate& c : candidates)
        if (c.smallest)
            (c.shape == calc::Shape::circular ? smallestCircular : smallestRectangular) = c.label;

    if (laminar > 0)
        err << kProgram << ": warning: "
            << said({laminar == 1 ? msg::Code::cliLaminarSize : msg::Code::cliLaminarSizes,
                     {laminar}})
            << '\n';
    if (options.bom) out << kBom;
    switch (options.format) {
        case Format::text: {
            if (preset)
                out << "preset " << preset->slug << ": " << preset->name << ", recommended "
                    << calc::bareNumberText(static_cast<float>(preset->recommendedLow))
                    << (preset->singleRecommendation
                            ? std::string()
                            : "-" +
                                  calc::bareNumberText(static_cast<float>(preset->recommendedHigh)))
                    << " m/s, at most " << calc::bareNumberText(static_cast<float>(preset->maximum))
                    << " m/s (" << preset->source << ")\n";
            out << pad("size", 12, false) << pad("area m2", 14, true)
                << pad("eq. diameter m", 16, true) << pad("velocity m/s", 14, true)
                << pad("Rm Pa/m", 14, true) << (limited ? "  limits" : "") << '\n';
            for (const SizeCandidate& c : candidates) {
                std::string line = pad(c.label, 12, false) +
                                   pad(calc::bareNumberText(c.area), 14, true) +
                                   pad(calc::bareNumberText(c.eqDiameter), 16, true) +
                                   pad(calc::bareNumberText(c.velocity), 14, true) +
                                   pad(calc::bareNumberText(c.rm), 14, true);
                if (c.meets) line += *c.meets ? "  meets" : "  -";
                if (c.recommended && *c.recommended) line += "  recommended";
                if (c.smallest) line += "  " + first + shapeName(c.shape);
                out << line << '\n';
            }
            if (limited) {
                out << first
                    << "circular:    " << smallestCircular.value_or("none meets the limits") << '\n'
                    << first
                    << "rectangular: " << smallestRectangular.value_or("none meets the limits")
                    << '\n';
            }
            break;
        }
        case Format::csv: {
            CsvLine line(',');
            out << "shape,size,area,equivalent_diameter,velocity,rm,meets,smallest"
                << (preset ? ",recommended\n" : "\n");
            for (const SizeCandidate& c : candidates) {
                line.clear();
                for (const std::string& field :
                     {std::string(shapeName(c.shape)), c.label, calc::bareNumberText(c.area),
                      calc::bareNumberText(c.eqDiameter), calc::bareNumberText(c.velocity),
                      calc::bareNumberText(c.rm),
                      std::string(c.meets ? (*c.meets ? "yes" : "no") : ""),
                      std::string(c.smallest ? "yes" : "")})
                    line.plain(field);
                if (c.recommended) line.plain(*c.recommended ? "yes" : "no");
                out << line.end();
            }
            break;
        }
        case Format::json: {
            auto str = [](const std::optional<std::string>& s) {
                return s ? jsonString(*s) : std::string("null");
            };
            out << "{\n  \"sizes\": [\n";
            for (std::size_t i = 0; i < candidates.size(); ++i) {
                const SizeCandidate& c = candidates[i];
                out << "    {\"shape\": \"" << shapeName(c.shape)
                    << "\", \"size\": " << jsonString(c.label)
                    << ", \"area\": " << calc::shortestText(c.area)
                    << ", \"equivalent_diameter\": " << calc::shortestText(c.eqDiameter)
                    << ", \"velocity\": " << calc::shortestText(c.velocity)
                    << ", \"rm\": " << calc::shortestText(c.rm)
                    << ", \"meets\": " << (c.meets ? (*c.meets ? "true" : "false") : "null")
                    << ", \"smallest\": " << (c.smallest ? "true" : "false")
                    << (c.recommended ? std::string(", \"recommended\": ") +
                                            (*c.recommended ? "true" : "false")
                                      : std::string())
                    << '}' << (i + 1 < candidates.size() ? ",\n" : "\n");
            }
            out << "  ],\n  \"smallest\": {\"circular\": " << str(smallestCircular)
                << ", \"rectangular\": " << str(smallestRectangular) << "}\n}\n";
            break;
        }
    }
    if (limited && !smallestCircular && !smallestRectangular) {
        err << kProgram << ": " << said({msg::Code::cliNoSizeMeetsLimits, {}}) << '\n';
        return kRowsFailed;
    }
    return flowWarned ? kRowsFailed : kSuccess;
}

}  // namespace cli
