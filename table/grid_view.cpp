// SPDX-License-Identifier: GPL-3.0-or-later
#include "grid_view.h"

#include <QHeaderView>
#include <QKeyEvent>

namespace table {

GridView::GridView(QWidget* parent) : QTableView(parent) {
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::DoubleClicked);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setTabKeyNavigation(true);
    // A system of a hundred thousand rows: every row the same height, so
    // that the view never measures them.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    horizontalHeader()->setDefaultSectionSize(72);
    setWordWrap(false);
}

void GridView::moveCurrent(int rowDelta, int columnDelta) {
    if (!model()) return;
    const QModelIndex at = currentIndex();
    const int row = std::clamp(at.row() + rowDelta, 0, model()->rowCount() - 1);
    const int column = std::clamp(at.column() + columnDelta, 0, model()->columnCount() - 1);
    const QModelIndex next = model()->index(row, column);
    setCurrentIndex(next);
    scrollTo(next);
}

void GridView::commitEditing() {
    if (QWidget* editor = indexWidget(currentIndex()); editor && editing()) {
        commitData(editor);
        QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void GridView::keyPressEvent(QKeyEvent* event) {
    if (state() != QAbstractItemView::EditingState) {
        switch (event->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
                moveCurrent(event->modifiers() & Qt::ShiftModifier ? -1 : 1, 0);
                return;
            case Qt::Key_Tab:
                moveCurrent(0, 1);
                return;
            case Qt::Key_Backtab:
                moveCurrent(0, -1);
                return;
            case Qt::Key_Delete:
            case Qt::Key_Backspace:
                emit clearRequested();
                return;
            default:
                break;
        }
    }
    QTableView::keyPressEvent(event);
}

void GridView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    // An editor already closed (hidden) may still send its focus-out's
    // close: it moves nothing.
    if (!editor || !editor->isVisible()) {
        QTableView::closeEditor(editor, hint);
        return;
    }
    // Enter commits and moves down; Tab commits and moves right, without
    // opening the next cell's editor.
    switch (hint) {
        case QAbstractItemDelegate::SubmitModelCache:
            QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
            moveCurrent(1, 0);
            break;
        case QAbstractItemDelegate::EditNextItem:
            QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
            moveCurrent(0, 1);
            break;
        case QAbstractItemDelegate::EditPreviousItem:
            QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
            moveCurrent(0, -1);
            break;
        default:
            QTableView::closeEditor(editor, hint);
            break;
    }
}

}  // namespace table
