// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/reading_warning.h"

#include <algorithm>

#include "calc/calc_state.h"
#include "calc/number_reading.h"
#include "calc/number_text.h"
#include "calc/tables.h"

namespace calc {

namespace {

// The values the recalculation computes, directly or not, from a set of
// values: kDependencies lists each value after the values it needs.
unsigned valuesComputedFrom(unsigned start) {
    unsigned reached = start;
    for (const ValueDependency& dependency : kDependencies)
        if (dependency.from & reached) reached |= valueBit(dependency.value);
    return reached;
}

// The values an input feeds first; the roughness enters at the friction
// factor.
unsigned firstValues(Source source) {
    switch (source) {
        case Source::AirVolume:
            return values(Value::flowRate);
        case Source::Size:
            return values(Value::size);
        case Source::Roughness:
            return values(Value::lambda);
    }
    return 0;
}

msg::Code sourceName(Source source) {
    switch (source) {
        case Source::AirVolume:
            return msg::Code::wordAirVolume;
        case Source::Size:
            return msg::Code::wordDuctSize;
        case Source::Roughness:
            return msg::Code::wordRoughness;
    }
    return msg::Code::wordAirVolume;
}

}  // namespace

msg::Messages readingWarning(std::string_view text, Quantity quantity, float factor) {
    using msg::Code;
    const Reading reading = readNumber(text);
    msg::Messages lines;
    if (!reading.whole()) {
        if (reading.number.empty())
            lines.push_back({Code::readNothing, {reading.ignored}});
        else
            lines.push_back({Code::readPartly, {reading.number, reading.ignored}});
    }
    // The calculation stores every value in single precision: a number that
    // fits a double but no single is as far out of its reach as one that
    // fits neither.
    float used = 0;
    if (!reading.value || !storeSingle(used, static_cast<double>(factor) * *reading.value)) {
        lines.push_back({Code::numberBeyondRange, {reading.number}});
    } else if (*reading.value < 0 && quantity != Quantity::Roughness) {
        lines.push_back(
            {quantity == Quantity::AirVolume ? Code::negativeAirVolume : Code::negativeSize,
             {reading.number}});
    } else if (quantity == Quantity::Size && *reading.value > 0 &&
               *reading.value < kSmallestLikelySize) {
        std::string metres = numberText(static_cast<float>(*reading.value * 1000));
        if (!metres.empty() && metres.front() == ' ') metres.erase(0, 1);
        lines.push_back({Code::sizeLikelyMetres, {reading.number, std::move(metres)}});
    }
    if (quantity == Quantity::Roughness) {
        // The K in use is held within the limits whatever the box holds.
        if (const auto held = customK(text).replacement)
            lines.push_back({Code::roughnessHeld, {std::string(*held)}});
    }
    return lines;
}

bool computedFrom(Result label, Source source) {
    if (label == Result::Label13) return source == Source::Roughness;
    return (kLabelContents[static_cast<int>(label)].shows &
            valuesComputedFrom(firstValues(source))) != 0;
}

ResultWarnings resultWarnings(const CalcView& view, float flowFactor,
                              std::optional<std::string_view> customRoughness) {
    struct Marked {
        Source source;
        msg::Messages warning;
    };
    Marked marked[4];
    int count = 0;
    auto add = [&](Source source, msg::Messages warning) {
        if (!warning.empty()) marked[count++] = {source, std::move(warning)};
    };
    add(Source::AirVolume,
        readingWarning(view.text(Input::Text1), Quantity::AirVolume, flowFactor));
    // Standard sizes come from the lists, which hold nothing to warn about.
    if (view.checkValue() != 0) {
        if (view.selected(Choice::Option1)) {
            add(Source::Size, readingWarning(view.text(Input::Text2), Quantity::Size));
        } else if (view.selected(Choice::Option2)) {
            add(Source::Size, readingWarning(view.text(Input::Text3), Quantity::Size));
            add(Source::Size, readingWarning(view.text(Input::Text4), Quantity::Size));
        }
    }
    if (customRoughness)
        add(Source::Roughness, readingWarning(*customRoughness, Quantity::Roughness));

    ResultWarnings out;
    for (int r = 0; r < kResultCount; ++r) {
        msg::Messages& lines = out[static_cast<std::size_t>(r)];
        for (int m = 0; m < count; ++m) {
            if (!computedFrom(static_cast<Result>(r), marked[m].source)) continue;
            for (const msg::Message& point : marked[m].warning) {
                msg::Message line{msg::Code::computedFrom, {sourceName(marked[m].source), point}};
                // Two sides may give the same warning: once is enough.
                if (std::find(lines.begin(), lines.end(), line) == lines.end())
                    lines.push_back(std::move(line));
            }
        }
    }
    return out;
}

}  // namespace calc
