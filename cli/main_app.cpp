// SPDX-License-Identifier: GPL-3.0-or-later
// The command line of ductcalc-cli: what every command shares. Each command
// adds its own subcommand and options from its own file.

#include <CLI/CLI.hpp>

#include <map>
#include <memory>

#include "command_line.h"
#include "commands.h"
#include "messages.h"

namespace cli {

void addFormatOption(CLI::App& command, Format& format, bool* xlsx) {
    static const std::map<std::string, Format> kFormats{
        {"text", Format::text}, {"csv", Format::csv}, {"json", Format::json}};
    // The text the option holds, shown in the help as its default; it lives
    // as long as the option, in the callback that reads it into `format`.
    auto text = std::make_shared<std::string>();
    for (const auto& [name, value] : kFormats)
        if (value == format) *text = name;
    if (xlsx) {
        command
            .add_option("--format", *text,
                        "output: text, csv, json or xlsx (a 计算书 workbook, with -o FILE.xlsx)")
            ->check(CLI::IsMember({"text", "csv", "json", "xlsx"}))
            ->each([text, &format, xlsx](const std::string& name) {
                *xlsx = name == "xlsx";
                if (!*xlsx) format = kFormats.at(name);
            });
        return;
    }
    command.add_option("--format", *text, "output: text, csv or json")
        ->check(CLI::IsMember({"text", "csv", "json"}))
        ->each([text, &format](const std::string& name) { format = kFormats.at(name); });
}

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

    int status = kSuccess;
    addCalcCommand(app, out, err, status);
    addSizeCommand(app, out, err, status);
    addTableCommand(app, out, err, status);
    addSystemCommand(app, out, err, status);

    try {
        // Runs the callback of the command given, which sets the status.
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        // Help and version are successes; everything else is a usage error.
        const int code = app.exit(e, out, err);
        return code == 0 ? kSuccess : kUsage;
    }
    return status;
}

}  // namespace cli
