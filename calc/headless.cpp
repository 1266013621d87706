// SPDX-License-Identifier: GPL-3.0-or-later
#include "headless.h"

#include <charconv>

#include "conversions.h"
#include "tables.h"

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
    result.noSection =
        result.outcome.defined(Value::velocity) && view.caption(Result::Label7) == kSizePrompt;
    return result;
}

namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

}  // namespace

std::optional<int> materialIndex(std::string_view name) {
    for (std::size_t i = 0; i < materials.size(); ++i)
        if (materials[i].caption == name) return static_cast<int>(i);
    for (std::size_t i = 0; i < materials.size(); ++i)
        if (sameName(materials[i].name, name)) return static_cast<int>(i);
    return std::nullopt;
}

float materialRoughness(int index) {
    // Read once: a table asks for it on every row.
    static const std::array<float, materials.size()> roughness = [] {
        std::array<float, materials.size()> k{};
        for (std::size_t i = 0; i < materials.size(); ++i) storeText(k[i], materials[i].defaultK);
        return k;
    }();
    return roughness[static_cast<std::size_t>(index)];
}

bool readsWhole(std::string_view text) {
    // A sign or a point alone is no number, though it reads as 0.
    if (text.find_first_not_of(" \t\n+-.") == std::string_view::npos) return false;
    // Most texts are plain decimals ("1000", "0.16", "-2.5e3"): when the
    // standard reader takes all of one, so does the box's reading, which
    // knows every form it knows. Letters are left out here, as the standard
    // reader also takes "inf" and "nan".
    bool plain = true;
    for (char c : text)
        if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == 'e' || c == 'E'))
            plain = false;
    if (plain) {
        double ignored = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), ignored);
        if (end == text.data() + text.size() &&
            (ec == std::errc() || ec == std::errc::result_out_of_range))
            return true;
    }
    // Anything else: the boxes' own reading says whether it left a part unread.
    const Reading reading = readNumber(text);
    return !reading.number.empty() && reading.whole();
}

}  // namespace calc
