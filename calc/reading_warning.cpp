// SPDX-License-Identifier: GPL-3.0-or-later
#include "reading_warning.h"

#include "calc_state.h"
#include "number_reading.h"
#include "number_text.h"
#include "tables.h"

namespace calc {

namespace {

void addLine(std::string& lines, std::string_view text) {
    if (!lines.empty()) lines += '\n';
    lines += text;
}

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

std::string_view sourceName(Source source) {
    switch (source) {
        case Source::AirVolume:
            return "风量";
        case Source::Size:
            return "风管尺寸";
        case Source::Roughness:
            return "粗糙度";
    }
    return {};
}

}  // namespace

std::string readingWarning(std::string_view text, Quantity quantity, float factor) {
    const Reading reading = readNumber(text);
    std::string lines;
    if (!reading.whole()) {
        if (reading.number.empty())
            addLine(lines, "未读到数字，按 0 计算；忽略了“" + reading.ignored + "”");
        else
            addLine(lines, "只读取了 " + reading.number + "，忽略了“" + reading.ignored + "”");
    }
    // The calculation stores every value in single precision: a number that
    // fits a double but no single is as far out of its reach as one that
    // fits neither.
    float used = 0;
    if (!reading.value || !storeSingle(used, static_cast<double>(factor) * *reading.value)) {
        addLine(lines, "数值 " + reading.number + " 超出可计算的范围");
    } else if (*reading.value < 0 && quantity != Quantity::Roughness) {
        addLine(lines, quantity == Quantity::AirVolume ? "风量为负数：" + reading.number
                                                       : "风管尺寸为负数：" + reading.number);
    } else if (quantity == Quantity::Size && *reading.value > 0 &&
               *reading.value < kSmallestLikelySize) {
        std::string metres = numberText(static_cast<float>(*reading.value * 1000));
        if (!metres.empty() && metres.front() == ' ') metres.erase(0, 1);
        addLine(lines, "尺寸以 mm 计；" + reading.number + " mm 是否应为 " + metres + " mm？");
    }
    if (quantity == Quantity::Roughness) {
        // The K in use is held within the limits whatever the box holds.
        if (const auto held = customK(text).replacement)
            addLine(lines, "粗糙度限于 0.01 至 10 mm，按 " + std::string(*held) + " 计算");
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
        std::string warning;
    };
    Marked marked[4];
    int count = 0;
    auto add = [&](Source source, std::string warning) {
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
        std::string& lines = out[static_cast<std::size_t>(r)];
        for (int m = 0; m < count; ++m) {
            if (!computedFrom(static_cast<Result>(r), marked[m].source)) continue;
            const std::string prefix = "由" + std::string(sourceName(marked[m].source)) + "算出：";
            std::string_view rest = marked[m].warning;
            while (!rest.empty()) {
                const std::size_t end = rest.find('\n');
                const std::string line = prefix + std::string(rest.substr(0, end));
                // Two sides may give the same warning: once is enough.
                if (("\n" + lines + "\n").find("\n" + line + "\n") == std::string::npos)
                    addLine(lines, line);
                rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
            }
        }
    }
    return out;
}

}  // namespace calc
