// SPDX-License-Identifier: GPL-3.0-or-later
// Each command adds itself to the command line: its subcommand, its options
// and the callback that runs it, leaving the exit status in `status`.
#pragma once

#include <CLI/CLI.hpp>

#include <ostream>
#include <string>

#include "cli/commands.h"

namespace cli {

void addCalcCommand(CLI::App& app, std::ostream& out, std::ostream& err, int& status);
void addSizeCommand(CLI::App& app, std::ostream& out, std::ostream& err, int& status);
void addTableCommand(CLI::App& app, std::ostream& out, std::ostream& err, int& status);
void addSystemCommand(CLI::App& app, std::ostream& out, std::ostream& err, int& status);
void addFittingCommand(CLI::App& app, std::ostream& out, std::ostream& err, int& status);
void addChartCommand(CLI::App& app, std::ostream& out, std::ostream& err, int& status);

// Adds --format to `command`, writing into `format`; what `format` holds
// is the default. With `xlsx`, "xlsx" is one more choice, which sets it.
void addFormatOption(CLI::App& command, Format& format, bool* xlsx = nullptr);

// Adds --headers en|zh to `command`: whether CSV output names its columns
// by their Chinese headings ("风速 v (m/s)") rather than their keys.
void addHeadersOption(CLI::App& command, bool& chinese);

// Adds --jobs to `command`, writing into `jobs` (left 0 when not given).
void addJobsOption(CLI::App& command, unsigned& jobs);

}  // namespace cli
