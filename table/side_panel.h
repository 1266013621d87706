// SPDX-License-Identifier: GPL-3.0-or-later
// Beside the grid: the fan's duty, the junctions and their balance, the air
// and the limits the system is computed with. It shows the model's last
// recalculation and edits only the computation's options.
#pragma once

#include <QWidget>

#include "air_state.h"
#include "report_xlsx.h"

class QLabel;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace table {

class TableModel;

class SidePanel : public QWidget {
    Q_OBJECT

public:
    SidePanel(TableModel* model, QWidget* parent = nullptr);

    QTreeWidget* junctionTree() const { return junctions_; }
    QLabel* fanLabel() const { return fan_; }

    // The air the figures stand for, as a report names it: the temperature
    // and pressure last applied here (20 °C at sea level when none is), and
    // the state the model computes with. An entry that could not be read is
    // not among them.
    void describeAir(ductsys::ReportInfo& info) const;

signals:
    // The rows of a branch (or of every branch of a junction) were clicked.
    void rowsChosen(const QList<int>& rows);

private:
    void refresh();
    void airEdited();
    void itemClicked(QTreeWidgetItem* item);

    TableModel* model_;
    QLabel* fan_;
    QLabel* errors_;
    QTreeWidget* junctions_;
    QLineEdit* temperature_;
    QLineEdit* altitude_;
    QLabel* air_;
    QLabel* limits_;
    ductsys::AirInUse airInUse_;  // the air last applied from the boxes
};

// The rows of the segments from `segment` away from the fan (the segment
// and every segment beyond it).
QList<int> branchRows(const TableModel& model, std::uint32_t segment);

}  // namespace table
