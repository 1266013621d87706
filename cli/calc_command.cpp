// SPDX-License-Identifier: GPL-3.0-or-later
// ductcalc-cli calc: one duct, the window's seven results and two more.

#include <memory>
#include <vector>

#include "calc/derived.h"
#include "calc/number_text.h"
#include "calc/tables.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/duct_options.h"
#include "cli/messages.h"
#include "cli/number_texts.h"
#include "cli/output_lines.h"
#include "system/model.h"

namespace cli {

namespace {

using calc::Result;
using calc::Value;

struct Entry {
    std::string_view key;
    std::string_view caption;  // for people
    std::string_view unit;     // for people, after a label without one
    std::optional<float> value;
    std::string text;      // the window's label text, or one in its manner
    bool hasText = false;  // a size to write, though it has no single value
};

void writeText(const std::vector<Entry>& entries, std::ostream& out) {
    for (const Entry& e : entries) {
        std::string line;
        appendPadded(line, e.caption, 24, Align::left);
        // The labels' leading blank dropped, so that the size (which has
        // none) lines up with the numbers.
        std::string_view text = e.text;
        if (!text.empty() && text.front() == ' ') text.remove_prefix(1);
        line += text;
        if (e.value && !e.unit.empty()) line += e.unit;
        out << line << '\n';
    }
}

void writeCsv(const std::vector<Entry>& entries, std::ostream& out) {
    CsvLine header(','), row(',');
    for (const Entry& e : entries) {
        header.plain(e.key);
        // The size keeps its shape: "φ200" or "500*320", as a table reads it.
        if (e.hasText)
            row.plain(compactSize(e.text));
        else if (e.value)
            row.plain(calc::bareNumberText(*e.value));
        else
            row.plain("");
    }
    out << header.end() << row.end();
}

void writeJson(const std::vector<Entry>& entries, std::ostream& out) {
    out << "{\n";
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const Entry& e = entries[i];
        out << "  " << jsonString(e.key)
            << ": {\"value\": " << (e.value ? calc::shortestText(*e.value) : "null")
            << ", \"text\": " << jsonString(e.text) << '}'
            << (i + 1 < entries.size() ? ",\n" : "\n");
    }
    out << "}\n";
}

// The size options, read before the duct options so that their problem is
// told in the place a size takes among them. cli::quoted by name: with a
// std::string, std::quoted would be found as well.
GivenSize givenSize(const CalcOptions& options) {
    if (options.diameter) {
        std::optional<SizeArg> size = parseSize(*options.diameter);
        if (size && size->shape == calc::Shape::circular) return {size, {}};
        return {std::nullopt, said({msg::Code::cliDiameterNotASize, {*options.diameter}})};
    }
    if (options.sides) {
        std::optional<SizeArg> size = parseSize(*options.sides);
        if (size && size->shape == calc::Shape::rectangular) return {size, {}};
        return {std::nullopt, said({msg::Code::cliSidesNotTwoSides, {*options.sides}})};
    }
    return {std::nullopt, said({msg::Code::cliGiveDiameterOrSides, {}})};
}

}  // namespace

void addCalcCommand(CLI::App& app, std::ostream& out, std::ostream& err, int& status) {
    auto options = std::make_shared<CalcOptions>();
    CLI::App* command = app.add_subcommand(
        "calc",
        "One duct: roughness, air volume, size, equivalent diameter, velocity, "
        "Reynolds number and Rm as the window shows them, with λ and the velocity "
        "pressure.");
    addDuctOptions(*command, *options);
    CLI::Option_group* sizeGroup = command->add_option_group("size", "the duct size, in mm");
    sizeGroup->add_option("--diameter", options->diameter, "diameter of a circular duct, mm");
    sizeGroup->add_option("--sides", options->sides, "sides of a rectangular duct, mm, as 500x320");
    sizeGroup->require_option(1);
    addFormatOption(*command, options->format);
    command->add_flag("--bom", options->bom,
                      "begin the output with a UTF-8 byte-order mark, for spreadsheet programs");
    command->callback([options, &out, &err, &status] { status = runCalc(*options, out, err); });
}

int runCalc(const CalcOptions& options, std::ostream& out, std::ostream& err) {
    calc::DuctInput input;
    const GivenSize size = givenSize(options);
    bool flowWarned = false;
    if (!readDuctOptions(options, &size, input, err, flowWarned)) return kUsage;

    calc::HeadlessView view(input);
    const calc::DuctResult result = computeDuct(input, view);
    const calc::CalcState& s = result.state;
    const calc::Outcome& o = result.outcome;
    auto label = [&](Result r) { return view.caption(r); };
    auto ifDefined = [&](Value value, float x) -> std::optional<float> {
        if (!o.defined(value)) return std::nullopt;
        return x;
    };

    const bool hasVelocity = o.defined(Value::velocity) && !result.noSection;
    std::optional<float> pressure;
    std::string pressureText;
    if (hasVelocity) {
        pressure = calc::velocityPressure(s.velocity, input.air.density);
        pressureText =
            pressure ? calc::numberText(*pressure) + " Pa" : std::string(calc::kFailMarker);
    } else {
        pressureText = label(Result::Label7);  // the prompt, or the failure marker
    }
    // A formula with nothing to work on (no air) stores 0: no λ, as the
    // window shows none.
    const std::optional<float> lambda =
        s.lambda != 0 ? ifDefined(Value::lambda, s.lambda) : std::nullopt;

    const std::vector<Entry> entries{
        {"roughness", "roughness K", " mm", s.roughness, label(Result::Label13)},
        {"flow", "air volume", "", ifDefined(Value::flowRate, s.flowRate), label(Result::Label10)},
        {"size", "duct size", "",
         input.shape == calc::Shape::circular ? ifDefined(Value::size, s.diameter) : std::nullopt,
         label(Result::Label6), o.defined(Value::size)},
        {"equivalent_diameter", "equivalent diameter", "",
         ifDefined(Value::eqDiameter, s.eqDiameter), label(Result::Label17)},
        {"velocity", "velocity", "", hasVelocity ? std::optional(s.velocity) : std::nullopt,
         label(Result::Label7)},
        {"reynolds", "Reynolds number", "", ifDefined(Value::reynolds, s.reynolds),
         label(Result::Label15)},
        {"rm", "specific friction Rm", "", ifDefined(Value::specificLoss, s.specificLoss),
         label(Result::Label11)},
        {"lambda", "friction factor", "", lambda,
         lambda ? calc::numberText(*lambda) : std::string(calc::kFailMarker)},
        {"velocity_pressure", "velocity pressure", "", pressure, pressureText},
    };

    if (options.bom) out << kBom;
    switch (options.format) {
        case Format::text:
            writeText(entries, out);
            break;
        case Format::csv:
            writeCsv(entries, out);
            break;
        case Format::json:
            writeJson(entries, out);
            break;
    }

    std::optional<msg::Message> reason = failureReason(result, input);
    if (!reason && hasVelocity && !pressure)
        reason = msg::Message{msg::Code::velocityPressureBeyondRange, {}};
    if (o.defined(Value::reynolds) && ductsys::isLaminar(s.reynolds))
        err << kProgram << ": warning: " << laminarWarning(s.reynolds) << '\n';
    if (reason) {
        err << kProgram << ": " << said(*reason) << '\n';
        return kRowsFailed;
    }
    return flowWarned ? kRowsFailed : kSuccess;
}

}  // namespace cli
