// SPDX-License-Identifier: GPL-3.0-or-later
// The warning a box shows when its text is not read as it stands, and the
// marks of the results computed from such a box.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "calc/recalc.h"
#include "messages/message.h"

namespace calc {

// What a typed number stands for, which decides whether a negative value is
// worth a warning.
enum class Quantity { AirVolume, Size, Roughness };

// Typed sizes below this many millimetres are most likely metres.
inline constexpr double kSmallestLikelySize = 10;

// The warning a box shows beside its text, one message per point (the
// windows show each as a line of Chinese); empty when the text reads whole, its value (times
// `factor`, the flow unit's for an air volume) fits the single range the calculation uses and, for
// an air volume or a size, is not negative, and a size is not below 10 mm, and a custom roughness
// lies within its limits. The numbers it quotes are the ones the calculation uses: "1,000" warns
// that 1 was read and ",000" ignored.
msg::Messages readingWarning(std::string_view text, Quantity quantity, float factor);
inline msg::Messages readingWarning(std::string_view text, Quantity quantity) {
    return readingWarning(text, quantity, 1);
}

// The inputs a result can be computed from and carry a warning: the air
// volume box, the typed size boxes and the custom roughness box.
enum class Source { AirVolume, Size, Roughness };

// Whether the result in `label` is computed from `source` (kDependencies,
// kLabelContents; the roughness feeds the friction factor and is shown as
// itself).
bool computedFrom(Result label, Source source);

// The mark of each result, indexed by Result: for every input it is computed
// from that carries a warning, each point of the warning with the input it
// comes from (msg::Code::computedFrom: "由风量算出：只读取了 1，忽略了“,000”"),
// each once; empty for a result built on inputs read as they stand.
using ResultWarnings = std::array<msg::Messages, kResultCount>;

// The warnings of the inputs the recalculation reads from `view` (the air
// volume, the typed sizes while non-standard sizes are ticked) and of the
// custom roughness text while custom is the chosen material, with the flow
// factor of the chosen unit, and the marks they give the results.
ResultWarnings resultWarnings(const CalcView& view, float flowFactor,
                              std::optional<std::string_view> customRoughness);

}  // namespace calc
