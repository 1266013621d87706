// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/headless.h"

#include "calc/ascii.h"
#include "calc/number_reading.h"
#include "calc/tables.h"

namespace calc {

std::string HeadlessView::text(Input box) const {
    switch (box) {
        case Input::Text1:
            return input_->flow;
        case Input::Combo2:
        case Input::Text2:
            return input_->diameter;
        case Input::Combo3:
        case Input::Text3:
            return input_->sideA;
        case Input::Combo4:
        case Input::Text4:
            return input_->sideB;
    }
    return {};
}

bool HeadlessView::selected(Choice option) const {
    switch (option) {
        case Choice::Option1:
            return input_->shape == Shape::circular;
        case Choice::Option2:
            return input_->shape == Shape::rectangular;
        case Choice::Option4:
            return input_->formula == 1;
        case Choice::Option5:
            return input_->formula == 2;
    }
    return false;
}

DuctResult computeDuct(const DuctInput& input, HeadlessView& view) {
    view.setInput(input);
    DuctResult result;
    result.state.flowFactor = input.flowFactor;
    result.state.roughness = input.roughness;
    result.outcome = v(result.state, view, input.air);
    // As `v` decides it: no velocity without a positive area.
    result.noSection = result.outcome.defined(Value::velocity) && !(result.state.area > 0);
    return result;
}

std::optional<int> materialIndex(std::string_view name) {
    for (std::size_t i = 0; i < materials.size(); ++i)
        if (materials[i].caption == name) return static_cast<int>(i);
    for (std::size_t i = 0; i < materials.size(); ++i)
        if (equalsIgnoringAsciiCase(materials[i].name, name)) return static_cast<int>(i);
    return std::nullopt;
}

bool readsWhole(std::string_view text) {
    // A sign or a point alone is no number, though it reads as 0.
    if (text.find_first_not_of(" \t\n+-.") == std::string_view::npos) return false;
    // Most texts are plain decimals ("1000", "0.16", "-2.5e3"): when the
    // standard reader takes all of one, so does the box's reading, which
    // knows every form it knows.
    if (readPlainDecimal(text)) return true;
    // Anything else: the boxes' own reading says whether it left a part unread.
    const Reading reading = readNumber(text);
    return !reading.number.empty() && reading.whole();
}

}  // namespace calc
