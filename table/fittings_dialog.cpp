// SPDX-License-Identifier: GPL-3.0-or-later
#include "table/fittings_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "calc/calc_state.h"
#include "calc/number_text.h"
#include "system/fitting_terms.h"
#include "system/fittings.h"
#include "system/readers.h"
#include "table/table_model.h"
#include "table/words.h"

namespace table {

namespace {

namespace fit = ductsys::fittings;

QString q(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QString zetaText(double x) {
    float single = 0;
    if (!calc::storeSingle(single, x)) return QStringLiteral("—");
    return QString::fromStdString(calc::bareNumberText(single));
}

}  // namespace

FittingsDialog::FittingsDialog(const TableModel& model, int row, QWidget* parent)
    : QDialog(parent), model_(model), row_(row) {
    setWindowTitle(QStringLiteral("管件局部阻力"));
    fittings_ = new QListWidget;
    for (const fit::Fitting& f : fit::all())
        fittings_->addItem(q(f.chinese) + QStringLiteral("  ") + q(f.id));
    form_ = new QFormLayout;
    count_ = new QSpinBox;
    count_->setRange(1, 99);
    current_ = new QLabel;
    current_->setWordWrap(true);
    current_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* add = new QPushButton(QStringLiteral("添加到本段(&A)"));
    cell_ = new QLineEdit(
        row < model.systemRows() ? QString::fromStdString(model.rowTexts(row)[cZeta]) : QString());
    cell_->setAccessibleName(QStringLiteral("局部阻力系数"));
    terms_ = new QTableWidget(0, 5);
    terms_->setHorizontalHeaderLabels({QStringLiteral("项"), QStringLiteral("ζ"),
                                       QStringLiteral("参照速度"), QStringLiteral("本段ζ"),
                                       QStringLiteral("出处")});
    terms_->horizontalHeader()->setStretchLastSection(true);
    terms_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    total_ = new QLabel;
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);

