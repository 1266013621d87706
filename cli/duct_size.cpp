// SPDX-License-Identifier: GPL-3.0-or-later
#include "duct_size.h"

#include "text_fields.h"

namespace cli {

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

std::string compactSize(std::string_view label) {
    std::string text;
    for (char c : label)
        if (c != ' ') text += c;
    return text;
}

}  // namespace cli
