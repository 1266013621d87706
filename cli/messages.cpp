// SPDX-License-Identifier: GPL-3.0-or-later
#include "messages.h"

#include "number_texts.h"
#include "tables.h"

namespace cli {

std::string quoted(std::string_view text) {
    std::string q;
    q.reserve(text.size() + 2);
    q += '"';
    q += text;
    q += '"';
    return q;
}

std::string unitList() {
    std::string list;
    for (const calc::FlowUnit& unit : calc::flowUnits) {
        if (!list.empty()) list += ", ";
        list += unit.text;
    }
    return list;
}

std::string laminarWarning(float reynolds) {
    return "Reynolds number " + shownNumber(reynolds) +
           " is below 2300: the flow is laminar, and neither friction formula is meant for it";
}

std::string failureReason(const calc::DuctResult& result, const calc::DuctInput& input) {
    using calc::Value;
    if (result.outcome.complete() && !result.noSection) return {};
    const std::string size =
        input.shape == calc::Shape::circular ? input.diameter : input.sideA + "x" + input.sideB;
    const calc::Outcome& o = result.outcome;
    if (!o.defined(Value::flowRate))
        return "flow " + quoted(input.flow) + " is beyond the range of the calculation";
    if (!o.defined(Value::size) || !o.defined(Value::area))
        return "size " + quoted(size) + " is beyond the range of the calculation";
    if (!o.defined(Value::eqDiameter))
        return "size " + quoted(size) +
               ": the equivalent diameter is beyond the range of the calculation";
    if (!o.defined(Value::velocity)) return "the velocity is beyond the range of the calculation";
    if (!o.defined(Value::reynolds))
        return "the Reynolds number is beyond the range of the calculation";
    if (!o.defined(Value::lambda))
        return "the friction formula has no value here (a negative size or Reynolds number)";
    if (!o.defined(Value::specificLoss))
        return "the friction loss is beyond the range of the calculation";
    if (result.noSection) return "size " + quoted(size) + " gives no section to carry the air";
    return {};
}

}  // namespace cli
