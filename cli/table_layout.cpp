// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/table_layout.h"

namespace cli {

void readHeader(const ductsys::TableHeader& header, Layout& layout) {
    layout.columns = header.columns;
    layout.fieldCount = header.fieldCount;
    layout.units = header.units;
}

}  // namespace cli
