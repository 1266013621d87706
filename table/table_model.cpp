// SPDX-License-Identifier: GPL-3.0-or-later
#include "table_model.h"

#include <QColor>
#include <QPainter>
#include <QPixmap>
#include <QPolygonF>
#include <algorithm>
#include <utility>

#include "calc_state.h"
#include "number_text.h"
#include "readers.h"
#include "reading_warning.h"
#include "system_file.h"
#include "tables.h"

namespace table {

QString shownFigure(std::optional<double> value) {
    float x = 0;
    if (!value || !calc::storeSingle(x, *value)) return QString::fromUtf8(calc::kFailMarker.data());
    return QString::fromStdString(calc::bareNumberText(x));
}

namespace {

QIcon triangleMark(const QColor& edge, const QColor& fill) {
    QIcon made;
    for (const int size : {16, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        const qreal s = size;
        QPolygonF triangle;
        triangle << QPointF(s / 2, s * 0.06) << QPointF(s * 0.96, s * 0.92)
                 << QPointF(s * 0.04, s * 0.92);
        painter.setPen(QPen(edge, s / 16));
        painter.setBrush(fill);
        painter.drawPolygon(triangle);
        painter.setPen(QPen(Qt::black, s / 8, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(s / 2, s * 0.36), QPointF(s / 2, s * 0.6));
        painter.drawPoint(QPointF(s / 2, s * 0.77));
        painter.end();
        made.addPixmap(pixmap);
    }
    return made;
}

// A figure as the window shows it, without the leading blank; empty when
// the segment does not hold it.
std::string shownFigure(const ductsys::Segment& s, int column) {
    using ductsys::Figure;
    float value = 0;
    Figure figure{};
    switch (column) {
        case cEqDiameter:
            figure = Figure::eqDiameter, value = s.eqDiameter;
            break;
        case cVelocity:
            figure = Figure::velocity, value = s.velocity;
            break;
        case cReynolds:
            figure = Figure::reynolds, value = s.reynolds;
            break;
        case cLambda:
            figure = Figure::lambda, value = s.lambda;
            break;
        case cRm:
            figure = Figure::rm, value = s.rm;
            break;
        case cFriction:
            figure = Figure::frictionLoss, value = s.frictionLoss;
            break;
        case cVelocityPressure:
            figure = Figure::velocityPressure, value = s.velocityPressure;
            break;
        case cLocal:
            figure = Figure::localLoss, value = s.localLoss;
            break;
        case cTotal:
            figure = Figure::total, value = s.total;
            break;
        case cPathTotal:
            // The path's sum is formed in double; shown, as by the command
            // line, once stored in single.
            figure = Figure::pathTotal;
            if (!calc::storeSingle(value, s.pathTotal)) return {};
            break;
        default:
            return {};
    }
    if (!s.has(figure)) return {};
    return calc::bareNumberText(value);
}

// Warnings of each term of a sum of coefficients, as the box reads a number.
std::string zetaWarning(std::string_view text) {
    std::string lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        const bool end = i == text.size();
        // A '+' after an exponent's letter is the exponent's sign.
        if (!end && (text[i] != '+' || i == start || text[i - 1] == 'e' || text[i - 1] == 'E'))
            continue;
        const std::string w = calc::readingWarning(ductsys::trimmed(text.substr(start, i - start)),
                                                   calc::Quantity::Roughness);
        if (!w.empty()) lines += (lines.empty() ? "" : "\n") + w;
        start = i + 1;
    }
    return lines;
}

class EditCellsCommand : public QUndoCommand {
public:
    EditCellsCommand(TableModel* model, std::vector<TableModel::CellChange> changes, int addRows,
                     const QString& name)
        : QUndoCommand(name), model_(model), changes_(std::move(changes)), addRows_(addRows) {}
    void redo() override { undo_ = model_->applyCells(changes_, addRows_); }
    void undo() override {
        model_->applyCells(undo_, 0);
        if (addRows_ > 0) model_->applyTrim(addRows_);
    }

private:
    TableModel* model_;
    std::vector<TableModel::CellChange> changes_, undo_;
    int addRows_;
};

class InsertRowsCommand : public QUndoCommand {
public:
    InsertRowsCommand(TableModel* model, int row, std::vector<RowTexts> rows, bool remove,
                      const QString& name)
        : QUndoCommand(name),
          model_(model),
          row_(row),
          rows_(std::move(rows)),
          remove_(remove),
          count_(static_cast<int>(rows_.size())) {}
    void redo() override { remove_ ? take() : put(); }
    void undo() override { remove_ ? put() : take(); }

private:
    void put() { model_->applyInsert(row_, rows_); }
    void take() { rows_ = model_->applyRemove(row_, count_); }
    TableModel* model_;
    int row_;
    std::vector<RowTexts> rows_;
    bool remove_;
    int count_;
};

class MoveRowsCommand : public QUndoCommand {
public:
    MoveRowsCommand(TableModel* model, int row, int count, int delta, const QString& name)
        : QUndoCommand(name), model_(model), row_(row), count_(count), delta_(delta) {}
    void redo() override { model_->applyMove(row_, count_, delta_); }
    void undo() override { model_->applyMove(row_ + delta_, count_, -delta_); }

private:
    TableModel* model_;
    int row_, count_, delta_;
};

}  // namespace

QIcon warningMarkIcon() {
    static const QIcon icon = triangleMark(QColor(0x8a, 0x5a, 0x00), QColor(0xf5, 0xb0, 0x00));
    return icon;
}

QIcon errorMarkIcon() {
    static const QIcon icon = triangleMark(QColor(0x80, 0x10, 0x10), QColor(0xe8, 0x40, 0x30));
    return icon;
}

TableModel::TableModel(QObject* parent)
    : QAbstractTableModel(parent), warningIcon_(warningMarkIcon()), errorIcon_(errorMarkIcon()) {
    recompute();
}

int TableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : systemRows() + 1;
}

int TableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

std::uint32_t TableModel::segmentOfRow(int row) const {
    // Rows being added are not computed yet.
    if (row < 0 || static_cast<std::size_t>(row) >= rowSegment_.size()) return ductsys::kNone;
    return rowSegment_[static_cast<std::size_t>(row)];
}

int TableModel::rowOfSegment(std::uint32_t segment) const {
    return segment < segmentRow_.size() ? segmentRow_[segment] : -1;
}

bool TableModel::onIndexRun(int row) const {
    const std::uint32_t s = segmentOfRow(row);
    return s != ductsys::kNone && indexRun_[s];
}

std::string TableModel::cellText(int row, int column) const {
    if (row < 0 || row >= systemRows() || column < 0 || column >= kColumns) return {};
    if (isInput(column)) return rows_[static_cast<std::size_t>(row)][column];
    const std::uint32_t s = segmentOfRow(row);
    if (s == ductsys::kNone) return {};
    return shownFigure(result_.segments[s], column);
}

std::string TableModel::blockText(int top, int left, int bottom, int right) const {
    std::string out;
    for (int row = top; row <= bottom; ++row) {
        for (int column = left; column <= right; ++column) {
            if (column > left) out += '\t';
            out += tabField(cellText(row, column));
        }
        out += '\n';
    }
    return out;
}

QString TableModel::cellWarning(int row, int column) const {
    if (row < 0 || row >= systemRows() || !isInput(column)) return {};
    const std::string_view text = ductsys::trimmed(rows_[static_cast<std::size_t>(row)][column]);
    if (text.empty()) return {};
    std::string warning;
    switch (column) {
        case cFlow:
            warning = calc::readingWarning(text, calc::Quantity::AirVolume);
            break;
        case cSize:
            if (const auto size = ductsys::parseSize(text)) {
                warning = calc::readingWarning(size->a, calc::Quantity::Size);
                if (!size->b.empty()) {
                    const std::string second = calc::readingWarning(size->b, calc::Quantity::Size);
                    if (!second.empty()) warning += (warning.empty() ? "" : "\n") + second;
                }
            } else {
                warning = calc::readingWarning(text, calc::Quantity::Size);
                if (warning.empty()) warning = "不是风管尺寸：" + std::string(text);
            }
            break;
        case cLength:
        case cDp:
            warning = calc::readingWarning(text, calc::Quantity::Roughness);
            break;
        case cK: {
            warning = calc::readingWarning(text, calc::Quantity::Roughness);
            // The calculator's 自定义 box says the same of a roughness held
            // within its limits.
            const calc::CustomK k = calc::customK(text);
            if (k.replacement) {
                if (!warning.empty()) warning += '\n';
                warning += "粗糙度限于 0.01 至 10 mm，按 " + std::string(*k.replacement) + " 计算";
            }
            break;
        }
        case cZeta:
            warning = zetaWarning(text);
            break;
        case cUnit:
            if (!calc::flowFactorOf(text)) warning = "不是风量单位：" + std::string(text);
            break;
        default:
            break;
    }
    return QString::fromStdString(warning);
}

QVariant TableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const int row = index.row(), column = index.column();
    const std::uint32_t s = segmentOfRow(row);
    const ductsys::Segment* segment = s == ductsys::kNone ? nullptr : &result_.segments[s];
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return QString::fromStdString(cellText(row, column));
        case Qt::DecorationRole:
            if (isInput(column) && !cellWarning(row, column).isEmpty()) return warningIcon_;
            if (column == cSegment && segment && (!segment->ok() || topologyError_[s] >= 0))
                return errorIcon_;
            return {};
        case Qt::ToolTipRole:
        case Qt::AccessibleDescriptionRole: {
            QString tip = cellWarning(row, column);
            if (segment && (column == cSegment || !isInput(column))) {
                if (!segment->ok())
                    tip += (tip.isEmpty() ? "" : "\n") + QStringLiteral("本段未能全部算出：") +
                           QString::fromStdString(segment->reason);
                if (topologyError_[s] >= 0)
                    tip += (tip.isEmpty() ? "" : "\n") +
                           QString::fromStdString(
                               result_.errors[static_cast<std::size_t>(topologyError_[s])].message);
            }
            if (role == Qt::ToolTipRole && tip.isEmpty()) return {};
            return tip;
        }
        case Qt::TextAlignmentRole:
            if (column >= cFlow && column != cUnit && column != cMaterial)
                return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
            return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
        case Qt::BackgroundRole:
            if (marked(row, column)) return QColor(0xc8, 0xf0, 0xc8);
            if (segment && indexRun_[s]) return QColor(0xff, 0xee, 0xb8);
            if (!isInput(column)) return QColor(0xf2, 0xf2, 0xf2);
            return {};
        default:
            return {};
    }
}

