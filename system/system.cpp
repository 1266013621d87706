// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/system.h"

#include <algorithm>
#include <deque>
#include <span>

#include "system/fan.h"
#include "system/fitting_terms.h"
#include "system/flows.h"
#include "system/paths.h"
#include "system/segment_figures.h"
#include "system/topology.h"
#include "system/work_pool.h"

namespace ductsys {

namespace {

// The texts of rows that say how a segment's duct is set and where it
// lies, copied so that another thread can read and compute the segments
// while this one finds the rows' nodes: in a large system the two take
// about as long.
class RowBatch {
public:
    static constexpr std::uint32_t kRows = 2048;

    void append(const SegmentTexts& row) {
        for (std::string_view text : {row.flow, row.unit, row.size, row.length, row.zeta, row.dp,
                                      row.material, row.k, row.formula, row.from, row.to}) {
            chars_ += text;
            ends_.push_back(chars_.size());
        }
        ++count_;
    }
    // The texts that set row i's duct.
    SegmentTexts row(std::uint32_t i) const {
        auto text = [&](std::size_t field) { return this->text(i, field); };
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
    // Row i's 起点 and 终点 texts.
    std::string_view from(std::uint32_t i) const { return text(i, 9); }
    std::string_view to(std::uint32_t i) const { return text(i, 10); }
    std::uint32_t size() const { return count_; }
    bool full() const { return count_ == kRows; }
    void clear() {
        chars_.clear();
        ends_.clear();
        count_ = 0;
    }

private:
    std::string_view text(std::uint32_t i, std::size_t field) const {
        const std::size_t at = i * kFields + field;
        const std::size_t begin = at == 0 ? 0 : ends_[at - 1];
        return std::string_view(chars_).substr(begin, ends_[at] - begin);
    }

    static constexpr std::size_t kFields = 11;
    std::string chars_;
    std::vector<std::size_t> ends_;  // kFields a row: where each text ends in chars_
    std::uint32_t count_ = 0;
};

// Finds the nodes of segments first … first + count - 1, whose 起点 and
// 终点 texts ends(i) gives for the i-th. A node's look-up misses the
// processor's caches in a large system: started a few rows ahead, it has
// arrived by the time it is needed.
template <typename Ends>
void addNodes(TopologyReader& topology, std::uint32_t first, std::uint32_t count, Ends ends) {
    constexpr std::uint32_t kAhead = 8;
    auto prefetch = [&](std::uint32_t i) {
        const auto [from, to] = ends(i);
        topology.prefetch(first + i, from, to);
    };
    for (std::uint32_t i = 0; i < std::min(kAhead, count); ++i) prefetch(i);
    for (std::uint32_t i = 0; i < count; ++i) {
        if (i + kAhead < count) prefetch(i + kAhead);
        const auto [from, to] = ends(i);
        topology.add(first + i, from, to);
    }
}

}  // namespace

// The rows of a batch that one lane reads and computes, and what they give
// beside their segments: the segments waiting for a sum and the warnings,
// in the rows' order.
struct alignas(kCacheLine) RowChunk {
    std::uint32_t firstRow = 0;      // into the batch
    std::uint32_t firstSegment = 0;  // the segment of the chunk's first row
    std::span<Segment> segments;     // the chunk's own, in result.segments
    std::vector<PendingSegment> pending;
    std::vector<Warning> warnings;
    std::vector<std::pair<std::uint32_t, ZetaCell>> fittingCells;  // ζ cells with fittings
};

struct SystemBuilder::State {
    explicit State(Options o)
        : options(std::move(o)), topology(result, options.fanNode), pool(options.jobs) {
        for (unsigned lane = 0; lane < pool.lanes(); ++lane) calculators.emplace_back(options.air);
    }
    ~State() {
        // The lanes may still be computing a batch into the result.
        try {
            finishBatch();
        } catch (...) {
        }
    }

    // Reads and computes the rows of a chunk into its own segments.
    void computeChunk(RowChunk& chunk, SegmentCalculator& calculator) const;
    // Hands the rows not yet handed over to the pool, once the batch before
    // them is done, and finds their nodes meanwhile; `wait`: and waits for
    // them too.
    void submit(bool wait);
    // Waits for the batch being computed and takes what its chunks give
    // beside their segments, in order.
    void finishBatch();
    // Gives every segment its nodes and builds the tree, or takes both from
    // the topology memo when it holds these rows.
    Tree findTree();

