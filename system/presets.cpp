// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/presets.h"

#include <string>

#include "calc/ascii.h"
#include "system/readers.h"

namespace ductsys {

const VelocityPreset* findVelocityPreset(std::string_view name) {
    const std::string lower = calc::asciiLower(trimmed(name));
    const std::string compact = calc::withoutBlanks(trimmed(name));
    for (const VelocityPreset& p : kVelocityPresets)
        if (lower == p.slug || compact == calc::withoutBlanks(p.name)) return &p;
    return nullptr;
}

}  // namespace ductsys