QVariant TableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal) {
        if (section < 0 || section >= kColumns) return {};
        if (role == Qt::DisplayRole) {
            QString caption = QString::fromUtf8(kCaptions[static_cast<std::size_t>(section)].data(),
                                                static_cast<qsizetype>(kCaptions[section].size()));
            const std::string_view unit = kUnits[static_cast<std::size_t>(section)];
            if (!unit.empty())
                caption += QStringLiteral("\n") +
                           QString::fromUtf8(unit.data(), static_cast<qsizetype>(unit.size()));
            return caption;
        }
        if (role == Qt::ToolTipRole && !isInput(section)) return QStringLiteral("计算结果（只读）");
        return {};
    }
    if (role == Qt::DisplayRole)
        return section < systemRows() ? QVariant(section + 1) : QVariant(QStringLiteral("*"));
    return {};
}

Qt::ItemFlags TableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (isInput(index.column())) f |= Qt::ItemIsEditable;
    return f;
}

bool TableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || !isInput(index.column())) return false;
    const std::string text = value.toString().toStdString();
    if (text == cellText(index.row(), index.column())) return false;
    TextBlock block;
    block.rows.push_back({text});
    setBlock(index.row(), index.column(), block,
             QStringLiteral("编辑“%1”")
                 .arg(headerData(index.column(), Qt::Horizontal, Qt::DisplayRole)
                          .toString()
                          .section(QLatin1Char('\n'), 0, 0)));
    return true;
}

