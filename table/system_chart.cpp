// SPDX-License-Identifier: GPL-3.0-or-later
#include "table/system_chart.h"

#include <QItemSelectionModel>
#include <QTableView>

#include "chartview/chart_widget.h"
#include "table/table_model.h"

namespace table {

ductsys::Chart systemChart(const TableModel& model, const ductsys::ChartOptions& options) {
    std::vector<std::uint32_t> unplaced;
    auto points = ductsys::systemPoints(model.result(), model.options().air, options, &unplaced);
    return ductsys::makeChart(options, std::move(points), std::move(unplaced));
}

SystemChart::SystemChart(TableModel* model, QTableView* grid, QWidget* parent)
    : QDockWidget(QStringLiteral("线算图"), parent), model_(model), grid_(grid) {
    setObjectName(QStringLiteral("chartDock"));
    panel_ = new chartview::ChartPanel(this);
    setWidget(panel_);
    connect(model_, &TableModel::recomputed, this, [this] {
        stale_ = true;
        refresh();
    });
    connect(panel_, &chartview::ChartPanel::optionsChanged, this, [this] {
        stale_ = true;
        refresh();
    });
    connect(this, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (visible) refresh();
    });
    connect(panel_, &chartview::ChartPanel::segmentClicked, this, [this](std::uint32_t segment) {
        const int row = model_->rowOfSegment(segment);
        if (row < 0) return;
        grid_->setCurrentIndex(model_->index(row, 0));
        grid_->selectRow(row);
    });
    connect(grid_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &SystemChart::followCurrentRow);
}

void SystemChart::refresh() {
    if (!stale_ || !isVisible()) return;
    stale_ = false;
    std::vector<std::uint32_t> unplaced;
    auto points = ductsys::systemPoints(model_->result(), model_->options().air, panel_->options(),
                                        &unplaced);
    panel_->setPoints(std::move(points), std::move(unplaced));
    followCurrentRow();
}

void SystemChart::followCurrentRow() {
    const QModelIndex at = grid_->currentIndex();
    panel_->view()->setSelectedSegment(at.isValid() && at.row() < model_->systemRows()
                                           ? model_->segmentOfRow(at.row())
                                           : ductsys::kNone);
}

}  // namespace table
