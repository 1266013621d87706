// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/duct_size.h"

namespace cli {

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