void TableModel::setMarkedCells(std::vector<CellText> cells, const QString& name) {
    std::vector<CellChange> changes;
    std::vector<std::pair<int, int>> marks;
    for (CellText& c : cells) {
        if (c.row < 0 || c.row >= systemRows() || !isInput(c.column)) continue;
        marks.emplace_back(c.row, c.column);
        changes.push_back({c.row, c.column, std::move(c.text)});
    }
    if (changes.empty()) return;
    std::sort(marks.begin(), marks.end());
    undo_.push(new EditCellsCommand(this, std::move(changes), 0, name));
    marked_ = std::move(marks);
    markedAt_ = undo_.index();
    emit dataChanged(index(0, 0), index(rowCount() - 1, kColumns - 1), {Qt::BackgroundRole});
}

bool TableModel::marked(int row, int column) const {
    return markedAt_ >= 0 && undo_.index() == markedAt_ &&
           std::binary_search(marked_.begin(), marked_.end(), std::make_pair(row, column));
}

void TableModel::setBlock(int row, int column, const TextBlock& block, const QString& name) {
    if (row < 0 || column < 0 || !isInput(column)) return;
    std::vector<CellChange> changes;
    int lastRow = -1;
    for (std::size_t r = 0; r < block.rows.size(); ++r) {
        const auto& fields = block.rows[r];
        for (std::size_t c = 0; c < fields.size(); ++c) {
            const int col = column + static_cast<int>(c);
            if (!isInput(col)) break;
            changes.push_back({row + static_cast<int>(r), col, fields[c]});
            lastRow = row + static_cast<int>(r);
        }
    }
    if (changes.empty()) return;
    const int addRows = std::max(0, lastRow + 1 - systemRows());
    undo_.push(new EditCellsCommand(this, std::move(changes), addRows, name));
}