    auto* setup = new QVBoxLayout;
    setup->addLayout(form_);
    auto* countRow = new QFormLayout;
    countRow->addRow(QStringLiteral("数量"), count_);
    setup->addLayout(countRow);
    setup->addWidget(current_);
    setup->addWidget(add);
    setup->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(fittings_);
    top->addLayout(setup, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    auto* cellRow = new QFormLayout;
    cellRow->addRow(QStringLiteral("局部阻力系数"), cell_);
    layout->addLayout(cellRow);
    layout->addWidget(terms_);
    layout->addWidget(total_);
    layout->addWidget(buttons);

    connect(fittings_, &QListWidget::currentRowChanged, this, [this] { showFitting(); });
    connect(count_, &QSpinBox::valueChanged, this, [this] { update(); });
    connect(cell_, &QLineEdit::textChanged, this, [this] { update(); });
    connect(add, &QPushButton::clicked, this, [this] { addTerm(); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    fittings_->setCurrentRow(0);
    resize(760, 560);
}

std::string FittingsDialog::text() const { return cell_->text().trimmed().toStdString(); }

QLineEdit* FittingsDialog::parameter(const QString& name) const {
    for (const auto& [n, box] : fields_)
        if (n == name) return box;
    return nullptr;
}

void FittingsDialog::showFitting() {
    while (form_->rowCount() > 0) form_->removeRow(0);
    fields_.clear();
    method_ = nullptr;
    reference_ = nullptr;
    const int index = fittings_->currentRow();
    if (index < 0) return;
    const fit::Fitting& f = fit::all()[static_cast<std::size_t>(index)];
    for (const fit::ParamRule& p : f.params) {
        auto* box = new QLineEdit;
        QString hint;
        if (p.byDefault) hint = QStringLiteral("默认 ") + q(fit::numberText(*p.byDefault));
        if (p.fromSystem != fit::FromSystem::no) hint = QStringLiteral("由系统求出");
        if (p.optional) hint = QStringLiteral("可空");
        box->setPlaceholderText(hint);
        box->setAccessibleName(q(p.caption));
        QString label = q(p.caption) + QStringLiteral(" (") + q(p.name) + QStringLiteral(")");
        if (!p.unit.empty()) label += QStringLiteral(", ") + q(p.unit);
        form_->addRow(label, box);
        fields_.emplace_back(q(p.name), box);
        connect(box, &QLineEdit::textChanged, this, [this] { update(); });
    }
    if (f.methods.size() > 1) {
        method_ = new QComboBox;
        for (const fit::Method& m : f.methods) method_->addItem(q(m.name));
        form_->addRow(QStringLiteral("方法"), method_);
        connect(method_, &QComboBox::currentIndexChanged, this, [this] { update(); });
    }
    if (f.needsReference) {
        reference_ = new QLineEdit;
        reference_->setPlaceholderText(QStringLiteral("样本、手册页码"));
        form_->addRow(QStringLiteral("出处"), reference_);
        connect(reference_, &QLineEdit::textChanged, this, [this] { update(); });
    }
    update();
}

std::string FittingsDialog::term() const {
    const int index = fittings_->currentRow();
    if (index < 0) return {};
    const fit::Fitting& f = fit::all()[static_cast<std::size_t>(index)];
    std::string args;
    auto add = [&](const std::string& a) { args += (args.empty() ? "" : ", ") + a; };
    for (const auto& [name, box] : fields_)
        if (!box->text().trimmed().isEmpty())
            add(name.toStdString() + "=" + box->text().trimmed().toStdString());
    if (method_ && method_->currentIndex() > 0)
        add("method=" + method_->currentText().toStdString());
    if (reference_ && !reference_->text().trimmed().isEmpty())
        add("ref=" + reference_->text().trimmed().toStdString());
    std::string t(f.id);
    if (!args.empty()) t += "(" + args + ")";
    if (count_->value() > 1) t += "*" + std::to_string(count_->value());
    return t;
}

void FittingsDialog::addTerm() {
    const std::string t = term();
    if (t.empty()) return;
    const QString now = cell_->text().trimmed();
    cell_->setText(now.isEmpty() ? QString::fromStdString(t)
                                 : now + QStringLiteral(" + ") + QString::fromStdString(t));
}

void FittingsDialog::update() {
    const std::uint32_t s = model_.segmentOfRow(row_);
    const ductsys::SystemResult& result = model_.result();
    auto preview = [&](const std::string& text) {
        if (s == ductsys::kNone || s >= result.segments.size()) {
            ductsys::ZetaPreview none;
            none.problem = {{msg::Code::rowHasNoSegment, {}}};
            return none;
        }
        return ductsys::previewZeta(result, s, text);
    };

    // The fitting being set up, on this segment.
    const ductsys::ZetaPreview one = preview(term());
    if (!one.problem.empty() || one.terms.empty()) {
        current_->setText(QStringLiteral("无法计算：") + saidList(one.problem));
    } else {
        const ductsys::TermResult& t = one.terms.front();
        current_->setText(
            QStringLiteral("ζ = %1（%2速度）；本段ζ = %3\n出处：%4\n适用：%5")
                .arg(zetaText(t.zeta), q(fit::refersToCaption(t.refersTo)),
                     t.onSegment ? zetaText(*t.onSegment) : QStringLiteral("—"),
                     QString::fromStdString(t.source),
                     t.valid ? QStringLiteral("是") : QStringLiteral("否，") + saidList(t.note)));
    }

    // The whole cell.
    const ductsys::ZetaPreview all = preview(text());
    terms_->setRowCount(static_cast<int>(all.terms.size()));
    for (int i = 0; i < terms_->rowCount(); ++i) {
        const ductsys::TermResult& t = all.terms[static_cast<std::size_t>(i)];
        const QString cells[] = {
            QString::fromStdString(t.text), zetaText(t.zeta), q(fit::refersToCaption(t.refersTo)),
            t.onSegment ? zetaText(*t.onSegment) : QStringLiteral("—"),
            t.id.empty() ? QStringLiteral("数值")
                         : QString::fromStdString(t.source) +
                               (t.valid ? QString()
                                        : QStringLiteral("（超出适用范围：") + saidList(t.note) +
                                              QStringLiteral("）"))};
        for (int c = 0; c < 5; ++c) terms_->setItem(i, c, new QTableWidgetItem(cells[c]));
    }
    if (text().empty())
        total_->setText(QStringLiteral("Σζ = 0"));
    else if (all.sum)
        total_->setText(QStringLiteral("Σζ = ") + zetaText(*all.sum));
    else
        total_->setText(QStringLiteral("Σζ 无法计算：") + saidList(all.problem));
}

}  // namespace table
