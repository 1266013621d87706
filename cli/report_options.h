// SPDX-License-Identifier: GPL-3.0-or-later
// What a 计算书 says of its project: the title block and the leakage
// allowance, from the command line or from the name,value rows above a
// file's header (an option wins over the row).
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

#include "cli/commands.h"
#include "system/names.h"
#include "system/report_book.h"
#include "system/table_file.h"

namespace CLI {
class App;
}

namespace cli {

// Each segment's material, roughness and formula as typed, in segment
// order, kept for a workbook that shows them.
struct RowInputs {
    ductsys::TextList materials, roughness, formulas;
    void add(std::string_view material, std::string_view k, std::string_view formula);
    ductsys::SegmentInputs of(std::uint32_t segment) const;
};

// Adds --project, --system-name, --designer, --checker, --reviewer, --date
// and --leakage to `command`.
void addReportOptions(CLI::App& command, ReportOptions& options);

// The title block and the leakage of a file's rows above its header, kept
// as typed with the line of the leakage row.
struct FileReportRows {
    ductsys::DocumentSettings document;
    long leakageLine = 0;
};
void keepReportRows(const ductsys::TableHeader& header, FileReportRows& rows);

// The title block and leakage a report shows: each option given, else the
// file's row; the date, when neither gives one, today's. False after a
// message on `err` naming the file's line when its leakage row does not
// read as a percentage from 0 to 100.
bool reportSettings(const ReportOptions& options, const FileReportRows& rows,
                    const std::string& fileName, ductsys::ReportInfo& info, std::ostream& err);

}  // namespace cli
