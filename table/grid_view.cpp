// SPDX-License-Identifier: GPL-3.0-or-later
#include "table/grid_view.h"

#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <algorithm>

#include "calc/tables.h"
#include "system/materials.h"
#include "table/columns.h"

namespace table {

namespace {

// The columns that stay in view: 段号, 起点, 终点.
constexpr int kFrozenColumns = cTo + 1;

// The unit, material and formula cells: a list to choose from that still
// takes any typed text (the system layer says what it cannot read).
class ListDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QStringList items;
        switch (index.column()) {
            case cUnit:
                for (const auto& u : calc::flowUnits)
                    items << QString::fromUtf8(u.text.data(), qsizetype(u.text.size()));
                break;
            case cMaterial:
                for (const std::string_view m : ductsys::materialCaptions())
                    items << QString::fromUtf8(m.data(), qsizetype(m.size()));
                break;
            case cFormula:
                items << QStringLiteral("1") << QStringLiteral("2");
                break;
            default: {
                QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
                editor->setAccessibleName(QStringLiteral("单元格编辑框"));
                return editor;
            }
        }
        auto* box = new QComboBox(parent);
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->addItems(items);
        box->setAccessibleName(QStringLiteral("单元格编辑框"));
        return box;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        if (auto* box = qobject_cast<QComboBox*>(editor)) {
            box->setEditText(index.data(Qt::EditRole).toString());
            return;
        }
        QStyledItemDelegate::setEditorData(editor, index);
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        if (auto* box = qobject_cast<QComboBox*>(editor)) {
            model->setData(index, box->currentText(), Qt::EditRole);
            return;
        }
        QStyledItemDelegate::setModelData(editor, model, index);
    }
};

}  // namespace

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
    // The frozen columns follow the grid pixel by pixel.
    setVerticalScrollMode(ScrollPerPixel);
    setHorizontalScrollMode(ScrollPerPixel);
    // A figure is never shown cut: the columns are wide enough for any.
    setTextElideMode(Qt::ElideNone);
    setItemDelegate(new ListDelegate(this));
    setAccessibleName(QStringLiteral("风管水力计算表"));

    frozen_ = new QTableView(this);
    frozen_->setObjectName(QStringLiteral("frozenColumns"));
    frozen_->setFocusPolicy(Qt::NoFocus);
    frozen_->verticalHeader()->hide();
    frozen_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    frozen_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frozen_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frozen_->setVerticalScrollMode(ScrollPerPixel);
    frozen_->setWordWrap(false);
    frozen_->setTextElideMode(Qt::ElideNone);
    frozen_->setStyleSheet(QStringLiteral("QTableView { border: none; }"));
    frozen_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    frozen_->setAttribute(Qt::WA_TransparentForMouseEvents);
    frozen_->setAccessibleName(QStringLiteral("段号、起点、终点"));
    viewport()->stackUnder(frozen_);
    connect(verticalScrollBar(), &QAbstractSlider::valueChanged, frozen_->verticalScrollBar(),
            &QAbstractSlider::setValue);
}

GridView::~GridView() = default;

void GridView::setModel(QAbstractItemModel* model) {
    QTableView::setModel(model);
    frozen_->setModel(model);
    frozen_->setSelectionModel(selectionModel());
    frozen_->verticalHeader()->setDefaultSectionSize(verticalHeader()->defaultSectionSize());
    frozen_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    fitColumns();
    placeFrozen();
}

void GridView::fitColumns() {
    if (!model()) return;
    // Each column as wide as its caption's widest line, and a result column
    // as wide as the widest figure text (seven significant digits with an
    // exponent and a sign).
    const QFontMetrics cells(font());
    const QFontMetrics captions(horizontalHeader()->font());
    const int widestFigure = cells.horizontalAdvance(QStringLiteral("-8.888888E-08")) + 16;
    for (int c = 0; c < model()->columnCount(); ++c) {
        int width = 56;
        const QStringList lines =
            model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString().split('\n');
        for (const QString& line : lines)
            width = std::max(width, captions.horizontalAdvance(line) + 24);
        if (c >= kInputColumns) width = std::max(width, widestFigure);
        // A size as typed, sides and all.
        if (c == cSize)
            width = std::max(width, cells.horizontalAdvance(QStringLiteral("2000×1250")) + 16);
        setColumnWidth(c, width);
        frozen_->setColumnWidth(c, width);
    }
    for (int c = 0; c < model()->columnCount(); ++c)
        frozen_->setColumnHidden(c, c >= kFrozenColumns);
}

void GridView::placeFrozen() {
    int width = 0;
    for (int c = 0; c < kFrozenColumns && model() && c < model()->columnCount(); ++c)
        width += columnWidth(c);
    frozen_->horizontalHeader()->setFixedHeight(horizontalHeader()->height());
    frozen_->setGeometry(verticalHeader()->width() + frameWidth(), frameWidth(), width,
                         viewport()->height() + horizontalHeader()->height());
}

void GridView::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    placeFrozen();
}

void GridView::updateGeometries() {
    QTableView::updateGeometries();
    if (frozen_) placeFrozen();
}

QModelIndex GridView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const QModelIndex current = QTableView::moveCursor(action, modifiers);
    // A cell moved to under the frozen columns is scrolled out from under them.
    int frozenWidth = 0;
    for (int c = 0; c < kFrozenColumns; ++c) frozenWidth += columnWidth(c);
    if (action == MoveLeft && current.column() >= kFrozenColumns &&
        visualRect(current).left() < frozenWidth)
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() +
                                        visualRect(current).left() - frozenWidth);
    return current;
}

void GridView::scrollTo(const QModelIndex& index, ScrollHint hint) {
    if (index.column() >= kFrozenColumns)
        QTableView::scrollTo(index, hint);
    else if (index.isValid())
        QTableView::scrollTo(model()->index(index.row(), kFrozenColumns), hint);
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

void GridView::moveToInput(int step) {
    if (!model()) return;
    const QModelIndex at = currentIndex();
    int row = std::max(at.row(), 0);
    int column = at.column() + step;
    if (column >= kInputColumns && at.column() < kInputColumns) {
        // Past the last input: the next row's first column.
        ++row, column = 0;
    } else if (column < 0) {
        --row, column = kInputColumns - 1;
    }
    if (row < 0) return;
    row = std::min(row, model()->rowCount() - 1);
    column = std::clamp(column, 0, model()->columnCount() - 1);
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
    if (state() != QAbstractItemView::EditingState &&
        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        switch (event->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
                if (!(event->modifiers() & Qt::ShiftModifier) &&
                    currentIndex().column() == kInputColumns - 1)
                    moveToInput(1);
                else
                    moveCurrent(event->modifiers() & Qt::ShiftModifier ? -1 : 1, 0);
                return;
            case Qt::Key_Tab:
                moveToInput(1);
                return;
            case Qt::Key_Backtab:
                moveToInput(-1);
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
    // Enter commits and moves down (from the last input, to the next row's
    // first column); Tab commits and moves to the next input, without
    // opening its editor.
    switch (hint) {
        case QAbstractItemDelegate::SubmitModelCache:
            QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
            if (currentIndex().column() == kInputColumns - 1)
                moveToInput(1);
            else
                moveCurrent(1, 0);
            break;
        case QAbstractItemDelegate::EditNextItem:
            QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
            moveToInput(1);
            break;
        case QAbstractItemDelegate::EditPreviousItem:
            QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
            moveToInput(-1);
            break;
        default:
            QTableView::closeEditor(editor, hint);
            break;
    }
}

}  // namespace table
