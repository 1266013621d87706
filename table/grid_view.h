// SPDX-License-Identifier: GPL-3.0-or-later
// The grid as a spreadsheet: Enter moves down (from a row's last input to
// the next row's first column), Tab moves right over the inputs only,
// typing replaces the cell's text, F2 edits it, Delete clears the
// selection. The unit, material and formula cells offer their lists and
// still take typed text. 段号, 起点 and 终点 stay in view while the grid
// scrolls right. Figures are never cut: a result column is as wide as the
// widest text a figure can have.
#pragma once

#include <QTableView>

namespace table {

class GridView : public QTableView {
    Q_OBJECT

public:
    explicit GridView(QWidget* parent = nullptr);
    ~GridView() override;

    void setModel(QAbstractItemModel* model) override;
    // A frozen column's cell scrolls only its row into view.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    // Moves the current cell, keeping its column or row, and selects it alone.
    void moveCurrent(int rowDelta, int columnDelta);
    // Moves to the next (or previous) input cell, row by row.
    void moveToInput(int step);
    bool editing() const { return state() == QAbstractItemView::EditingState; }
    // Hands the open editor's text to the model and closes it (before a
    // save, a copy or a paste).
    void commitEditing();
    // The view of the columns kept in view, over the grid's left edge.
    QTableView* frozenView() const { return frozen_; }

signals:
    void clearRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void resizeEvent(QResizeEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

    void updateGeometries() override;

private:
    void placeFrozen();
    void fitColumns();

    QTableView* frozen_ = nullptr;
};

}  // namespace table
