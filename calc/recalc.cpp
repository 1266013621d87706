#include "recalc.h"

#include <cmath>

#include "duct.h"
#include "conversions.h"

namespace calc {

namespace {

// Writes the labels in their fixed order and remembers how far it got, so
// that a failure can mark the rest.
class LabelWriter {
public:
    explicit LabelWriter(CalcView& view) : view_(view) {}

    void write(Result label, std::string_view text) {
        view_.setCaption(label, text);
        written_ |= 1u << static_cast<unsigned>(label);
    }

    void write(Result label, float value, std::string_view unit = {}) {
        std::string text = numberText(value);
        text += unit;
        write(label, text);
    }

    // Marks every label this call has not written, and every value from the
    // failed one on as undefined.
    Outcome fail(Value failed) {
        for (int i = 0; i < kResultCount; ++i)
            if (!(written_ & (1u << i))) view_.setCaption(static_cast<Result>(i), kFailMarker);
        Outcome outcome;
        for (int i = static_cast<int>(failed); i < kValueCount; ++i)
            outcome.markUndefined(static_cast<Value>(i));
        return outcome;
    }

private:
    CalcView& view_;
    unsigned written_ = 0;
};

bool storeBox(float& field, const CalcView& view, Input box, float factor = 1) {
    return storeText(field, view.text(box), factor);
}

}  // namespace

Outcome v(CalcState& s, CalcView& view) {
    LabelWriter labels(view);
    const bool circular = view.selected(Choice::Option1);
    const bool rectangular = !circular && view.selected(Choice::Option2);

    // 1. Air volume, in m3/h.
    if (!storeBox(s.flowRate, view, Input::Text1, s.flowFactor)) return labels.fail(Value::flowRate);

    // 2. Section. Standard sizes are made non-negative; typed sizes are used
    //    as typed.
    const bool standard = view.checkValue() == 0;
    if (circular) {
        if (!storeBox(s.diameter, view, standard ? Input::Combo2 : Input::Text2))
            return labels.fail(Value::size);
        if (standard) s.diameter = std::fabs(s.diameter);
        if (!storeSingle(s.area, engine::s1(s.diameter))) return labels.fail(Value::area);
    } else if (rectangular) {
        if (!storeBox(s.sideA, view, standard ? Input::Combo3 : Input::Text3) ||
            !storeBox(s.sideB, view, standard ? Input::Combo4 : Input::Text4))
            return labels.fail(Value::size);
        if (standard) {
            s.sideA = std::fabs(s.sideA);
            s.sideB = std::fabs(s.sideB);
        }
        if (!storeSingle(s.area, engine::s2(s.sideA, s.sideB))) return labels.fail(Value::area);
    } else {
        // No shape chosen (the window always has one, a view need not): no
        // section, rather than the section of earlier inputs.
        s.area = 0;
    }

    // 3. Size text and equivalent diameter, m.
    if (circular) {
        labels.write(Result::Label6, "φ" + numberText(s.diameter));
        s.eqDiameter = s.diameter / 1000;
    } else if (rectangular) {
        labels.write(Result::Label6, numberText(s.sideA) + " *" + numberText(s.sideB));
        // Sides that cancel out (typed with opposite signs) are no section at
        // all, like a zero side: no equivalent diameter to divide out.
        const float sum = s.sideA + s.sideB;
        if (sum == 0) {
            s.eqDiameter = 0;
        } else if (!storeSingle(s.eqDiameter, engine::dv(s.sideA, s.sideB) / 1000)) {
            return labels.fail(Value::eqDiameter);
        }
    } else {
        labels.write(Result::Label6, "");
        s.eqDiameter = 0;
    }

    // 4. Velocity, m/s. Without a positive section there is no velocity: a
    //    velocity kept from earlier inputs would show a Reynolds number and a
    //    loss beside the prompt that belong to another duct.
    if (s.area > 0) {
        const double velocity = static_cast<double>(s.flowRate) / 3600 / s.area;
        if (!storeSingle(s.velocity, velocity)) return labels.fail(Value::velocity);
        labels.write(Result::Label7, s.velocity, " m/s");
    } else {
        s.velocity = 0;
        labels.write(Result::Label7, kSizePrompt);
    }

    // 5.-7.
    labels.write(Result::Label17, s.eqDiameter, " m");
    labels.write(Result::Label10, s.flowRate, " m3/h");
    labels.write(Result::Label13, s.roughness);

    // 8. Reynolds number.
    if (!storeSingle(s.reynolds, engine::re(s.velocity, s.eqDiameter)))
        return labels.fail(Value::reynolds);
    labels.write(Result::Label15, s.reynolds);

    // 9. Friction factor of the chosen formula; a guarded case counts as 0.
    if (view.selected(Choice::Option4)) {
        if (!storeSingle(s.lambda, engine::l1(s.roughness, s.eqDiameter, s.reynolds).value_or(0)))
            return labels.fail(Value::lambda);
    } else if (view.selected(Choice::Option5)) {
        if (!storeSingle(s.lambda, engine::l2(s.roughness, s.eqDiameter, s.reynolds).value_or(0)))
            return labels.fail(Value::lambda);
    } else {
        s.lambda = 0;  // no formula chosen: no friction factor, as in a guarded case
    }

    // 10. Specific friction loss, Pa/m.
    if (!storeSingle(s.specificLoss, engine::rm(s.lambda, s.eqDiameter, s.velocity).value_or(0)))
        return labels.fail(Value::specificLoss);
    labels.write(Result::Label11, s.specificLoss, " Pa/m");
    return {};
}

}  // namespace calc
