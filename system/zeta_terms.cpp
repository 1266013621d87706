// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/zeta_terms.h"

#include <charconv>
#include <cmath>
#include <numbers>

#include "calc/ascii.h"
#include "calc/calc_state.h"
#include "calc/derived.h"
#include "system/model.h"
#include "system/readers.h"
#include "system/segment_figures.h"

namespace ductsys {

namespace {

using fittings::Param;
using fittings::RefersTo;

// The punctuation of a cell typed with a Chinese input method reads as its
// ASCII twin.
std::string asciiPunctuation(std::string_view text) {
    static constexpr std::pair<std::string_view, char> kWide[] = {
        {"＋", '+'}, {"（", '('}, {"）", ')'}, {"，", ','}, {"＝", '='}, {"＊", '*'}};
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        bool replaced = false;
        for (const auto& [wide, narrow] : kWide) {
            if (text.substr(i, wide.size()) == wide) {
                out += narrow;
                i += wide.size();
                replaced = true;
                break;
            }
        }
        if (!replaced) out += text[i++];
    }
    return out;
}

// Where the terms of a cell end: at a "+" outside parentheses that is
// neither the sign of an exponent ("1e+2") nor a term's own leading sign.
std::vector<std::string_view> splitTerms(std::string_view text) {
    std::vector<std::string_view> terms;
    std::size_t start = 0;
    int depth = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size()) {
            const char c = text[i];
            if (c == '(') ++depth;
            if (c == ')') --depth;
            if (c != '+' || depth > 0) continue;
            if (trimmed(text.substr(start, i - start)).empty()) continue;
            const char before = text[i - 1];
            if ((before == 'e' || before == 'E') && i >= start + 2) {
                const char digit = text[i - 2];
                if ((digit >= '0' && digit <= '9') || digit == '.') continue;
            }
        }
        terms.push_back(text.substr(start, i - start));
        start = i + 1;
    }
    return terms;
}

// A count after a term: "×2", "*2", "x2" (a whole number from 1).
std::optional<double> splitCount(std::string_view& body) {
    int depth = 0;
    std::size_t at = std::string_view::npos, markSize = 0;
    for (std::size_t i = 0; i < body.size(); ++i) {
        const char c = body[i];
        if (c == '(') ++depth;
        if (c == ')') --depth;
        if (depth > 0) continue;
        if (c == '*' || c == 'x' || c == 'X') at = i, markSize = 1;
        if (body.substr(i, 2) == "×") at = i, markSize = 2;
    }
    if (at == std::string_view::npos || at == 0) return std::nullopt;
    const std::string_view digits = trimmed(body.substr(at + markSize));
    if (digits.empty() || digits.size() > 6) return std::nullopt;
    for (char c : digits)
        if (c < '0' || c > '9') return std::nullopt;
    int count = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), count);
    if (count < 1) return std::nullopt;
    body = trimmed(body.substr(0, at));
    return count;
}

msg::Arg argumentNames(const fittings::Fitting& f) {
    std::string names;
    for (const fittings::ParamRule& p : f.params)
        names += (names.empty() ? "" : ", ") + std::string(p.name);
    if (f.methods.size() > 1) names += (names.empty() ? "" : ", ") + std::string("method");
    if (f.needsReference) names += (names.empty() ? "" : ", ") + std::string("ref");
    if (names.empty()) return msg::Code::wordNone;
    return names;
}

const fittings::ParamRule* namedParam(const fittings::Fitting& f, std::string_view key) {
    for (const fittings::ParamRule& p : f.params)
        if (calc::equalsIgnoringAsciiCase(p.name, key) ||
            calc::equalsIgnoringAsciiCase(p.option, key) || p.caption == key)
            return &p;
    return nullptr;
}

// A number's problem, naming the text.
msg::Message problemText(const CellProblem& problem) {
    if (problem.code == msg::Code::cellBeyondRange)
        return {msg::Code::termBeyondRange, {problem.text}};
    return {msg::Code::termNotANumber, {problem.text}};
}

using Reason = std::optional<msg::Message>;

