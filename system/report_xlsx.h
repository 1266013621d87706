// SPDX-License-Identifier: GPL-3.0-or-later
// The 计算书 of a computed system as a workbook (xlsx), for the command line
// and the table window alike. 水力计算表 opens with the title block, the
// 计算依据 and 计算方法, the air and the friction formula, then one row per
// segment (the index run highlighted) and the fan's selection; 环路 lists
// the paths and the junctions, those over the limit highlighted with what
// would balance them; 说明 the settings and formulas; 局部阻力明细 every
// fitting. Every cell holds the program's value, shown to its column's
// decimals; the sums are live formulas over the cells, so that a reviewer
// who changes a ζ or a length sees them follow. Printed on A4 landscape, one
// page wide, the header repeated on each page.
#pragma once

#include <optional>
#include <string>

#include "messages/message.h"
#include "system/model.h"
#include "system/report_book.h"

namespace ductsys {

// Writes the workbook of `result` to `path`. Returns none on success, or
// what went wrong; then nothing is left at `path` (the workbook is written
// beside it under another name and moved in place whole).
std::optional<msg::Message> writeXlsxReport(const SystemResult& result, const ReportInfo& info,
                                            const std::string& path);

}  // namespace ductsys
