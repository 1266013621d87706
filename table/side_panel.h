// SPDX-License-Identifier: GPL-3.0-or-later
// Beside the grid: the fan's duty, the junctions and their balance, the air
// and the limits the system is computed with. It shows the model's last
// recalculation and edits only the computation's options.
#pragma once

#include <QWidget>

#include "system/report_xlsx.h"
#include "system/sizing.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QModelIndex;
class QPushButton;
class QTreeView;

namespace table {

class JunctionModel;
class TableModel;

class SidePanel : public QWidget {
    Q_OBJECT

public:
    SidePanel(TableModel* model, QWidget* parent = nullptr);

    QTreeView* junctionTree() const { return junctions_; }
    // The remedies of the junction chosen in the tree, or of the first few
    // over the limit when none is: each lighter branch's junction, then its
    // damper and its resize, the last two applicable.
    QListWidget* remedyList() const { return remedies_; }
    // Applies the remedy of the list's current item as one undoable step;
    // false when the item names none that can be applied.
    bool applyCurrentRemedy();
    QLabel* fanLabel() const { return fan_; }
    // What keeps the system from being whole, by the grid's row numbers.
    QLabel* problemLabel() const { return errors_; }

    // The air the figures stand for, as a report names it: the temperature
    // and pressure last applied here (20 °C at sea level when none is), and
    // the state the model computes with. An entry that could not be read is
    // not among them.
    void describeAir(ductsys::ReportInfo& info) const;
    // Gives the keyboard to the panel's first box.
    void focusFirst();

signals:
    // The rows of a branch (or of every branch of a junction) were clicked.
    void rowsChosen(const QList<int>& rows);

private:
    void refresh();
    void settingsEdited();
    void showSettings();
    void itemClicked(const QModelIndex& index);
    void refreshRemedies();

    TableModel* model_;
    QLabel* fan_;
    QLabel* errors_;
    QTreeView* junctions_;
    JunctionModel* junctionModel_;
    QListWidget* remedies_;
    std::vector<ductsys::Remedy> shown_;  // the list's remedies
    QLabel* remedyLimits_;
    QPushButton* applyRemedy_;
    QLineEdit* temperature_;
    QLineEdit* altitude_;
    QLabel* air_;
    QLabel* limits_;
    QLineEdit* fanNode_;
    QLineEdit* maxImbalance_;
    QLineEdit* margin_;
    QLineEdit* maxVelocity_;
    QComboBox* formula_;
};

// The rows of the segments from `segment` away from the fan (the segment
// and every segment beyond it).
QList<int> branchRows(const TableModel& model, std::uint32_t segment);

}  // namespace table
