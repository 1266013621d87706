// SPDX-License-Identifier: GPL-3.0-or-later
#include "table_pipeline.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "messages.h"
#include "number_texts.h"

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

Table::Table(const std::string& name, TableWriter& writer, std::ostream& err)
    : name_(name), writer_(writer), err_(err) {
    const unsigned threads = std::thread::hardware_concurrency();
    calcs_.emplace_back(layout_, name_);
    if (threads > 1) {
        calcs_.emplace_back(layout_, name_);
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
