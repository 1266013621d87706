// SPDX-License-Identifier: GPL-3.0-or-later
#include "segment_calc.h"

#include <array>
#include <charconv>
#include <cmath>

#include "derived.h"
#include "duct_size.h"
#include "messages.h"
#include "number_reading.h"
#include "number_texts.h"
#include "roughness.h"
#include "tables.h"
#include "text_fields.h"

namespace cli {

namespace {

// Kept here, the one plain-decimal reader of the command line, until calc
// offers one.
// Most lengths and coefficients are plain decimals ("12.5", "0.35"): when
// the standard reader takes all of one without a range error, the text
// reads whole, and its value is the boxes' reading of it, as both round
// the same decimal to the nearest double. Saves the second reading.
// A plain decimal read whole, within the range a single holds: a value past
// the largest single is no length.
std::optional<double> plainDecimal(std::string_view text) {
    const std::optional<double> value = calc::readPlainDecimal(text);
    float asSingle = 0;
    if (!value || !calc::storeSingle(asSingle, *value)) return std::nullopt;
    return value;
}

}  // namespace

template <class Fail>
std::optional<double> SegmentCalc::number(std::string_view text, const char* column, Fail& fail) {
    if (text.empty()) return 0.0;
    if (const std::optional<double> plain = plainDecimal(text)) return plain;
    const std::optional<double> value = calc::textValue(text);
    float asSingle = 0;
    if (!calc::readsWhole(text)) {
        fail(std::string(column) + ' ' + quoted(text) + " is not a number");
    } else if (!value || !calc::storeSingle(asSingle, *value)) {
        fail(std::string(column) + ' ' + quoted(text) + " is beyond the range of the calculation");
    } else {
        return value;
    }
    return std::nullopt;
}

template <class Fail>
void SegmentCalc::compute(Job& job, double lengthValue, double zetaValue, Fail& fail) {
    using calc::Value;
    OutRow& out = job.out;
    const calc::DuctResult result = calc::computeDuct(input_, view_);
    const calc::CalcState& s = result.state;
    const calc::Outcome& o = result.outcome;
    // The values the labels show are taken from the labels themselves.
    auto fromLabel = [&](Out column, Value value, calc::Result label, std::string_view unit) {
        if (!o.defined(value)) return;
        std::string_view text = view_.caption(label);
        text.remove_suffix(unit.size());
        if (!text.empty() && text.front() == ' ') text.remove_prefix(1);
        out.numbers[column] = text;
    };
    auto show = [&](Out column, std::optional<float> x) {
        if (x) out.numbers[column] = shownNumber(*x);
        return x;
    };
    if (o.defined(Value::size)) out.size = compactSize(view_.caption(calc::Result::Label6));
    fromLabel(oFlow, Value::flowRate, calc::Result::Label10, " m3/h");
    fromLabel(oEqDiameter, Value::eqDiameter, calc::Result::Label17, " m");
    const bool hasVelocity = o.defined(Value::velocity) && !result.noSection;
    if (hasVelocity) fromLabel(oVelocity, Value::velocity, calc::Result::Label7, " m/s");
    fromLabel(oReynolds, Value::reynolds, calc::Result::Label15, "");
    if (o.defined(Value::lambda)) show(oLambda, s.lambda);
    fromLabel(oRm, Value::specificLoss, calc::Result::Label11, " Pa/m");
    out.numbers[oLength] = lengthTexts_.text(static_cast<float>(lengthValue));
    out.numbers[oZeta] = zetaTexts_.text(static_cast<float>(zetaValue));

    std::string reason = failureReason(result, input_);
    std::optional<float> friction, pressure, local, total;
    if (o.defined(Value::specificLoss))
        friction = show(oFriction, calc::frictionLoss(s.specificLoss, lengthValue));
    if (hasVelocity) pressure = show(oPressure, calc::velocityPressure(s.velocity));
    if (pressure) local = show(oLocal, calc::localLoss(zetaValue, *pressure));
    if (friction && local) total = show(oTotal, calc::segmentTotal(*friction, *local));
    if (reason.empty() && !total)
        reason = "the segment's losses are beyond the range of the calculation";
    if (!reason.empty()) {
        fail(reason);
        return;
    }
    job.total = *total;
}

void SegmentCalc::run(Job& job) {
    job.out.segment.clear();
    job.out.size.clear();
    for (std::string& n : job.out.numbers) n.clear();
    job.messages.clear();
    job.ok = true;
    const std::vector<std::string>& fields = job.fields;
    const std::size_t count = job.count;
    bool blank = true;
    for (std::size_t i = 0; i < count && blank; ++i) blank = trimmed(fields[i]).empty();
    job.blank = blank;
    if (blank) return;  // spreadsheets end their files with empty rows

    // Each known column's text, trimmed once: most are asked for more
    // than once.
    std::array<std::string_view, kColumns> texts{};
    for (std::size_t c = 0; c < kColumns; ++c) {
        const int at = layout_.columns[c];
        if (at >= 0 && static_cast<std::size_t>(at) < count)
            texts[c] = trimmed(fields[static_cast<std::size_t>(at)]);
    }
    auto field = [&](Column c) { return texts[c]; };
    OutRow& out = job.out;
    out.segment = field(segment);
    if (layout_.columns[segment] < 0) out.segment = std::to_string(job.row);
    auto say = [&](std::string_view kind, const std::string& message) {
        job.messages += std::string(kProgram) + ": " + name_ + ':' + std::to_string(job.line) +
                        ": " + std::string(kind) + message + '\n';
    };
    auto fail = [&](const std::string& message) {
        job.ok = false;
        say("", message);
    };
    if (count != layout_.fieldCount)
        fail("the row has " + std::to_string(count) + " fields, the header " +
             std::to_string(layout_.fieldCount));

    input_.flowFactor = 1;
    if (const std::string_view u = field(unit); !u.empty()) {
        if (const std::optional<float> f = calc::flowFactorOf(u))
            input_.flowFactor = *f;
        else
            fail("unit " + quoted(u) + " is not one of " + unitList());
    }
    const std::string_view flowText = field(flow);
    if (flowText.empty())
        fail("flow is empty");
    else if (!calc::readsWhole(flowText))
        fail("flow " + quoted(flowText) + " is not a number");
    input_.flow = flowText;

    const std::string_view sizeText = field(size);
    if (const std::optional<SizeArg> s = parseSize(sizeText))
        setSize(input_, *s);
    else
        fail("size " + quoted(sizeText) + " is not a size");

    const std::optional<double> lengthValue = number(field(length), "length", fail);
    if (lengthValue && *lengthValue < 0) fail("length " + quoted(field(length)) + " is negative");
    const std::optional<double> zetaValue = number(field(zeta), "zeta", fail);

    const std::string_view materialText = field(material);
    const std::string_view kText = field(k);
    if (!kText.empty()) {
        const std::optional<int> index = calc::materialIndex(materialText);
        if (!materialText.empty() && index != calc::kCustomMaterial) {
            fail("give a material or k, not both (material " + quoted(materialText) + ", k " +
                 quoted(kText) + ")");
        } else {
            const Roughness r = customRoughness(kText);
            if (!r.warning.empty()) say("warning: ", r.warning);
            input_.roughness = r.k;
        }
    } else if (materialText.empty()) {
        input_.roughness = calc::materialRoughness(0);
    } else if (const std::optional<float> rk = namedRoughness(materialText)) {
        input_.roughness = *rk;
    } else {
        fail("material " + quoted(materialText) + " is not one of " + materialList());
    }

    const std::string_view formulaText = field(formula);
    if (formulaText.empty() || formulaText == "1")
        input_.formula = 1;
    else if (formulaText == "2")
        input_.formula = 2;
    else
        fail("formula " + quoted(formulaText) + " is not 1 or 2");

    if (job.ok) compute(job, *lengthValue, *zetaValue, fail);
}

}  // namespace cli
