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

#include "number_texts.h"
#include "segment_figures.h"
#include "table_layout.h"
#include "table_writers.h"

namespace cli {

// One data record as read, and what became of it.
struct Job {
    std::vector<std::string> fields;
    std::size_t count = 0;
    long line = 0;
    long row = 0;  // 1 for the first record after the header
    // Results
    OutRow out;
    std::string messages;  // diagnostics, each a whole line
    bool blank = false;
    bool ok = true;
    float total = 0;  // Pa, when ok
    ductsys::Segment segment;
};

// Computes the segments of a run by the system layer's segment code, the
// one computation `table` and `system` share. Each thread has its own, as
// each keeps the inputs and the label texts of the duct in hand.
class SegmentCalc {
public:
    // `name` names the table in messages.
    SegmentCalc(const Layout& layout, const std::string& name, const calc::AirState& air)
        : layout_(layout), name_(name), calculator_(air) {}

    // Fills the results of `job` from its fields; the running total is left
    // to whoever writes the rows in order.
    void run(Job& job);

private:
    const Layout& layout_;
    const std::string& name_;
    NumberMemo lengthTexts_, zetaTexts_, dpTexts_, kTexts_;
    ductsys::SegmentCalculator calculator_;
};

class Helper;  // the second thread

// One table run: the header's columns, the running total, the messages.
// Records are computed in batches, on two threads where the machine has them,
// and written in file order.
class Table {
public:
    // `name` names the table in messages.
    Table(const std::string& name, TableWriter& writer, std::ostream& err,
          const calc::AirState& air = {});
    ~Table();
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    // The columns of the header row the file reader found.
    void header(const ductsys::TableHeader& header);
    // The formula of rows that name none (1 unless set), before the rows.
    void setFormula(int formula) { layout_.formula = formula; }

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
