// SPDX-License-Identifier: GPL-3.0-or-later
#include "duct_options.h"

#include <array>
#include <charconv>
#include <vector>

#include "air_state.h"
#include "messages.h"
#include "roughness.h"
#include "tables.h"

namespace cli {

namespace {

std::vector<std::string> unitTexts() {
    std::vector<std::string> texts;
    for (const calc::FlowUnit& unit : calc::flowUnits) texts.emplace_back(unit.text);
    return texts;
}

// The roughness of the options, or none after a message saying why there is
// none. Warnings go to `err`.
std::optional<float> roughnessOf(const MaterialOptions& m, std::ostream& err) {
    if (m.k) {
        const Roughness r = customRoughness(*m.k);
        if (!r.warning.empty()) err << kProgram << ": warning: " << r.warning << '\n';
        return r.k;
    }
    const std::optional<float> k = namedRoughness(m.material);
    if (!k)
        err << kProgram << ": material " << quoted(m.material) << " is not one of "
            << materialList() << '\n';
    return k;
}

// A double as its shortest decimal, whatever the stream's locale.
std::string decimal(double x) {
    std::array<char, 32> buffer{};
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), x).ptr;
    return std::string(buffer.data(), end);
}

}  // namespace

void addDuctOptions(CLI::App& command, DuctOptions& options) {
    command.add_option("--flow", options.flow, "air volume, read like the window's air-volume box")
        ->required();
    command.add_option("--unit", options.unit, "unit of the air volume: " + unitList())
        ->check(CLI::IsMember(unitTexts()));
    CLI::Option* named =
        command.add_option("--material", options.material.material,
                           "wall material, its default roughness: " + materialList());
    CLI::Option* k = command.add_option("--k", options.material.k,
                                        "custom roughness K in mm, held between 0.01 and 10");
    named->excludes(k);
    command.add_option("--formula", options.formula, "friction-factor formula, 1 or 2")
        ->check(CLI::IsMember({1, 2}));
    addAirOptions(command, options.air);
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
    AirInUse air;
    if (!options.temperature && !options.altitude && !options.pressure) return air;
    air.given = true;
    if (options.temperature) air.temperature = *options.temperature;
    if (options.pressure) {
        air.pressure = *options.pressure;
    } else if (options.altitude) {
        const std::optional<double> p = ductsys::pressureAtAltitude(*options.altitude);
        if (!p) {
            err << kProgram << ": --altitude " << decimal(*options.altitude)
                << " lies beyond the standard atmosphere (below about 44 km)\n";
            return std::nullopt;
        }
        air.pressure = *p;
    }
    const std::optional<calc::AirState> state = ductsys::airAt(air.temperature, air.pressure);
    if (!state) {
        err << kProgram << ": no air at " << decimal(air.temperature) << " °C and "
            << decimal(air.pressure)
            << " kPa: the temperature must lie above absolute zero and the pressure above 0\n";
        return std::nullopt;
    }
    air.state = *state;
    return air;
}

bool readDuctOptions(const DuctOptions& options, const GivenSize* size, calc::DuctInput& input,
                     std::ostream& err) {
    const std::optional<float> factor = calc::flowFactorOf(options.unit);
    if (!factor) {
        err << kProgram << ": unit " << quoted(options.unit) << " is not one of " << unitList()
            << '\n';
        return false;
    }
    input.flowFactor = *factor;
    input.flow = options.flow;
    if (!calc::readsWhole(options.flow))
        err << kProgram << ": warning: --flow " << quoted(options.flow)
            << " is read as far as it is a number, as the window reads it\n";

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
        err << kProgram << ": --formula must be 1 or 2\n";
        return false;
    }
    input.formula = options.formula;
    const std::optional<AirInUse> air = readAirOptions(options.air, err);
    if (!air) return false;
    input.air = air->state;
    return true;
}

}  // namespace cli
