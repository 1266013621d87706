// SPDX-License-Identifier: GPL-3.0-or-later
// The precision of every step, pinned by shown texts.
//
// The rows were found by find_pinned_inputs.cpp, a search over realistic
// inputs against the independent step model of precision_model.h: on these
// inputs, turning the precision of any one step around (single to double or
// double to single, in the engine or in the recalculation) changes at least
// one shown text. The first two rows are the inputs on which such faults were
// first seen: 11 m3/h in 120 x 400 shows another last digit when the velocity
// is divided in single, and 1.54 m3/min shows 92.39999 m3/h when the air
// volume is rounded to single before the unit factor.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <ostream>
#include <string>
#include <vector>

#include "calc/number_reading.h"
#include "calc/recalc.h"
#include "calc/tables.h"
#include "tests/calc/fake_view.h"
#include "tests/calc/precision_model.h"

namespace precision {
void PrintTo(const Shown& s, std::ostream* os) {
    *os << '[' << s.label10 << '|' << s.label6 << '|' << s.label17 << '|' << s.label7 << '|'
        << s.label15 << '|' << s.label11 << ']';
}
}  // namespace precision

namespace {

using calc::Input;
using calc::Result;
using precision::Model;
using precision::Shown;
using precision::Step;

struct Pinned {
    const char* airVolume;
    const char* unit;
    bool rectangular;
    const char* size1;  // diameter, or first side, mm
    const char* size2;  // second side, mm
    const char* roughness;
    bool formulaTwo;
    Shown shown;  // Label10, Label6, Label17, Label7, Label15, Label11
};

// clang-format off
const std::array kPinned = std::to_array<Pinned>({
    {"11", "m3/h", true, "120", "400", "0.16", false,
     {" 11 m3/h", " 120 * 400", " 0.1846154 m", " 0.06365741 m/s", " 780.3544", " 0.0002516206 Pa/m"}},
    {"1.54", "m3/min", false, "200", "", "0.16", false,
     {" 92.4 m3/h", "φ 200", " 0.2 m", " 0.816996 m/s", " 10849.88", " 0.0373795 Pa/m"}},
    {"134.8", "l/s", false, "332", "", "1.5", false,
     {" 485.28 m3/h", "φ 332", " 0.332 m", " 1.557128 m/s", " 34327.12", " 0.129419 Pa/m"}},
    {"184.0", "Am.GPS", true, "587.68", "120", "0.16", true,
     {" 2507.184 m3/h", " 587.68 * 120", " 0.1993037 m", " 9.875557 m/s", " 130692.9", " 6.274575 Pa/m"}},
    {"31.56", "Am.GPS", false, "360", "", "1.0", false,
     {" 430.0366 m3/h", "φ 360", " 0.36 m", " 1.173568 m/s", " 28053.42", " 0.05894213 Pa/m"}},
    {"27.4", "Am.GPS", true, "160", "630", "1.5", true,
     {" 373.3524 m3/h", " 160 * 630", " 0.2551899 m", " 1.028859 m/s", " 17433.89", " 0.09054473 Pa/m"}},
    {"23798", "m3/h", true, "276.2", "1944.5", "2.3", false,
     {" 23798 m3/h", " 276.2 * 1944.5", " 0.4836952 m", " 12.30853 m/s", " 395323.9", " 5.635342 Pa/m"}},
    {"66.9", "En.GPS", true, "400", "200", "1.0", false,
     {" 1094.859 m3/h", " 400 * 200", " 0.2666667 m", " 3.801592 m/s", " 67314.6", " 0.9091455 Pa/m"}},
    {"62.8", "l/min", true, "917", "120", "1.0", false,
     {" 3.768 m3/h", " 917 * 120", " 0.2122276 m", " 0.009511693 m/s", " 134.0401", " 7.906588E-06 Pa/m"}},
});
// clang-format on

precision::Inputs inputsOf(const Pinned& p) {
    return {p.airVolume, *calc::flowFactorOf(p.unit), p.rectangular, p.size1, p.size2, p.roughness,
            p.formulaTwo};
}

bool isStandard(std::string_view size, bool diameter) {
    if (diameter)
        return std::find(calc::standardDiameters.begin(), calc::standardDiameters.end(), size) !=
               calc::standardDiameters.end();
    return std::find(calc::standardSides.begin(), calc::standardSides.end(), size) !=
           calc::standardSides.end();
}

// The window's recalculation on the row's inputs: sizes from the lists when
// they are standard, typed otherwise.
Shown recalculated(const Pinned& p) {
    FakeView view;
    calc::CalcState state = calc::startupState();
    state.flowFactor = *calc::flowFactorOf(p.unit);
    state.roughness = static_cast<float>(*calc::textValue(p.roughness));
    view.texts[Input::Text1] = p.airVolume;
    if (p.rectangular) view.rectangular();
    if (p.formulaTwo) view.formulaTwo();
    const bool standard = p.rectangular ? isStandard(p.size1, false) && isStandard(p.size2, false)
                                        : isStandard(p.size1, true);
    view.check = standard ? 0 : 1;
    if (p.rectangular) {
        view.texts[standard ? Input::Combo3 : Input::Text3] = p.size1;
        view.texts[standard ? Input::Combo4 : Input::Text4] = p.size2;
    } else {
        view.texts[standard ? Input::Combo2 : Input::Text2] = p.size1;
    }
    EXPECT_TRUE(calc::v(state, view).complete());
    return {view.caption(Result::Label10), view.caption(Result::Label6),
            view.caption(Result::Label17), view.caption(Result::Label7),
            view.caption(Result::Label15), view.caption(Result::Label11)};
}

void PrintTo(const Pinned& p, std::ostream* os) {
    *os << p.airVolume << ' ' << p.unit << ", " << p.size1 << (p.rectangular ? " x " : "")
        << p.size2 << ", K " << p.roughness << (p.formulaTwo ? ", formula two" : ", formula one");
}

struct PinnedInputs : testing::TestWithParam<Pinned> {};

// The recalculation shows the pinned texts, and so does the model with no
// step turned around: the model is the computation the pins stand for.
TEST_P(PinnedInputs, ShowTheirPinnedTexts) {
    const Pinned& p = GetParam();
    EXPECT_EQ(recalculated(p), p.shown);
    EXPECT_EQ(Model(Step::none).show(inputsOf(p)), p.shown);
}
INSTANTIATE_TEST_SUITE_P(Rows, PinnedInputs, testing::ValuesIn(kPinned));

// Steps whose precision cannot change a result: turning them around leaves
// every value the same on every input, so no row can pin them.
bool cannotMatter(Step s) {
    switch (s) {
        case Step::circularD:  // diameter / 1000 is stored at once: one rounding either way
        case Step::rectD:      // so is the equivalent diameter / 1000
        case Step::s1Quarter:  // dividing by 4 is exact in either precision
        case Step::s2Product:  // the product of two singles is exact in double and stored at once
        case Step::dvTwice:    // doubling is exact
            return true;
        default:
            return false;
    }
}

std::vector<int> stepsThatCanMatter() {
    std::vector<int> steps;
    for (int s = 1; s < static_cast<int>(Step::count); ++s)
        if (!cannotMatter(static_cast<Step>(s))) steps.push_back(s);
    return steps;
}

struct EveryStep : testing::TestWithParam<int> {};

// Turned around, a step changes at least one text of at least one row: a
// change of its precision in the code then fails ShowTheirPinnedTexts.
TEST_P(EveryStep, TurnedAroundChangesAPinnedText) {
    const Model model(static_cast<Step>(GetParam()));
    const bool caught = std::any_of(kPinned.begin(), kPinned.end(), [&](const Pinned& p) {
        return !(model.show(inputsOf(p)) == p.shown);
    });
    EXPECT_TRUE(caught) << "no pinned row depends on step " << GetParam();
}
INSTANTIATE_TEST_SUITE_P(Steps, EveryStep, testing::ValuesIn(stepsThatCanMatter()));

// A step that cannot matter really does not, on a spread of inputs: if one
// did, it would need a row of its own.
TEST(EveryStep, TheStepsThatCannotMatterChangeNothing) {
    for (const Step step :
         {Step::circularD, Step::rectD, Step::s1Quarter, Step::s2Product, Step::dvTwice}) {
        const Model model(step);
        for (const Pinned& p : kPinned) EXPECT_EQ(model.show(inputsOf(p)), p.shown);
        for (const char* size : {"123.45", "1999.99", "100.01", "777.7"})
            for (const bool rectangular : {false, true}) {
                const precision::Inputs in{"1234.5", 1, rectangular, size, "345.67", "0.16", false};
                EXPECT_EQ(model.show(in), Model(Step::none).show(in)) << size;
            }
    }
}

}  // namespace
