// SPDX-License-Identifier: GPL-3.0-or-later
// The hydraulic calculation table written row by row, as text, CSV or JSON.
#pragma once

#include <memory>
#include <ostream>

#include "cli/commands.h"
#include "cli/table_layout.h"

namespace cli {

class TableWriter {
public:
    virtual ~TableWriter() = default;
    virtual void begin() {}
    virtual void row(const OutRow& r) = 0;
    // Whether the rows' numbers are to be the shortest decimals that read
    // back (JSON) rather than the window's texts.
    virtual bool shortestNumbers() const { return false; }
    // Closes what begin() opened, so that what was written stays well-formed.
    virtual void end() {}
};

// `delimiter` separates the fields of CSV output; `chinese` heads its
// columns with their Chinese headings.
std::unique_ptr<TableWriter> makeTableWriter(Format format, char delimiter, std::ostream& out,
                                             bool chinese = false);

}  // namespace cli
