// SPDX-License-Identifier: GPL-3.0-or-later
#include "table_pipeline.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "messages.h"
#include "number_texts.h"
#include "report.h"
#include "text_fields.h"

namespace cli {

// A second thread that computes the jobs of a batch alongside the thread
// that reads: it starts on a batch as soon as the batch is full, and the
// reading thread joins in once it has filled the next one. Rows are taken a
// run at a time from a shared counter, so the two share the work whatever else
// each has to do.
class Helper {
public:
    explicit Helper(SegmentCalc& calc) : calc_(calc), thread_([this] { loop(); }) {}
    ~Helper() {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }
    Helper(const Helper&) = delete;
    Helper& operator=(const Helper&) = delete;

    // Starts on jobs[0, count) and returns at once.
    void start(std::vector<Job>& jobs, std::size_t count) {
        {
            std::lock_guard lock(mutex_);
            jobs_ = &jobs;
            count_ = count;
            next_.store(0);
            busy_ = true;
            ++generation_;
        }
        wake_.notify_all();
    }

    // Computes the rest with `calc` and returns when every job is done.
    void finish(SegmentCalc& calc) {
        work(calc);
        std::unique_lock lock(mutex_);
        done_.wait(lock, [this] { return !busy_; });
    }

private:
    // Rows are taken a run at a time: taking them one by one had the two
    // threads trade the counter's cache line, and write neighbouring jobs,
    // on every row.
    static constexpr std::size_t kRun = 64;

    void work(SegmentCalc& calc) {
        for (std::size_t first = next_.fetch_add(kRun); first < count_;
             first = next_.fetch_add(kRun)) {
            const std::size_t last = std::min(first + kRun, count_);
            for (std::size_t i = first; i < last; ++i) calc.run((*jobs_)[i]);
        }
    }

    void loop() {
        unsigned long seen = 0;
        for (;;) {
            {
                std::unique_lock lock(mutex_);
                wake_.wait(lock, [&] { return stop_ || generation_ != seen; });
                if (stop_) return;
                seen = generation_;
            }
            work(calc_);
            {
                std::lock_guard lock(mutex_);
                busy_ = false;
            }
            done_.notify_all();
        }
    }

    SegmentCalc& calc_;
    std::mutex mutex_;
    std::condition_variable wake_, done_;
    std::vector<Job>* jobs_ = nullptr;
    std::size_t count_ = 0;
    std::atomic<std::size_t> next_{0};
    unsigned long generation_ = 0;
    bool busy_ = false;
    bool stop_ = false;
    std::thread thread_;  // last: starts once everything above is set
};

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

    auto field = [&](Column c) -> std::string_view {
        const int at = layout_.columns[c];
        if (at < 0 || static_cast<std::size_t>(at) >= count) return {};
        return fields[static_cast<std::size_t>(at)];
    };
    OutRow& out = job.out;
    out.segment = trimmed(field(segment));
    if (layout_.columns[segment] < 0) out.segment = std::to_string(job.row);
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
    if (count != layout_.fieldCount) {
        // The fields stand in other columns than the header says: nothing
        // in the row can be taken for what it seems.
        fail("the row has " + std::to_string(count) + " fields, the header " +
             std::to_string(layout_.fieldCount));
        return;
    }

    // One run in file order: the segment's name gives no nodes here.
    const ductsys::SegmentTexts row{.flow = field(flow),
                                    .unit = field(unit),
                                    .size = field(size),
                                    .length = field(length),
                                    .zeta = field(zeta),
                                    .dp = field(dp),
                                    .material = field(material),
                                    .k = field(k),
                                    .formula = field(formula),
                                    .columnUnit = layout_.units.flow,
                                    .lengthFactor = layout_.units.length,
                                    .dpFactor = layout_.units.dp,
                                    .defaultFormula = layout_.formula};
    ductsys::Segment& seg = job.segment;
    seg.defined = 0;
    seg.reason.clear();
    ductsys::DuctSetting setting;
    std::string warning;
    ductsys::readSegment(row, seg, setting, warning);
    if (!warning.empty()) say("warning: ", warning);
    if (!seg.flowGiven) {
        // A run sums no flows.
        ductsys::addReason(seg, "flow is empty");
        setting.unusable |= ductsys::kFromFlow;
    }
    // What could be read is still computed and written: a failed row keeps
    // its values, and only what could not be computed stays empty.
    if (!seg.ok()) fail(seg.reason);
    calculator_.compute(seg, setting, setting.flow);
    if (job.ok && !seg.ok()) fail(seg.reason);

    using ductsys::Figure;
    const bool shortest = layout_.shortest;
    auto put = [&](Out column, Figure figure, float x) {
        if (seg.has(figure)) out.numbers[column] = shortest ? roundTripNumber(x) : shownNumber(x);
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
    if (seg.has(Figure::reynolds) && seg.reynolds > 0 && seg.reynolds < kLaminarReynolds)
        say("warning: ", laminarWarning(seg.reynolds));
    if (job.ok) job.total = seg.total;
}

Table::Table(const std::string& name, TableWriter& writer, std::ostream& err,
             const calc::AirState& air)
    : name_(name), writer_(writer), err_(err) {
    const unsigned threads = std::thread::hardware_concurrency();
    calcs_.emplace_back(layout_, name_, air);
    if (threads > 1) {
        calcs_.emplace_back(layout_, name_, air);
        helper_ = std::make_unique<Helper>(calcs_[1]);
    }
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
    if (!helper_) {
        for (std::size_t i = 0; i < readSize_; ++i) calcs_[0].run(reading_[i]);
        emitAll(reading_, readSize_);
        readSize_ = 0;
        return;
    }
    // The batch before this one has been computing while this one was
    // read: finish and write it, then start on this one.
    finishComputing();
    std::swap(reading_, computing_);
    computeSize_ = readSize_;
    readSize_ = 0;
    helper_->start(computing_, computeSize_);
}

void Table::flush() {
    finishComputing();
    if (helper_ && readSize_ > 0) {
        helper_->start(reading_, readSize_);
        helper_->finish(calcs_[0]);
    } else {
        for (std::size_t i = 0; i < readSize_; ++i) calcs_[0].run(reading_[i]);
    }
    emitAll(reading_, readSize_);
    readSize_ = 0;
}

void Table::finishComputing() {
    if (computeSize_ == 0) return;
    helper_->finish(calcs_[0]);
    emitAll(computing_, computeSize_);
    computeSize_ = 0;
}

void Table::emitAll(std::vector<Job>& jobs, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) emit(jobs[i]);
}

void Table::emit(Job& job) {
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
                layout_.shortest ? roundTripNumber(running) : shownNumber(running);
        }
    }
    writer_.row(job.out);
}

Table::~Table() = default;

}  // namespace cli
