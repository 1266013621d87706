// SPDX-License-Identifier: GPL-3.0-or-later
// 管件局部阻力: the fittings of a row's ζ cell. A list of the library's
// fittings with their parameters; the ζ of the fitting being set up, its
// reference velocity and source, computed by the system layer as the user
// types; the cell's terms with their ζ on the segment's velocity and the
// total. Accepting writes the term text into the cell.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QSpinBox;
class QTableWidget;
class QFormLayout;

namespace table {

class TableModel;

class FittingsDialog : public QDialog {
    Q_OBJECT

public:
    FittingsDialog(const TableModel& model, int row, QWidget* parent = nullptr);

    // The cell's text as it stands (as accepted).
    std::string text() const;

    QListWidget* fittings() const { return fittings_; }
    QLineEdit* cell() const { return cell_; }
    QTableWidget* terms() const { return terms_; }
    QLabel* current() const { return current_; }
    QLabel* total() const { return total_; }
    // The box of the selected fitting's parameter `name` ("angle", "r/D", …).
    QLineEdit* parameter(const QString& name) const;
    // The term the fields make, as it would be added.
    std::string term() const;
    // Adds the term the fields make to the cell.
    void addTerm();

private:
    void showFitting();
    void update();

    const TableModel& model_;
    int row_;
    QListWidget* fittings_;
    QFormLayout* form_;
    std::vector<std::pair<QString, QLineEdit*>> fields_;
    QComboBox* method_ = nullptr;
    QLineEdit* reference_ = nullptr;
    QSpinBox* count_;
    QLabel* current_;
    QLineEdit* cell_;
    QTableWidget* terms_;
    QLabel* total_;
};

}  // namespace table
