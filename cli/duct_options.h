// SPDX-License-Identifier: GPL-3.0-or-later
// The duct options that calc and size share: declared on a command line,
// and read into the inputs of a duct.
#pragma once

#include <CLI/CLI.hpp>

#include <optional>
#include <ostream>
#include <string>

#include "calc/headless.h"
#include "cli/commands.h"
#include "cli/duct_size.h"
#include "system/air_state.h"

namespace cli {

// Adds --flow, --unit, --material, --k and --formula to `command`, and the
// air options.
void addDuctOptions(CLI::App& command, DuctOptions& options);

// Adds --air-temperature, --altitude and --pressure to `command`.
void addAirOptions(CLI::App& command, AirOptions& options);
// --material list, which prints the materials a file's rows may name, with
// their roughness and its source, to `out`, and ends the run.
void addMaterialListOption(CLI::App& command, std::ostream& out);
// --formula 1|2 for the rows of a file that name no formula.
void addRowFormulaOption(CLI::App& command, int& formula, int defaultFormula);

using ductsys::AirInUse;

// Reads the air options; none after a message on `err` when the air cannot
// be computed from them (a temperature at or below absolute zero, an
// altitude above the standard atmosphere's formula, a pressure not above 0).
std::optional<AirInUse> readAirOptions(const AirOptions& options, std::ostream& err);

// The size a command was given, or what is wrong with what it was given.
struct GivenSize {
    std::optional<SizeArg> size;
    std::string problem;  // the message when there is no size
};

// Reads `options` into `input`: the unit and air volume, then `size` when
// the command takes one (none leaves the size to the caller), then the
// roughness and the formula. Each problem and warning goes to `err` in that
// order; false after the first problem that leaves no duct to compute.
// --flow must read whole and not be negative; with --lenient it is read as
// the window reads it, and `flowWarned` says that it was not read whole (the
// command then ends with status 1).
bool readDuctOptions(const DuctOptions& options, const GivenSize* size, calc::DuctInput& input,
                     std::ostream& err, bool& flowWarned);

// The help of --formula: the default and how far formula 1 lies below
// Colebrook.
extern const char* const kFormulaHelp;

}  // namespace cli
