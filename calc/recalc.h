// SPDX-License-Identifier: GPL-3.0-or-later
// The recalculation: from the window's inputs and the calculation state to
// the seven result texts.
#pragma once

#include <string>
#include <string_view>

#include "calc/calc_state.h"
#include "engine/duct.h"

namespace calc {

// The boxes whose text the recalculation reads.
enum class Input { Text1, Combo2, Combo3, Combo4, Text2, Text3, Text4 };

// The option buttons whose selection it reads.
enum class Choice { Option1, Option2, Option4, Option5 };

// The value labels it writes, in the order they are written.
enum class Result { Label6, Label7, Label17, Label10, Label13, Label15, Label11 };
inline constexpr int kResultCount = 7;

// What the recalculation sees of the window: exactly the reads and writes it
// needs, so that it runs the same against the real window and in tests.
class CalcView {
public:
    virtual ~CalcView() = default;
    virtual std::string text(Input box) const = 0;  // UTF-8
    virtual int checkValue() const = 0;             // Check1: 0 unticked
    virtual bool selected(Choice option) const = 0;
    virtual void setCaption(Result label, std::string_view text) = 0;
    // False for a view that shows no labels (the segments of a system, which
    // keep the values only): `v` then spares forming their texts.
    virtual bool showsLabels() const { return true; }
};

// Shown in Label7 while the section is not positive.
inline constexpr std::string_view kSizePrompt = "请输入风管尺寸";

// The values a recalculation computes, in the order it computes them. The
// roughness is not among them: it is set by the roughness handlers and is
// always defined.
enum class Value { flowRate, size, area, eqDiameter, velocity, reynolds, lambda, specificLoss };
inline constexpr int kValueCount = 8;

// What a recalculation left undefined. A value that a failed step could not
// compute, or that depends on one, keeps whatever its field held before;
// nothing may be shown or derived from it.
class Outcome {
public:
    bool complete() const { return undefined_ == 0; }
    explicit operator bool() const { return complete(); }
    bool defined(Value value) const { return !(undefined_ & bit(value)); }
    void markUndefined(Value value) { undefined_ |= bit(value); }

private:
    static unsigned bit(Value value) { return 1u << static_cast<unsigned>(value); }
    unsigned undefined_ = 0;
};

// The values each value is computed from, and the values each label shows.
// A failure leaves undefined the failed value and everything computed from it,
// and a label shows kFailMarker exactly when a value it shows is undefined.
// A set of values, as bits: values(Value::size, Value::flowRate).
constexpr unsigned valueBit(Value value) { return 1u << static_cast<unsigned>(value); }
template <typename... V>
constexpr unsigned values(V... v) {
    return (0u | ... | valueBit(v));
}
struct ValueDependency {
    Value value;
    unsigned from;
};
inline constexpr ValueDependency kDependencies[kValueCount] = {
    {Value::flowRate, values()},
    {Value::size, values()},
    {Value::area, values(Value::size)},
    {Value::eqDiameter, values(Value::size)},
    {Value::velocity, values(Value::flowRate, Value::area)},
    {Value::reynolds, values(Value::velocity, Value::eqDiameter)},
    {Value::lambda, values(Value::eqDiameter, Value::reynolds)},
    {Value::specificLoss, values(Value::lambda, Value::eqDiameter, Value::velocity)},
};
struct LabelContent {
    Result label;
    unsigned shows;  // none: the roughness, always defined
};
inline constexpr LabelContent kLabelContents[kResultCount] = {
    {Result::Label6, values(Value::size)},
    {Result::Label7, values(Value::area, Value::velocity)},
    {Result::Label17, values(Value::eqDiameter)},
    {Result::Label10, values(Value::flowRate)},
    {Result::Label13, values()},
    {Result::Label15, values(Value::reynolds)},
    {Result::Label11, values(Value::specificLoss)},
};

// The air the ducts carry. The window always computes with the defaults, its
// design air at about 20 °C; the system calculation may give another.
struct AirState {
    double density = engine::kAirDensity;      // kg/m3
    double viscosity = engine::kAirViscosity;  // kinematic, m2/s
};

// Reads every input, recomputes every result into `state` and rewrites the
// seven value labels.
//
// When a step cannot complete (a value beyond the single range, the logarithm
// or cube root of a negative value), the values computed from it are skipped
// (kDependencies) and the labels that show any of them show kFailMarker;
// every other label shows its usual text, so that nothing on screen belongs to
// earlier inputs and nothing computable is hidden. The outcome says which
// values are undefined.
// `air` gives the density and viscosity of the Reynolds number and the
// friction loss.
Outcome v(CalcState& state, CalcView& view, const AirState& air = {});

}  // namespace calc
