// SPDX-License-Identifier: GPL-3.0-or-later
#include "cell_warnings.h"

#include "readers.h"
#include "reading_warning.h"
#include "tables.h"

namespace ductsys {

namespace {

void addLines(msg::Messages& lines, msg::Messages more) {
    for (msg::Message& line : more) lines.push_back(std::move(line));
}

// The reading warning of a plain number that may be any size and of either
// sign: the calculator's, for the one quantity that takes both, without the
// line on the roughness's limits that only a roughness has.
msg::Messages plainNumberWarning(std::string_view text) {
    msg::Messages warning = calc::readingWarning(text, calc::Quantity::Roughness);
    std::erase_if(warning,
                  [](const msg::Message& m) { return m.code == msg::Code::roughnessHeld; });
    return warning;
}

// Each term of a sum of coefficients, as the box reads a number.
msg::Messages zetaWarning(std::string_view text) {
    msg::Messages lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        const bool end = i == text.size();
        // A '+' after an exponent's letter is the exponent's sign.
        if (!end && (text[i] != '+' || i == start || text[i - 1] == 'e' || text[i - 1] == 'E'))
            continue;
        addLines(lines, plainNumberWarning(trimmed(text.substr(start, i - start))));
        start = i + 1;
    }
    return lines;
}

}  // namespace

msg::Messages cellWarning(Column column, std::string_view text) {
    text = trimmed(text);
    if (text.empty()) return {};
    msg::Messages warning;
    switch (column) {
        case Column::flow:
            return calc::readingWarning(text, calc::Quantity::AirVolume);
        case Column::size:
            if (const auto size = parseSize(text)) {
                warning = calc::readingWarning(size->a, calc::Quantity::Size);
                if (!size->b.empty())
                    addLines(warning, calc::readingWarning(size->b, calc::Quantity::Size));
                return warning;
            }
            warning = calc::readingWarning(text, calc::Quantity::Size);
            if (warning.empty()) warning.push_back({msg::Code::notASize, {text}});
            return warning;
        case Column::length:
        case Column::dp:
            return plainNumberWarning(text);
        case Column::zeta:
            return zetaWarning(text);
        case Column::k:
            // The calculator's 自定义 box: a reading warning and, for a
            // roughness held within its limits, the limit used.
            return calc::readingWarning(text, calc::Quantity::Roughness);
        case Column::unit:
            if (!calc::flowFactorOf(text)) return {{msg::Code::notAFlowUnit, {text}}};
            return {};
        default:
            return {};
    }
}

}  // namespace ductsys
