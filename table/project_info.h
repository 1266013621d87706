// SPDX-License-Identifier: GPL-3.0-or-later
// 项目信息: the title block of the 计算书 (工程名称, 子项/系统编号, 设计, 校对,
// 审核, 日期) and the leakage allowance on the fan's air volume, edited as
// part of the document: the window applies them as one undoable step, and
// the file keeps them as name,value rows above its header.
#pragma once

#include <QDialog>

#include "table/system_file.h"

class QLabel;
class QLineEdit;

namespace table {

class ProjectInfoDialog : public QDialog {
    Q_OBJECT

public:
    ProjectInfoDialog(const DocumentSettings& settings, QWidget* parent = nullptr);

    // The document's settings with the dialog's fields as typed.
    DocumentSettings settings() const;
    // The field of a setting by its object name ("project", "leakage"…).
    QLineEdit* field(const QString& name) const;

    void accept() override;

private:
    // Why the leakage allowance cannot be read; empty when it can.
    QString leakageProblem() const;

    DocumentSettings settings_;
    QLineEdit* project_;
    QLineEdit* systemName_;
    QLineEdit* designer_;
    QLineEdit* checker_;
    QLineEdit* reviewer_;
    QLineEdit* date_;
    QLineEdit* leakage_;
    QLabel* problem_;
};

}  // namespace table
