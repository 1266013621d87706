// SPDX-License-Identifier: GPL-3.0-or-later
// An in-memory window for the recalculation: inputs as plain fields, label
// texts kept with a count of writes.
#pragma once

#include <array>
#include <map>
#include <string>

#include "calc/defaults.h"
#include "calc/recalc.h"

struct FakeView : calc::CalcView {
    // As the window starts.
    std::map<calc::Input, std::string> texts{
        {calc::Input::Text1, std::string(calc::kStartup.flow)},
        {calc::Input::Combo2, std::string(calc::kStartup.diameter)},
        {calc::Input::Combo3, std::string(calc::kStartup.sideA)},
        {calc::Input::Combo4, std::string(calc::kStartup.sideB)},
        {calc::Input::Text2, std::string(calc::kStartup.diameter)},
        {calc::Input::Text3, std::string(calc::kStartup.sideA)},
        {calc::Input::Text4, std::string(calc::kStartup.sideB)}};
    int check = calc::kStartup.standardSizes ? 0 : 1;
    bool option1 = calc::kStartup.shape == calc::Shape::circular;
    bool option2 = calc::kStartup.shape == calc::Shape::rectangular;
    bool option4 = calc::kStartup.formula == 1;
    bool option5 = calc::kStartup.formula == 2;
    std::array<std::string, calc::kResultCount> captions{};
    int writes = 0;

    std::string text(calc::Input box) const override { return texts.at(box); }
    int checkValue() const override { return check; }
    bool selected(calc::Choice option) const override {
        switch (option) {
            case calc::Choice::Option1:
                return option1;
            case calc::Choice::Option2:
                return option2;
            case calc::Choice::Option4:
                return option4;
            case calc::Choice::Option5:
                return option5;
        }
        return false;
    }
    void setCaption(calc::Result label, std::string_view text) override {
        captions[static_cast<int>(label)] = std::string(text);
        ++writes;
    }
    const std::string& caption(calc::Result label) const {
        return captions[static_cast<int>(label)];
    }

    void rectangular() { option1 = false, option2 = true; }
    void formulaTwo() { option4 = false, option5 = true; }
};
