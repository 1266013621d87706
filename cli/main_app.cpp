// SPDX-License-Identifier: GPL-3.0-or-later
// The command line of ductcalc-cli: what every command shares. Each command
// adds its own subcommand and options from its own file.

#include <CLI/CLI.hpp>

#include <algorithm>
#include <map>
#include <memory>
#include <string_view>
#include <vector>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/messages.h"
#include "system/names.h"
#include "version.h"

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

void addHeadersOption(CLI::App& command, bool& chinese) {
    command
        .add_option_function<std::string>(
            "--headers", [&chinese](const std::string& language) { chinese = language == "zh"; },
            "the column names of CSV output: en (the keys: flow, velocity, ...) or zh (the "
            "Chinese headings: 风量 L (m³/h), 风速 v (m/s), ...); either reads back as input")
        ->check(CLI::IsMember({"en", "zh"}))
        ->default_str("en");
}

void addJobsOption(CLI::App& command, unsigned& jobs) {
    command
        .add_option("-j,--jobs", jobs,
                    "threads to compute with, this one included (default: the machine's cores, "
                    "at most 2; 1 starts no other thread); the output is the same")
        ->check(CLI::Range(1u, 256u));
}

namespace {

// The known name nearest to `name`, when it is near enough to be meant.
std::string nearest(std::string_view name, const std::vector<std::string>& known) {
    std::string best;
    std::size_t bestDistance = std::max<std::size_t>(2, name.size() / 3) + 1;
    for (const std::string& k : known) {
        const std::size_t d = ductsys::editDistance(name, k);
        if (d < bestDistance) best = k, bestDistance = d;
    }
    return best;
}

// The commands, as a list: "calc, size and table".
msg::Message commandList(const std::vector<std::string>& commands) {
    if (commands.empty()) return {msg::Code::together, {}};
    msg::Message list{msg::Code::together, {commands.front()}};
    for (std::size_t i = 1; i < commands.size(); ++i)
        list = {i + 1 < commands.size() ? msg::Code::listNext : msg::Code::listLast,
                {std::move(list), commands[i]}};
    return list;
}

// A command or option that does not exist, named with the nearest one that
// does, before the parser reports something less helpful ("--flow is
// required" for "--flwo"). Empty when every name is known. `command` is set
// to the command given, for the help it should point to.
std::string unknownName(CLI::App& app, int argc, char** argv, std::string& command) {
    std::vector<std::string> commands;
    for (const CLI::App* sub : app.get_subcommands({})) commands.push_back(sub->get_name());
    CLI::App* given = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--") break;
        if (!given) {
            if (arg.rfind("-", 0) == 0)
                continue;  // --help, --version, or an error the parser names
            for (CLI::App* sub : app.get_subcommands({}))
                if (sub->get_name() == arg) given = sub;
            if (!given) {
                const std::string near = nearest(arg, commands);
                if (!near.empty()) return said({msg::Code::cliUnknownCommandNearest, {arg, near}});
                return said({msg::Code::cliUnknownCommand, {arg, commandList(commands)}});
            }
            command = arg;
            continue;
        }
        if (arg.rfind("--", 0) != 0) continue;
        const std::string name = arg.substr(2, arg.find('=') - 2);
        std::vector<std::string> options{"help"};
        for (const CLI::Option* o : given->get_options())
            for (const std::string& l : o->get_lnames()) options.push_back(l);
        // Options of an option group (calc's size) belong to the command too.
        for (const CLI::App* group : given->get_subcommands({}))
            for (const CLI::Option* o : group->get_options())
                for (const std::string& l : o->get_lnames()) options.push_back(l);
        if (std::find(options.begin(), options.end(), name) != options.end()) continue;
        const std::string near = nearest(name, options);
        if (near.empty()) return said({msg::Code::cliUnknownOption, {name}});
        return said({msg::Code::cliUnknownOptionNearest, {name, near}});
    }
    return {};
}

}  // namespace

int runMain(int argc, char** argv, std::ostream& out, std::ostream& err) {
    CLI::App app{
        "Duct air velocity and friction loss, computed exactly as the window "
        "风速计算 computes them.",
        std::string(kProgram)};
    app.option_defaults()->always_capture_default();
    app.require_subcommand(1);
    std::string command;  // the command given, for the help an error points to
    auto tryHelp = [&command] {
        const std::string program = std::string(kProgram) + (command.empty() ? "" : " " + command);
        return said({msg::Code::cliTryHelp, {program}}) + '\n';
    };
    app.failure_message([tryHelp](const CLI::App*, const CLI::Error& e) {
        return std::string(kProgram) + ": " + e.what() + "\n" + tryHelp();
    });
    app.set_version_flag("--version", "ductcalc-cli " DUCTCALC_VERSION);

    int status = kSuccess;
    addCalcCommand(app, out, err, status);
    addSizeCommand(app, out, err, status);
    addTableCommand(app, out, err, status);
    addSystemCommand(app, out, err, status);
    addFittingCommand(app, out, err, status);
    addChartCommand(app, out, err, status);

    if (const std::string unknown = unknownName(app, argc, argv, command); !unknown.empty()) {
        err << kProgram << ": " << unknown << '\n' << tryHelp();
        return kUsage;
    }
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
