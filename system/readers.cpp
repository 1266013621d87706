// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/readers.h"

#include <charconv>
#include <cmath>

#include "calc/ascii.h"
#include "calc/number_reading.h"
#include "calc/tables.h"
#include "system/zeta_terms.h"

namespace ductsys {

msg::Arg columnArg(Column column) {
    const InputField& name = inputField(column);
    return msg::Arg::name(name.key, name.caption);
}

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

std::optional<std::string> withoutThousandsSeparators(std::string_view text) {
    text = trimmed(text);
    std::string out;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) out += text[i++];
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    std::size_t lead = 0;
    while (i < text.size() && digit(text[i])) out += text[i++], ++lead;
    if (lead == 0 || lead > 3) return std::nullopt;
    std::size_t groups = 0;
    while (i < text.size() && text[i] == ',') {
        ++i;
        for (int k = 0; k < 3; ++k, ++i) {
            if (i >= text.size() || !digit(text[i])) return std::nullopt;
            out += text[i];
        }
        ++groups;
    }
    if (groups == 0) return std::nullopt;
    if (i < text.size() && text[i] == '.') {
        out += text[i++];
        while (i < text.size() && digit(text[i])) out += text[i++];
    }
    if (i != text.size()) return std::nullopt;
    return out;
}

std::string quoted(std::string_view text) {
    std::string q;
    q.reserve(text.size() + 2);
    q += '"';
    q += text;
    q += '"';
    return q;
}

std::optional<SizeText> parseSize(std::string_view text) {
    text = trimmed(text);
    // A diameter may carry its sign, as the window's size label does, or
    // one of the letters that stand for it on drawings.
    for (std::string_view phi : {"φ", "Φ", "Ø", "ø", "ф", "Ф", "⌀", "D", "d"}) {
        if (text.substr(0, phi.size()) == phi) {
            const std::string_view d = trimmed(text.substr(phi.size()));
            if (!calc::readsWhole(d)) return std::nullopt;
            return SizeText{calc::Shape::circular, std::string(d), {}};
        }
    }
    for (std::string_view times : {"×", "x", "X", "*", "＊", "ｘ", "Ｘ"}) {
        const std::size_t at = text.find(times);
        if (at == std::string_view::npos) continue;
        const std::string_view a = trimmed(text.substr(0, at));
        const std::string_view b = trimmed(text.substr(at + times.size()));
        if (!calc::readsWhole(a) || !calc::readsWhole(b)) return std::nullopt;
        return SizeText{calc::Shape::rectangular, std::string(a), std::string(b)};
    }
    if (!calc::readsWhole(text)) return std::nullopt;
    return SizeText{calc::Shape::circular, std::string(text), {}};
}

std::optional<float> unitFactor(std::string_view text) {
    text = trimmed(text);
    if (const std::optional<float> f = calc::flowFactorOf(text)) return f;
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.substr(i, 2) == "³") {
            plain += '3';
            ++i;
        } else {
            plain += calc::asciiLower(text[i]);
        }
    }
    for (const calc::FlowUnit& unit : calc::flowUnits)
        if (calc::equalsIgnoringAsciiCase(unit.text, plain)) return unit.factor;
    // The forms offices write units in, as the window's unit texts.
    static constexpr std::pair<std::string_view, std::string_view> kOfficeForms[] = {
        {"cmh", "m3/h"},       {"立方米/小时", "m3/h"}, {"立方米每小时", "m3/h"},
        {"m3/hr", "m3/h"},     {"升/秒", "l/s"},        {"升每秒", "l/s"},
        {"立方米/秒", "m3/s"}, {"立方米/分", "m3/min"}, {"l/sec", "l/s"},
    };
    for (const auto& [form, unit] : kOfficeForms)
        if (plain == form) return unitFactor(unit);
    return std::nullopt;
}

std::string flowUnitList() {
    std::string list;
    for (const calc::FlowUnit& unit : calc::flowUnits) {
        if (!list.empty()) list += ", ";
        list += unit.text;
    }
    return list;
}

RoughnessRead readRoughness(std::string_view text) {
    text = trimmed(text);
    using msg::Code;
    if (text.empty()) return {std::nullopt, CellProblem{Code::cellEmpty, {}}, {}};
    if (!calc::readsWhole(text))
        return {std::nullopt, CellProblem{Code::cellNotANumber, std::string(text)}, {}};
    const std::optional<double> value = calc::textValue(text);
    if ((value && *value < 0) || (!value && text.front() == '-'))
        return {std::nullopt, CellProblem{Code::cellNegative, std::string(text)}, {}};
    const calc::CustomK held = calc::customK(text);
    RoughnessRead r{held.value, {}, {}};
    if (held.replacement)
        r.warning = msg::Message{Code::roughnessHeldTo, {text, *held.replacement}};
    return r;
}

std::optional<CellProblem> flowProblem(std::string_view text) {
    text = trimmed(text);
    if (!calc::readsWhole(text) || text.empty())
        return CellProblem{msg::Code::cellNotANumber, std::string(text)};
    const std::optional<double> value = calc::textValue(text);
    if ((value && *value < 0) || (!value && text.front() == '-'))
        return CellProblem{msg::Code::cellNegative, std::string(text)};
    return std::nullopt;
}

