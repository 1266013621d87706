// SPDX-License-Identifier: GPL-3.0-or-later
// The library of duct fittings (局部阻力): each fitting's loss coefficient ζ
// from its own arguments, the velocity that ζ refers to, the book or
// equation it comes from, and where that formula holds. A term outside its
// range is still computed, and marked with the range it left.
//
// Adding a fitting is one entry in the table of fittings.cpp: its names,
// parameters, reference velocity, source, validity, the function that
// computes it and its check values. The command line, the ζ cells, the grid's
// editor and the reports all take it from there.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "messages/message.h"

namespace ductsys::fittings {

// The velocity a fitting's ζ refers to. Δp = ζ · ρ v² / 2 with that v.
enum class RefersTo {
    segment,     // the segment's own
    upstream,    // the section before the fitting, in the air's direction
    downstream,  // the section after it
    combined,    // a tee's combined flow (总管)
};
// "segment", "upstream", "downstream", "combined".
std::string_view refersToName(RefersTo r);
// 本段, 上游, 下游, 总管.
std::string_view refersToCaption(RefersTo r);

// Every number a fitting may take. A fitting uses some of them.
enum class Param : std::size_t {
    angle,      // δ, θ or α: the turn, the total cone angle, a tee's branch angle (°)
    rD,         // r/D of a bend (r/b for a rectangular one)
    aspect,     // a0/b0 of a rectangular bend
    areaRatio,  // A1/A2, small to large
    beta,       // d2/d1, small to large
    fsFc,       // F_s / F_c of a tee
    fstFc,      // F_st / F_c of a tee
    qsQc,       // Q_s / Q_c of a tee
    open,       // open area fraction of a grille
    zeta,       // a ζ the user gives
    count_
};
inline constexpr std::size_t kParamCount = static_cast<std::size_t>(Param::count_);

// Where a tee or a transition takes an argument that is not written in its
// term, inside a system.
enum class FromSystem {
    no,
    teeRatio,   // the flows and areas of the legs around the junction
    areaRatio,  // the areas of the segment and its neighbour on the fan's side
};

struct ParamRule {
    Param param;
    std::string_view name;     // as written in a term: "angle", "r/D", …
    std::string_view option;   // the command line's: "angle", "r-d", …
    std::string_view caption;  // 角度, …
    std::string_view unit;     // "°" or ""
    // What can be computed at all; outside, the argument is refused.
    double lowest, highest;
    bool lowestOpen;  // the lowest value itself is refused
    // Where the formula holds; outside, the term is computed and marked.
    double validLow, validHigh;
    std::optional<double> byDefault;  // when not written (and not from the system)
    FromSystem fromSystem = FromSystem::no;
    bool optional = false;  // may be left out, with no default (a bend's aspect: round)
};

// The arguments of one term, by Param; none where not given.
struct Args {
    std::array<std::optional<double>, kParamCount> values{};
    std::string reference;  // the reference text of a `value` term
    std::string method;     // empty: the fitting's first
    std::optional<double>& operator[](Param p) { return values[static_cast<std::size_t>(p)]; }
    const std::optional<double>& operator[](Param p) const {
        return values[static_cast<std::size_t>(p)];
    }
};

// What one fitting gives for its arguments.
struct Result {
    double zeta = 0;
    bool valid = true;  // false: outside where the formula holds; `note` says how
    msg::Messages note;
};

// What the fitting is computed for beyond its arguments.
struct Conditions {
    std::optional<double> reynolds;  // of the segment, where known
};

struct Method {
    std::string_view name;    // "idelchik", "rennels", …
    std::string_view source;  // the book, diagram or equation
};

// A published or worked value of a fitting, written as a term.
struct Check {
    std::string_view term;  // "miter(150, method=rennels)"
    double zeta;
    bool published;           // printed in a source's own example; else computed for orientation
    std::string_view origin;  // where it is printed or how it was worked
};

struct Fitting {
    std::string_view id = {};
    std::string_view chinese = {};
    std::span<const std::string_view> otherNames = {};  // more Chinese names read as this one
    std::span<const ParamRule> params = {};             // in the order they are written unnamed
    RefersTo refersTo = RefersTo::segment;
    std::span<const Method> methods = {};  // the first is used unless one is named
    std::string_view validity = {};        // where the formula holds, in words
    bool needsReference = false;           // a `value` term takes a reference text
    Result (*compute)(const Args& args, std::string_view method,
                      const Conditions& conditions) = nullptr;
    std::span<const Check> checks = {};
    // A tee's leg, and the same leg of the other kind (分流 ↔ 合流).
    bool tee = false;
    bool teeSide = false;
    bool teeSplitting = false;
    std::string_view otherKind = {};
};

// Every fitting, in the order they are listed.
std::span<const Fitting> all();

// A fitting by id or by Chinese name; none when there is no such fitting.
const Fitting* find(std::string_view name);
// The name of a fitting nearest to `name` (id or Chinese), for a message.
std::string nearestName(std::string_view name);

// The method of `fitting` named `name` (empty: its first); none when it has
// no such method.
const Method* findMethod(const Fitting& fitting, std::string_view name);

// The rule of a parameter of `fitting`; none when it does not take it.
const ParamRule* paramRule(const Fitting& fitting, Param param);

// Computes `fitting` for `args`, filling in the defaults. The arguments must
// lie within what can be computed (see checkArgs). Marks the result when an
// argument lies outside where the formula holds, naming that range.
Result evaluate(const Fitting& fitting, const Args& args, const Conditions& conditions = {});

// Why `args` cannot be computed for `fitting`: an argument missing or outside
// what can be computed, or an unknown method; empty when they can.
// `systemGives`: the arguments a system fills in are not asked for.
std::optional<msg::Message> checkArgs(const Fitting& fitting, const Args& args,
                                      bool systemGives = false);

// The source of `fitting` computed by `method` (empty: its first).
std::string_view sourceOf(const Fitting& fitting, std::string_view method);

// A number as a term's text shows it: the shortest that reads back.
std::string numberText(double value);

}  // namespace ductsys::fittings
