#include "calc_state.h"

#include <cmath>
#include <limits>

namespace calc {

bool storeSingle(float& field, double value) {
    if (!(std::fabs(value) <= std::numeric_limits<float>::max())) return false;  // nan too
    field = static_cast<float>(value);
    return true;
}

}  // namespace calc
