// SPDX-License-Identifier: GPL-3.0-or-later
// The batch pipeline of a duct-run table: records gathered in batches,
// computed on the pool's lanes, written in file order with the running
// total.
#pragma once

#include <cstddef>
#include <deque>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "cli/number_texts.h"
#include "cli/report_options.h"
#include "cli/table_layout.h"
#include "cli/table_writers.h"
#include "system/run_result.h"
#include "system/segment_figures.h"
#include "system/work_pool.h"

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
    int formula = 0;  // the formula the segment was computed with; 0: none
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

// One table run: the header's columns, the running total, the messages.
// Records are computed in batches on the pool's lanes, a batch while the
// next is read, and written in file order.
class Table {
public:
    // `name` names the table in messages.
    // `jobs`: the threads to compute with, this one included (0: the
    // machine's; 1: no other thread).
    Table(const std::string& name, TableWriter& writer, std::ostream& err,
          const calc::AirState& air = {}, unsigned jobs = 0);
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

    // Computes and writes every record read so far, and says every note.
    void flush();

    // A note of the file's reader, a whole line to say at `line`: said in
    // line order with the rows' own messages, which come once a row is
    // computed, after the reader has gone past it.
    void note(long line, std::string text);

    // Hands each segment written, in order, to `gatherer` too (for a
    // workbook of the run), and its row's inputs as typed to `inputs`.
    void gatherInto(ductsys::RunGatherer& gatherer, RowInputs* inputs = nullptr) {
        gatherer_ = &gatherer;
        inputs_ = inputs;
    }
    // The formulas the rows were computed with: bit 1 formula 1, bit 2
    // formula 2.
    unsigned formulasSeen() const { return formulasSeen_; }

    bool failed() const { return failed_; }
    long rows() const { return rows_; }

private:
    static constexpr std::size_t kBatch = 4096;

    // Starts the lanes on jobs[0, count), which the reading then leaves alone.
    void startComputing(std::vector<Job>& jobs, std::size_t count);
    void finishComputing();
    void emitAll(std::vector<Job>& jobs, std::size_t count);
    void emit(Job& job);

    const std::string& name_;
    TableWriter& writer_;
    std::ostream& err_;
    std::deque<std::pair<long, std::string>> notes_;  // said once the rows before them are
    Layout layout_;
    std::deque<SegmentCalc> calcs_;  // one for each lane
    std::vector<Job> reading_, computing_;
    std::size_t readSize_ = 0, computeSize_ = 0;
    double running_ = 0;  // Pa, summed in file order
    bool pathKnown_ = true;
    bool failed_ = false;
    long rows_ = 0;
    ductsys::RunGatherer* gatherer_ = nullptr;
    RowInputs* inputs_ = nullptr;
    unsigned formulasSeen_ = 0;
    ductsys::WorkPool pool_;  // last: its threads stop first
};

}  // namespace cli
