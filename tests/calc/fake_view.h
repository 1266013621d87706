// SPDX-License-Identifier: GPL-3.0-or-later
// An in-memory window for the recalculation: inputs as plain fields, label
// texts kept with a count of writes.
#pragma once

#include <array>
#include <map>
#include <string>

#include "recalc.h"

struct FakeView : calc::CalcView {
    std::map<calc::Input, std::string> texts{
        {calc::Input::Text1, "0"},     {calc::Input::Combo2, "100"}, {calc::Input::Combo3, "1000"},
        {calc::Input::Combo4, "1000"}, {calc::Input::Text2, "100"},  {calc::Input::Text3, "1000"},
        {calc::Input::Text4, "1000"}};
    int check = 0;
    bool option1 = true, option2 = false, option4 = true, option5 = false;
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

// The calculation state right after start-up.
inline calc::CalcState startState() {
    calc::CalcState s;
    s.diameter = 100;
    s.sideA = 1000;
    s.sideB = 1000;
    s.roughness = 0.16f;
    s.flowFactor = 1;
    return s;
}
