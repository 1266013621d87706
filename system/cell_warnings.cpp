// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/cell_warnings.h"

#include "calc/reading_warning.h"
#include "calc/tables.h"
#include "system/readers.h"
#include "system/zeta_terms.h"

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

// Each term of a sum of coefficients, as the box reads a number; a fitting
// term is the fittings' own, and a cell that cannot be read says why.
msg::Messages zetaWarning(std::string_view text) {
    const ZetaCell cell = plainZetaText(text) ? ZetaCell{} : parseZetaCell(text);
    bool plain = !cell.hasFittings;
    for (const ZetaTerm& t : cell.terms) plain = plain && t.count == 1;
    msg::Messages lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size() && plain; ++i) {
        const bool end = i == text.size();
        // A '+' after an exponent's letter is the exponent's sign.
        if (!end && (text[i] != '+' || i == start || text[i - 1] == 'e' || text[i - 1] == 'E'))
            continue;
        addLines(lines, plainNumberWarning(trimmed(text.substr(start, i - start))));
        start = i + 1;
    }
    for (const ZetaTerm& t : cell.terms) {
        if (plain || t.fitting) continue;
        std::string_view number = t.text;
        if (t.count != 1) number = number.substr(0, number.find_last_of("*xX"));
        addLines(lines, plainNumberWarning(trimmed(number)));
    }
    // A number read in part says so above; a name that is no fitting gets
    // the nearest one.
    bool named = false;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        named = named || c == '(' || u >= 0x80 ||
                (((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) && c != 'e' && c != 'E' &&
                 c != 'x' && c != 'X');
    }
    if (!cell.ok() && (lines.empty() || named))
        lines.push_back({msg::Code::cellCannotBeRead, {*cell.error}});
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
