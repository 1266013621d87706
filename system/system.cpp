// SPDX-License-Identifier: GPL-3.0-or-later
#include "system.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

#include "fan.h"
#include "flows.h"
#include "paths.h"
#include "segment_figures.h"
#include "topology.h"

namespace ductsys {

namespace {

// The texts of rows that say how a segment's duct is set, copied so that
// another thread can read and compute the segments while the rows' nodes
// are found: in a large system the two take about as long.
class RowBatch {
public:
    static constexpr std::uint32_t kRows = 2048;

    void append(const SegmentTexts& row) {
        for (std::string_view text : {row.flow, row.unit, row.size, row.length, row.zeta, row.dp,
                                      row.material, row.k, row.formula}) {
            chars_ += text;
            ends_.push_back(chars_.size());
        }
        ++count_;
    }
    SegmentTexts row(std::uint32_t i) const {
        auto text = [&](std::size_t field) {
            const std::size_t at = i * kFields + field;
            const std::size_t begin = at == 0 ? 0 : ends_[at - 1];
            return std::string_view(chars_).substr(begin, ends_[at] - begin);
        };
        return {.flow = text(0),
                .unit = text(1),
                .size = text(2),
                .length = text(3),
                .zeta = text(4),
                .dp = text(5),
                .material = text(6),
                .k = text(7),
                .formula = text(8)};
    }
    std::uint32_t size() const { return count_; }
    bool full() const { return count_ == kRows; }
    void clear() {
        chars_.clear();
        ends_.clear();
        count_ = 0;
    }

private:
    static constexpr std::size_t kFields = 9;
    std::string chars_;
    std::vector<std::size_t> ends_;  // kFields a row: where each text ends in chars_
    std::uint32_t count_ = 0;
};

}  // namespace

struct SystemBuilder::State {
    explicit State(Options o)
        : options(std::move(o)), topology(result, options.fanNode), calculator(options.air) {}
    ~State() { stopWorker(); }

    // Reads and computes the segments of a batch, in order: the segments'
    // figures, warnings and pending sums are this side's alone.
    void computeBatch(const RowBatch& batch);
    // Hands a full batch to the worker, starting it the first time.
    void submit();
    void workerLoop();
    // Lets the worker finish what it was given, and waits for it.
    void stopWorker();

    Options options;
    SystemResult result;
    TopologyReader topology;
    std::uint32_t count = 0;  // segments added
    RowBatch current;         // rows not yet handed over

    // The computing side: result.segments, result.warnings and these.
    SegmentCalculator calculator;
    LargeArray<PendingSegment> pending;
    LargeArray<std::uint32_t> pendingOf;  // by segment: into `pending`, or kNone

