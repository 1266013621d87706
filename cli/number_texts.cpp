// SPDX-License-Identifier: GPL-3.0-or-later
#include "number_texts.h"

#include <array>
#include <charconv>

#include "conversions.h"

namespace cli {

namespace {

std::string withoutLeadingBlank(std::string text) {
    if (!text.empty() && text.front() == ' ') text.erase(0, 1);
    return text;
}

}  // namespace

std::string shownNumber(float x) { return withoutLeadingBlank(calc::numberText(x)); }

std::string recurringShownNumber(float x) {
    return withoutLeadingBlank(calc::recurringNumberText(x));
}

std::string roundTripNumber(float x) {
    std::array<char, 32> buffer{};
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), x).ptr;
    return std::string(buffer.data(), end);
}

}  // namespace cli