void TableModel::clearCells(const QModelIndexList& cells) {
    std::vector<CellChange> changes;
    for (const QModelIndex& i : cells)
        if (isInput(i.column()) && i.row() < systemRows() && !cellText(i.row(), i.column()).empty())
            changes.push_back({i.row(), i.column(), {}});
    if (changes.empty()) return;
    undo_.push(new EditCellsCommand(this, std::move(changes), 0, QStringLiteral("清除")));
}

void TableModel::insertBlankRows(int row, int count) {
    if (count <= 0) return;
    row = std::clamp(row, 0, systemRows());
    undo_.push(new InsertRowsCommand(this, row,
                                     std::vector<RowTexts>(static_cast<std::size_t>(count)), false,
                                     QStringLiteral("插入行")));
}

void TableModel::removeSystemRows(int row, int count) {
    row = std::max(row, 0);
    count = std::min(count, systemRows() - row);
    if (count <= 0) return;
    undo_.push(new InsertRowsCommand(this, row,
                                     std::vector<RowTexts>(static_cast<std::size_t>(count)), true,
                                     QStringLiteral("删除行")));
}

bool TableModel::moveSystemRows(int row, int count, int delta) {
    if (count <= 0 || delta == 0 || row < 0 || row + delta < 0 ||
        row + count + delta > systemRows())
        return false;
    undo_.push(new MoveRowsCommand(
        this, row, count, delta, delta < 0 ? QStringLiteral("上移行") : QStringLiteral("下移行")));
    return true;
}

void TableModel::resetRows(std::vector<RowTexts> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    recompute();
    endResetModel();
    undo_.clear();
    emit recomputed();
}

void TableModel::setOptions(ductsys::Options options) {
    options_ = std::move(options);
    recompute();
    refreshAll();
}

