// SPDX-License-Identifier: GPL-3.0-or-later
// ductcalc-table: one cell of a 2,000- and of a 100,000-segment system
// edited (goal at 100,000: shown in < 100 ms), the whole system recomputed
// and the grid repainted; a 100,000-segment file opened into the window and
// shown (goal: < 1 s). Medians of repeated runs, on Qt's offscreen
// platform unless a display is given.
//
//   bench_table --benchmark_filter=EditCell
//   /usr/bin/time -v bench_table --benchmark_filter=OpenFile   (peak memory)

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QHeaderView>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "chartview/chart_widget.h"
#include "table/grid_view.h"
#include "table/side_panel.h"
#include "table/system_chart.h"
#include "table/system_file.h"
#include "table/table_model.h"
#include "table/table_window.h"

namespace {

// A random tree as its CSV file holds it: segment i joins node i + 1 to a
// node picked at random among those before it; flows on the outlets only.
std::string randomTreeFile(std::size_t segments) {
    static const char* const kSizes[] = {"200",     "φ250",    "320x200", "400x250",
                                         "500x320", "630x400", "800x500", "1000x630"};
    static const char* const kLengths[] = {"3", "4.5", "6", "8.2", "12"};
    static const char* const kZetas[] = {"0.3", "0.25+0.1", "1.5", "0.5+0.3+0.2", ""};
    static const char* const kFlows[] = {"200", "350", "500", "800", "1200"};
    std::mt19937 random(17);
    std::vector<std::uint32_t> parent(segments);
    std::vector<bool> hasChild(segments + 1, false);
    for (std::size_t i = 0; i < segments; ++i) {
        parent[i] = static_cast<std::uint32_t>(random() % (i + 1));
        hasChild[parent[i]] = true;
    }
    std::vector<table::RowTexts> rows(segments);
    for (std::size_t i = 0; i < segments; ++i) {
        table::RowTexts& r = rows[i];
        r[table::cSegment] = std::to_string(parent[i]) + '-' + std::to_string(i + 1);
        if (!hasChild[i + 1]) r[table::cFlow] = kFlows[random() % 5];
        r[table::cSize] = kSizes[random() % 8];
        r[table::cLength] = kLengths[random() % 5];
        r[table::cZeta] = kZetas[random() % 5];
    }
    return table::systemFileText(rows);
}

void EditCell(benchmark::State& state) {
    const table::LoadedSystem loaded =
        table::readSystemText(randomTreeFile(static_cast<std::size_t>(state.range(0))));
    table::TableWindow window;
    window.model()->resetRows(loaded.rows);
    window.show();
    QApplication::processEvents();
    table::TableModel* model = window.model();
    // An outlet's flow, the edit that changes every figure toward the fan.
    int row = 0;
    while (model->rowTexts(row)[table::cFlow].empty()) ++row;
    const QModelIndex cell = model->index(row, table::cFlow);
    window.grid()->scrollTo(cell);
    QApplication::processEvents();
    bool flip = false;
    for (auto _ : state) {
        model->setData(cell, flip ? QStringLiteral("500") : QStringLiteral("650"), Qt::EditRole);
        flip = !flip;
        // Paint now rather than when the event loop next runs.
        window.grid()->viewport()->repaint();
        window.sidePanel()->repaint();
    }
    if (!model->result().fan.pressure) state.SkipWithError("not computed");
}
BENCHMARK(EditCell)
    ->Arg(2000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void OpenFile(benchmark::State& state) {
    const std::string path = "/tmp/bench_table_" + std::to_string(state.range(0)) + ".csv";
    {
        const std::string text = randomTreeFile(static_cast<std::size_t>(state.range(0)));
        std::FILE* f = std::fopen(path.c_str(), "wb");
        if (!f || std::fwrite(text.data(), 1, text.size(), f) != text.size()) {
            state.SkipWithError("cannot write the file");
            return;
        }
        std::fclose(f);
    }
    for (auto _ : state) {
        table::TableWindow window;
        if (!window.openFile(QString::fromStdString(path), true)) state.SkipWithError("not opened");
        window.show();
        QApplication::processEvents();
        window.grid()->viewport()->repaint();
        benchmark::DoNotOptimize(window.model()->result().fan.pressure);
        window.model()->undoStack()->setClean();
    }
    std::remove(path.c_str());
}
BENCHMARK(OpenFile)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The 线算图 of a computed system appearing: a chart panel made, every
// segment's point placed, the lines computed and everything painted.
void ChartAppears(benchmark::State& state) {
    const table::LoadedSystem loaded =
        table::readSystemText(randomTreeFile(static_cast<std::size_t>(state.range(0))));
    table::TableModel model;
    model.resetRows(loaded.rows);
    for (auto _ : state) {
        chartview::ChartPanel panel;
        panel.resize(900, 650);
        std::vector<std::uint32_t> unplaced;
        auto points =
            ductsys::systemPoints(model.result(), model.options().air, panel.options(), &unplaced);
        panel.setPoints(std::move(points), std::move(unplaced));
        panel.show();
        panel.view()->repaint();
        benchmark::DoNotOptimize(panel.chart().points.data());
    }
}
BENCHMARK(ChartAppears)
    ->Arg(2000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// An edit while the 线算图 is shown: the chart's own share (every point
// placed again, the frame kept, the points painted over its picture), and
// the whole edit with the system recomputed and grid and chart repainted.
void ChartOnEdit(benchmark::State& state) {
    const table::LoadedSystem loaded =
        table::readSystemText(randomTreeFile(static_cast<std::size_t>(state.range(0))));
    table::TableWindow window;
    window.model()->resetRows(loaded.rows);
    window.show();
    window.chart()->show();
    window.chart()->resize(900, 650);
    QApplication::processEvents();
    table::TableModel* model = window.model();
    int row = 0;
    while (model->rowTexts(row)[table::cFlow].empty()) ++row;
    const QModelIndex cell = model->index(row, table::cFlow);
    const bool whole = state.range(1) != 0;
    bool flip = false;
    for (auto _ : state) {
        if (whole) {
            model->setData(cell, flip ? QStringLiteral("500") : QStringLiteral("650"),
                           Qt::EditRole);
            window.grid()->viewport()->repaint();
        } else {
            window.chart()->refresh();  // stale only after an edit: place the points anew
            std::vector<std::uint32_t> unplaced;
            auto points = ductsys::systemPoints(model->result(), model->options().air,
                                                window.chart()->panel()->options(), &unplaced);
            window.chart()->panel()->setPoints(std::move(points), std::move(unplaced));
        }
        flip = !flip;
        window.chart()->panel()->view()->repaint();
    }
    if (window.chart()->panel()->chart().points.empty()) state.SkipWithError("no points");
}
BENCHMARK(ChartOnEdit)
    ->ArgsProduct({{2000}, {0, 1}})
    ->ArgNames({"segments", "whole_edit"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
