// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/table_pipeline.h"
#include "calc/number_text.h"

#include <algorithm>
#include <span>

#include "cli/messages.h"
#include "cli/number_texts.h"
#include "cli/text_fields.h"
#include "system/report.h"

namespace cli {

void SegmentCalc::run(Job& job) {
    job.out.segment.clear();
    job.out.size.clear();
    for (std::string& n : job.out.numbers) n.clear();
    job.messages.clear();
    job.ok = true;
    for (NumberMemo* memo : {&lengthTexts_, &zetaTexts_, &dpTexts_, &kTexts_})
        memo->setShortest(layout_.shortest);
    const std::vector<std::string>& fields = job.fields;
    const std::size_t count = job.count;
    bool blank = true;
    for (std::size_t i = 0; i < count && blank; ++i) blank = trimmed(fields[i]).empty();
    job.blank = blank;
    if (blank) return;  // spreadsheets end their files with empty rows

    const auto field = [&](ductsys::Column c) { return layout_.cell(fields, count, c); };
    OutRow& out = job.out;
    out.segment = trimmed(field(ductsys::Column::segment));
    if (!layout_.has(ductsys::Column::segment)) out.segment = std::to_string(job.row);
    auto say = [&](std::string_view kind, std::string_view message) {
        std::string& m = job.messages;
        m += kProgram;
        m += ": ";
        m += name_;
        m += ':';
        m += std::to_string(job.line);
        m += ": ";
        m += kind;
        m += message;
        m += '\n';
    };
    auto fail = [&](std::string_view message) {
        job.ok = false;
        say("", message);
    };
    ductsys::Segment& seg = job.segment;
    seg = {};
    job.formula = 0;
    if (count != layout_.fieldCount) {
        // The fields stand in other columns than the header says: nothing
        // in the row can be taken for what it seems.
        seg.reason = {{msg::Code::rowFieldCount, {count, layout_.fieldCount}}};
        fail(saidList(seg.reason));
        return;
    }

    // One run in file order: the segment's name gives no nodes here.
    ductsys::SegmentTexts row = ductsys::segmentTextsOf(field);
    row.segment = row.from = row.to = row.role = {};
    row.columnUnit = layout_.units.flow;
    row.lengthFactor = layout_.units.length;
    row.dpFactor = layout_.units.dp;
    row.defaultFormula = layout_.formula;
    ductsys::DuctSetting setting;
    msg::Messages warnings;
    ductsys::ZetaCell fittingTerms;  // a row alone: its fittings take no neighbours
    ductsys::readSegment(row, seg, setting, warnings, &fittingTerms);
    if (!warnings.empty()) say("warning: ", saidList(warnings));
    if (!seg.flowGiven) {
        // A run sums no flows.
        ductsys::addReason(seg, {msg::Code::flowIsEmpty, {}});
        setting.unusable |= ductsys::kFromFlow;
    }
    // What could be read is still computed and written: a failed row keeps
    // its values, and only what could not be computed stays empty.
    if (!seg.ok()) fail(saidList(seg.reason));
    calculator_.compute(seg, setting, setting.flow);
    if (setting.zetaPending) {
        std::vector<ductsys::TermResult> terms;
        ductsys::applyZetaTerms(seg, fittingTerms, nullptr, terms);
    }
    if (job.ok && !seg.ok()) fail(saidList(seg.reason));

    using ductsys::Figure;
    const bool shortest = layout_.shortest;
    auto put = [&](Out column, Figure figure, float x) {
        if (seg.has(figure))
            out.numbers[column] = shortest ? calc::shortestText(x) : calc::bareNumberText(x);
    };
    if (seg.has(Figure::size)) out.size = ductsys::sizeLabel(seg);
    put(oFlow, Figure::flow, seg.flow);
    put(oEqDiameter, Figure::eqDiameter, seg.eqDiameter);
    put(oVelocity, Figure::velocity, seg.velocity);
    put(oReynolds, Figure::reynolds, seg.reynolds);
    // A formula with nothing to work on (no air) stores 0: no λ, as the
    // window shows none.
    if (seg.lambda != 0) put(oLambda, Figure::lambda, seg.lambda);
    put(oRm, Figure::rm, seg.rm);
    if (seg.has(Figure::length))
        out.numbers[oLength] = lengthTexts_.text(static_cast<float>(seg.length));
    put(oFriction, Figure::frictionLoss, seg.frictionLoss);
    put(oPressure, Figure::velocityPressure, seg.velocityPressure);
    if (seg.has(Figure::zeta)) out.numbers[oZeta] = zetaTexts_.text(static_cast<float>(seg.zeta));
    put(oLocal, Figure::localLoss, seg.localLoss);
    put(oTotal, Figure::total, seg.total);
    if (seg.has(Figure::dp)) out.numbers[oDp] = dpTexts_.text(static_cast<float>(seg.dp));
    if (setting.roughnessRead) out.numbers[oK] = kTexts_.text(setting.roughness);
    if (setting.formulaRead) out.numbers[oFormula].assign(1, setting.formula == 2 ? '2' : '1');
    job.formula = setting.formula;
    if (seg.laminar()) say("warning: ", laminarWarning(seg.reynolds));
    if (job.ok) job.total = seg.total;
}

Table::Table(const std::string& name, TableWriter& writer, std::ostream& err,
             const calc::AirState& air, unsigned jobs)
    : name_(name), writer_(writer), err_(err), pool_(jobs) {
    for (unsigned lane = 0; lane < pool_.lanes(); ++lane) calcs_.emplace_back(layout_, name_, air);
}

void Table::header(const ductsys::TableHeader& header) {
    readHeader(header, layout_);
    layout_.shortest = writer_.shortestNumbers();
}

void Table::record(std::vector<std::string>& fields, std::size_t count, long line) {
    if (readSize_ == reading_.size()) reading_.emplace_back();
    Job& job = reading_[readSize_++];
    // The whole list changes hands: the reader fills the job's old strings
    // next, whose room is already there.
    job.fields.swap(fields);
    job.count = count;
    job.line = line;
    job.row = ++rows_;
    if (readSize_ < kBatch) return;
    // The batch before this one has been computing while this one was
    // read: finish and write it, then start on this one.
    finishComputing();
    std::swap(reading_, computing_);
    computeSize_ = readSize_;
    readSize_ = 0;
    startComputing(computing_, computeSize_);
}

void Table::flush() {
    finishComputing();
    startComputing(reading_, readSize_);
    pool_.finish();
    emitAll(reading_, readSize_);
    readSize_ = 0;
    for (const auto& n : notes_) err_ << n.second;
    notes_.clear();
}

void Table::note(long line, std::string text) {
    // Nothing waits to be said: at once.
    if (readSize_ == 0 && computeSize_ == 0)
        err_ << text;
    else
        notes_.emplace_back(line, std::move(text));
}

void Table::startComputing(std::vector<Job>& jobs, std::size_t count) {
    // Rows are handed out a run at a time: one by one, the lanes traded the
    // pool's lock, and wrote neighbouring jobs, on every row.
    constexpr std::size_t kRun = 64;
    ductsys::startChunks(pool_, std::span(jobs).first(count), kRun, calcs_,
                         [](std::span<Job> mine, SegmentCalc& calc) {
                             for (Job& job : mine) calc.run(job);
                         });
}

void Table::finishComputing() {
    if (computeSize_ == 0) return;
    pool_.finish();
    emitAll(computing_, computeSize_);
    computeSize_ = 0;
}

void Table::emitAll(std::vector<Job>& jobs, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) emit(jobs[i]);
}

void Table::emit(Job& job) {
    while (!notes_.empty() && notes_.front().first < job.line) {
        err_ << notes_.front().second;
        notes_.pop_front();
    }
    if (job.blank) return;
    // Only when there is something to say: the error stream flushes the
    // output each time it is written to.
    if (!job.messages.empty()) err_ << job.messages;
    if (!job.ok) {
        failed_ = true;
        // The sum along the path is unknown from a failed segment on.
        pathKnown_ = false;
    } else {
        running_ += job.total;
        float running = 0;
        if (pathKnown_ && calc::storeSingle(running, running_)) {
            job.out.numbers[oRunning] =
                layout_.shortest ? calc::shortestText(running) : calc::bareNumberText(running);
        }
    }
    writer_.row(job.out);
    if (gatherer_) {
        gatherer_->add(job.segment, job.out.segment);
        formulasSeen_ |= job.formula == 2 ? 4u : job.formula == 1 ? 2u : 0u;
        if (inputs_) {
            using ductsys::Column;
            auto field = [&](Column c) { return layout_.cell(job.fields, job.count, c); };
            inputs_->add(field(Column::material), field(Column::k), field(Column::formula));
        }
    }
}

Table::~Table() = default;

}  // namespace cli
