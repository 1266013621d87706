// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/defaults.h"

#include <gtest/gtest.h>

#include "calc/headless.h"
#include "calc/recalc.h"
#include "tests/calc/fake_view.h"

namespace {

// A duct nobody changed shows the same seven labels in the command line's
// runner as in the window right after start-up.
TEST(Startup, HeadlessDuctShowsWhatTheWindowStartsWith) {
    FakeView window;
    calc::CalcState state = calc::startupState();
    ASSERT_TRUE(calc::v(state, window).complete());

    const calc::DuctInput input;
    calc::HeadlessView view(input);
    const calc::DuctResult result = calc::computeDuct(input, view);
    ASSERT_TRUE(result.outcome.complete());
    for (int i = 0; i < calc::kResultCount; ++i) {
        const auto label = static_cast<calc::Result>(i);
        EXPECT_EQ(view.caption(label), window.caption(label)) << "label " << i;
    }
}

// The roughness the window starts with is the one its start-up material's box
// shows, read as that box is read.
TEST(Startup, RoughnessIsTheStartupMaterialsDefault) {
    float shown = 0;
    ASSERT_TRUE(calc::storeText(shown, calc::materials[calc::kStartup.material].defaultK));
    EXPECT_EQ(calc::startupState().roughness, shown);
    EXPECT_EQ(calc::DuctInput{}.roughness, shown);
}

}  // namespace
