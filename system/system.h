// SPDX-License-Identifier: GPL-3.0-or-later
// The hydraulic calculation of a duct system (风管水力计算): segments between
// numbered nodes, flows summed from the outlets toward the fan, each
// segment's losses by the window's recalculation, the paths from the fan,
// the index run (最不利环路), the balance of parallel branches and the fan's
// duty. No Qt: the command line feeds it the rows of a CSV file, a grid its
// rows of cells, the same way.
//
//   ductsys::SystemBuilder builder(options);
//   for (each row) builder.add(texts);     // texts as typed
//   ductsys::SystemResult result = builder.finish();
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "system/model.h"
#include "system/table_file.h"

namespace ductsys {

class ComputeMemo;
class TopologyMemo;

// The friction-factor formula of a system's rows that name none: 公式二,
// the one that stays near Colebrook-White over the whole range of ducts.
// The calculator window and its table keep 公式一.
inline constexpr int kSystemFormula = 2;

struct Options {
    // The fan's node name; empty: the 起点 of the first row.
    std::string fanNode;
    // Junctions whose (largest - smallest) / largest branch total exceeds
    // this are flagged: 0.15, GB 50736's limit for parallel loops.
    double maxImbalance = 0.15;
    // Allowance on the index run's total for the fan's pressure (10-15 % is usual).
    double fanMargin = 0.10;
    // The air the ducts carry; the window's unless given (see air_state.h).
    calc::AirState air;
    // The friction-factor formula of rows that name none.
    int formula = kSystemFormula;
    // The units a file's header names for whole columns.
    ColumnUnits units;
    // Whether given air volumes are compared with what the segments beyond
    // them carry: not for a run in file order, whose rows stand alone.
    bool compareFlows = true;
    // The threads the calculation may use, this one included (0: the
    // machine's, see work_pool.h; 1: no other thread). The figures are the
    // same whatever the number.
    unsigned jobs = 0;
    // Leaves the paths, junctions and fan to the sizing that changes the
    // segments next and works them out again anyway.
    bool pathsLater = false;
};

// Takes the rows one at a time and computes the system once all are in.
// Segments whose flow is given are computed as they are added; the others
// wait for the segments beyond them.
class SystemBuilder {
public:
    explicit SystemBuilder(Options options = {});
    ~SystemBuilder();
    SystemBuilder(const SystemBuilder&) = delete;
    SystemBuilder& operator=(const SystemBuilder&) = delete;

    // Adds a row and returns its segment index (0, 1, … in the order added),
    // or kNone for a row whose texts are all blank, which is skipped (grids
    // and spreadsheets leave empty rows). The texts are not kept.
    std::uint32_t add(const SegmentTexts& row);

    // Makes room for `rows` rows at once (a grid's row count, or an estimate
    // from a file's size), sparing the growth of every table on the way.
    // Optional, and only before the first row. Room for rows that never come
    // takes address space, not memory.
    void reserve(std::size_t rows);

    // Options settled once a file's header is read (the settings above it
    // taken): only before the first row, and before reserve().
    void setOptions(Options options);

    // The units a file's header names for whole columns, once the header is
    // read: only before the first row.
    void setUnits(const ColumnUnits& units);

    // Keeps what computing each segment gives in `memo`, and takes it from
    // there for a segment computed as before (see ComputeMemo): for a grid
    // that computes the same rows again after an edit. Only before the
    // first row, after setOptions(); `memo` outlives the builder's finish().
    void setMemo(ComputeMemo* memo);

    // Keeps the nodes and tree the rows give in `memo`, and takes them from
    // there when the rows name the same segments and nodes as the last time
    // (see TopologyMemo). Only before the first row, after setOptions();
    // `memo` outlives the builder's finish().
    void setTopologyMemo(TopologyMemo* memo);

    // Computes the system. With topology errors (result.errors), the
    // segments keep what they compute alone and there are no paths,
    // junctions or fan figures. The builder is spent afterwards.
    SystemResult finish();

private:
    struct State;
    std::unique_ptr<State> state_;
};

// The whole calculation over rows at hand.
SystemResult computeSystem(std::span<const SegmentTexts> rows, const Options& options = {});

}  // namespace ductsys