// Reads the arguments between a fitting's parentheses into `term`; the
// reason when one cannot be read.
Reason readArguments(std::string_view list, ZetaTerm& term) {
    using msg::Code;
    const fittings::Fitting& f = *term.fitting;
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= list.size(); ++i) {
        if (i < list.size() && list[i] != ',') continue;
        parts.push_back(trimmed(list.substr(start, i - start)));
        start = i + 1;
    }
    if (parts.size() == 1 && parts[0].empty()) return {};
    std::size_t position = 0;
    bool named = false;
    for (std::string_view part : parts) {
        if (part.empty()) return msg::Message{Code::termEmptyArgument, {}};
        const std::size_t eq = part.find('=');
        std::string_view value = part;
        const fittings::ParamRule* rule = nullptr;
        if (eq != std::string_view::npos) {
            named = true;
            const std::string_view key = trimmed(part.substr(0, eq));
            value = trimmed(part.substr(eq + 1));
            if (value.empty()) return msg::Message{Code::termNoValue, {key}};
            if (calc::equalsIgnoringAsciiCase(key, "method")) {
                term.args.method = std::string(value);
                continue;
            }
            if (f.needsReference && (calc::equalsIgnoringAsciiCase(key, "ref") || key == "出处")) {
                term.args.reference = std::string(value);
                continue;
            }
            rule = namedParam(f, key);
            if (!rule) return msg::Message{Code::fittingNoArgument, {f.id, key, argumentNames(f)}};
        } else {
            if (named) return msg::Message{Code::termUnnamedAfterNamed, {}};
            if (position < f.params.size()) {
                rule = &f.params[position++];
            } else if (f.needsReference && term.args.reference.empty()) {
                term.args.reference = std::string(part);
                continue;
            } else {
                return msg::Message{Code::fittingTooManyArguments,
                                    {f.id, f.params.size(), argumentNames(f)}};
            }
        }
        const NumberRead read = readCellNumber(value);
        if (!read.value)
            return msg::Message{Code::termArgumentValue, {rule->name, problemText(*read.error)}};
        term.args[rule->param] = *read.value;
    }
    return {};
}

