// SPDX-License-Identifier: GPL-3.0-or-later
// The batch pipeline of a duct-run table: records gathered in batches,
// computed on two threads where the machine has them, written in file order
// with the running total.
#pragma once

#include <cstddef>
#include <deque>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "segment_calc.h"
#include "table_layout.h"
#include "table_writers.h"

namespace cli {

class Helper;  // the second thread

// One table run: the header's columns, the running total, the messages.
// Records are computed in batches, on two threads where the machine has them,
// and written in file order.
class Table {
public:
    // `name` names the table in messages.
    Table(const std::string& name, TableWriter& writer, std::ostream& err);
    ~Table();
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    // The columns of the header row the file reader found.
    void header(const ductsys::TableHeader& header);

    // One data record; its fields change hands. Computed and written once
    // its batch is full.
    void record(std::vector<std::string>& fields, std::size_t count, long line);

    // Computes and writes every record read so far.
    void flush();

    bool failed() const { return failed_; }
    long rows() const { return rows_; }

private:
    static constexpr std::size_t kBatch = 4096;

    void finishComputing();
    void emitAll(std::vector<Job>& jobs, std::size_t count);
    void emit(Job& job);

    const std::string& name_;
    TableWriter& writer_;
    std::ostream& err_;
    Layout layout_;
    std::deque<SegmentCalc> calcs_;
    std::vector<Job> reading_, computing_;
    std::size_t readSize_ = 0, computeSize_ = 0;
    std::unique_ptr<Helper> helper_;  // last: its thread stops first
    double running_ = 0;              // Pa, summed in file order
    bool pathKnown_ = true;
    bool failed_ = false;
    long rows_ = 0;
};

}  // namespace cli
