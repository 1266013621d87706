// SPDX-License-Identifier: GPL-3.0-or-later
// ductcalc-cli calc: one duct, the window's seven results and two more.

#include <array>
#include <vector>

#include "commands.h"
#include "conversions.h"
#include "derived.h"
#include "duct_size.h"
#include "messages.h"
#include "number_texts.h"
#include "output_lines.h"
#include "roughness.h"
#include "tables.h"

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

// The roughness of the options, or a message saying why there is none.
// Warnings go to `err`.
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

std::optional<float> unitFactor(const std::string& unit, std::ostream& err) {
    const std::optional<float> factor = calc::flowFactorOf(unit);
    if (!factor)
        err << kProgram << ": unit " << quoted(unit) << " is not one of " << unitList() << '\n';
    return factor;
}

void writeText(const std::vector<Entry>& entries, std::ostream& out) {
    for (const Entry& e : entries) {
        std::string line;
        appendPadded(line, e.caption, 22, Align::left);
        line += e.text;
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
            row.plain(shownNumber(*e.value));
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
            << ": {\"value\": " << (e.value ? roundTripNumber(*e.value) : "null")
            << ", \"text\": " << jsonString(e.text) << '}'
            << (i + 1 < entries.size() ? ",\n" : "\n");
    }
    out << "}\n";
}

}  // namespace

int runCalc(const CalcOptions& options, std::ostream& out, std::ostream& err) {
    calc::DuctInput input;
    const std::optional<float> factor = unitFactor(options.unit, err);
    if (!factor) return kUsage;
    input.flowFactor = *factor;
    input.flow = options.flow;
    if (!calc::readsWhole(options.flow))
        err << kProgram << ": warning: --flow " << quoted(options.flow)
            << " is read as far as it is a number, as the window reads it\n";

    std::optional<SizeArg> size;
    if (options.diameter) {
        size = parseSize(*options.diameter);
        if (size && size->shape != calc::Shape::circular) size.reset();
        if (!size) {
            err << kProgram << ": --diameter " << quoted(*options.diameter) << " is not a size\n";
            return kUsage;
        }
    } else if (options.sides) {
        size = parseSize(*options.sides);
        if (size && size->shape != calc::Shape::rectangular) size.reset();
        if (!size) {
            err << kProgram << ": --sides " << quoted(*options.sides)
                << " is not two sides such as 500x320\n";
            return kUsage;
        }
    } else {
        err << kProgram << ": give --diameter or --sides\n";
        return kUsage;
    }
    setSize(input, *size);

    const std::optional<float> k = roughnessOf(options.material, err);
    if (!k) return kUsage;
    input.roughness = *k;
    if (options.formula != 1 && options.formula != 2) {
        err << kProgram << ": --formula must be 1 or 2\n";
        return kUsage;
    }
    input.formula = options.formula;

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
        pressure = calc::velocityPressure(s.velocity);
        pressureText =
            pressure ? calc::numberText(*pressure) + " Pa" : std::string(calc::kFailMarker);
    } else {
        pressureText = label(Result::Label7);  // the prompt, or the failure marker
    }
    const std::optional<float> lambda = ifDefined(Value::lambda, s.lambda);

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
        {"friction_loss", "friction loss Rm", "", ifDefined(Value::specificLoss, s.specificLoss),
         label(Result::Label11)},
        {"lambda", "friction factor", "", lambda,
         lambda ? calc::numberText(*lambda) : std::string(calc::kFailMarker)},
        {"velocity_pressure", "velocity pressure", "", pressure, pressureText},
    };

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

    std::string reason = failureReason(result, input);
    if (reason.empty() && hasVelocity && !pressure)
        reason = "the velocity pressure is beyond the range of the calculation";
    if (!reason.empty()) {
        err << kProgram << ": " << reason << '\n';
        return kRowsFailed;
    }
    return kSuccess;
}

}  // namespace cli