namespace {

// Most cells are plain decimals ("12.5", "0.35"): when the standard reader
// takes all of one, the boxes' reading gives the same double, as both round
// the same decimal to the nearest.
std::optional<double> plainDecimal(std::string_view text) {
    for (char c : text)
        if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == 'e' || c == 'E'))
            return std::nullopt;
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (end != text.data() + text.size() || ec != std::errc() || !std::isfinite(value))
        return std::nullopt;
    float asSingle = 0;
    if (!calc::storeSingle(asSingle, value)) return std::nullopt;
    return value;
}

}  // namespace

NumberRead readCellNumber(std::string_view text) {
    text = trimmed(text);
    if (text.empty()) return {0.0, {}};
    if (const std::optional<double> plain = plainDecimal(text)) return {plain, {}};
    const std::optional<double> value = calc::textValue(text);
    float asSingle = 0;
    if (!calc::readsWhole(text))
        return {std::nullopt, CellProblem{msg::Code::cellNotANumber, std::string(text)}};
    if (!value || !calc::storeSingle(asSingle, *value))
        return {std::nullopt, CellProblem{msg::Code::cellBeyondRange, std::string(text)}};
    return {value, {}};
}

namespace {

// A sum of plain numbers, the usual cell, read without building its terms.
NumberRead readNumberSum(std::string_view text) {
    text = trimmed(text);
    if (text.empty()) return {0.0, {}};
    std::optional<double> sum;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size()) {
            if (text[i] != '+') continue;
            // The sign of an exponent ("1e+2") belongs to its term; a leading
            // sign too.
            if (i == start) continue;
            const char before = text[i - 1];
            if ((before == 'e' || before == 'E') && i >= start + 2) {
                const char digit = text[i - 2];
                if ((digit >= '0' && digit <= '9') || digit == '.') continue;
            }
        }
        const std::string_view term = trimmed(text.substr(start, i - start));
        if (term.empty())
            return {std::nullopt, CellProblem{msg::Code::cellEmptyTerm, std::string(text)}};
        NumberRead read = readCellNumber(term);
        if (!read.value)
            return {std::nullopt, CellProblem{read.error->code == msg::Code::cellNotANumber
                                                  ? msg::Code::cellTermNotANumber
                                                  : msg::Code::cellTermBeyondRange,
                                              std::move(read.error->text)}};
        sum = sum ? *sum + *read.value : *read.value;
        start = i + 1;
    }
    float asSingle = 0;
    if (!sum || !calc::storeSingle(asSingle, *sum))
        return {std::nullopt, CellProblem{msg::Code::cellSumBeyondRange, std::string(text)}};
    return {sum, {}};
}

}  // namespace

bool plainZetaText(std::string_view text) {
    for (char c : text)
        if (!((c >= '0' && c <= '9') || c == '.' || c == '+' || c == '-' || c == 'e' || c == 'E' ||
              c == ' ' || c == '\t'))
            return false;
    return true;
}

NumberRead readZetaSum(std::string_view text) {
    if (plainZetaText(text)) return readNumberSum(text);
    return readZetaSum(parseZetaCell(text));
}

NumberRead readZetaSum(const ZetaCell& cell) {
    if (!cell.ok())
        return {std::nullopt, CellProblem{msg::Code::cellZetaProblem, {}, {*cell.error}}};
    const std::optional<double> sum = numberSum(cell);
    if (!sum) return {std::nullopt, CellProblem{msg::Code::cellHasFittings, {}}};
    float asSingle = 0;
    if (!calc::storeSingle(asSingle, *sum)) {
        std::string text;
        for (const ZetaTerm& t : cell.terms) text += (text.empty() ? "" : "+") + t.text;
        return {std::nullopt, CellProblem{msg::Code::cellSumBeyondRange, text}};
    }
    return {sum, {}};
}

std::optional<msg::Message> failureReason(const calc::DuctResult& result,
                                          const calc::DuctInput& input) {
    using calc::Value;
    using msg::Code;
    if (result.outcome.complete() && !result.noSection) return std::nullopt;
    const std::string size =
        input.shape == calc::Shape::circular ? input.diameter : input.sideA + "x" + input.sideB;
    const calc::Outcome& o = result.outcome;
    if (!o.defined(Value::flowRate))
        return msg::Message{Code::cellBeyondRange, {columnArg(Column::flow), input.flow}};
    if (!o.defined(Value::size) || !o.defined(Value::area))
        return msg::Message{Code::cellBeyondRange, {columnArg(Column::size), size}};
    if (!o.defined(Value::eqDiameter)) return msg::Message{Code::sizeEqDiameterBeyondRange, {size}};
    if (!o.defined(Value::velocity)) return msg::Message{Code::velocityBeyondRange, {}};
    if (!o.defined(Value::reynolds)) return msg::Message{Code::reynoldsBeyondRange, {}};
    if (!o.defined(Value::lambda)) return msg::Message{Code::frictionFormulaNoValue, {}};
    if (!o.defined(Value::specificLoss)) return msg::Message{Code::frictionLossBeyondRange, {}};
    if (result.noSection) return msg::Message{Code::sizeNoSection, {size}};
    return std::nullopt;
}

}  // namespace ductsys
