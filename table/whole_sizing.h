// SPDX-License-Identifier: GPL-3.0-or-later
// 全部选择尺寸 and 平衡: the system layer sizes or balances the grid's whole
// system, the dialog shows what would change, and the window applies it as
// one undoable step.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "system/sizing.h"
#include "table/table_model.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QTableWidget;

namespace table {

// One size that would change.
struct PreviewRow {
    int row;  // the grid's row
    std::string segment;
    std::string before;  // the cell as typed
    std::string after;   // as the cell will read
    std::string velocity, rm;
    std::string note;  // no size meets the limit, or a balancing resize
};

struct SizingPreview {
    std::vector<PreviewRow> rows;
    // The junctions left over the limit, one line each with their dampers.
    std::vector<std::string> unbalanced;
};

// What sizing (or balancing) the model's rows with `options` would change.
SizingPreview previewSizing(const TableModel& model, const ductsys::SizingOptions& options);

// The size cells a preview sets.
std::vector<TableModel::CellText> previewCells(const SizingPreview& preview);

class WholeSizingDialog : public QDialog {
    Q_OBJECT

public:
    enum class Mode { size, balance };
    WholeSizingDialog(const TableModel& model, Mode mode, QWidget* parent = nullptr);

    const SizingPreview& preview() const { return preview_; }
    QTableWidget* list() const { return list_; }
    // The options as the dialog's fields give them; none (with the reason
    // shown) when a field does not read.
    std::optional<ductsys::SizingOptions> options() const;

private:
    void refresh();

    const TableModel& model_;
    Mode mode_;
    QComboBox* method_ = nullptr;
    QComboBox* preset_;
    QLineEdit* velocityMain_;
    QLineEdit* velocityBranch_;
    QLineEdit* rm_ = nullptr;
    QCheckBox* all_ = nullptr;
    QCheckBox* balance_ = nullptr;
    QTableWidget* list_;
    QLabel* summary_;
    SizingPreview preview_;
};

}  // namespace table
