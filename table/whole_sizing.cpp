// SPDX-License-Identifier: GPL-3.0-or-later
#include "table/whole_sizing.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "calc/number_text.h"
#include "system/readers.h"
// The system layer's report texts; table/report.h is the window's printed report.
#include "system/report.h"

namespace table {

namespace {

QString text(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

std::string shown(double x) {
    return ductsys::figureText(x).value_or(std::string(calc::kFailMarker));
}

// The preset groups, each once: slug and Chinese name.
std::vector<std::pair<std::string_view, std::string>> presetGroups() {
    std::vector<std::pair<std::string_view, std::string>> groups;
    for (const ductsys::VelocityPreset& p : ductsys::kVelocityPresets) {
        const std::optional<ductsys::VelocityLimits> l = ductsys::presetLimits(p.slug);
        if (!l || (!groups.empty() && groups.back().first == l->groupSlug)) continue;
        groups.emplace_back(l->groupSlug, l->group + "（" + std::string(l->source) + "）");
    }
    return groups;
}

bool sameSize(std::string_view a, std::string_view b) {
    const std::optional<ductsys::SizeText> x = ductsys::parseSize(a), y = ductsys::parseSize(b);
    if (!x || !y || x->shape != y->shape) return false;
    const auto value = [](const std::string& t) { return ductsys::readCellNumber(t).value; };
    return value(x->a) == value(y->a) && value(x->b) == value(y->b);
}

}  // namespace

SizingPreview previewSizing(const TableModel& model, const ductsys::SizingOptions& options) {
    ductsys::SystemBuilder builder(model.options());
    ductsys::SystemSizer sizer(options);
    std::vector<int> rowOf;
    for (int r = 0; r < model.systemRows(); ++r) {
        // The rows the grid leaves out of its system are left out here too:
        // with them, no air volume would be summed and nothing sized.
        if (!model.rowFault(r).empty()) continue;
        const std::uint32_t s =
            sizer.add(builder, segmentTexts(model.rowTexts(r), model.defaultFormula()));
        if (s != ductsys::kNone) rowOf.push_back(r);
    }
    ductsys::SystemResult result = builder.finish();
    const ductsys::SizingReport report = sizer.finish(result, model.options());

    SizingPreview preview;
    std::vector<std::uint8_t> balanced(result.segments.size(), 0);
    for (const ductsys::SizeChange& c : report.changes)
        if (c.balancing) balanced[c.segment] = 1;
    for (std::uint32_t s = 0; s < result.segments.size(); ++s) {
        if (!report.sized[s]) continue;
        const ductsys::Segment& seg = result.segments[s];
        PreviewRow row;
        row.row = rowOf[s];
        row.segment = ductsys::segmentLabel(result, s);
        row.before = std::string(ductsys::trimmed(model.rowTexts(row.row)[cSize]));
        row.after = ductsys::sizeLabel(seg);
        if (sameSize(row.before, row.after)) continue;
        if (seg.has(ductsys::Figure::velocity)) row.velocity = calc::bareNumberText(seg.velocity);
        if (seg.has(ductsys::Figure::rm)) row.rm = calc::bareNumberText(seg.rm);
        if (report.noFit[s])
            row.note = "无标准尺寸满足限值，取最大";
        else if (balanced[s])
            row.note = "平衡";
        preview.rows.push_back(std::move(row));
    }
    for (const ductsys::Remedy& r : report.remedies) {
        const std::uint32_t node = result.junctions[r.junction].node;
        std::string line = "节点 " + std::string(result.nodeNames[node]) + "：" +
                           ductsys::segmentLabel(result, r.segment) + " 加阀门 " +
                           shown(r.damperPressure) + " Pa";
        if (r.damperZeta) line += "（ζ " + shown(*r.damperZeta) + "）";
        preview.unbalanced.push_back(std::move(line));
    }
    return preview;
}

std::vector<TableModel::CellText> previewCells(const SizingPreview& preview) {
    std::vector<TableModel::CellText> cells;
    for (const PreviewRow& r : preview.rows) cells.push_back({r.row, cSize, r.after});
    return cells;
}

WholeSizingDialog::WholeSizingDialog(const TableModel& model, Mode mode, QWidget* parent)
    : QDialog(parent), model_(model), mode_(mode) {
    setWindowTitle(mode == Mode::size ? QStringLiteral("全部选择尺寸") : QStringLiteral("平衡"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    if (mode == Mode::size) {
        method_ = new QComboBox(this);
        method_->setObjectName(QStringLiteral("method"));
        method_->addItems({QStringLiteral("假定流速法"), QStringLiteral("等摩阻法")});
        form->addRow(QStringLiteral("方法"), method_);
    }
    preset_ = new QComboBox(this);
    preset_->setObjectName(QStringLiteral("preset"));
    for (const auto& [slug, name] : presetGroups()) preset_->addItem(text(name), text(slug));
    preset_->addItem(QStringLiteral("（自定）"), QString());
    form->addRow(QStringLiteral("规范风速"), preset_);
    velocityMain_ = new QLineEdit(QStringLiteral("8"), this);
    velocityMain_->setObjectName(QStringLiteral("velocityMain"));
    velocityBranch_ = new QLineEdit(QStringLiteral("5"), this);
    velocityBranch_->setObjectName(QStringLiteral("velocityBranch"));
    form->addRow(QStringLiteral("干管最大风速 m/s"), velocityMain_);
    form->addRow(QStringLiteral("支管最大风速 m/s"), velocityBranch_);
    if (mode == Mode::size) {
        rm_ = new QLineEdit(QStringLiteral("1"), this);
        rm_->setObjectName(QStringLiteral("rm"));
        form->addRow(QStringLiteral("比摩阻 Pa/m"), rm_);
        all_ = new QCheckBox(QStringLiteral("所有行（不只尺寸为空的行）"), this);
        all_->setObjectName(QStringLiteral("all"));
        form->addRow(all_);
        balance_ = new QCheckBox(QStringLiteral("再平衡各节点"), this);
        balance_->setObjectName(QStringLiteral("balance"));
        form->addRow(balance_);
    }
    layout->addLayout(form);
    list_ = new QTableWidget(this);
    list_->setObjectName(QStringLiteral("preview"));
    list_->setColumnCount(6);
    list_->setHorizontalHeaderLabels({QStringLiteral("管段"), QStringLiteral("原尺寸"),
                                      QStringLiteral("新尺寸"), QStringLiteral("风速 m/s"),
                                      QStringLiteral("比摩阻 Pa/m"), QString()});
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->verticalHeader()->hide();
    layout->addWidget(list_);
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("summary"));
    summary_->setWordWrap(true);
    layout->addWidget(summary_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto custom = [this] {
        const bool own = preset_->currentData().toString().isEmpty();
        velocityMain_->setEnabled(own);
        velocityBranch_->setEnabled(own);
    };
    custom();
    connect(preset_, &QComboBox::currentIndexChanged, this, [this, custom] {
        custom();
        refresh();
    });
    for (QLineEdit* e : {velocityMain_, velocityBranch_, rm_})
        if (e) connect(e, &QLineEdit::textChanged, this, &WholeSizingDialog::refresh);
    if (method_)
        connect(method_, &QComboBox::currentIndexChanged, this, &WholeSizingDialog::refresh);
    for (QCheckBox* c : {all_, balance_})
        if (c) connect(c, &QCheckBox::toggled, this, &WholeSizingDialog::refresh);
    resize(560, 480);
    refresh();
}

std::optional<ductsys::SizingOptions> WholeSizingDialog::options() const {
    ductsys::SizingOptions o;
    auto number = [](const QLineEdit* e) -> std::optional<double> {
        const std::optional<double> v = ductsys::readCellNumber(e->text().toStdString()).value;
        if (!v || !(*v > 0)) return std::nullopt;
        return v;
    };
    const QString slug = preset_->currentData().toString();
    if (!slug.isEmpty()) {
        o.limits = ductsys::presetLimits(slug.toStdString());
    } else {
        const std::optional<double> main = number(velocityMain_), branch = number(velocityBranch_);
        if (!main || !branch) return std::nullopt;
        o.limits = ductsys::targetLimits(*main, *branch);
    }
    if (mode_ == Mode::balance) {
        o.balance = true;
        return o;
    }
    if (method_->currentIndex() == 1) {
        const std::optional<double> rm = number(rm_);
        if (!rm) return std::nullopt;
        o.method = ductsys::SizingMethod::friction;
        o.rm = *rm;
    } else {
        o.method = ductsys::SizingMethod::velocity;
    }
    o.resizeAll = all_->isChecked();
    o.balance = balance_->isChecked();
    return o;
}

void WholeSizingDialog::refresh() {
    if (rm_) rm_->setEnabled(method_->currentIndex() == 1);
    const std::optional<ductsys::SizingOptions> o = options();
    list_->setRowCount(0);
    if (!o) {
        preview_ = {};
        summary_->setText(QStringLiteral("风速与比摩阻须为正数。"));
        return;
    }
    preview_ = previewSizing(model_, *o);
    for (const PreviewRow& p : preview_.rows) {
        const int r = list_->rowCount();
        list_->insertRow(r);
        int c = 0;
        for (const std::string* s : {&p.segment, &p.before, &p.after, &p.velocity, &p.rm, &p.note})
            list_->setItem(r, c++, new QTableWidgetItem(text(*s)));
    }
    QString summary = preview_.rows.empty()
                          ? QStringLiteral("没有尺寸改变。")
                          : QStringLiteral("%1 个尺寸改变。").arg(preview_.rows.size());
    if (!preview_.unbalanced.empty()) {
        summary += QStringLiteral("\n未能在风速限值内平衡的节点：");
        for (const std::string& line : preview_.unbalanced) summary += '\n' + text(line);
    }
    summary_->setText(summary);
}

}  // namespace table
