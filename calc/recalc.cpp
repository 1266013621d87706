// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/recalc.h"

#include <cmath>

#include "calc/number_text.h"
#include "engine/duct.h"

namespace calc {

namespace {

static_assert(
    [] {
        for (int i = 0; i < kValueCount; ++i)
            if (static_cast<int>(kDependencies[i].value) != i) return false;
        for (int i = 0; i < kResultCount; ++i)
            if (static_cast<int>(kLabelContents[i].label) != i) return false;
        return true;
    }(),
    "the dependency tables are indexed by value and by label");

// Runs the steps of one recalculation in order and keeps track of what is
// undefined: a step whose inputs are not all defined is skipped, and so is
// everything computed from it.
class Steps {
public:
    template <typename Step>
    void run(Value value, Step&& step) {
        if (!allDefined(kDependencies[static_cast<int>(value)].from) || !step())
            outcome_.markUndefined(value);
    }

    bool allDefined(unsigned set) const {
        for (int i = 0; i < kValueCount; ++i)
            if ((set & valueBit(static_cast<Value>(i))) && !outcome_.defined(static_cast<Value>(i)))
                return false;
        return true;
    }

    const Outcome& outcome() const { return outcome_; }

private:
    Outcome outcome_;
};

bool storeBox(float& field, const CalcView& view, Input box, float factor = 1) {
    return storeText(field, view.text(box), factor);
}

std::string withUnit(std::string text, std::string_view unit) {
    text += unit;
    return text;
}

std::string withUnit(float value, std::string_view unit) {
    return withUnit(numberText(value), unit);
}

}  // namespace

Outcome v(CalcState& s, CalcView& view, const AirState& air) {
    Steps steps;
    const bool circular = view.selected(Choice::Option1);
    const bool rectangular = !circular && view.selected(Choice::Option2);

    // 1. Air volume, in m3/h.
    steps.run(Value::flowRate,
              [&] { return storeBox(s.flowRate, view, Input::Text1, s.flowFactor); });

    // 2. Section. Standard sizes are made non-negative; typed sizes are used
    //    as typed.
    const bool standard = view.checkValue() == 0;
    steps.run(Value::size, [&] {
        if (circular) {
            if (!storeBox(s.diameter, view, standard ? Input::Combo2 : Input::Text2)) return false;
            if (standard) s.diameter = std::fabs(s.diameter);
        } else if (rectangular) {
            if (!storeBox(s.sideA, view, standard ? Input::Combo3 : Input::Text3) ||
                !storeBox(s.sideB, view, standard ? Input::Combo4 : Input::Text4))
                return false;
            if (standard) {
                s.sideA = std::fabs(s.sideA);
                s.sideB = std::fabs(s.sideB);
            }
        }
        return true;
    });
    steps.run(Value::area, [&] {
        if (circular) return storeSingle(s.area, engine::s1(s.diameter));
        if (rectangular) return storeSingle(s.area, engine::s2(s.sideA, s.sideB));
        // No shape chosen (the window always has one, a view need not): no
        // section, rather than the section of earlier inputs.
        s.area = 0;
        return true;
    });

    // 3. Equivalent diameter, m.
    steps.run(Value::eqDiameter, [&] {
        if (circular) {
            s.eqDiameter = s.diameter / 1000;
            return true;
        }
        if (rectangular) {
            // Sides that cancel out (typed with opposite signs) are no section
            // at all, like a zero side: no equivalent diameter to divide out.
            if (s.sideA + s.sideB == 0) {
                s.eqDiameter = 0;
                return true;
            }
            return storeSingle(s.eqDiameter, engine::dv(s.sideA, s.sideB) / 1000);
        }
        s.eqDiameter = 0;
        return true;
    });

    // 4. Velocity, m/s. Without a positive section there is no velocity: a
    //    velocity kept from earlier inputs would show a Reynolds number and a
    //    loss beside the prompt that belong to another duct.
    steps.run(Value::velocity, [&] {
        if (!(s.area > 0)) {
            s.velocity = 0;
            return true;
        }
        return storeSingle(s.velocity, static_cast<double>(s.flowRate) / 3600 / s.area);
    });

    // 5. Reynolds number.
    steps.run(Value::reynolds, [&] {
        return storeSingle(s.reynolds, engine::re(s.velocity, s.eqDiameter, air.viscosity));
    });

    // 6. Friction factor of the chosen formula; a guarded case counts as 0.
    steps.run(Value::lambda, [&] {
        if (view.selected(Choice::Option4))
            return storeSingle(s.lambda,
                               engine::l1(s.roughness, s.eqDiameter, s.reynolds).value_or(0));
        if (view.selected(Choice::Option5))
            return storeSingle(s.lambda,
                               engine::l2(s.roughness, s.eqDiameter, s.reynolds).value_or(0));
        s.lambda = 0;  // no formula chosen: no friction factor, as in a guarded case
        return true;
    });

    // 7. Specific friction loss, Pa/m.
    steps.run(Value::specificLoss, [&] {
        return storeSingle(s.specificLoss,
                           engine::rm(s.lambda, s.eqDiameter, s.velocity, air.density).value_or(0));
    });

    if (!view.showsLabels()) return steps.outcome();
    // The labels, in their fixed order; one that shows an undefined value
    // shows the marker instead.
    auto write = [&](Result label, const std::string& text) {
        const bool shown = steps.allDefined(kLabelContents[static_cast<int>(label)].shows);
        view.setCaption(label, shown ? std::string_view(text) : kFailMarker);
    };
    // Sizes and roughnesses repeat from duct to duct: their texts are kept.
    write(Result::Label6, circular ? "φ" + recurringNumberText(s.diameter)
                          : rectangular
                              ? recurringNumberText(s.sideA) + " *" + recurringNumberText(s.sideB)
                              : std::string());
    write(Result::Label7, s.area > 0 ? withUnit(s.velocity, " m/s") : std::string(kSizePrompt));
    write(Result::Label17, withUnit(recurringNumberText(s.eqDiameter), " m"));
    write(Result::Label10, withUnit(s.flowRate, " m3/h"));
    write(Result::Label13, recurringNumberText(s.roughness));
    write(Result::Label15, numberText(s.reynolds));
    write(Result::Label11, withUnit(s.specificLoss, " Pa/m"));
    return steps.outcome();
}

}  // namespace calc
