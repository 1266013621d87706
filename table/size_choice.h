// SPDX-License-Identifier: GPL-3.0-or-later
// 选择尺寸: the standard sizes for a segment's air volume, each computed by
// the system layer with the segment's own wall and formula, against limits
// on the velocity and the friction loss per metre.
#pragma once

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QTableWidget;

namespace ductsys {
struct VelocityPreset;
}

namespace table {

class TableModel;

struct SizeLimits {
    std::optional<double> maxVelocity = 8.0;  // m/s
    std::optional<double> maxRm = 2.0;        // Pa/m
    double maxAspect = 4.0;                   // longer over shorter side
    // A code's velocities (size --preset): its largest limits like
    // maxVelocity, and the sizes within its recommendation are marked.
    const ductsys::VelocityPreset* preset = nullptr;
};

struct SizeOption {
    std::string text;          // as written into the cell: "200", "500x320"
    std::string velocity, rm;  // as shown; empty when not computed
    bool meets = false;
    bool current = false;
    bool recommended = false;  // within the preset's recommended velocities
    double area = 0;           // m2, the cross-section, for the ranking
    // The size as listed: a diameter with φ.
    std::string shown() const;
};

// The options in the order they are offered: within the preset's
// recommendation first, then within the limits, then the rest; each group
// from the smallest cross-section up (the least sheet metal).
void rankSizeOptions(std::vector<SizeOption>& options);

// Every standard diameter, then every pair of standard sides (the longer
// first) within the aspect limit, for the air volume the row carries; the
// row's size is marked current. Empty when the row has no air volume.
std::vector<SizeOption> sizeOptions(const TableModel& model, int row, const SizeLimits& limits);

class SizeDialog : public QDialog {
    Q_OBJECT

public:
    SizeDialog(const TableModel& model, int row, QWidget* parent = nullptr);
    // The size chosen, once accepted.
    std::string chosen() const { return chosen_; }
    QTableWidget* list() const { return list_; }

private:
    void fill();

    const TableModel& model_;
    int row_;
    QComboBox* preset_;
    QLineEdit* maxVelocity_;
    QLineEdit* maxRm_;
    QCheckBox* onlyMeeting_;
    QTableWidget* list_;
    std::vector<SizeOption> options_;
    std::string chosen_;
};

}  // namespace table
