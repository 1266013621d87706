// SPDX-License-Identifier: GPL-3.0-or-later
// A duct system read from CSV into the system layer, and its calculation
// written out as text, CSV, JSON or a 计算书 workbook. `system` reads and
// writes a tree; `table --format xlsx` hands its run in file order to the
// same writers.
#pragma once

#include <cstdint>
#include <cstdio>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "commands.h"
#include "duct_options.h"
#include "system.h"

namespace cli {

// How the rows' nodes are found: `system` from 起点/终点 or names "A-B";
// `table` as one run in file order, whatever the names.
enum class RowMode { system, table };

// What reading the file leaves beside the system: where each segment's row
// is, and what the system layer does not see.
struct SystemInput {
    SystemInput(const std::string& fileName, std::ostream& errors) : name(fileName), err(errors) {}
    const std::string& name;  // names the file in messages
    std::ostream& err;
    std::vector<long> lines;  // by segment: the line its row starts on
    // Problems of a segment's row beyond its texts (a row with more or
    // fewer fields than the header).
    std::vector<std::pair<std::uint32_t, std::string>> problems;
    // RowMode::table: the segments' names as given, and those whose flow
    // is empty (a run in file order sums no flows).
    std::vector<std::string> names;
    std::vector<std::uint32_t> emptyFlows;
    unsigned formulasSeen = 0;  // bit 1: formula 1, bit 2: formula 2
    int defaultFormula = 1;     // the formula of rows that name none
    char delimiter = ',';       // the header row's, for CSV output
};

// Reads the CSV rows of `in` into `builder`. False after a message on
// input.err when the file is unusable (no header, not CSV).
bool readSystem(std::FILE* in, char delimiter, SystemInput& input, ductsys::SystemBuilder& builder,
                RowMode mode, ductsys::Encoding encoding = ductsys::Encoding::automatic);

// The reader's encoding for --encoding's choice.
ductsys::Encoding encodingOf(InputEncoding e);

// Whether -o names the input file itself (the same device and inode), which
// writing would destroy before it is read: says so on `err`.
bool outputIsInput(const std::string& input, const std::string& output, std::ostream& err);

// A run in file order as `table` computes it: the names as given, and a
// segment without a flow failed, with every path total from it on.
void makeTableRun(ductsys::SystemResult& result, const SystemInput& input);

// "1", "2" or "1, 2": the formulas the rows use.
std::string formulaText(unsigned seen);

// Says what went wrong on input.err and writes the system in the format of
// `options`; returns the exit status.
int writeSystem(const ductsys::SystemResult& result, const SystemInput& input, const AirInUse& air,
                const SystemOptions& options, std::ostream& out);

}  // namespace cli
