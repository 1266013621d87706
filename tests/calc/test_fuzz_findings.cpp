// SPDX-License-Identifier: GPL-3.0-or-later
// Inputs found by fuzzing the recalculation (fuzz/fuzz_recalc.cpp), kept so
// that they stay fixed.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "calc/recalc.h"
#include "tests/calc/fake_view.h"

namespace {

using calc::Input;
using calc::Result;

// The window always has a shape and a formula chosen; a view need not. Without
// one, the labels showed the duct or the friction factor of earlier inputs:
// the size label was not written at all, the velocity came from the section
// of the last shape, the friction loss from the last friction factor.
struct Unchosen {
    const char* name;
    bool circular, rectangular, formulaOne, formulaTwo;
    const char* label6;
    bool sizePrompt;  // Label7 asks for a size
    const char* label11;
};
void PrintTo(const Unchosen& c, std::ostream* os) { *os << c.name; }

struct NothingChosen : testing::TestWithParam<Unchosen> {
    static void choose(FakeView& view, const Unchosen& c) {
        view.texts[Input::Text1] = "1000";
        view.texts[Input::Combo2] = "200";
        view.option1 = c.circular;
        view.option2 = c.rectangular;
        view.option4 = c.formulaOne;
        view.option5 = c.formulaTwo;
    }
};

TEST_P(NothingChosen, ShowsNothingOfEarlierInputs) {
    const Unchosen& c = GetParam();
    FakeView view;
    calc::CalcState state = calc::startupState();
    view.texts[Input::Text1] = "5000";
    view.rectangular();
    view.texts[Input::Combo3] = "500";
    view.texts[Input::Combo4] = "320";
    ASSERT_TRUE(calc::v(state, view));

    choose(view, c);
    const int writesBefore = view.writes;
    EXPECT_TRUE(calc::v(state, view));
    EXPECT_EQ(view.writes - writesBefore, calc::kResultCount);
    EXPECT_EQ(view.caption(Result::Label6), c.label6);
    EXPECT_EQ(view.caption(Result::Label7) == calc::kSizePrompt, c.sizePrompt)
        << view.caption(Result::Label7);
    EXPECT_EQ(view.caption(Result::Label11), c.label11);

    FakeView first;
    calc::CalcState firstState = calc::startupState();
    choose(first, c);
    EXPECT_TRUE(calc::v(firstState, first));
    EXPECT_EQ(view.captions, first.captions);
}
INSTANTIATE_TEST_SUITE_P(
    Cases, NothingChosen,
    testing::Values(Unchosen{"NoShape", false, false, true, false, "", true, " 0 Pa/m"},
                    Unchosen{"NoFormula", true, false, false, false, "φ 200", false, " 0 Pa/m"},
                    Unchosen{"NoShapeNoFormula", false, false, false, false, "", true, " 0 Pa/m"},
                    Unchosen{"CircularFormulaOne", true, false, true, false, "φ 200", false,
                             " 4.376865 Pa/m"}),
    [](const testing::TestParamInfo<Unchosen>& info) { return info.param.name; });

// The first input the fuzzer reported: every text empty, nothing chosen. The
// size label kept whatever it showed before.
TEST(FuzzFinding, EmptyWindowWithNothingChosenWritesEveryLabel) {
    FakeView view;
    for (auto& [box, text] : view.texts) text.clear();
    view.option1 = view.option2 = view.option4 = view.option5 = false;
    view.captions.fill("left over");
    calc::CalcState state = calc::startupState();
    EXPECT_TRUE(calc::v(state, view));
    for (const std::string& caption : view.captions) EXPECT_NE(caption, "left over");
    EXPECT_EQ(view.caption(Result::Label6), "");
    EXPECT_EQ(view.caption(Result::Label7), calc::kSizePrompt);
}

}  // namespace
