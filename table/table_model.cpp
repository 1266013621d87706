// SPDX-License-Identifier: GPL-3.0-or-later
#include "table/table_model.h"

#include <QColor>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <utility>

#include "calc/calc_state.h"
#include "calc/number_text.h"
#include "system/air_state.h"
#include "system/cell_warnings.h"
#include "system/document_settings.h"
#include "system/junction_remedies.h"
#include "system/left_out.h"
#include "system/paste_block.h"
#include "system/readers.h"
#include "system/report.h"
#include "table/words.h"
#include "widgets/marks.h"

namespace table {

QString shownFigure(std::optional<double> value) {
    float x = 0;
    if (!value || !calc::storeSingle(x, *value)) return QString::fromUtf8(calc::kFailMarker.data());
    return QString::fromStdString(calc::bareNumberText(x));
}

namespace {

// A figure as the window shows it, without the leading blank; empty when
// the segment does not hold it.
std::string shownFigure(const ductsys::Segment& s, int column) {
    using ductsys::Figure;
    float value = 0;
    Figure figure{};
    switch (column) {
        case cFlowInUse:
            figure = Figure::flow, value = s.flow;
            break;
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
    InsertRowsCommand(TableModel* model, int row, TableModel::RowBlock rows, bool remove,
                      const QString& name)
        : QUndoCommand(name),
          model_(model),
          row_(row),
          count_(static_cast<int>(rows.texts.size())),
          rows_(std::move(rows)),
          remove_(remove) {}
    void redo() override { remove_ ? take() : put(); }
    void undo() override { remove_ ? put() : take(); }

private:
    void put() { model_->applyInsert(row_, rows_); }
    void take() { rows_ = model_->applyRemove(row_, count_); }
    TableModel* model_;
    int row_;
    int count_;
    TableModel::RowBlock rows_;
    bool remove_;
};

class SettingsCommand : public QUndoCommand {
public:
    SettingsCommand(TableModel* model, DocumentSettings before, DocumentSettings after,
                    const QString& name)
        : QUndoCommand(name.isEmpty() ? QStringLiteral("修改设置") : name),
          model_(model),
          before_(std::move(before)),
          after_(std::move(after)) {}
    void redo() override { model_->applySettings(after_); }
    void undo() override { model_->applySettings(before_); }

private:
    TableModel* model_;
    DocumentSettings before_, after_;
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

TableModel::TableModel(QObject* parent)
    : QAbstractTableModel(parent),
      warningIcon_(widgets::warningMark()),
      errorIcon_(widgets::errorMark()) {
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

bool TableModel::overLimit(int row) const {
    const std::uint32_t s = segmentOfRow(row);
    return s != ductsys::kNone && ductsys::aboveVelocity(result_.segments[s], maxVelocity_);
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
            out += ductsys::tabField(cellText(row, column));
        }
        out += '\n';
    }
    return out;
}

QString TableModel::cellWarning(int row, int column) const {
    if (row < 0 || row >= systemRows() || !isInput(column)) return {};
    return saidLines(ductsys::cellWarning(static_cast<ductsys::Column>(column),
                                          rows_[static_cast<std::size_t>(row)][column]));
}

const std::vector<std::string>& TableModel::keptTexts(int row) const {
    static const std::vector<std::string> kNone;
    if (row < 0 || static_cast<std::size_t>(row) >= kept_.size()) return kNone;
    return kept_[static_cast<std::size_t>(row)];
}

namespace {

// Each term of a ζ cell with fittings: its ζ on the segment's velocity and
// its source, and the range it left when it left one.
QString termsTip(const ductsys::ZetaDetail& d) {
    QString tip;
    for (const ductsys::TermResult& t : d.terms) {
        if (!tip.isEmpty()) tip += '\n';
        tip += QString::fromStdString(t.text) + QStringLiteral("：ζ ");
        float single = 0;
        tip += t.onSegment && calc::storeSingle(single, *t.onSegment)
                   ? QString::fromStdString(calc::bareNumberText(single))
                   : QStringLiteral("—");
        if (!t.source.empty()) tip += QStringLiteral("，") + QString::fromStdString(t.source);
        if (!t.valid)
            tip += QStringLiteral("（超出适用范围：") + saidList(t.note) + QStringLiteral("）");
    }
    return tip;
}

}  // namespace

QVariant TableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const int row = index.row(), column = index.column();
    const std::uint32_t s = segmentOfRow(row);
    const ductsys::Segment* segment = s == ductsys::kNone ? nullptr : &result_.segments[s];
    switch (role) {
        case Qt::DisplayRole:
            // A cell of fittings shows the Σζ they come to beside its text.
            if (column == cZeta && segment && result_.zetaDetail(s) &&
                segment->has(ductsys::Figure::zeta))
                return QString::fromStdString(cellText(row, column)) + QStringLiteral("  ⇒ Σζ ") +
                       QString::fromStdString(
                           calc::bareNumberText(static_cast<float>(segment->zeta)));
            return QString::fromStdString(cellText(row, column));
        case Qt::EditRole:
            return QString::fromStdString(cellText(row, column));
        case Qt::DecorationRole:
            if (isInput(column) && !cellWarning(row, column).isEmpty()) return warningIcon_;
            if (column == cSegment && segment && (!segment->ok() || topologyError_[s] >= 0))
                return errorIcon_;
            if (column == cSegment && !rowFault(row).empty()) return errorIcon_;
            if (column == cReynolds && segment && segment->laminar()) return warningIcon_;
            return {};
        case Qt::ToolTipRole:
        case Qt::AccessibleDescriptionRole: {
            QString tip = cellWarning(row, column);
            if (segment && (column == cSegment || !isInput(column))) {
                if (!segment->ok())
                    tip += (tip.isEmpty() ? "" : "\n") + QStringLiteral("本段未能全部算出：") +
                           saidList(segment->reason);
                if (topologyError_[s] >= 0)
                    tip +=
                        (tip.isEmpty() ? "" : "\n") +
                        said(result_.errors[static_cast<std::size_t>(topologyError_[s])].message);
            }
            if (column == cReynolds && segment && segment->laminar())
                tip += (tip.isEmpty() ? "" : "\n") +
                       QStringLiteral("雷诺数 %1 小于 2300：为层流，两种摩擦系数公式均不适用")
                           .arg(QString::fromStdString(calc::bareNumberText(segment->reynolds)));
            if (const ductsys::ZetaDetail* d =
                    column == cZeta && segment ? result_.zetaDetail(s) : nullptr)
                tip += (tip.isEmpty() ? "" : "\n") + termsTip(*d);
            if (!segment && (column == cSegment || !isInput(column)) && !rowFault(row).empty())
                tip += (tip.isEmpty() ? "" : "\n") + QStringLiteral("本行未计入系统：") +
                       QString::fromStdString(rowFault(row));
            if (column == cVelocity && overLimit(row)) {
                tip += (tip.isEmpty() ? "" : "\n") +
                       QStringLiteral("风速超过限值 %1 m/s").arg(shownFigure(*maxVelocity_));
            }
            if (role == Qt::AccessibleDescriptionRole && column == cSegment && onIndexRun(row))
                tip += (tip.isEmpty() ? "" : "\n") + QStringLiteral("最不利环路上的管段");
            if (role == Qt::ToolTipRole && tip.isEmpty()) return {};
            return tip;
        }
        case Qt::TextAlignmentRole:
            if (column >= cFlow && column != cUnit && column != cMaterial)
                return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
            return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
        case Qt::ForegroundRole:
            if (column == cVelocity && overLimit(row)) return QColor(0xc0, 0x00, 0x00);
            if (!isInput(column)) return QColor(0x55, 0x55, 0x55);
            return {};
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
    RowBlock blank;
    blank.texts.resize(static_cast<std::size_t>(count));
    blank.kept.resize(static_cast<std::size_t>(count));
    undo_.push(new InsertRowsCommand(this, row, std::move(blank), false, QStringLiteral("插入行")));
}

void TableModel::removeSystemRows(int row, int count) {
    row = std::max(row, 0);
    count = std::min(count, systemRows() - row);
    if (count <= 0) return;
    RowBlock taken;
    taken.texts.resize(static_cast<std::size_t>(count));
    undo_.push(new InsertRowsCommand(this, row, std::move(taken), true, QStringLiteral("删除行")));
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
    kept_.assign(rows_.size(), {});
    recompute();
    endResetModel();
    undo_.clear();
    emit recomputed();
}

void TableModel::loadDocument(LoadedSystem loaded) {
    layout_ = std::move(loaded.layout);
    settings_ = {};
    applySettingsOnly(loaded.settings);
    beginResetModel();
    rows_ = std::move(loaded.rows);
    kept_ = std::move(loaded.kept);
    kept_.resize(rows_.size());
    recompute();
    endResetModel();
    undo_.clear();
    emit settingsChanged();
    emit recomputed();
}

std::string TableModel::fileText() const {
    return systemFileText(rows_, kept_, layout_, settings_);
}

void TableModel::setSettings(const DocumentSettings& settings, const QString& name) {
    if (settings == settings_) return;
    undo_.push(new SettingsCommand(this, settings_, settings, name));
}

void TableModel::applySettings(const DocumentSettings& settings) {
    applySettingsOnly(settings);
    recompute();
    refreshAll();
    emit settingsChanged();
}

void TableModel::applySettingsOnly(const DocumentSettings& settings) {
    settings_ = settings;
    ductsys::Options options;
    QStringList problems;
    // A setting that does not read whole as a number of its range is named
    // and left out: the default stands for it.
    const ductsys::SettingsReading reading = ductsys::readSettingValues(settings);
    for (const ductsys::SettingProblem& p : reading.problems) {
        const QString name =
            QString::fromUtf8(p.setting->name.data(), qsizetype(p.setting->name.size()));
        const QString text = QString::fromStdString(p.text);
        if (p.setting->field == &DocumentSettings::formula)
            problems << QStringLiteral("空白公式“%1”不是 1 或 2，按公式%2计算")
                            .arg(text, ductsys::kSystemFormula == 2 ? QStringLiteral("二")
                                                                    : QStringLiteral("一"));
        else
            problems << QStringLiteral("%1“%2”无法读取，按默认值计算").arg(name, text);
    }
    const ductsys::SettingValues& v = reading.values;
    options.fanNode = v.fan;
    if (v.maxImbalance) options.maxImbalance = *v.maxImbalance;
    if (v.margin) options.fanMargin = *v.margin;
    maxVelocity_ = v.maxVelocity;
    leakage_ = v.leakage;
    // An entry that cannot be read is named above and left out: the air
    // stands for what was read, and the report says the same.
    const ductsys::AirReading air =
        ductsys::airInUse({.temperature = v.temperature, .altitude = v.altitude});
    if (air.ok()) {
        options.air = air.air.state;
        temperature_ = air.air.temperature;
        pressure_ = air.air.pressure;
        airGiven_ = air.air.given;
    } else {
        problems << QStringLiteral("温度或海拔无法计算空气状态，按 20 °C、101.325 kPa 计算");
        temperature_ = ductsys::kStandardTemperatureC;
        pressure_ = ductsys::kSeaLevelKPa;
        airGiven_ = false;
    }
    formula_.assign(1, static_cast<char>('0' + v.formula.value_or(ductsys::kSystemFormula)));
    // The document's formula for rows that name none stands in for the
    // system's own default, so that every use of the options computes alike.
    options.formula = formula_ == "2" ? 2 : 1;
    options_ = std::move(options);
    settingsProblem_ = problems.join(QLatin1Char('\n'));
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
        kept_.resize(rows_.size());
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

void TableModel::applyInsert(int row, RowBlock rows) {
    const int count = static_cast<int>(rows.texts.size());
    rows.kept.resize(rows.texts.size());
    beginInsertRows({}, row, row + count - 1);
    rows_.insert(rows_.begin() + row, std::make_move_iterator(rows.texts.begin()),
                 std::make_move_iterator(rows.texts.end()));
    kept_.insert(kept_.begin() + row, std::make_move_iterator(rows.kept.begin()),
                 std::make_move_iterator(rows.kept.end()));
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
    kept_.resize(rows_.size());
    recompute();
    endRemoveRows();
    refreshAll();
}

TableModel::RowBlock TableModel::applyRemove(int row, int count) {
    beginRemoveRows({}, row, row + count - 1);
    RowBlock taken;
    taken.texts.assign(std::make_move_iterator(rows_.begin() + row),
                       std::make_move_iterator(rows_.begin() + row + count));
    taken.kept.assign(std::make_move_iterator(kept_.begin() + row),
                      std::make_move_iterator(kept_.begin() + row + count));
    rows_.erase(rows_.begin() + row, rows_.begin() + row + count);
    kept_.erase(kept_.begin() + row, kept_.begin() + row + count);
    recompute();
    endRemoveRows();
    refreshAll();
    return taken;
}

void TableModel::applyMove(int row, int count, int delta) {
    const int destination = delta < 0 ? row + delta : row + count + delta;
    beginMoveRows({}, row, row + count - 1, {}, destination);
    const auto turn = [&](auto& rows) {
        const auto first = rows.begin() + row;
        if (delta < 0)
            std::rotate(first + delta, first, first + count);
        else
            std::rotate(first, first + count, first + count + delta);
    };
    turn(rows_);
    turn(kept_);
    recompute();
    endMoveRows();
    refreshAll();
}

void TableModel::build(const std::vector<bool>& leftOut, int round) {
    ductsys::SystemBuilder builder(options_);
    builder.setMemo(&memo_);
    builder.setTopologyMemo(&topologyMemos_[static_cast<std::size_t>(round)]);
    builder.reserve(rows_.size());
    rowSegment_.resize(rows_.size());
    for (std::size_t r = 0; r < rows_.size(); ++r) {
        if (leftOut[r]) {
            rowSegment_[r] = ductsys::kNone;
            continue;
        }
        rowSegment_[r] = builder.add(segmentTexts(rows_[r], formula_));
    }
    result_ = builder.finish();
    const std::size_t segments = result_.segments.size();
    segmentRow_.assign(segments, -1);
    for (std::size_t r = 0; r < rows_.size(); ++r)
        if (rowSegment_[r] != ductsys::kNone) segmentRow_[rowSegment_[r]] = static_cast<int>(r);
}

void TableModel::recompute() {
    // A row at fault (not connected, named twice, in a loop) is left out
    // and carries its own mark; the rest is computed without it. What is
    // left out may leave others unconnected: a few rounds settle it.
    std::vector<bool> leftOut(rows_.size(), false);
    rowFault_.assign(rows_.size(), {});
    faultCount_ = 0;
    for (int round = 0;; ++round) {
        build(leftOut, round);
        if (result_.errors.empty() || round + 1 == kRecomputeRounds) break;
        const std::vector<std::uint32_t> leave = ductsys::segmentsToLeaveOut(result_);
        if (leave.empty()) break;
        for (const ductsys::TopologyError& e : result_.errors)
            for (const std::uint32_t s : e.segments) {
                if (!std::binary_search(leave.begin(), leave.end(), s)) continue;
                std::string& fault = rowFault_[static_cast<std::size_t>(segmentRow_[s])];
                if (fault.empty()) ++faultCount_;
                fault +=
                    (fault.empty() ? "" : "\n") + msg::render(e.message, msg::Language::chinese);
            }
        for (const std::uint32_t s : leave)
            leftOut[static_cast<std::size_t>(segmentRow_[s])] = true;
    }
    const std::size_t segments = result_.segments.size();
    indexRun_ = ductsys::indexRunSegments(result_);
    topologyError_.assign(segments, -1);
    for (std::size_t e = 0; e < result_.errors.size(); ++e)
        for (const std::uint32_t s : result_.errors[e].segments)
            if (s < segments && topologyError_[s] < 0) topologyError_[s] = static_cast<int>(e);
    rolesKnown_ = false;
}

std::vector<ductsys::Remedy> TableModel::allRemedies() const {
    return ductsys::systemRemedies(result_, options_, maxVelocity_);
}

std::vector<ductsys::Remedy> TableModel::remediesAt(std::uint32_t junction) const {
    if (junction >= result_.junctions.size() || !result_.junctions[junction].flagged) return {};
    if (!rolesKnown_) {
        roles_ = ductsys::assignRoles(result_, {});
        rolesKnown_ = true;
    }
    return ductsys::remediesAt(result_, junction, roles_, options_, maxVelocity_);
}

bool TableModel::applyRemedy(ductsys::Remedy r, RemedyKind kind) {
    const int row = rowOfSegment(r.segment);
    if (row < 0) return false;
    if (kind == RemedyKind::damper) {
        if (!r.damperZeta) return false;
        setMarkedCells({{row, cZeta, ductsys::zetaWithDamper(rowTexts(row)[cZeta], *r.damperZeta)}},
                       QStringLiteral("加阀门"));
    } else {
        if (r.resize.empty()) return false;
        setMarkedCells({{row, cSize, r.resize}}, QStringLiteral("改尺寸"));
    }
    return true;
}

const std::string& TableModel::rowFault(int row) const {
    static const std::string kNone;
    if (row < 0 || static_cast<std::size_t>(row) >= rowFault_.size()) return kNone;
    return rowFault_[static_cast<std::size_t>(row)];
}

void TableModel::refreshAll() {
    // Every figure may have changed; the view asks again only for the cells
    // it shows. Row numbers change only with rows inserted, removed or
    // moved, which the view learns of by itself.
    emit dataChanged(index(0, 0), index(rowCount() - 1, kColumns - 1));
    emit recomputed();
}

}  // namespace table