    // What the lanes read while this thread reads the next rows.
    Options options;
    RowBatch computing;            // rows the lanes are reading and computing
    std::vector<RowChunk> chunks;  // of `computing`
    ComputeMemo* memo = nullptr;   // see setMemo()

    // What this thread writes meanwhile, on lines of their own.
    alignas(kCacheLine) SystemResult result;
    TopologyReader topology;
    std::uint32_t count = 0;               // segments added
    RowBatch current;                      // rows not yet handed over
    bool busy = false;                     // the lanes have `computing` in hand
    TopologyMemo* topologyMemo = nullptr;  // see setTopologyMemo()
    TextList froms, tos;  // with a topology memo: the rows' 起点 and 终点, until finish()

    // Segments waiting for the sums beyond them, in segment order.
    LargeArray<PendingSegment> pending;
    std::vector<std::pair<std::uint32_t, ZetaCell>> fittingCells;  // ζ cells with fittings

    std::deque<SegmentCalculator> calculators;  // one for each lane
    WorkPool pool;                              // last: its threads stop first
};

void SystemBuilder::State::computeChunk(RowChunk& chunk, SegmentCalculator& calculator) const {
    chunk.pending.clear();
    chunk.warnings.clear();
    chunk.fittingCells.clear();
    for (std::uint32_t i = 0; i < chunk.segments.size(); ++i) {
        SegmentTexts row = computing.row(chunk.firstRow + i);
        row.columnUnit = options.units.flow;
        row.lengthFactor = options.units.length;
        row.dpFactor = options.units.dp;
        row.defaultFormula = options.formula;
        const std::uint32_t index = chunk.firstSegment + i;
        Segment& segment = chunk.segments[i];
        DuctSetting setting;
        msg::Messages warnings;
        ZetaCell fittingTerms;
        readSegment(row, segment, setting, warnings, &fittingTerms);
        if (!warnings.empty()) chunk.warnings.push_back({index, msg::joined(std::move(warnings))});
        if (setting.zetaPending) chunk.fittingCells.emplace_back(index, std::move(fittingTerms));
        if (segment.flowGiven)
            calculator.compute(segment, setting, setting.flow,
                               memo ? &memo->entry(index) : nullptr);
        else
            chunk.pending.push_back({index, std::move(setting)});
    }
}

void SystemBuilder::State::submit(bool wait) {
    finishBatch();
    std::swap(current, computing);
    current.clear();
    const std::uint32_t rows = computing.size();
    if (rows == 0) return;
    const auto first = static_cast<std::uint32_t>(result.segments.size());
    result.segments.resize(first + rows);
    if (memo) memo->reserve(first + rows);
    // A batch cut in a few chunks, so that both lanes share the last one.
    // A batch smaller than a full one is not worth a thread.
    constexpr std::uint32_t kChunkRows = 256;
    const std::uint32_t chunkRows = computing.full() ? kChunkRows : rows;
    chunks.resize((rows + chunkRows - 1) / chunkRows);
    const std::span<Segment> segments(result.segments.data() + first, rows);
    for (std::uint32_t c = 0; c < chunks.size(); ++c) {
        RowChunk& chunk = chunks[c];
        chunk.firstRow = c * chunkRows;
        chunk.firstSegment = first + chunk.firstRow;
        chunk.segments =
            segments.subspan(chunk.firstRow, std::min(chunkRows, rows - chunk.firstRow));
    }
    busy = true;
    startChunks(pool, std::span(chunks), 1, calculators,
                [this](std::span<RowChunk> mine, SegmentCalculator& calculator) {
                    for (RowChunk& chunk : mine) computeChunk(chunk, calculator);
                });
    if (topologyMemo) {
        // Looked at once all rows are in: most often the memo holds them.
        for (std::uint32_t i = 0; i < rows; ++i) {
            froms.append(computing.from(i));
            tos.append(computing.to(i));
        }
    } else {
        addNodes(topology, first, rows,
                 [this](std::uint32_t i) { return std::pair(computing.from(i), computing.to(i)); });
    }
    if (wait) finishBatch();
}

void SystemBuilder::State::finishBatch() {
    if (!busy) return;
    busy = false;
    pool.finish();
    for (RowChunk& chunk : chunks) {
        for (PendingSegment& p : chunk.pending) pending.push_back(std::move(p));
        for (Warning& w : chunk.warnings) result.warnings.push_back(std::move(w));
        for (auto& cell : chunk.fittingCells) fittingCells.push_back(std::move(cell));
    }
}

Tree SystemBuilder::State::findTree() {
    if (topologyMemo &&
        topologyMemo->holds(options.fanNode, result.segmentNames, froms, tos, result.segmentLines))
        return topologyMemo->restore(result);
    if (topologyMemo)
        addNodes(topology, 0, count,
                 [this](std::uint32_t s) { return std::pair(froms[s], tos[s]); });
    topology.placeNodes();
    topology.checkNames();
    Tree tree = buildTree(result, topology);
    if (topologyMemo)
        topologyMemo->keep(options.fanNode, std::move(froms), std::move(tos), result, tree);
    return tree;
}

SystemBuilder::SystemBuilder(Options options)
    : state_(std::make_unique<State>(std::move(options))) {}
SystemBuilder::~SystemBuilder() = default;

void SystemBuilder::reserve(std::size_t rows) {
    State& st = *state_;
    if (st.count > 0) return;
    st.result.segments.reserve(rows);
    // Names such as "1024-1025": a few characters each.
    st.result.segmentNames.reserve(rows, 8 * rows);
    st.result.nodeNames.reserve(rows + 1, 4 * rows);
    st.topology.reserve(rows);
}

void SystemBuilder::setOptions(Options options) {
    if (state_->count == 0) state_ = std::make_unique<State>(std::move(options));
}

void SystemBuilder::setMemo(ComputeMemo* memo) {
    if (state_->count > 0) return;
    state_->memo = memo;
    if (memo) memo->prepare(state_->options.air);
}

void SystemBuilder::setTopologyMemo(TopologyMemo* memo) {
    if (state_->count == 0) state_->topologyMemo = memo;
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
    if (row.line > 0 || !st.result.segmentLines.empty()) {
        st.result.segmentLines.resize(index, 0);
        st.result.segmentLines.push_back(row.line);
    }
    if (const std::string_view remark = trimmed(row.remark); !remark.empty())
        st.result.remarks.emplace_back(index, remark);
    st.current.append(row);
    if (st.current.full()) st.submit(false);
    return index;
}

SystemResult SystemBuilder::finish() {
    State& st = *state_;
    SystemResult& result = st.result;
    st.submit(true);
    const Tree tree = st.findTree();
    if (!result.errors.empty()) {
        leaveFlowsUnknown(result, st.pending, st.calculators.front(),
                          {msg::Code::flowSumNoTree, {}});
        applyFittingTerms(result, nullptr, st.fittingCells);
    } else {
        sumFlows(result, tree, st.pending, st.pool, st.calculators, st.memo);
        applyFittingTerms(result, &tree, st.fittingCells);
        if (st.options.compareFlows) checkGivenFlows(result, tree);
        if (!st.options.pathsLater) {
            computePaths(result, tree);
            computeBalance(result, tree, st.options.maxImbalance);
            computeFan(result, tree, st.options.fanMargin);
        }
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

std::string_view SystemResult::remark(std::uint32_t segment) const {
    const auto at = std::lower_bound(remarks.begin(), remarks.end(), segment,
                                     [](const auto& r, std::uint32_t s) { return r.first < s; });
    return at != remarks.end() && at->first == segment ? std::string_view(at->second)
                                                       : std::string_view();
}

const ZetaDetail* SystemResult::zetaDetail(std::uint32_t segment) const {
    const auto at =
        std::lower_bound(zetaDetails.begin(), zetaDetails.end(), segment,
                         [](const ZetaDetail& d, std::uint32_t s) { return d.segment < s; });
    return at != zetaDetails.end() && at->segment == segment ? &*at : nullptr;
}

std::vector<std::uint32_t> SystemResult::pathTo(std::uint32_t segment) const {
    std::vector<std::uint32_t> path;
    for (std::uint32_t s = segment; s != kNone; s = segments[s].parent) path.push_back(s);
    return {path.rbegin(), path.rend()};
}

}  // namespace ductsys
