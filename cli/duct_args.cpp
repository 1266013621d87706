// SPDX-License-Identifier: GPL-3.0-or-later
#include "duct_args.h"

#include <array>
#include <charconv>

#include "number_text.h"
#include "tables.h"

namespace cli {

std::string_view trimmed(std::string_view text) {
    // Looks at the ends only: a table trims every field of every row.
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

std::optional<SizeArg> parseSize(std::string_view text) {
    text = trimmed(text);
    // A diameter may carry its sign, as the window's size label does.
    for (std::string_view phi : {std::string_view("φ"), std::string_view("Φ")}) {
        if (text.substr(0, phi.size()) == phi) {
            const std::string_view d = trimmed(text.substr(phi.size()));
            if (!calc::readsWhole(d)) return std::nullopt;
            return SizeArg{calc::Shape::circular, std::string(d), {}};
        }
    }
    for (std::string_view times : {std::string_view("×"), std::string_view("x"),
                                   std::string_view("X"), std::string_view("*")}) {
        const std::size_t at = text.find(times);
        if (at == std::string_view::npos) continue;
        const std::string_view a = trimmed(text.substr(0, at));
        const std::string_view b = trimmed(text.substr(at + times.size()));
        if (!calc::readsWhole(a) || !calc::readsWhole(b)) return std::nullopt;
        return SizeArg{calc::Shape::rectangular, std::string(a), std::string(b)};
    }
    if (!calc::readsWhole(text)) return std::nullopt;
    return SizeArg{calc::Shape::circular, std::string(text), {}};
}

void setSize(calc::DuctInput& input, const SizeArg& size) {
    input.shape = size.shape;
    input.standard = false;
    if (size.shape == calc::Shape::circular) {
        input.diameter = size.a;
    } else {
        input.sideA = size.a;
        input.sideB = size.b;
    }
}

Roughness customRoughness(std::string_view text) {
    const calc::CustomK k = calc::customK(text);
    Roughness r{k.value, {}};
    if (k.replacement)
        r.warning = "k " + quoted(text) + " is held to " + std::string(*k.replacement) +
                    " mm (a custom roughness lies between 0.01 and 10 mm)";
    return r;
}

std::optional<float> namedRoughness(std::string_view name) {
    const std::optional<int> index = calc::materialIndex(trimmed(name));
    if (!index) return std::nullopt;
    return calc::materialRoughness(*index);
}

std::string unitList() {
    std::string list;
    for (const calc::FlowUnit& unit : calc::flowUnits) {
        if (!list.empty()) list += ", ";
        list += unit.text;
    }
    return list;
}

std::string materialList() {
    std::string list;
    for (std::size_t i = 0; i < calc::materials.size(); ++i) {
        if (!list.empty()) list += ", ";
        list += calc::materials[i].name;
        list += " (";
        list += calc::materials[i].caption;
        list += ')';
    }
    return list;
}

std::string failureReason(const calc::DuctResult& result, const calc::DuctInput& input) {
    using calc::Value;
    if (result.outcome.complete() && !result.noSection) return {};
    const std::string size =
        input.shape == calc::Shape::circular ? input.diameter : input.sideA + "x" + input.sideB;
    const calc::Outcome& o = result.outcome;
    if (!o.defined(Value::flowRate))
        return "flow " + quoted(input.flow) + " is beyond the range of the calculation";
    if (!o.defined(Value::size) || !o.defined(Value::area))
        return "size " + quoted(size) + " is beyond the range of the calculation";
    if (!o.defined(Value::eqDiameter))
        return "size " + quoted(size) +
               ": the equivalent diameter is beyond the range of the calculation";
    if (!o.defined(Value::velocity)) return "the velocity is beyond the range of the calculation";
    if (!o.defined(Value::reynolds))
        return "the Reynolds number is beyond the range of the calculation";
    if (!o.defined(Value::lambda))
        return "the friction formula has no value here (a negative size or Reynolds number)";
    if (!o.defined(Value::specificLoss))
        return "the friction loss is beyond the range of the calculation";
    if (result.noSection) return "size " + quoted(size) + " gives no section to carry the air";
    return {};
}

std::string plainNumber(float x) {
    std::string text = calc::numberText(x);
    if (!text.empty() && text.front() == ' ') text.erase(0, 1);
    return text;
}

std::string shortestNumber(float x) {
    std::array<char, 32> buffer{};
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), x).ptr;
    return std::string(buffer.data(), end);
}

std::string compactSize(std::string_view label) {
    std::string text;
    for (char c : label)
        if (c != ' ') text += c;
    return text;
}

std::string quoted(std::string_view text) {
    std::string q;
    q.reserve(text.size() + 2);
    q += '"';
    q += text;
    q += '"';
    return q;
}

}  // namespace cli
