// SPDX-License-Identifier: GPL-3.0-or-later
// A duct system read from CSV into the system layer, and its calculation
// written out as text, CSV, JSON or a 计算书 workbook.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "cli/commands.h"
#include "cli/duct_options.h"
#include "cli/report_options.h"
#include "system/report_xlsx.h"
#include "system/sizing.h"
#include "system/system.h"

namespace cli {

// What reading the file leaves beside the system: what the system layer
// does not see.
struct SystemInput {
    SystemInput(const std::string& fileName, std::ostream& errors) : name(fileName), err(errors) {}
    const std::string& name;  // names the file in messages
    std::ostream& err;
    // Problems of a segment's row beyond its texts (a row with more or
    // fewer fields than the header).
    std::vector<std::pair<std::uint32_t, std::string>> problems;
    int defaultFormula = 1;    // the formula of rows that name none
    char delimiter = ',';      // the header row's, for CSV output
    bool remarks = false;      // the file has a remarks column (备注), carried to the output
    bool fanFromFile = false;  // the fan's node is the file's 风机 setting
    long fanLine = 0;          // the line of that setting's row
    std::optional<double> maxVelocity;  // m/s: the file's 最大风速, segments above it warned of
    FileReportRows reportRows;          // the title block and leakage rows above the header
    // Each segment's material, roughness and formula as typed, kept for a
    // workbook that shows them.
    bool keepInputs = false;
    RowInputs inputs;
};

// Reads the rows of `in`, CSV or a workbook's sheet, into `builder`. False after a message on
// input.err when the file is unusable (no header, not CSV). With `sizer`,
// the rows go through it (their role cells kept, the rows to be sized
// handed a stand-in size).
// `settle`, when given, is called with the header before the first row
// (the file's settings then at hand); returning false stops the reading, and
// readSystem returns false, the message said by `settle`.
bool readSystem(std::FILE* in, char delimiter, SystemInput& input, ductsys::SystemBuilder& builder,
                ductsys::SystemSizer* sizer = nullptr,
                ductsys::Encoding encoding = ductsys::Encoding::automatic,
                const std::string& sheet = {},
                const std::function<bool(const ductsys::TableHeader&)>& settle = {});

// Takes the computation's settings of the rows above `header` (风机, 温度,
// 海拔, 不平衡率限值, 风机压力余量, 最大风速, 空白公式) into `options`,
// where no option was given for them, with a note of each on input.err.
// False after a message naming its line when a setting cannot be read.
bool takeFileSettings(const ductsys::TableHeader& header, SystemInput& input,
                      SystemOptions& options);

// The reader's encoding for --encoding's choice.
ductsys::Encoding encodingOf(InputEncoding e);

// Whether -o names the input file itself (the same device and inode), which
// writing would destroy before it is read: says so on `err`.
bool outputIsInput(const std::string& input, const std::string& output, std::ostream& err);

// "1", "2" or "1, 2": the formulas of the bits seen (2: formula 1, 4: formula 2).
std::string formulaText(unsigned seen);

// What a workbook says of how it was made: the air, the formulas the
// segments are computed with ("1, 2"), the input's name.
ductsys::ReportInfo reportInfo(const AirInUse& air, const std::string& formulas,
                               const std::string& name);
// "ductcalc-cli: FILE:LINE: ", where a segment's row starts, for its messages.
std::string segmentPlace(const SystemInput& input, const ductsys::SystemResult& result,
                         std::uint32_t segment);

// Says on input.err what keeps the system from being whole: kUsage for
// topology errors (nothing beyond single segments computed), kRowsFailed
// when a row, a segment or the fan misses a figure, kSuccess otherwise.
int reportSystemProblems(const ductsys::SystemResult& result, const SystemInput& input);

// Says what went wrong on input.err and writes the system in the format of
// `options`; returns the exit status.
// `sizing`: what sizing and balancing did and would do, shown beside the
// figures when given.
// `info`: what the workbook and the text's title block and fan say besides
// the figures.
int writeSystem(const ductsys::SystemResult& result, const SystemInput& input, const AirInUse& air,
                const SystemOptions& options, std::ostream& out,
                const ductsys::SizingReport* sizing, const ductsys::ReportInfo& info);

}  // namespace cli
