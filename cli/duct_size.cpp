// SPDX-License-Identifier: GPL-3.0-or-later
#include "duct_size.h"

#include "readers.h"

namespace cli {

std::optional<SizeArg> parseSize(std::string_view text) {
    // Read as a table's segment is read, in one place for both.
    std::optional<ductsys::SizeText> size = ductsys::parseSize(text);
    if (!size) return std::nullopt;
    return SizeArg{size->shape, std::move(size->a), std::move(size->b)};
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
