// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/calc_state.h"

#include <cmath>
#include <limits>

#include "calc/number_reading.h"

namespace calc {

bool storeSingle(float& field, double value) {
    if (!(std::fabs(value) <= std::numeric_limits<float>::max())) return false;  // nan too
    field = static_cast<float>(value);
    return true;
}

bool storeText(float& field, std::string_view text, float factor) {
    const std::optional<double> value = textValue(text);
    return value && storeSingle(field, factor * *value);
}

}  // namespace calc
