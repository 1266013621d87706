// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/recalc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "calc/number_text.h"
#include "engine/duct.h"
#include "tests/calc/fake_view.h"

namespace {

using calc::Input;
using calc::Result;

// The seven value labels, top to bottom as the results frame shows them.
struct Labels {
    std::string label13, label10, label6, label17, label7, label15, label11;
};

Labels shown(const FakeView& view) {
    return {view.caption(Result::Label13), view.caption(Result::Label10),
            view.caption(Result::Label6),  view.caption(Result::Label17),
            view.caption(Result::Label7),  view.caption(Result::Label15),
            view.caption(Result::Label11)};
}

void expectLabels(const FakeView& view, const Labels& want) {
    const Labels got = shown(view);
    EXPECT_EQ(got.label13, want.label13);
    EXPECT_EQ(got.label10, want.label10);
    EXPECT_EQ(got.label6, want.label6);
    EXPECT_EQ(got.label17, want.label17);
    EXPECT_EQ(got.label7, want.label7);
    EXPECT_EQ(got.label15, want.label15);
    EXPECT_EQ(got.label11, want.label11);
}

class Recalc : public testing::Test {
protected:
    FakeView view;
    calc::CalcState state = calc::startupState();

    bool run() { return calc::v(state, view).complete(); }
};

TEST_F(Recalc, StartUpDefaults) {
    EXPECT_TRUE(run());
    expectLabels(view, {" 0.16", " 0 m3/h", "φ 100", " 0.1 m", " 0 m/s", " 0", " 0 Pa/m"});
    EXPECT_EQ(view.writes, 7);
    EXPECT_EQ(state.area, static_cast<float>(engine::s1(100)));
    EXPECT_EQ(state.eqDiameter, 0.1f);
}

// Worked examples of the two duct shapes, both formulas.
struct Example {
    const char* name;
    const char* airVolume;
    bool rectangular;
    const char* size1;
    const char* size2;
    bool formulaTwo;
    Labels labels;
};
void PrintTo(const Example& c, std::ostream* os) { *os << c.name; }
struct WorkedExamples : Recalc, testing::WithParamInterface<Example> {};
TEST_P(WorkedExamples, FullLabelTexts) {
    const Example& e = GetParam();
    view.texts[Input::Text1] = e.airVolume;
    if (e.rectangular) {
        view.rectangular();
        view.texts[Input::Combo3] = e.size1;
        view.texts[Input::Combo4] = e.size2;
    } else {
        view.texts[Input::Combo2] = e.size1;
    }
    if (e.formulaTwo) view.formulaTwo();
    EXPECT_TRUE(run());
    expectLabels(view, e.labels);
}
INSTANTIATE_TEST_SUITE_P(
    Ducts, WorkedExamples,
    testing::Values(Example{"Circle200FormulaOne",
                            "1000",
                            false,
                            "200",
                            "",
                            false,
                            {" 0.16", " 1000 m3/h", "φ 200", " 0.2 m", " 8.841949 m/s", " 117423",
                             " 4.376865 Pa/m"}},
                    Example{"Circle200FormulaTwo",
                            "1000",
                            false,
                            "200",
                            "",
                            true,
                            {" 0.16", " 1000 m3/h", "φ 200", " 0.2 m", " 8.841949 m/s", " 117423",
                             " 5.054171 Pa/m"}},
                    Example{"Rect500x320FormulaOne",
                            "5000",
                            true,
                            "500",
                            "320",
                            false,
                            {" 0.16", " 5000 m3/h", " 500 * 320", " 0.3902439 m", " 8.680555 m/s",
                             " 224935.8", " 1.856349 Pa/m"}},
                    Example{"Rect500x320FormulaTwo",
                            "5000",
                            true,
                            "500",
                            "320",
                            true,
                            {" 0.16", " 5000 m3/h", " 500 * 320", " 0.3902439 m", " 8.680555 m/s",
                             " 224935.8", " 2.128793 Pa/m"}}),
    [](const testing::TestParamInfo<Example>& info) { return info.param.name; });

TEST_F(Recalc, AreaOfTheExamplesIsTheSingleOfTheExactSteps) {
    view.texts[Input::Combo2] = "200";
    run();
    EXPECT_EQ(state.area, static_cast<float>(engine::s1(200)));
    view.rectangular();
    view.texts[Input::Combo3] = "500";
    view.texts[Input::Combo4] = "320";
    run();
    EXPECT_EQ(static_cast<double>(state.area), 0.1599999964237213);
}

TEST_F(Recalc, FlowUnitScalesVolumeAndVelocity) {
    view.texts[Input::Text1] = "10";
    state.flowFactor = 60;
    run();
    EXPECT_EQ(view.caption(Result::Label10), " 600 m3/h");
    const float fast = state.velocity;
    state.flowFactor = 1;
    run();
    EXPECT_EQ(view.caption(Result::Label10), " 10 m3/h");
    EXPECT_FLOAT_EQ(fast / state.velocity, 60);
}

TEST_F(Recalc, CubicFeetPerMinute) {
    view.texts[Input::Text1] = "1000";
    state.flowFactor = 1.699f;
    run();
    EXPECT_EQ(view.caption(Result::Label10), " 1699 m3/h");
}

TEST_F(Recalc, SwitchingFormulaChangesOnlyTheLoss) {
    view.texts[Input::Text1] = "3000";
    view.texts[Input::Combo2] = "320";
    run();
    const Labels one = shown(view);
    view.formulaTwo();
    run();
    const Labels two = shown(view);
    EXPECT_NE(one.label11, two.label11);
    EXPECT_EQ(one.label13, two.label13);
    EXPECT_EQ(one.label10, two.label10);
    EXPECT_EQ(one.label6, two.label6);
    EXPECT_EQ(one.label17, two.label17);
    EXPECT_EQ(one.label7, two.label7);
    EXPECT_EQ(one.label15, two.label15);
}

TEST_F(Recalc, StandardSizesAreTakenAsMagnitudesTypedSizesAsTyped) {
    view.texts[Input::Text1] = "1000";
    view.texts[Input::Combo2] = "-200";
    run();
    EXPECT_EQ(view.caption(Result::Label6), "φ 200");
    view.check = 1;
    view.texts[Input::Text2] = "-200";
    run();
    EXPECT_EQ(view.caption(Result::Label6), "φ-200");
    EXPECT_EQ(view.caption(Result::Label17), "-0.2 m");
    EXPECT_EQ(view.caption(Result::Label7), " 8.841949 m/s");
}

TEST_F(Recalc, AnyTickedValueMeansTypedSizes) {
    view.texts[Input::Text2] = "250";
    for (int check : {1, 2}) {
        view.check = check;
        run();
        EXPECT_EQ(view.caption(Result::Label6), "φ 250") << check;
    }
}

// A section that is not positive asks for the size and shows zero results.
struct Missing {
    const char* name;
    bool rectangular;
    const char* size1;
    const char* size2;
    const char* label6;
    const char* label17;
};
void PrintTo(const Missing& c, std::ostream* os) { *os << c.name; }
struct MissingSize : Recalc, testing::WithParamInterface<Missing> {};
TEST_P(MissingSize, PromptAndZeroResults) {
    const Missing& m = GetParam();
    // A valid duct first, so that nothing of it may survive.
    view.texts[Input::Text1] = "2000";
    view.check = 1;
    view.texts[Input::Text2] = "300";
    ASSERT_TRUE(run());
    ASSERT_NE(view.caption(Result::Label11), " 0 Pa/m");

    if (m.rectangular) {
        view.rectangular();
        view.texts[Input::Text3] = m.size1;
        view.texts[Input::Text4] = m.size2;
    } else {
        view.texts[Input::Text2] = m.size1;
    }
    EXPECT_TRUE(run());
    EXPECT_EQ(view.caption(Result::Label6), m.label6);
    EXPECT_EQ(view.caption(Result::Label7), calc::kSizePrompt);
    EXPECT_EQ(view.caption(Result::Label17), m.label17);
    EXPECT_EQ(view.caption(Result::Label15), " 0");
    EXPECT_EQ(view.caption(Result::Label11), " 0 Pa/m");
    EXPECT_EQ(view.caption(Result::Label10), " 2000 m3/h");
    EXPECT_EQ(state.velocity, 0);
}
INSTANTIATE_TEST_SUITE_P(
    Sections, MissingSize,
    testing::Values(Missing{"ZeroDiameter", false, "0", "", "φ 0", " 0 m"},
                    Missing{"EmptyDiameter", false, "", "", "φ 0", " 0 m"},
                    Missing{"LettersForDiameter", false, "abc", "", "φ 0", " 0 m"},
                    Missing{"OneSideZero", true, "500", "0", " 500 * 0", " 0 m"},
                    Missing{"BothSidesZero", true, "0", "0", " 0 * 0", " 0 m"},
                    Missing{"SidesCancelOut", true, "500", "-500", " 500 *-500", " 0 m"},
                    Missing{"SidesOfOppositeSigns", true, "-500", "320", "-500 * 320",
                            " 1.777778 m"}),
    [](const testing::TestParamInfo<Missing>& info) { return info.param.name; });

TEST_F(Recalc, EmptyAirVolumeGivesZeroVelocity) {
    view.texts[Input::Text1] = "";
    run();
    EXPECT_EQ(view.caption(Result::Label7), " 0 m/s");
    EXPECT_EQ(view.caption(Result::Label10), " 0 m3/h");
}

// A step that cannot complete leaves undefined only what is computed from it:
// the labels that show such a value show the marker, every other label its
// usual text, and the next good input recovers completely.
struct Broken {
    const char* name;
    const char* airVolume;
    bool rectangular;
    const char* size1;  // typed diameter, or typed first side
    const char* size2;  // typed second side
    bool formulaTwo;
    std::vector<Result> dashed;  // the labels that must show the marker
};
void PrintTo(const Broken& c, std::ostream* os) { *os << c.name; }
struct Failure : Recalc, testing::WithParamInterface<Broken> {};
TEST_P(Failure, MarksOnlyTheDependentLabelsAndRecovers) {
    const Broken& b = GetParam();
    view.texts[Input::Text1] = "1000";
    view.texts[Input::Combo2] = "200";
    ASSERT_TRUE(run());
    FakeView good = view;

    // The same inputs with nothing broken show what the labels that do not
    // depend on the failure must show.
    FakeView healthy = view;
    healthy.check = 1;
    healthy.texts[Input::Text1] = "1000";
    if (b.rectangular) healthy.rectangular();
    healthy.texts[b.rectangular ? Input::Text3 : Input::Text2] = b.size1;
    healthy.texts[Input::Text4] = b.size2;
    if (b.formulaTwo) healthy.formulaTwo();
    view = healthy;
    view.texts[Input::Text1] = b.airVolume;
    EXPECT_FALSE(run());
    for (int i = 0; i < calc::kResultCount; ++i) {
        const auto label = static_cast<Result>(i);
        const std::string& text = view.captions[i];
        EXPECT_EQ(text.find("nan"), std::string::npos) << text;
        EXPECT_EQ(text.find("inf"), std::string::npos) << text;
        const bool dashed = std::find(b.dashed.begin(), b.dashed.end(), label) != b.dashed.end();
        if (dashed) {
            EXPECT_EQ(text, calc::kFailMarker) << "label " << i;
        } else {
            EXPECT_NE(text, calc::kFailMarker) << "label " << i;
            // A label that does not depend on the air volume shows what it
            // shows with a good one.
            if (label == Result::Label6 || label == Result::Label17 || label == Result::Label13) {
                calc::CalcState fresh = calc::startupState();
                FakeView reference = healthy;
                calc::v(fresh, reference);
                EXPECT_EQ(text, reference.captions[i]) << "label " << i;
            }
        }
    }

    view = good;
    EXPECT_TRUE(run());
    EXPECT_EQ(view.captions, good.captions);
}
INSTANTIATE_TEST_SUITE_P(
    Cases, Failure,
    testing::Values(
        Broken{"AirVolumeBeyondSingle",
               "1e40",
               false,
               "200",
               "",
               false,
               {Result::Label7, Result::Label10, Result::Label15, Result::Label11}},
        Broken{"AirVolumeBeyondDouble",
               "1e400",
               false,
               "200",
               "",
               false,
               {Result::Label7, Result::Label10, Result::Label15, Result::Label11}},
        Broken{"AirVolumeBeyondSingleInRectangle",
               "1e40",
               true,
               "500",
               "320",
               true,
               {Result::Label7, Result::Label10, Result::Label15, Result::Label11}},
        Broken{"DiameterBeyondSingle",
               "1000",
               false,
               "1e39",
               "",
               false,
               {Result::Label6, Result::Label7, Result::Label17, Result::Label15, Result::Label11}},
        Broken{"DiameterBeyondDouble",
               "1000",
               false,
               "1e999",
               "",
               false,
               {Result::Label6, Result::Label7, Result::Label17, Result::Label15, Result::Label11}},
        Broken{"SideBeyondDouble",
               "1000",
               true,
               "500",
               "1e999",
               false,
               {Result::Label6, Result::Label7, Result::Label17, Result::Label15, Result::Label11}},
        Broken{"SectionBeyondSingle",
               "1000",
               false,
               "1e30",
               "",
               false,
               {Result::Label7, Result::Label15, Result::Label11}},
        Broken{"EquivalentDiameterBeyondSingle",
               "1000",
               true,
               "1e20",
               "1e19",
               false,
               {Result::Label17, Result::Label15, Result::Label11}},
        Broken{"VelocityBeyondSingle",
               "3e38",
               false,
               "1",
               "",
               false,
               {Result::Label7, Result::Label15, Result::Label11}},
        Broken{"TinyDuctHugeVelocity",
               "1e30",
               false,
               "1e-10",
               "",
               false,
               {Result::Label7, Result::Label15, Result::Label11}},
        Broken{"ReynoldsBeyondSingle",
               "3e38",
               false,
               "1128",
               "",
               false,
               {Result::Label15, Result::Label11}},
        Broken{"NegativeDiameterFormulaOne", "1000", false, "-200", "", false, {Result::Label11}},
        Broken{"NegativeDiameterFormulaTwo", "1000", false, "-200", "", true, {Result::Label11}}),
    [](const testing::TestParamInfo<Broken>& info) { return info.param.name; });

// Each value is undefined exactly when it failed or depends on one that did:
// the outcome agrees with the labels.
TEST_F(Recalc, OutcomeNamesTheDependentValues) {
    view.texts[Input::Text1] = "1e40";
    const calc::Outcome outcome = calc::v(state, view);
    EXPECT_FALSE(outcome.defined(calc::Value::flowRate));
    EXPECT_TRUE(outcome.defined(calc::Value::size));
    EXPECT_TRUE(outcome.defined(calc::Value::area));
    EXPECT_TRUE(outcome.defined(calc::Value::eqDiameter));
    EXPECT_FALSE(outcome.defined(calc::Value::velocity));
    EXPECT_FALSE(outcome.defined(calc::Value::reynolds));
    EXPECT_FALSE(outcome.defined(calc::Value::lambda));
    EXPECT_FALSE(outcome.defined(calc::Value::specificLoss));
}

TEST_F(Recalc, NegativeDiameterWithoutAirStillComputes) {
    // Zero Reynolds number: both formulas are guarded, nothing fails.
    view.check = 1;
    view.texts[Input::Text2] = "-200";
    EXPECT_TRUE(run());
    EXPECT_EQ(view.caption(Result::Label11), " 0 Pa/m");
}

TEST_F(Recalc, RoughnessShownWithoutUnit) {
    state.roughness = 3.1f;
    run();
    EXPECT_EQ(view.caption(Result::Label13), " 3.1");
}

}  // namespace
