#include "derived.h"

#include "calc_state.h"

namespace calc {

std::optional<float> velocityPressure(float velocity) {
    float pressure = 0;
    if (!storeSingle(pressure, kAirDensity * velocity * velocity / 2)) return std::nullopt;
    return pressure;
}

}  // namespace calc
