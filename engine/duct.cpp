// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/duct.h"

#include <cmath>

namespace engine {

namespace {
// The five-decimal pi the areas have always been computed with.
constexpr double kPi = 3.14159;
}  // namespace

double s1(float d) {
    const float t1 = d / 1000;
    const double t2 = kPi * t1;
    const double t3 = t2 * (d / 1000);  // d/1000 formed again in single
    return t3 / 4;
}

float s2(float a, float b) {
    const float t1 = a / 1000;
    const float t2 = b / 1000;
    return t1 * t2;
}

float dv(float a, float b) {
    const float t1 = 2 * a;
    const float t2 = t1 * b;
    const float t3 = a + b;
    return t2 / t3;
}

double re(float v, float d, double nu) {
    const float t1 = v * d;
    return t1 / nu;
}

std::optional<double> l1(float k, float d, float r) {
    if (k == 0 || d == 0 || r == 0) return std::nullopt;
    const double ln10 = std::log(10.0);
    const float t1 = k / 1000;
    const float t2 = t1 / d;
    const double t3 = t2 / 3.71;
    const double x = std::log(t3) / ln10;
    const double c = 5.74 / 0.9;
    const double t4 = c / r;
    const double t5 = x + t4;
    const double t6 = std::pow(t5, 2.0);
    return 0.25 / t6;
}

std::optional<double> l2(float k, float d, float r) {
    if (d == 0 || r == 0) return std::nullopt;
    const double e = 1.0 / 3.0;
    const float t1 = 20 * k;
    const float t2 = t1 / d;
    const double t3 = 1000000.0 / r;
    const double t4 = t2 + t3;
    const double t5 = std::pow(t4, e);
    const double t6 = 1 + t5;
    return 0.0055 * t6;
}

std::optional<double> rm(float lmd, float d, float v, double rho) {
    if (d == 0) return std::nullopt;
    const double t1 = lmd * rho;
    const double t2 = t1 * v;
    const double t3 = t2 * v;
    const double t4 = t3 / 2;
    return t4 / d;
}

}  // namespace engine
