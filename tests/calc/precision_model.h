// SPDX-License-Identifier: GPL-3.0-or-later
// An independent model of the numbers the window shows, step by step, in
// which the precision of any one step can be turned around: a step held in
// single is then carried in double, a step carried in double is then done in
// single. It exists to find and to check inputs whose
// shown texts depend on the precision of every step, so that a change of any
// one step's precision cannot pass the tests unnoticed.
//
// It shares nothing with the engine or the recalculation but numberText, the
// label form.
#pragma once

#include <cmath>
#include <cstdlib>
#include <string>
#include <string_view>

#include "calc/number_text.h"

namespace precision {

// Every arithmetic step from a box's text to a shown number, in the order the
// recalculation takes them. The comment gives the precision the results are
// defined with.
enum class Step {
    none,           // no step turned around
    flowProduct,    // air volume x unit factor, double
    flowPerSecond,  // air volume / 3600, double
    velocity,       // / area, double
    circularD,      // diameter / 1000, single
    rectD,          // equivalent diameter / 1000, single
    s1Scale,        // s1: d / 1000, single
    s1Pi,           // s1: 3.14159 x that, double
    s1Again,        // s1: d / 1000 formed again, single
    s1Product,      // s1: the product of the two, double
    s1Quarter,      // s1: / 4, double
    s2A,            // s2: a / 1000, single
    s2B,            // s2: b / 1000, single
    s2Product,      // s2: their product, single
    dvTwice,        // dv: 2 x a, single
    dvProduct,      // dv: x b, single
    dvSum,          // dv: a + b, single
    dvQuotient,     // dv: product / sum, single
    reProduct,      // re: v x d, single
    reQuotient,     // re: / 1.506e-05, double
    l1Ln10,         // l1: ln 10, double
    l1K,            // l1: k / 1000, single
    l1KD,           // l1: / d, single
    l1Rel,          // l1: / 3.71, double
    l1Log,          // l1: ln of that, double
    l1Lg,           // l1: / ln 10, double
    l1C,            // l1: 5.74 / 0.9, double
    l1Re,           // l1: c / Re, double
    l1Sum,          // l1: lg + c / Re, double
    l1Square,       // l1: its square, double
    l1Result,       // l1: 0.25 / square, double
    l2Third,        // l2: 1 / 3, double
    l2K,            // l2: 20 x k, single
    l2KD,           // l2: / d, single
    l2Re,           // l2: 1000000 / Re, double
    l2Sum,          // l2: the sum, double
    l2Root,         // l2: its cube root, double
    l2One,          // l2: 1 + root, double
    l2Result,       // l2: 0.0055 x that, double
    rmDensity,      // rm: lambda x 1.204, double
    rmV1,           // rm: x v, double
    rmV2,           // rm: x v, double
    rmHalf,         // rm: / 2, double
    rmResult,       // rm: / d, double
    count
};

// Whether a step is held in single precision by the rule.
constexpr bool single(Step s) {
    switch (s) {
        case Step::circularD:
        case Step::rectD:
        case Step::s1Scale:
        case Step::s1Again:
        case Step::s2A:
        case Step::s2B:
        case Step::s2Product:
        case Step::dvTwice:
        case Step::dvProduct:
        case Step::dvSum:
        case Step::dvQuotient:
        case Step::reProduct:
        case Step::l1K:
        case Step::l1KD:
        case Step::l2K:
        case Step::l2KD:
            return true;
        default:
            return false;
    }
}

struct Inputs {
    std::string airVolume;  // Text1
    float factor;           // m3/h per unit, as held
    bool rectangular;
    std::string size1, size2;  // diameter, or the two sides, mm
    std::string roughness;     // the K box's text, mm
    bool formulaTwo;
};

struct Shown {
    std::string label10, label6, label17, label7, label15, label11;
    bool operator==(const Shown&) const = default;
};

class Model {
public:
    explicit Model(Step flipped) : flipped_(flipped) {}