// Reads one term; the reason when it cannot be read.
Reason readTerm(std::string_view written, ZetaTerm& term) {
    term.text = std::string(written);
    if (const NumberRead n = readCellNumber(written); n.value) {
        term.number = *n.value;
        return {};
    }
    std::string_view body = written;
    if (const std::optional<double> count = splitCount(body)) term.count = *count;
    if (const NumberRead n = readCellNumber(body); n.value) {
        term.number = *n.value;
        return {};
    }
    if (const char c = body.front(); (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+')
        return problemText(*readCellNumber(body).error);
    std::string_view name = body, list;
    bool hasList = false;
    if (const std::size_t open = body.find('('); open != std::string_view::npos) {
        if (body.back() != ')') return msg::Message{msg::Code::termArgumentsUnclosed, {}};
        name = trimmed(body.substr(0, open));
        list = body.substr(open + 1, body.size() - open - 2);
        hasList = true;
    }
    term.fitting = fittings::find(name);
    if (!term.fitting) return msg::Message{msg::Code::termUnknown, {fittings::nearestName(name)}};
    if (hasList)
        if (Reason e = readArguments(list, term)) return e;
    return fittings::checkArgs(*term.fitting, term.args, true);
}

// A ratio the system worked out, as the reports show it.
std::string ratioText(double x) {
    char buffer[32];
    const auto end =
        std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::general, 4).ptr;
    return std::string(buffer, end);
}

std::optional<double> area(const Segment& s) {
    if (!s.has(Figure::size)) return std::nullopt;
    if (s.shape == calc::Shape::circular)
        return std::numbers::pi / 4 * (s.diameter / 1000.0) * (s.diameter / 1000.0);
    return (s.sideA / 1000.0) * (s.sideB / 1000.0);
}

std::optional<double> velocityOf(const Segment& s) {
    if (!s.has(Figure::velocity)) return std::nullopt;
    return s.velocity;
}

// One fitting term on its segment: the ζ on the velocity it refers to,
// converted to the segment's. Empty when it computes; the reason otherwise.
Reason computeTerm(const Segment& segment, const ZetaTerm& term, const TermNeighbours* n,
                   TermResult& out) {
    using msg::Code;
    const fittings::Fitting* f = term.fitting;
    fittings::Args args = term.args;
    const bool joining = n && n->joining;
    // A tee may be named by either kind: the air's direction decides.
    if (f->tee && f->teeSplitting == joining) {
        f = fittings::find(f->otherKind);
        fittings::Args kept;
        kept.method = {};
        for (const fittings::ParamRule& p : f->params) kept[p.param] = args[p.param];
        kept.reference = args.reference;
        args = kept;
    }
    out.id = std::string(f->id);
    out.refersTo = f->refersTo;
    out.source = std::string(fittings::sourceOf(*f, args.method));

    const std::optional<double> ownArea = area(segment);
    const std::optional<double> ownVelocity = velocityOf(segment);
    std::optional<double> refVelocity;  // of the section ζ refers to

    const bool takesRatios = fittings::paramRule(*f, Param::qsQc) != nullptr;
    if (f->tee) {
        if (!n) return msg::Message{Code::teeNeedsSystem, {f->id}};
        if (n->missing) return n->missing;
        if (!n->combined) return msg::Message{Code::teeAtFan, {}};
        if (n->others.empty()) return msg::Message{Code::teeNotAJunction, {}};
        const Segment& c = *n->combined;
        refVelocity = velocityOf(c);
        if (takesRatios) {
            // The largest other branch is the tee's other leg.
            const Segment* other = nullptr;
            for (const Segment* o : n->others) {
                if (!o->has(Figure::flow)) return msg::Message{Code::teeBranchNoFlow, {}};
                if (!other || o->flow > other->flow) other = o;
            }
            const Segment& side = f->teeSide ? segment : *other;
            const Segment& run = f->teeSide ? *other : segment;
            const std::optional<double> fc = area(c), fs = area(side), fst = area(run);
            if (!fc || !fs || !fst) return msg::Message{Code::teeLegNoSize, {}};
            if (!c.has(Figure::flow) || !side.has(Figure::flow))
                return msg::Message{Code::teeLegNoFlow, {}};
            if (c.flow <= 0) return msg::Message{Code::teeZeroFlow, {}};
            args[Param::fsFc] = *fs / *fc;
            if (fittings::paramRule(*f, Param::fstFc)) args[Param::fstFc] = *fst / *fc;
            args[Param::qsQc] = static_cast<double>(side.flow) / c.flow;
        }
    } else if (fittings::paramRule(*f, Param::areaRatio) || fittings::paramRule(*f, Param::beta)) {
        const Param p = fittings::paramRule(*f, Param::areaRatio) ? Param::areaRatio : Param::beta;
        // The transition sits where the segment starts, between it and the
        // segment on the fan's side; in a supply system the air comes from
        // there.
        const bool refersUp = f->refersTo == RefersTo::upstream;
        const bool refIsOwn = refersUp == joining;
        if (args[p]) {
            // Given: the other section by continuity from the segment's own.
            const double a2 = p == Param::beta ? *args[p] * *args[p] : *args[p];
            if (ownVelocity) refVelocity = refIsOwn ? *ownVelocity : *ownVelocity / a2;
        } else {
            if (!n)
                return msg::Message{Code::transitionNoNeighbour,
                                    {f->id, fittings::paramRule(*f, p)->name}};
            if (n->missing) return n->missing;
            if (!n->combined)
                return msg::Message{Code::transitionAtFan,
                                    {f->id, fittings::paramRule(*f, p)->name}};
            const Segment& other = *n->combined;
            const std::optional<double> otherArea = area(other);
            if (!ownArea || !otherArea) return msg::Message{Code::transitionNoSize, {}};
            const double up = joining ? *ownArea : *otherArea;
            const double down = joining ? *otherArea : *ownArea;
            args[p] = p == Param::beta ? std::sqrt(down / up) : up / down;
            refVelocity = refIsOwn ? ownVelocity : velocityOf(other);
        }
    }
    if (Reason e = fittings::checkArgs(*f, args)) return e;

    fittings::Conditions conditions;
    if (segment.has(Figure::reynolds)) conditions.reynolds = segment.reynolds;
    const fittings::Result r = fittings::evaluate(*f, args, conditions);
    out.zeta = r.zeta;
    out.valid = r.valid;
    out.note = r.note;

    for (const fittings::ParamRule& p : f->params) {
        std::optional<double> v = args[p.param];
        if (!v && p.byDefault) v = p.byDefault;
        if (!v) continue;
        if (!out.arguments.empty()) out.arguments += ", ";
        out.arguments += std::string(p.name) + "=" + ratioText(*v);
    }
    if (!args.method.empty())
        out.arguments += (out.arguments.empty() ? "" : ", ") + ("method=" + args.method);
    if (!args.reference.empty())
        out.arguments += (out.arguments.empty() ? "" : ", ") + ("ref=" + args.reference);

    if (f->refersTo == RefersTo::segment) {
        out.onSegment = r.zeta * term.count;
        return {};
    }
    if (!ownVelocity || !refVelocity)
        return msg::Message{Code::fittingVelocityUnknown,
                            {msg::Arg::name(fittings::refersToName(f->refersTo),
                                            fittings::refersToCaption(f->refersTo)),
                             "ζ"}};
    if (*ownVelocity <= 0) return msg::Message{Code::fittingZeroVelocity, {"ζ"}};
    // ζ₂ = ζ₁ (v₁ / v₂)²: the same loss on the segment's velocity pressure.
    const double ratio = *refVelocity / *ownVelocity;
    out.onSegment = r.zeta * ratio * ratio * term.count;
    return {};
}

std::optional<float> single(double value) {
    float x = 0;
    if (!calc::storeSingle(x, value)) return std::nullopt;
    return x;
}

}  // namespace

