// SPDX-License-Identifier: GPL-3.0-or-later
// The headless runner's "no section" is what the window shows as the size
// prompt: both follow the section's area, whatever the size texts look like.
#include <gtest/gtest.h>

#include <ostream>

#include "calc/headless.h"
#include "calc/recalc.h"

namespace {

struct Duct {
    const char* name;
    const char* flow;
    calc::Shape shape;
    const char* a;  // diameter, or the side captioned 长
    const char* b;  // the side captioned 宽
    bool noSection;
};
void PrintTo(const Duct& d, std::ostream* os) { *os << d.name; }
struct NoSection : testing::TestWithParam<Duct> {};
TEST_P(NoSection, ExactlyWhenTheVelocityLabelShowsThePrompt) {
    const Duct& d = GetParam();
    calc::DuctInput input;
    input.flow = d.flow;
    input.shape = d.shape;
    input.diameter = d.a;
    input.sideA = d.a;
    input.sideB = d.b;
    calc::HeadlessView view(input);
    const calc::DuctResult result = calc::computeDuct(input, view);
    EXPECT_EQ(result.noSection, d.noSection);
    EXPECT_EQ(view.caption(calc::Result::Label7) == calc::kSizePrompt, d.noSection);
}
constexpr auto circular = calc::Shape::circular;
constexpr auto rectangular = calc::Shape::rectangular;
INSTANTIATE_TEST_SUITE_P(
    Ducts, NoSection,
    testing::Values(Duct{"Circular", "1000", circular, "200", "", false},
                    Duct{"ZeroDiameter", "1000", circular, "0", "", true},
                    Duct{"EmptyDiameter", "1000", circular, "", "", true},
                    Duct{"NegativeZeroDiameter", "1000", circular, "-0", "", true},
                    Duct{"NegativeDiameterStillHasASection", "1000", circular, "-200", "", false},
                    Duct{"TinyDiameterWhoseAreaIsZero", "1000", circular, "1e-30", "", true},
                    Duct{"DiameterBeyondTheSingleRange", "1000", circular, "1e40", "", false},
                    Duct{"AirVolumeBeyondTheSingleRange", "1e40", circular, "0", "", false},
                    Duct{"Rectangular", "1000", rectangular, "500", "320", false},
                    Duct{"ZeroSide", "1000", rectangular, "500", "0", true},
                    Duct{"OppositeSides", "1000", rectangular, "-500", "320", true},
                    Duct{"BothSidesNegative", "1000", rectangular, "-500", "-320", false}),
    [](const testing::TestParamInfo<Duct>& info) { return info.param.name; });

}  // namespace
