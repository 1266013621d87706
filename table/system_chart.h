// SPDX-License-Identifier: GPL-3.0-or-later
// The 线算图 view of the grid: every segment of the system as a point on the
// friction chart, the index run highlighted; hovering names a segment and
// its figures, clicking a point selects its row, and the points move as the
// system is edited.
#pragma once

#include <QDockWidget>

#include "system/chart.h"

class QTableView;

namespace chartview {
class ChartPanel;
}

namespace table {

class TableModel;

class SystemChart : public QDockWidget {
    Q_OBJECT
public:
    SystemChart(TableModel* model, QTableView* grid, QWidget* parent = nullptr);

    chartview::ChartPanel* panel() const { return panel_; }
    // Makes the points again from the model's last calculation (only while
    // the view is shown; showing it catches up).
    void refresh();

private:
    void followCurrentRow();

    TableModel* model_;
    QTableView* grid_;
    chartview::ChartPanel* panel_;
    bool stale_ = true;  // the system changed while the view was hidden
};

// The chart of a model's system with `options`, as the 计算书 prints it.
ductsys::Chart systemChart(const TableModel& model, const ductsys::ChartOptions& options);

}  // namespace table
