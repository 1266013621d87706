// SPDX-License-Identifier: GPL-3.0-or-later
#include "cell_warnings.h"

#include "readers.h"
#include "reading_warning.h"
#include "tables.h"

namespace ductsys {

namespace {

void addLine(std::string& lines, const std::string& line) {
    if (line.empty()) return;
    if (!lines.empty()) lines += '\n';
    lines += line;
}

// The reading warning of a plain number that may be any size and of either
// sign: the calculator's, for the one quantity that takes both, without the
// line on the roughness's limits that only a roughness has.
std::string plainNumberWarning(std::string_view text) {
    std::string warning = calc::readingWarning(text, calc::Quantity::Roughness);
    if (const auto held = calc::customK(text).replacement) {
        const std::string limits = "粗糙度限于 0.01 至 10 mm，按 " + std::string(*held) + " 计算";
        if (warning == limits) return {};
        const std::string last = "\n" + limits;
        if (warning.size() >= last.size() &&
            warning.compare(warning.size() - last.size(), last.size(), last) == 0)
            warning.resize(warning.size() - last.size());
    }
    return warning;
}

// Each term of a sum of coefficients, as the box reads a number.
std::string zetaWarning(std::string_view text) {
    std::string lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        const bool end = i == text.size();
        // A '+' after an exponent's letter is the exponent's sign.
        if (!end && (text[i] != '+' || i == start || text[i - 1] == 'e' || text[i - 1] == 'E'))
            continue;
        addLine(lines, plainNumberWarning(trimmed(text.substr(start, i - start))));
        start = i + 1;
    }
    return lines;
}

}  // namespace

std::string cellWarning(Column column, std::string_view text) {
    text = trimmed(text);
    if (text.empty()) return {};
    std::string warning;
    switch (column) {
        case Column::flow:
            return calc::readingWarning(text, calc::Quantity::AirVolume);
        case Column::size:
            if (const auto size = parseSize(text)) {
                warning = calc::readingWarning(size->a, calc::Quantity::Size);
                if (!size->b.empty())
                    addLine(warning, calc::readingWarning(size->b, calc::Quantity::Size));
                return warning;
            }
            warning = calc::readingWarning(text, calc::Quantity::Size);
            if (warning.empty()) warning = "不是风管尺寸：" + std::string(text);
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
            if (!calc::flowFactorOf(text)) return "不是风量单位：" + std::string(text);
            return {};
        default:
            return {};
    }
}

}  // namespace ductsys
