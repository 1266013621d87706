// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/segment_figures.h"

#include <type_traits>

#include "system/materials.h"

#include "calc/calc_state.h"
#include "calc/derived.h"
#include "calc/number_reading.h"
#include "calc/tables.h"

namespace ductsys {

namespace {

std::optional<float> single(double value) {
    float x = 0;
    if (!calc::storeSingle(x, value)) return std::nullopt;
    return x;
}

}  // namespace

void addReason(Segment& segment, msg::Message reason) {
    segment.reason.push_back(std::move(reason));
}

void readSegment(const SegmentTexts& row, Segment& segment, DuctSetting& setting,
                 msg::Messages& warnings, ZetaCell* fittingTerms) {
    using msg::Code;
    auto fail = [&](unsigned unknown, msg::Message reason) {
        setting.unusable |= unknown;
        addReason(segment, std::move(reason));
    };

    // Numbers written with thousands separators ("1,800"): read without
    // them, and said so.
    std::string plainTexts[3];
    auto plain = [&](std::string_view text, Column column, std::string& store) -> std::string_view {
        if (text.find(',') == std::string_view::npos) return text;
        std::optional<std::string> p = withoutThousandsSeparators(text);
        if (!p) return text;
        warnings.push_back({Code::cellThousandsSeparators, {columnArg(column), trimmed(text), *p}});
        store = std::move(*p);
        return store;
    };
    const std::string_view flowText = plain(row.flow, Column::flow, setting.flow);
    const std::string_view lengthText = plain(row.length, Column::length, plainTexts[0]);
    const std::string_view dpText = plain(row.dp, Column::dp, plainTexts[1]);
    const std::string_view kText = plain(row.k, Column::k, plainTexts[2]);
    if (setting.flow.empty()) setting.flow = trimmed(row.flow);

    setting.flowFactor = 1;
    std::string_view u = trimmed(row.unit);
    if (u.empty()) u = trimmed(row.columnUnit);
    if (!u.empty()) {
        if (const std::optional<float> f = unitFactor(u))
            setting.flowFactor = *f;
        else
            fail(kFromFlow, {Code::cellNotOneOf, {columnArg(Column::unit), u, flowUnitList()}});
    }
    const std::string_view flow = trimmed(flowText);
    segment.flowGiven = !flow.empty();
    if (!flow.empty()) {
        if (const std::optional<CellProblem> problem = flowProblem(flow))
            fail(kFromFlow, problem->in(columnArg(Column::flow)));
    }

    const std::string_view sizeText = trimmed(row.size);
    if (std::optional<SizeText> s = parseSize(sizeText)) {
        setting.size = std::move(*s);
    } else {
        setting.size = SizeText{calc::Shape::circular, "0", {}};
        fail(kFromSize, {Code::cellNotASize, {columnArg(Column::size), sizeText}});
    }

    const NumberRead length = readCellNumber(lengthText);
    if (!length.value)
        fail(kFromLength, length.error->in(columnArg(Column::length)));
    else if (*length.value < 0)
        fail(kFromLength, {Code::cellNegative, {columnArg(Column::length), trimmed(lengthText)}});
    else
        segment.length = *length.value * row.lengthFactor,
        segment.defined |= figureBit(Figure::length);

    ZetaCell cell;
    if (!plainZetaText(row.zeta)) cell = parseZetaCell(row.zeta);
    if (cell.hasFittings && fittingTerms) {
        *fittingTerms = std::move(cell);
        setting.zetaPending = true;
    } else if (const NumberRead zeta =
                   plainZetaText(row.zeta) ? readZetaSum(row.zeta) : readZetaSum(cell);
               !zeta.value) {
        fail(kFromZeta, zeta.error->in(columnArg(Column::zeta)));
    } else {
        segment.zeta = *zeta.value, segment.defined |= figureBit(Figure::zeta);
    }

    const NumberRead dp = readCellNumber(dpText);
    if (!dp.value)
        fail(kFromDp, dp.error->in(columnArg(Column::dp)));
    else if (*dp.value < 0)
        fail(kFromDp, {Code::cellNegative, {columnArg(Column::dp), trimmed(dpText)}});
    else
        segment.dp = *dp.value * row.dpFactor, segment.defined |= figureBit(Figure::dp);

    const std::string_view material = trimmed(row.material);
    const std::string_view k = trimmed(kText);
    setting.roughness = calc::materialRoughness(0);
    setting.roughnessRead = false;
    if (!k.empty()) {
        if (!material.empty() && !isCustomMaterial(material)) {
            fail(kFromFriction, {Code::materialAndK, {material, k}});
        } else if (const RoughnessRead r = readRoughness(k); !r.k) {
            fail(kFromFriction, r.error->in(columnArg(Column::k)));
        } else {
            setting.roughness = *r.k;
            setting.roughnessRead = true;
            if (r.warning) warnings.push_back(std::move(*r.warning));
        }
    } else if (material.empty()) {
        setting.roughnessRead = true;
    } else {
        if (const std::optional<float> k = roughnessOfMaterial(material))
            setting.roughness = *k, setting.roughnessRead = true;
        else
            fail(kFromFriction,
                 {Code::cellNotOneOf, {columnArg(Column::material), material, materialNames()}});
    }

    const std::string_view formula = trimmed(row.formula);
    setting.formula = row.defaultFormula == 2 ? 2 : 1;
    setting.formulaRead = formula.empty() || formula == "1" || formula == "2";
    if (formula == "1")
        setting.formula = 1;
    else if (formula == "2")
        setting.formula = 2;
    else if (!formula.empty() && formula != "1")
        fail(kFromFriction, {Code::formulaNotOneOrTwo, {columnArg(Column::formula), formula}});
    segment.roughness = setting.roughness;
    segment.formula = static_cast<std::uint8_t>(setting.formula);
}

namespace {

// Appends a value's bytes: two values are the same input only when every
// bit is (0 and -0, or two NaNs, are not taken for one another).
template <typename T>
void putBytes(std::string& key, const T& value) {
    static_assert(std::is_trivially_copyable_v<T>);
    key.append(reinterpret_cast<const char*>(&value), sizeof value);
}
void putText(std::string& key, std::string_view text) {
    putBytes(key, text.size());
    key += text;
}

// Everything that computing `segment` reads or leaves as it was, but for
// its reasons: the segment's own figures as read, the setting and the flow
// text.
// Its place in the tree is not among them, and is not touched.
void formKey(std::string& key, const Segment& s, const DuctSetting& setting,
             std::string_view flow) {
    key.clear();
    putText(key, flow);
    putBytes(key, setting.flowFactor);
    putBytes(key, setting.size.shape);
    putText(key, setting.size.a);
    putText(key, setting.size.b);
    putBytes(key, setting.roughness);
    putBytes(key, setting.formula);
    putBytes(key, setting.roughnessRead);
    putBytes(key, setting.formulaRead);
    putBytes(key, setting.zetaPending);
    putBytes(key, setting.unusable);
    putBytes(key, s.flowGiven);
    putBytes(key, s.formula);
    putBytes(key, s.shape);
    for (const float f :
         {s.diameter, s.sideA, s.sideB, s.flow, s.eqDiameter, s.velocity, s.reynolds, s.lambda,
          s.rm, s.frictionLoss, s.velocityPressure, s.localLoss, s.total, s.roughness})
        putBytes(key, f);
    for (const double d : {s.length, s.zeta, s.dp, s.pathTotal}) putBytes(key, d);
    putBytes(key, s.defined);
}

std::string airBytes(const calc::AirState& air) {
    std::string bytes;
    putBytes(bytes, air.density);
    putBytes(bytes, air.viscosity);
    return bytes;
}

}  // namespace

void ComputeMemo::prepare(const calc::AirState& air) {
    std::string bytes = airBytes(air);
    if (bytes == air_) return;
    entries_.clear();
    air_ = std::move(bytes);
}

void ComputeMemo::reserve(std::size_t count) {
    if (entries_.size() < count) entries_.resize(count);
}

void SegmentCalculator::compute(Segment& segment, const DuctSetting& setting, std::string_view flow,
                                ComputeMemo::Entry* memo) {
    if (!memo) {
        computeFigures(segment, setting, flow);
        return;
    }
    formKey(key_, segment, setting, flow);
    if (key_ == memo->key && segment.reason == memo->reasons) {
        // The computation's figures, over the segment's place in the tree.
        const std::uint32_t from = segment.from, to = segment.to, parent = segment.parent;
        const bool reversed = segment.reversed;
        segment = memo->after;
        segment.from = from, segment.to = to, segment.parent = parent;
        segment.reversed = reversed;
        return;
    }
    memo->reasons = segment.reason;
    computeFigures(segment, setting, flow);
    memo->key.swap(key_);
    memo->after = segment;
}

void SegmentCalculator::computeFigures(Segment& segment, const DuctSetting& setting,
                                       std::string_view flow) {
    using calc::Value;
    input_.flow = flow;
    input_.flowFactor = setting.flowFactor;
    input_.shape = setting.size.shape;
    input_.standard = false;
    if (setting.size.shape == calc::Shape::circular)
        input_.diameter = setting.size.a;
    else
        input_.sideA = setting.size.a, input_.sideB = setting.size.b;
    input_.roughness = setting.roughness;
    input_.formula = setting.formula;

    const calc::DuctResult result = calc::computeDuct(input_, view_);
    const calc::CalcState& s = result.state;
    const calc::Outcome& o = result.outcome;
    unsigned defined = segment.defined;
    auto take = [&](Figure f, bool known, float& field, float value) {
        if (!known) return;
        field = value;
        defined |= figureBit(f);
    };
    take(Figure::flow, o.defined(Value::flowRate), segment.flow, s.flowRate);
    if (o.defined(Value::size)) {
        segment.shape = setting.size.shape;
        segment.diameter = s.diameter, segment.sideA = s.sideA, segment.sideB = s.sideB;
        defined |= figureBit(Figure::size);
    }
    take(Figure::eqDiameter, o.defined(Value::eqDiameter), segment.eqDiameter, s.eqDiameter);
    const bool hasVelocity = o.defined(Value::velocity) && !result.noSection;
    take(Figure::velocity, hasVelocity, segment.velocity, s.velocity);
    take(Figure::reynolds, o.defined(Value::reynolds), segment.reynolds, s.reynolds);
    // A formula with nothing to work on (no air) stores 0: no λ, as the
    // window shows none.
    take(Figure::lambda, o.defined(Value::lambda) && s.lambda != 0, segment.lambda, s.lambda);
    take(Figure::rm, o.defined(Value::specificLoss), segment.rm, s.specificLoss);
    defined &= ~setting.unusable;

    std::optional<float> friction, pressure, local, total;
    if ((defined & figureBits(Figure::rm, Figure::length)) ==
        figureBits(Figure::rm, Figure::length))
        friction = calc::frictionLoss(segment.rm, segment.length);
    if (defined & figureBit(Figure::velocity))
        pressure = calc::velocityPressure(segment.velocity, input_.air.density);
    if (pressure && (defined & figureBit(Figure::zeta)))
        local = calc::localLoss(segment.zeta, *pressure);
    // Formed as the table forms a segment's total, with the fixed loss added
    // in the same double sum.
    if (friction && local && (defined & figureBit(Figure::dp)))
        total = single(static_cast<double>(*friction) + *local + segment.dp);
    take(Figure::frictionLoss, friction.has_value(), segment.frictionLoss, friction.value_or(0));
    take(Figure::velocityPressure, pressure.has_value(), segment.velocityPressure,
         pressure.value_or(0));
    take(Figure::localLoss, local.has_value(), segment.localLoss, local.value_or(0));
    take(Figure::total, total.has_value(), segment.total, total.value_or(0));
    defined &= ~setting.unusable;
    segment.defined = defined;

    if (setting.unusable != 0) return;  // the reading already said why
    std::optional<msg::Message> reason = failureReason(result, input_);
    if (!reason && !total && !setting.zetaPending)
        reason = msg::Message{msg::Code::lossesBeyondRange, {}};
    if (reason) addReason(segment, std::move(*reason));
}

}  // namespace ductsys