    // One step. A single step rounds its result (its operands are singles,
    // unless an earlier step turned around left one in double, which C++
    // would then carry in double too); a single step carried in double does
    // not. A double step turned to single rounds its operands, constants
    // included, and its result.
    template <typename F>
    double step(Step s, double a, double b, F f) const {
        const bool flipped = s == flipped_;
        if (single(s)) return flipped ? f(a, b) : static_cast<float>(f(a, b));
        if (!flipped) return f(a, b);
        return static_cast<float>(f(static_cast<float>(a), static_cast<float>(b)));
    }
    double mul(Step s, double a, double b) const {
        return step(s, a, b, [](double x, double y) { return x * y; });
    }
    double div(Step s, double a, double b) const {
        return step(s, a, b, [](double x, double y) { return x / y; });
    }
    double add(Step s, double a, double b) const {
        return step(s, a, b, [](double x, double y) { return x + y; });
    }
    double ln(Step s, double a) const {
        return step(s, a, 0, [](double x, double) { return std::log(x); });
    }
    double pow(Step s, double a, double e) const {
        return step(s, a, e, [](double x, double y) { return std::pow(x, y); });
    }

    // Every value the recalculation stores is single.
    static float store(double x) { return static_cast<float>(x); }

    Shown show(const Inputs& in) const {
        const double typed = std::strtod(in.airVolume.c_str(), nullptr);
        const float flowRate = store(mul(Step::flowProduct, in.factor, typed));
        const float roughness = store(std::strtod(in.roughness.c_str(), nullptr));
        float area, eqDiameter;
        Shown out;
        if (!in.rectangular) {
            const float d = store(std::strtod(in.size1.c_str(), nullptr));
            const double t1 = div(Step::s1Scale, d, 1000);
            const double t2 = mul(Step::s1Pi, 3.14159, t1);
            const double t3 = mul(Step::s1Product, t2, div(Step::s1Again, d, 1000));
            area = store(div(Step::s1Quarter, t3, 4));
            eqDiameter = store(div(Step::circularD, d, 1000));
            out.label6 = "φ" + calc::numberText(d);
        } else {
            const float a = store(std::strtod(in.size1.c_str(), nullptr));
            const float b = store(std::strtod(in.size2.c_str(), nullptr));
            area = store(mul(Step::s2Product, div(Step::s2A, a, 1000), div(Step::s2B, b, 1000)));
            const double q =
                div(Step::dvQuotient, mul(Step::dvProduct, mul(Step::dvTwice, 2, a), b),
                    add(Step::dvSum, a, b));
            // dv hands back a single: a quotient carried in double is
            // rounded when it is returned.
            const double dv = Step::dvQuotient == flipped_ ? q : static_cast<float>(q);
            eqDiameter = store(div(Step::rectD, dv, 1000));
            out.label6 = calc::numberText(a) + " *" + calc::numberText(b);
        }
        const float velocity =
            store(div(Step::velocity, div(Step::flowPerSecond, flowRate, 3600), area));
        const float reynolds =
            store(div(Step::reQuotient, mul(Step::reProduct, velocity, eqDiameter), 1.506e-05));
        double lambda;
        if (!in.formulaTwo) {
            const double L = ln(Step::l1Ln10, 10);
            const double t2 = div(Step::l1KD, div(Step::l1K, roughness, 1000), eqDiameter);
            const double x = div(Step::l1Lg, ln(Step::l1Log, div(Step::l1Rel, t2, 3.71)), L);
            const double t4 = div(Step::l1Re, div(Step::l1C, 5.74, 0.9), reynolds);
            lambda = div(Step::l1Result, 0.25, pow(Step::l1Square, add(Step::l1Sum, x, t4), 2.0));
        } else {
            const double e = div(Step::l2Third, 1.0, 3.0);
            const double t2 = div(Step::l2KD, mul(Step::l2K, 20, roughness), eqDiameter);
            const double t4 = add(Step::l2Sum, t2, div(Step::l2Re, 1000000.0, reynolds));
            lambda = mul(Step::l2Result, 0.0055, add(Step::l2One, 1, pow(Step::l2Root, t4, e)));
        }
        const float lmd = store(lambda);
        const double t1 = mul(Step::rmDensity, lmd, 1.204);
        const double t3 = mul(Step::rmV2, mul(Step::rmV1, t1, velocity), velocity);
        const float loss = store(div(Step::rmResult, div(Step::rmHalf, t3, 2), eqDiameter));

        out.label10 = calc::numberText(flowRate) + " m3/h";
        out.label17 = calc::numberText(eqDiameter) + " m";
        out.label7 = calc::numberText(velocity) + " m/s";
        out.label15 = calc::numberText(reynolds);
        out.label11 = calc::numberText(loss) + " Pa/m";
        return out;
    }

private:
    Step flipped_;
};

}  // namespace precision
