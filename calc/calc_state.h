// SPDX-License-Identifier: GPL-3.0-or-later
// The calculation variables of the window.
#pragma once

#include <string_view>

namespace calc {

// Every field is single precision, as the results are defined in terms of
// values rounded to single when stored; all start at 0.
struct CalcState {
    float diameter = 0;      // diameter of a circular duct, mm
    float sideA = 0;         // first side of a rectangular duct ("长"), mm
    float sideB = 0;         // second side ("宽"), mm
    float area = 0;          // cross-section, m2
    float roughness = 0;     // absolute roughness K of the wall, mm
    float flowRate = 0;      // air volume, m3/h
    float velocity = 0;      // mean air velocity, m/s
    float flowFactor = 0;    // m3/h per unit of the chosen flow unit
    float lambda = 0;        // friction factor
    float reynolds = 0;      // Reynolds number
    float eqDiameter = 0;    // diameter for Reynolds number and loss, m
    float specificLoss = 0;  // friction loss Rm, Pa/m
};

// Rounds a computed value to single precision for storing in a field.
// Returns false, leaving `field` unchanged, when the value is not a finite
// single: nan, an infinity, or a magnitude beyond the single range.
bool storeSingle(float& field, double value);

// Stores factor times the number a box's text reads as (double product,
// rounded once). Returns false, leaving `field` unchanged, when the text
// reads beyond the double range or the product does not fit a single.
bool storeText(float& field, std::string_view text, float factor = 1);

}  // namespace calc
