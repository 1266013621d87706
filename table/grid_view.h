// SPDX-License-Identifier: GPL-3.0-or-later
// The grid as a spreadsheet: Enter moves down, Tab moves right, typing
// replaces the cell's text, F2 edits it, Delete clears the selection.
#pragma once

#include <QTableView>

namespace table {

class GridView : public QTableView {
    Q_OBJECT

public:
    explicit GridView(QWidget* parent = nullptr);

    // Moves the current cell, keeping its column or row, and selects it alone.
    void moveCurrent(int rowDelta, int columnDelta);
    bool editing() const { return state() == QAbstractItemView::EditingState; }
    // Hands the open editor's text to the model and closes it (before a
    // save, a copy or a paste).
    void commitEditing();

signals:
    void clearRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
};

}  // namespace table
