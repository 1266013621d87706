// SPDX-License-Identifier: GPL-3.0-or-later
// The grid's model: the rows of a duct system as typed, and the system
// layer's figures for them. Every change of a text recomputes the whole
// system; the model computes nothing itself. Every change goes through the
// model's undo stack.
#pragma once

#include <QAbstractTableModel>
#include <QIcon>
#include <QUndoStack>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "system/air_state.h"
#include "system/roles.h"
#include "system/segment_figures.h"
#include "system/sizing.h"
#include "system/system.h"
#include "system/topology.h"
#include "table/columns.h"
#include "table/rows.h"
#include "table/system_file.h"

namespace table {

// A double figure of the system (a path or branch total, the fan's) as the
// window shows it once stored in single; "—" when it cannot be.
QString shownFigure(std::optional<double> value);

class TableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit TableModel(QObject* parent = nullptr);

    // Beyond the system's rows there is always one empty row: typing into
    // it, or pasting across it, adds rows.
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // An edit of one input cell, as an undoable step.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    QUndoStack* undoStack() { return &undo_; }

    // The system's rows (without the empty row at the end).
    int systemRows() const { return static_cast<int>(rows_.size()); }
    const RowTexts& rowTexts(int row) const { return rows_[static_cast<std::size_t>(row)]; }
    const ductsys::SystemResult& result() const { return result_; }
    // The segment a row computes, or ductsys::kNone for a blank row.
    std::uint32_t segmentOfRow(int row) const;
    // The row of a segment.
    int rowOfSegment(std::uint32_t segment) const;
    // Whether a row lies on the index run (最不利环路).
    bool onIndexRun(int row) const;
    // Why a row is left out of the system (not connected, named twice, in a
    // loop), the system layer's words; empty for a row computed with it.
    const std::string& rowFault(int row) const;
    // How many rows are left out.
    int faultCount() const { return faultCount_; }
    // Whether a row's velocity lies above the limit in use (最大风速).
    bool overLimit(int row) const;
    // The formula rows that name none compute with: "1" or "2".
    const std::string& defaultFormula() const { return formula_; }

    // The text a cell shows: an input as typed, a figure as the window shows
    // it without the leading blank (empty where there is none).
    std::string cellText(int row, int column) const;
    // The warning an input cell carries: the calculator's reading warning,
    // or why the system layer could not read it; empty when it reads whole.
    QString cellWarning(int row, int column) const;
    // The cells of a rectangle as a tab-separated block, one line per row:
    // inputs as typed, figures as shown (plain numbers, no leading blank).
    std::string blockText(int top, int left, int bottom, int right) const;

    // Undoable steps. `name` is the undo stack's text for the step.
    void setBlock(int row, int column, const TextBlock& block, const QString& name);
    void clearCells(const QModelIndexList& cells);
    void insertBlankRows(int row, int count);
    void removeSystemRows(int row, int count);
    // Moves rows [row, row + count) by `delta` rows (negative: up).
    bool moveSystemRows(int row, int count, int delta);
    // Sets cells anywhere in the system's rows as one step, and marks them
    // until the next step (an edit, an undo) changes the undo stack.
    struct CellText {
        int row, column;
        std::string text;
    };
    void setMarkedCells(std::vector<CellText> cells, const QString& name);
    bool marked(int row, int column) const;

    // What would balance each junction over the limit, by the system
    // layer: for each lighter branch a damper and a resize. Worked out when
    // asked, not on every edit: every junction, fan outward, for a report;
    // one junction for the panel.
    std::vector<ductsys::Remedy> allRemedies() const;
    std::vector<ductsys::Remedy> remediesAt(std::uint32_t junction) const;
    enum class RemedyKind { damper, resize };
    // Applies a remedy as one undoable step, its cell marked: the damper's
    // ζ added to the branch's first segment's ζ cell, or the resize's size
    // written into its size cell. False (nothing done) when that remedy
    // gives nothing to apply.
    bool applyRemedy(ductsys::Remedy remedy, RemedyKind kind);

    // Replaces every row at once and clears the undo stack; the document's
    // settings and file columns stay.
    void resetRows(std::vector<RowTexts> rows);
    // Replaces the whole document (a file opened, or a new one) and clears
    // the undo stack.
    void loadDocument(LoadedSystem loaded);
    // The document as its file holds it.
    std::string fileText() const;
    const DocumentLayout& layout() const { return layout_; }
    // The texts of the columns the grid only carries, of a row.
    const std::vector<std::string>& keptTexts(int row) const;

