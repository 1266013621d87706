// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/duct_options.h"

#include "calc/number_text.h"
#include "system/materials.h"

#include <array>
#include <charconv>
#include <vector>

#include "calc/reading_warning.h"
#include "calc/tables.h"
#include "cli/messages.h"
#include "cli/roughness.h"
#include "system/air_state.h"
#include "system/readers.h"

namespace cli {

namespace {

// The roughness of the options, or none after a message saying why there is
// none. Warnings go to `err`.
std::optional<float> roughnessOf(const MaterialOptions& m, std::ostream& err) {
    if (m.k) {
        const ductsys::RoughnessRead r = ductsys::readRoughness(*m.k);
        if (!r.k) {
            err << kProgram << ": " << said({msg::Code::roughnessRefused, {r.error->in("--k")}})
                << '\n';
            return std::nullopt;
        }
        if (r.warning) err << kProgram << ": warning: " << said(*r.warning) << '\n';
        return r.k;
    }
    const std::optional<float> k = namedRoughness(m.material);
    if (!k)
        err << kProgram << ": "
            << said({msg::Code::cliMaterialNotOneOf, {m.material, materialList()}}) << '\n';
    return k;
}

}  // namespace

const char* const kFormulaHelp =
    "friction-factor formula: 1 (公式一, the default, as in the window; it lies below "
    "Colebrook in the transition region, by 14-31 % at Re 100000 and up to 58 % at Re "
    "10000) or 2 (公式二, Moody's approximation, within 4 % of Colebrook)";

void addDuctOptions(CLI::App& command, DuctOptions& options) {
    command
        .add_option("--flow", options.flow, "air volume, a plain number read whole (not negative)")
        ->required();
    command.add_flag("--lenient", options.lenient,
                     "read --flow as the window's air-volume box reads it (\"1,000\" as 1), "
                     "with the window's warning and exit status 1 when it is not read whole");
    command
        .add_option(
            "--unit", options.unit,
            "unit of the air volume: " + ductsys::flowUnitList() + " (any letter case; m³/h too)")
        ->check(CLI::Validator(
            [](std::string& text) -> std::string {
                if (ductsys::unitFactor(text)) return {};
                return said({msg::Code::cliNotOneOf, {text, ductsys::flowUnitList()}});
            },
            "UNIT", "unit"));
    CLI::Option* named =
        command.add_option("--material", options.material.material,
                           "wall material, its default roughness: " + materialList());
    CLI::Option* k = command.add_option(
        "--k", options.material.k,
        "custom roughness K in mm, a plain number read whole; held between 0.01 and 10 "
        "with a warning");
    named->excludes(k);
    command.add_option("--formula", options.formula, kFormulaHelp)
        ->check(CLI::Validator(
            [](std::string& text) -> std::string {
                if (text == "1" || text == "2") return {};
                return said({msg::Code::cliNoFormulaDefault, {text, "公式一", "公式二"}});
            },
            "1|2", "formula"));
    addAirOptions(command, options.air);
}

void addMaterialListOption(CLI::App& command, std::ostream& out) {
    command
        .add_option_function<std::string>(
            "--material",
            [&out](const std::string&) {
                out << ductsys::materialTable();
                throw CLI::Success();
            },
            "list: print the materials the material column takes (English or Chinese name), "
            "with each one's roughness K in mm and its source")
        ->check(CLI::IsMember({"list"}))
        ->trigger_on_parse();
}

void addRowFormulaOption(CLI::App& command, int& formula, int defaultFormula) {
    formula = defaultFormula;
    const std::string help =
        std::string(
            "friction-factor formula of rows whose formula column is empty: 1 (公式一, "
            "the window's, which lies below Colebrook-White) or 2 (公式二, which stays "
            "close to it); default ") +
        (defaultFormula == 2 ? "2" : "1");
    command.add_option("--formula", formula, help)
        ->check(CLI::Validator(
            [](std::string& text) -> std::string {
                if (text == "1" || text == "2") return {};
                return said({msg::Code::cliNoFormula, {text, "公式一", "公式二"}});
            },
            "1|2", "formula"));
}

void addAirOptions(CLI::App& command, AirOptions& options) {
    command.add_option("--air-temperature", options.temperature,
                       "air temperature in °C (20 with --altitude or --pressure); without any "
                       "air option the window's air: 1.204 kg/m3, 1.506e-05 m2/s");
    CLI::Option* altitude = command.add_option(
        "--altitude", options.altitude, "altitude in m: the standard atmosphere's pressure there");
    CLI::Option* pressure =
        command.add_option("--pressure", options.pressure, "absolute air pressure in kPa");
    altitude->excludes(pressure);
}

std::optional<AirInUse> readAirOptions(const AirOptions& options, std::ostream& err) {
    const ductsys::AirReading reading = ductsys::airInUse({.temperature = options.temperature,
                                                           .altitude = options.altitude,
                                                           .pressure = options.pressure});
    switch (reading.problem) {
        case ductsys::AirProblem::none:
            return reading.air;
        case ductsys::AirProblem::beyondAtmosphere:
            err << kProgram << ": "
                << said({msg::Code::cliAltitudeBeyondAtmosphere,
                         {calc::shortestText(*options.altitude)}})
                << '\n';
            return std::nullopt;
        default:
            err << kProgram << ": "
                << said({msg::Code::cliNoAir,
                         {calc::shortestText(reading.air.temperature) + " °C",
                          calc::shortestText(reading.air.pressure)}})
                << '\n';
            return std::nullopt;
    }
}

bool readDuctOptions(const DuctOptions& options, const GivenSize* size, calc::DuctInput& input,
                     std::ostream& err, bool& flowWarned) {
    flowWarned = false;
    const std::optional<float> factor = ductsys::unitFactor(options.unit);
    if (!factor) {
        err << kProgram << ": "
            << said({msg::Code::cliUnitNotOneOf, {options.unit, ductsys::flowUnitList()}}) << '\n';
        return false;
    }
    input.flowFactor = *factor;
    input.flow = options.flow;
    if (const auto problem = ductsys::flowProblem(options.flow)) {
        if (!options.lenient) {
            err << kProgram << ": " << said({msg::Code::flowRefused, {problem->in("--flow")}})
                << '\n';
            return false;
        }
        // The window's own warning, one line per point.
        for (const msg::Message& point :
             calc::readingWarning(options.flow, calc::Quantity::AirVolume))
            err << kProgram << ": warning: --flow: " << said(point) << '\n';
        flowWarned = true;
    }

    if (size) {
        if (!size->size) {
            err << kProgram << ": " << size->problem << '\n';
            return false;
        }
        setSize(input, *size->size);
    }

    const std::optional<float> k = roughnessOf(options.material, err);
    if (!k) return false;
    input.roughness = *k;
    if (options.formula != 1 && options.formula != 2) {
        err << kProgram << ": " << said({msg::Code::cliFormulaOneOrTwo, {}}) << '\n';
        return false;
    }
    input.formula = options.formula;
    const std::optional<AirInUse> air = readAirOptions(options.air, err);
    if (!air) return false;
    input.air = air->state;
    return true;
}

}  // namespace cli
