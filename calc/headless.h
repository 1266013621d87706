// SPDX-License-Identifier: GPL-3.0-or-later
// The recalculation without a window: the inputs of one duct as texts and
// choices, run through `v` against a view of their own. The command line
// uses it for every duct it computes, so that its numbers are the window's.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "calc/calc_state.h"
#include "calc/defaults.h"
#include "calc/recalc.h"

namespace calc {

// One duct as the window would be set for it. Sizes are texts, read by `v`
// exactly as the window reads its boxes.
struct DuctInput {
    std::string flow = "0";  // the air volume box
    float flowFactor = 1;    // m3/h per unit of the chosen unit
    Shape shape = Shape::circular;
    bool standard = false;         // false: typed sizes; true: the standard lists
    std::string diameter = "100";  // mm
    std::string sideA = "1000";    // mm, the side captioned 长
    std::string sideB = "1000";    // mm, the side captioned 宽
    float roughness = 0.16f;       // K, mm, as the roughness handlers store it
    int formula = 1;               // 1 or 2
    AirState air;                  // the window's air unless given
};

// A view over a DuctInput that keeps the seven label texts `v` writes, or,
// made with `labels` false, none: a caller that reads only the values spares
// their forming.
class HeadlessView : public CalcView {
public:
    explicit HeadlessView(const DuctInput& input, bool labels = true)
        : input_(&input), labels_(labels) {}

    std::string text(Input box) const override;
    int checkValue() const override { return input_->standard ? 0 : 1; }
    bool selected(Choice option) const override;
    void setCaption(Result label, std::string_view text) override {
        captions_[static_cast<std::size_t>(label)].assign(text);
    }
    bool showsLabels() const override { return labels_; }

    void setInput(const DuctInput& input) { input_ = &input; }
    const std::string& caption(Result label) const {
        return captions_[static_cast<std::size_t>(label)];
    }

private:
    const DuctInput* input_;
    bool labels_;
    std::array<std::string, kResultCount> captions_{};
};

// One recalculation of `input` in a fresh state, as the window would do after
// its inputs were set to the same values.
struct DuctResult {
    CalcState state;
    Outcome outcome;
    // The section is not positive, so the velocity label shows the size
    // prompt instead of a velocity.
    bool noSection = false;
};
DuctResult computeDuct(const DuctInput& input, HeadlessView& view);

// The index in calc::materials of a material named by its caption ("薄钢板")
// or its English name (any letter case; "custom" for 自定义). None for any
// other text.
std::optional<int> materialIndex(std::string_view name);

// Whether a whole text is one number as the boxes read it ("12", "-1.5e3",
// " 7 "), rather than a number followed by other characters ("12abc", "50O")
// or no number at all ("", "abc", "-").
bool readsWhole(std::string_view text);

}  // namespace calc