    // The document's settings as typed; setting them is an undoable step.
    const DocumentSettings& settings() const { return settings_; }
    void setSettings(const DocumentSettings& settings, const QString& name = {});
    void applySettings(const DocumentSettings& settings);
    // What in the settings could not be read, and what is used instead;
    // empty when all is read.
    QString settingsProblem() const { return settingsProblem_; }
    // The velocity limit in use (最大风速), none when there is none.
    std::optional<double> maxVelocity() const { return maxVelocity_; }
    // The leakage allowance on the fan's air volume (漏风附加) as a
    // fraction, none when the document gives none.
    std::optional<double> leakage() const { return leakage_; }
    // The air's temperature (°C) and pressure (kPa) the figures stand for.
    double temperature() const { return temperature_; }
    double pressure() const { return pressure_; }
    // Whether the air was given (a readable temperature or altitude) rather
    // than the window's own.
    bool airGiven() const { return airGiven_; }

    // The computation's options: the air, limits and margin, as the
    // settings give them.
    const ductsys::Options& options() const { return options_; }

    // Applies without the undo stack; for its commands.
    struct CellChange {
        int row, column;
        std::string text;
    };
    // Sets cells, first adding `addRows` blank rows at the end; returns the
    // changes that undo it (and the rows to remove again).
    std::vector<CellChange> applyCells(const std::vector<CellChange>& changes, int addRows);
    struct RowBlock {
        std::vector<RowTexts> texts;
        std::vector<std::vector<std::string>> kept;
    };
    void applyInsert(int row, RowBlock rows);
    RowBlock applyRemove(int row, int count);
    // Removes the last `count` rows (added by applyCells).
    void applyTrim(int count);
    void applyMove(int row, int count, int delta);

signals:
    // After every recalculation.
    void recomputed();
    // After the settings changed (an edit, its undo, a file opened).
    void settingsChanged();

private:
    // Rounds of recompute() at most: each leaves out the rows at fault in
    // the last, which may leave others unconnected.
    static constexpr int kRecomputeRounds = 4;
    void recompute();
    void refreshAll();
    void applySettingsOnly(const DocumentSettings& settings);
    // `round`: of recompute(), each with its own rows left out.
    void build(const std::vector<bool>& leftOut, int round);

    std::vector<RowTexts> rows_;
    std::vector<std::vector<std::string>> kept_;  // by row; may be shorter than rows_
    DocumentLayout layout_;
    DocumentSettings settings_;
    QString settingsProblem_;
    std::optional<double> maxVelocity_;
    std::optional<double> leakage_;
    double temperature_ = ductsys::kStandardTemperatureC, pressure_ = ductsys::kSeaLevelKPa;
    bool airGiven_ = false;
    std::string formula_ = "2";  // for rows that name none
    // 公式一 for rows that name none until the document's setting says otherwise.
    ductsys::Options options_ = [] {
        ductsys::Options o;
        o.formula = 1;
        return o;
    }();
    ductsys::SystemResult result_;
    // What each segment's computation gave last time: an edit computes
    // again only the segments it changed.
    ductsys::ComputeMemo memo_;
    // The nodes and tree of each round of recompute(): an edit that leaves
    // every 段号, 起点 and 终点 as it was finds no name and walks no tree.
    std::array<ductsys::TopologyMemo, kRecomputeRounds> topologyMemos_;
    mutable std::vector<ductsys::Role> roles_;  // by segment, once asked for
    mutable bool rolesKnown_ = false;
    std::vector<std::uint32_t> rowSegment_;  // by row
    std::vector<int> segmentRow_;            // by segment
    std::vector<bool> indexRun_;             // by segment
    std::vector<int> topologyError_;         // by segment: index into result_.errors, or -1
    std::vector<std::string> rowFault_;      // by row: why it is left out of the system
    int faultCount_ = 0;
    QUndoStack undo_;
    std::vector<std::pair<int, int>> marked_;  // sorted (row, column)
    int markedAt_ = -1;                        // the undo stack's index they hold for
    QIcon warningIcon_;
    QIcon errorIcon_;
};

}  // namespace table
