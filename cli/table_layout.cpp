// SPDX-License-Identifier: GPL-3.0-or-later
#include "table_layout.h"

namespace cli {

void readHeader(const ductsys::TableHeader& header, Layout& layout) {
    using ductsys::Column;
    static constexpr std::pair<cli::Column, Column> kColumnsRead[] = {
        {segment, Column::segment},   {flow, Column::flow},     {unit, Column::unit},
        {size, Column::size},         {length, Column::length}, {zeta, Column::zeta},
        {material, Column::material}, {k, Column::k},           {formula, Column::formula},
        {from, Column::from},         {to, Column::to},         {dp, Column::dp},
        {role, Column::role}};
    layout.columns.fill(-1);
    for (const auto& [mine, theirs] : kColumnsRead) layout.columns[mine] = header.column(theirs);
    layout.fieldCount = header.fieldCount;
    layout.units = header.units;
}

}  // namespace cli
