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
#include "readers.h"
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
void SegmentCalc::compute(Job& job, std::optional<double> lengthValue,
                          std::optional<double> zetaValue, Fail& fail) {
    using calc::Value;
    OutRow& out = job.out;
    const calc::DuctResult result = calc::computeDuct(input_, view_);
    const calc::CalcState& s = result.state;
    const calc::Outcome& o = result.outcome;
    // The values the labels show are taken from the labels themselves.
    auto fromLabel = [&](Out column, Value value, calc::Result label, std::string_view unit,
                         float x) {
        if (!o.defined(value)) return;
        if (layout_.shortest) {
            out.numbers[column] = roundTripNumber(x);
            return;
        }
        std::string_view text = view_.caption(label);
        text.remove_suffix(unit.size());
        if (!text.empty() && text.front() == ' ') text.remove_prefix(1);
        out.numbers[column] = text;
    };
    auto show = [&](Out column, std::optional<float> x) {
        if (x) out.numbers[column] = layout_.shortest ? roundTripNumber(*x) : shownNumber(*x);
        return x;
    };
    if (o.defined(Value::size)) out.size = compactSize(view_.caption(calc::Result::Label6));
    fromLabel(oFlow, Value::flowRate, calc::Result::Label10, " m3/h", s.flowRate);
    fromLabel(oEqDiameter, Value::eqDiameter, calc::Result::Label17, " m", s.eqDiameter);
    const bool hasVelocity = o.defined(Value::velocity) && !result.noSection;
    if (hasVelocity)
        fromLabel(oVelocity, Value::velocity, calc::Result::Label7, " m/s", s.velocity);
    fromLabel(oReynolds, Value::reynolds, calc::Result::Label15, "", s.reynolds);
    // A formula with nothing to work on (no air) stores 0: no λ, as the
    // window shows none.
    if (o.defined(Value::lambda) && s.lambda != 0) show(oLambda, s.lambda);
    fromLabel(oRm, Value::specificLoss, calc::Result::Label11, " Pa/m", s.specificLoss);
    if (o.defined(Value::reynolds) && s.reynolds > 0 && s.reynolds < kLaminarReynolds)
        job.messages += std::string(kProgram) + ": " + name_ + ':' + std::to_string(job.line) +
                        ": warning: " + laminarWarning(s.reynolds) + '\n';

    std::string reason = failureReason(result, input_);
    std::optional<float> friction, pressure, local, total;
    if (o.defined(Value::specificLoss) && lengthValue)
        friction = show(oFriction, calc::frictionLoss(s.specificLoss, *lengthValue));
    if (hasVelocity) pressure = show(oPressure, calc::velocityPressure(s.velocity));
    if (pressure && zetaValue) local = show(oLocal, calc::localLoss(*zetaValue, *pressure));
    if (friction && local) total = show(oTotal, calc::segmentTotal(*friction, *local));
    if (!job.ok) return;  // the reading already said why
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
    for (NumberMemo* memo : {&lengthTexts_, &zetaTexts_, &kTexts_})
        memo->setShortest(layout_.shortest);
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
    // The duct is computed only from inputs that were all read; whatever
    // else was read is still written.
    bool duct = true;
    auto failDuct = [&](const std::string& message) {
        duct = false;
        fail(message);
    };
    if (count != layout_.fieldCount)
        failDuct("the row has " + std::to_string(count) + " fields, the header " +
                 std::to_string(layout_.fieldCount));

    input_.flowFactor = 1;
    if (const std::string_view u = field(unit); !u.empty()) {
        if (const std::optional<float> f = ductsys::unitFactor(u))
            input_.flowFactor = *f;
        else
            failDuct("unit " + quoted(u) + " is not one of " + unitList());
    }
    const std::string_view flowText = field(flow);
    if (flowText.empty())
        failDuct("flow is empty");
    else if (const std::string problem = ductsys::flowProblem(flowText); !problem.empty())
        failDuct(problem);
    input_.flow = flowText;

    const std::string_view sizeText = field(size);
    if (const std::optional<SizeArg> s = parseSize(sizeText))
        setSize(input_, *s);
    else
        failDuct("size " + quoted(sizeText) + " is not a size");

    std::optional<double> lengthValue = number(field(length), "length", fail);
    if (lengthValue && *lengthValue < 0) {
        fail("length " + quoted(field(length)) + " is negative");
        lengthValue.reset();
    }
    const std::optional<double> zetaValue = number(field(zeta), "zeta", fail);
    if (lengthValue) {
        out.numbers[oLength] = lengthTexts_.text(static_cast<float>(*lengthValue));
    }
    if (zetaValue) {
        out.numbers[oZeta] = zetaTexts_.text(static_cast<float>(*zetaValue));
    }

    const std::string_view materialText = field(material);
    const std::string_view kText = field(k);
    bool roughness = true;
    if (!kText.empty()) {
        const std::optional<int> index = calc::materialIndex(materialText);
        if (!materialText.empty() && index != calc::kCustomMaterial) {
            failDuct("give a material or k, not both (material " + quoted(materialText) + ", k " +
                     quoted(kText) + ")");
            roughness = false;
        } else if (const ductsys::RoughnessRead r = ductsys::readRoughness(kText); !r.k) {
            failDuct("k " + r.error);
            roughness = false;
        } else {
            if (!r.warning.empty()) say("warning: ", r.warning);
            input_.roughness = *r.k;
        }
    } else if (materialText.empty()) {
        input_.roughness = calc::materialRoughness(0);
    } else if (const std::optional<float> rk = namedRoughness(materialText)) {
        input_.roughness = *rk;
    } else {
        failDuct("material " + quoted(materialText) + " is not one of " + materialList());
        roughness = false;
    }
    if (roughness) {
        out.numbers[oK] = kTexts_.text(input_.roughness);
    }

    const std::string_view formulaText = field(formula);
    if (formulaText.empty() || formulaText == "1")
        input_.formula = 1;
    else if (formulaText == "2")
        input_.formula = 2;
    else
        failDuct("formula " + quoted(formulaText) + " is not 1 or 2");
    if (formulaText.empty() || formulaText == "1" || formulaText == "2") {
        out.numbers[oFormula] = input_.formula == 1 ? "1" : "2";
    }

    if (duct) compute(job, lengthValue, zetaValue, fail);
}

}  // namespace cli
