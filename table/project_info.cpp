// SPDX-License-Identifier: GPL-3.0-or-later
#include "table/project_info.h"

#include <QDate>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "system/readers.h"

namespace table {

ProjectInfoDialog::ProjectInfoDialog(const DocumentSettings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
    setWindowTitle(QStringLiteral("项目信息"));
    setAccessibleName(QStringLiteral("项目信息"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    const auto field = [this, form](const char* name, const QString& caption,
                                    const std::string& text, const QString& placeholder = {}) {
        auto* edit = new QLineEdit(QString::fromStdString(text), this);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setAccessibleName(caption);
        edit->setPlaceholderText(placeholder);
        edit->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('M')) * 28);
        return edit;
    };
    project_ = field("project", QStringLiteral("工程名称"), settings.project);
    systemName_ = field("systemName", QStringLiteral("子项/系统编号"), settings.systemName);
    designer_ = field("designer", QStringLiteral("设计"), settings.designer);
    checker_ = field("checker", QStringLiteral("校对"), settings.checker);
    reviewer_ = field("reviewer", QStringLiteral("审核"), settings.reviewer);
    date_ =
        field("date", QStringLiteral("日期"), settings.date, QStringLiteral("空白时为打印当天"));
    leakage_ =
        field("leakage", QStringLiteral("漏风附加 %"), settings.leakage, QStringLiteral("0"));
    form->addRow(QStringLiteral("工程名称(&N)"), project_);
    form->addRow(QStringLiteral("子项/系统编号(&S)"), systemName_);
    form->addRow(QStringLiteral("设计(&D)"), designer_);
    form->addRow(QStringLiteral("校对(&C)"), checker_);
    form->addRow(QStringLiteral("审核(&R)"), reviewer_);
    auto* dateRow = new QHBoxLayout;
    dateRow->addWidget(date_, 1);
    auto* today = new QPushButton(QStringLiteral("今天(&T)"), this);
    today->setObjectName(QStringLiteral("today"));
    today->setAccessibleName(QStringLiteral("日期填今天"));
    today->setAutoDefault(false);
    connect(today, &QPushButton::clicked, this, [this] {
        date_->setText(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
    });
    dateRow->addWidget(today);
    form->addRow(QStringLiteral("日期(&A)"), dateRow);
    form->addRow(QStringLiteral("漏风附加 %(&L)"), leakage_);
    layout->addLayout(form);
    problem_ = new QLabel(this);
    problem_->setObjectName(QStringLiteral("problem"));
    problem_->setWordWrap(true);
    problem_->setStyleSheet(QStringLiteral("color: #b00000"));
    problem_->hide();
    layout->addWidget(problem_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(leakage_, &QLineEdit::textChanged, this, [this] {
        const QString why = leakageProblem();
        problem_->setText(why);
        problem_->setVisible(!why.isEmpty());
    });
}

QLineEdit* ProjectInfoDialog::field(const QString& name) const {
    return findChild<QLineEdit*>(name);
}

DocumentSettings ProjectInfoDialog::settings() const {
    DocumentSettings s = settings_;
    const auto text = [](const QLineEdit* e) {
        return std::string(ductsys::trimmed(e->text().toStdString()));
    };
    s.project = text(project_);
    s.systemName = text(systemName_);
    s.designer = text(designer_);
    s.checker = text(checker_);
    s.reviewer = text(reviewer_);
    s.date = text(date_);
    s.leakage = text(leakage_);
    return s;
}

QString ProjectInfoDialog::leakageProblem() const {
    const std::string text = leakage_->text().toStdString();
    if (ductsys::trimmed(text).empty()) return {};
    const auto read = ductsys::readCellNumber(ductsys::trimmed(text));
    if (read.value && std::isfinite(*read.value) && *read.value >= 0) return {};
    return QStringLiteral("漏风附加须为不小于 0 的百分数，如 5 表示 5 %。");
}

void ProjectInfoDialog::accept() {
    // A leakage allowance that does not read is not taken as 0 in silence.
    const QString why = leakageProblem();
    problem_->setText(why);
    problem_->setVisible(!why.isEmpty());
    if (!why.isEmpty()) {
        leakage_->setFocus();
        return;
    }
    QDialog::accept();
}

}  // namespace table
