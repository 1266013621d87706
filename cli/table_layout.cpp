// SPDX-License-Identifier: GPL-3.0-or-later
#include "table_layout.h"
#include "ascii.h"

#include <map>
#include <tuple>

#include "messages.h"
#include "text_fields.h"

namespace cli {

namespace {

const std::map<std::string, Column, std::less<>> kHeaderNames{
    {"segment", segment}, {"段号", segment}, {"flow", flow},   {"风量", flow},
    {"unit", unit},       {"单位", unit},    {"size", size},   {"尺寸", size},
    {"length", length},   {"长度", length},  {"zeta", zeta},   {"局部阻力系数", zeta},
    {"σζ", zeta},         {"Σζ", zeta},      {"ζ", zeta},      {"material", material},
    {"材料", material},   {"k", k},          {"粗糙度", k},    {"formula", formula},
    {"公式", formula},    {"from", from},    {"起点", from},   {"to", to},
    {"终点", to},         {"dp", dp},        {"固定阻力", dp},
};

}  // namespace

std::string readHeader(const std::vector<std::string>& fields, std::size_t count, Layout& layout) {
    layout.columns.fill(-1);
    for (std::size_t i = 0; i < count; ++i) {
        const auto it = kHeaderNames.find(calc::asciiLower(trimmed(fields[i])));
        if (it == kHeaderNames.end()) continue;  // other columns are carried by nobody
        if (layout.columns[it->second] >= 0)
            return "column " + quoted(trimmed(fields[i])) + " appears twice";
        layout.columns[it->second] = static_cast<int>(i);
    }
    layout.fieldCount = count;
    for (auto [column, english, chinese] :
         {std::tuple{flow, "flow", "风量"}, std::tuple{size, "size", "尺寸"}}) {
        if (layout.columns[column] < 0)
            return std::string("no \"") + english + "\" (" + chinese + ") column in the header row";
    }
    return {};
}

}  // namespace cli