ZetaCell parseZetaCell(std::string_view text) {
    ZetaCell cell;
    const std::string ascii = asciiPunctuation(trimmed(text));
    const std::string_view all = ascii;
    if (all.empty()) return cell;
    for (std::string_view written : splitTerms(all)) {
        const std::string_view t = trimmed(written);
        if (t.empty()) {
            cell.error = msg::Message{msg::Code::zetaEmptyTerm, {trimmed(text)}};
            cell.terms.clear();
            return cell;
        }
        ZetaTerm term;
        if (Reason e = readTerm(t, term)) {
            // "is not a number" from the number reader already names the term.
            if (e->code == msg::Code::termNotANumber || e->code == msg::Code::termBeyondRange)
                cell.error = msg::Message{msg::Code::zetaTermNumber, {std::move(*e)}};
            else
                cell.error = msg::Message{msg::Code::zetaTermProblem, {t, std::move(*e)}};
            cell.terms.clear();
            return cell;
        }
        cell.hasFittings = cell.hasFittings || term.fitting != nullptr;
        cell.terms.push_back(std::move(term));
    }
    return cell;
}

std::optional<double> numberSum(const ZetaCell& cell) {
    std::optional<double> sum;
    for (const ZetaTerm& t : cell.terms) {
        if (t.fitting) return std::nullopt;
        const double v = t.count == 1 ? t.number : t.number * t.count;
        sum = sum ? *sum + v : v;
    }
    return sum.value_or(0.0);
}

void applyZetaTerms(Segment& segment, const ZetaCell& cell, const TermNeighbours* neighbours,
                    std::vector<TermResult>& detail) {
    detail.clear();
    std::optional<double> sum = 0.0;
    Reason reason;
    for (const ZetaTerm& term : cell.terms) {
        TermResult& out = detail.emplace_back();
        out.text = term.text;
        out.count = term.count;
        if (!term.fitting) {
            out.zeta = term.number;
            out.onSegment = term.number * term.count;
        } else if (Reason e = computeTerm(segment, term, neighbours, out)) {
            out.onSegment.reset();
            // A segment that already failed says why; its terms wait for it.
            if (!reason && segment.ok())
                reason = msg::Message{msg::Code::zetaTermNotComputed, {term.text, std::move(*e)}};
        }
        if (sum && out.onSegment)
            *sum += *out.onSegment;
        else
            sum.reset();
    }
    // The fittings' diagrams assume about 10 diameters of straight duct
    // before each; fittings closer than that interact, and their sum is
    // only an estimate. Marked, not refused.
    double pieces = 0;
    for (const ZetaTerm& t : cell.terms)
        if (t.fitting && !t.fitting->needsReference) pieces += t.count;
    if (pieces >= 2 && segment.has(Figure::length) && segment.has(Figure::eqDiameter) &&
        segment.length < 10.0 * segment.eqDiameter * (pieces - 1)) {
        const msg::Message note{
            msg::Code::fittingsCloseCoupled,
            {fittings::numberText(pieces), fittings::numberText(segment.length)}};
        for (std::size_t i = 0; i < cell.terms.size(); ++i) {
            if (!cell.terms[i].fitting || cell.terms[i].fitting->needsReference) continue;
            TermResult& out = detail[i];
            out.valid = false;
            out.note.push_back(note);
        }
    }
    float asSingle = 0;
    if (sum && !calc::storeSingle(asSingle, *sum)) {
        sum.reset();
        reason = msg::Message{msg::Code::zetaSumBeyondRange, {}};
    }
    if (!sum) {
        segment.defined &= ~(figureBit(Figure::zeta) | figureBit(Figure::localLoss) |
                             figureBit(Figure::total) | figureBit(Figure::pathTotal));
        if (reason) addReason(segment, std::move(*reason));
        return;
    }
    segment.zeta = *sum;
    segment.defined |= figureBit(Figure::zeta);
    if (!segment.has(Figure::velocityPressure)) return;
    const std::optional<float> local = calc::localLoss(segment.zeta, segment.velocityPressure);
    if (!local) {
        addReason(segment, {msg::Code::lossesBeyondRange, {}});
        return;
    }
    segment.localLoss = *local;
    segment.defined |= figureBit(Figure::localLoss);
    if (!segment.has(Figure::frictionLoss) || !segment.has(Figure::dp)) return;
    // Formed as the segment's other totals are, in one double sum.
    if (const std::optional<float> total =
            single(static_cast<double>(segment.frictionLoss) + *local + segment.dp)) {
        segment.total = *total;
        segment.defined |= figureBit(Figure::total);
    } else if (segment.ok()) {
        addReason(segment, {msg::Code::lossesBeyondRange, {}});
    }
}

}  // namespace ductsys