    // The worker and the batches between the two sides.
    std::thread worker;
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<RowBatch> waiting;  // full batches, oldest first
    std::vector<RowBatch> spare;   // emptied batches, to be filled again
    bool closing = false;
    std::exception_ptr failure;  // what stopped the worker (out of memory)
};

void SystemBuilder::State::computeBatch(const RowBatch& batch) {
    for (std::uint32_t i = 0; i < batch.size(); ++i) {
        SegmentTexts row = batch.row(i);
        row.columnUnit = options.units.flow;
        row.lengthFactor = options.units.length;
        row.dpFactor = options.units.dp;
        row.defaultFormula = options.formula;
        const auto index = static_cast<std::uint32_t>(result.segments.size());
        Segment& segment = result.segments.emplace_back();
        DuctSetting setting;
        std::string warning;
        readSegment(row, segment, setting, warning);
        if (!warning.empty()) result.warnings.push_back({index, std::move(warning)});
        if (segment.flowGiven) {
            calculator.compute(segment, setting, setting.flow);
            pendingOf.push_back(kNone);
        } else {
            pendingOf.push_back(static_cast<std::uint32_t>(pending.size()));
            pending.push_back({index, std::move(setting)});
        }
    }
}

void SystemBuilder::State::submit() {
    if (!worker.joinable()) worker = std::thread([this] { workerLoop(); });
    std::unique_lock lock(mutex);
    // A few batches in hand at most: the texts are not kept.
    changed.wait(lock, [&] { return waiting.size() < 4; });
    waiting.push_back(std::move(current));
    current.clear();
    if (!spare.empty()) {
        current = std::move(spare.back());
        spare.pop_back();
    }
    changed.notify_all();
}

void SystemBuilder::State::workerLoop() {
    bool failed = false;
    std::unique_lock lock(mutex);
    for (;;) {
        changed.wait(lock, [&] { return !waiting.empty() || closing; });
        if (waiting.empty()) return;
        RowBatch batch = std::move(waiting.front());
        waiting.pop_front();
        lock.unlock();
        std::exception_ptr stopped;
        if (!failed) {
            try {
                computeBatch(batch);
            } catch (...) {
                // The rows after it are still taken, unread; finish() says why.
                stopped = std::current_exception();
                failed = true;
            }
        }
        batch.clear();
        lock.lock();
        if (stopped) failure = stopped;
        spare.push_back(std::move(batch));
        changed.notify_all();
    }
}

void SystemBuilder::State::stopWorker() {
    if (!worker.joinable()) return;
    {
        std::lock_guard lock(mutex);
        closing = true;
    }
    changed.notify_all();
    worker.join();
}

SystemBuilder::SystemBuilder(Options options)
    : state_(std::make_unique<State>(std::move(options))) {}
SystemBuilder::~SystemBuilder() = default;

void SystemBuilder::reserve(std::size_t rows) {
    State& st = *state_;
    if (st.count > 0) return;
    st.result.segments.reserve(rows);
    st.pendingOf.reserve(rows);
    // Names such as "1024-1025": a few characters each.
    st.result.segmentNames.reserve(rows, 8 * rows);
    st.result.nodeNames.reserve(rows + 1, 4 * rows);
    st.topology.reserve(rows);
}

void SystemBuilder::setUnits(const ColumnUnits& units) {
    if (state_->count == 0) state_->options.units = units;
}

std::uint32_t SystemBuilder::add(const SegmentTexts& row) {
    bool blank = true;
    for (std::string_view text : {row.segment, row.from, row.to, row.flow, row.unit, row.size,
                                  row.length, row.zeta, row.dp, row.material, row.k, row.formula})
        blank = blank && trimmed(text).empty();
    if (blank) return kNone;

    State& st = *state_;
    const std::uint32_t index = st.count++;
    st.result.segmentNames.append(trimmed(row.segment));
    st.topology.add(index, row.from, row.to);
    st.current.append(row);
    if (st.current.full()) st.submit();
    return index;
}

SystemResult SystemBuilder::finish() {
    State& st = *state_;
    SystemResult& result = st.result;
    if (st.worker.joinable()) {
        if (st.current.size() > 0) st.submit();
        st.stopWorker();
        if (st.failure) std::rethrow_exception(st.failure);
    } else {
        // A system of a few batches at most: not worth a thread.
        st.computeBatch(st.current);
    }
    st.current.clear();
    st.topology.placeNodes();
    st.topology.checkNames();
    const Tree tree = buildTree(result, st.topology);
    if (!result.errors.empty()) {
        leaveFlowsUnknown(result, st.pending, st.calculator,
                          "the flow is the sum beyond, and the segments do not form a tree");
    } else {
        sumFlows(result, tree, st.pending, st.pendingOf, st.calculator);
        if (st.options.compareFlows) checkGivenFlows(result, tree);
        computePaths(result, tree);
        computeBalance(result, tree, st.options.maxImbalance);
        computeFan(result, tree, st.options.fanMargin);
    }
    result.maxImbalance = st.options.maxImbalance;
    result.fan.margin = st.options.fanMargin;
    SystemResult out = std::move(result);
    st.pending.clear();
    return out;
}

SystemResult computeSystem(std::span<const SegmentTexts> rows, const Options& options) {
    SystemBuilder builder(options);
    builder.reserve(rows.size());
    for (const SegmentTexts& row : rows) builder.add(row);
    return builder.finish();
}

bool SystemResult::complete() const {
    if (!errors.empty()) return false;
    for (const Segment& s : segments)
        if (!s.ok()) return false;
    for (const Junction& j : junctions)
        if (!j.imbalance) return false;
    return segments.empty() || (fan.airVolume && fan.pressure);
}

std::vector<std::uint32_t> SystemResult::pathTo(std::uint32_t segment) const {
    std::vector<std::uint32_t> path;
    for (std::uint32_t s = segment; s != kNone; s = segments[s].parent) path.push_back(s);
    return {path.rbegin(), path.rend()};
}

}  // namespace ductsys