std::vector<TableModel::CellChange> TableModel::applyCells(const std::vector<CellChange>& changes,
                                                           int addRows) {
    if (addRows > 0) {
        // The empty row at the end becomes the first of the new rows, and a
        // new empty row follows them: the view's rows, and its current
        // cell, stay where they are.
        const int first = systemRows();
        beginInsertRows({}, first + 1, first + addRows);
        rows_.resize(rows_.size() + static_cast<std::size_t>(addRows));
        endInsertRows();
    }
    std::vector<CellChange> undo;
    undo.reserve(changes.size());
    const int before = systemRows() - std::max(addRows, 0);
    for (const CellChange& c : changes) {
        if (c.row < 0 || c.row >= systemRows() || !isInput(c.column)) continue;
        std::string& cell = rows_[static_cast<std::size_t>(c.row)][c.column];
        if (c.row < before) undo.push_back({c.row, c.column, cell});
        cell = c.text;
    }
    recompute();
    refreshAll();
    return undo;
}

void TableModel::applyInsert(int row, std::vector<RowTexts> rows) {
    const int count = static_cast<int>(rows.size());
    beginInsertRows({}, row, row + count - 1);
    rows_.insert(rows_.begin() + row, std::make_move_iterator(rows.begin()),
                 std::make_move_iterator(rows.end()));
    recompute();
    endInsertRows();
    refreshAll();
}

void TableModel::applyTrim(int count) {
    // The mirror of the rows added by applyCells: the last `count` rows go,
    // the first of them staying in the view as the empty row.
    const int last = systemRows();
    beginRemoveRows({}, last - count + 1, last);
    rows_.resize(rows_.size() - static_cast<std::size_t>(count));
    recompute();
    endRemoveRows();
    refreshAll();
}

std::vector<RowTexts> TableModel::applyRemove(int row, int count) {
    beginRemoveRows({}, row, row + count - 1);
    std::vector<RowTexts> taken(std::make_move_iterator(rows_.begin() + row),
                                std::make_move_iterator(rows_.begin() + row + count));
    rows_.erase(rows_.begin() + row, rows_.begin() + row + count);
    recompute();
    endRemoveRows();
    refreshAll();
    return taken;
}

void TableModel::applyMove(int row, int count, int delta) {
    const int destination = delta < 0 ? row + delta : row + count + delta;
    beginMoveRows({}, row, row + count - 1, {}, destination);
    const auto first = rows_.begin() + row;
    if (delta < 0)
        std::rotate(first + delta, first, first + count);
    else
        std::rotate(first, first + count, first + count + delta);
    recompute();
    endMoveRows();
    refreshAll();
}

void TableModel::recompute() {
    ductsys::SystemBuilder builder(options_);
    builder.reserve(rows_.size());
    rowSegment_.resize(rows_.size());
    for (std::size_t r = 0; r < rows_.size(); ++r) {
        const RowTexts& t = rows_[r];
        rowSegment_[r] = builder.add({.segment = t[cSegment],
                                      .from = t[cFrom],
                                      .to = t[cTo],
                                      .flow = t[cFlow],
                                      .unit = t[cUnit],
                                      .size = t[cSize],
                                      .length = t[cLength],
                                      .zeta = t[cZeta],
                                      .dp = t[cDp],
                                      .material = t[cMaterial],
                                      .k = t[cK],
                                      .formula = t[cFormula]});
    }
    result_ = builder.finish();
    const std::size_t segments = result_.segments.size();
    segmentRow_.assign(segments, -1);
    for (std::size_t r = 0; r < rows_.size(); ++r)
        if (rowSegment_[r] != ductsys::kNone) segmentRow_[rowSegment_[r]] = static_cast<int>(r);
    indexRun_.assign(segments, false);
    if (result_.fan.indexOutlet != ductsys::kNone)
        for (const std::uint32_t s : result_.pathTo(result_.fan.indexOutlet)) indexRun_[s] = true;
    topologyError_.assign(segments, -1);
    for (std::size_t e = 0; e < result_.errors.size(); ++e)
        for (const std::uint32_t s : result_.errors[e].segments)
            if (s < segments && topologyError_[s] < 0) topologyError_[s] = static_cast<int>(e);
}

void TableModel::refreshAll() {
    // Every figure may have changed; the view asks again only for the cells
    // it shows. Row numbers change only with rows inserted, removed or
    // moved, which the view learns of by itself.
    emit dataChanged(index(0, 0), index(rowCount() - 1, kColumns - 1));
    emit recomputed();
}

}  // namespace table
