// SPDX-License-Identifier: GPL-3.0-or-later
#include "table/size_choice.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "calc/number_reading.h"
#include "calc/number_text.h"
#include "calc/tables.h"
#include "system/presets.h"
#include "system/readers.h"
#include "system/sizes.h"
#include "system/system.h"
#include "table/table_model.h"

namespace table {

namespace {

std::string shown(float x) { return calc::bareNumberText(x); }

bool sameSize(const std::optional<ductsys::SizeText>& a, const ductsys::SizeText& b) {
    if (!a || a->shape != b.shape) return false;
    const auto value = [](const std::string& t) { return ductsys::readCellNumber(t).value; };
    return value(a->a) == value(b.a) && value(a->b) == value(b.b);
}

}  // namespace

std::string SizeOption::shown() const {
    return text.find('x') == std::string::npos ? "φ" + text : text;
}

void rankSizeOptions(std::vector<SizeOption>& options) {
    const auto group = [](const SizeOption& o) { return o.recommended ? 0 : o.meets ? 1 : 2; };
    std::stable_sort(options.begin(), options.end(), [&](const SizeOption& a, const SizeOption& b) {
        if (group(a) != group(b)) return group(a) < group(b);
        return a.area < b.area;
    });
}

std::vector<SizeOption> sizeOptions(const TableModel& model, int row, const SizeLimits& limits) {
    const std::uint32_t s = model.segmentOfRow(row);
    if (s == ductsys::kNone) return {};
    const ductsys::Segment& segment = model.result().segments[s];
    if (!segment.has(ductsys::Figure::flow)) return {};
    const RowTexts& texts = model.rowTexts(row);
    const auto current = ductsys::parseSize(texts[cSize]);
    const std::optional<calc::DuctInput> input = ductsys::sizingInput(
        {.material = texts[cMaterial], .k = texts[cK], .formula = texts[cFormula]}, segment.flow,
        model.options().air);

    std::vector<ductsys::SizeCandidate> candidates;
    if (input) {
        candidates = ductsys::sizeCandidates(*input, limits.maxAspect);
    } else {
        // A wall or formula that cannot be read: the sizes without figures.
        calc::DuctInput none;
        candidates = ductsys::sizeCandidates(none, limits.maxAspect);
        for (ductsys::SizeCandidate& c : candidates)
            c.failure = msg::Message{msg::Code::sizeNoWall, {}};
    }
    ductsys::judgeSizes(
        candidates,
        {.maxVelocity = limits.maxVelocity, .maxRm = limits.maxRm, .preset = limits.preset});

    std::vector<SizeOption> options;
    options.reserve(candidates.size());
    for (const ductsys::SizeCandidate& c : candidates) {
        SizeOption option;
        option.text = c.text;
        option.current = sameSize(current, *ductsys::parseSize(c.text));
        if (c.computed()) {
            option.velocity = shown(c.velocity);
            option.rm = shown(c.rm);
        }
        option.meets = c.meets.value_or(c.computed());
        option.recommended = c.recommended.value_or(false);
        option.area = c.area;
        options.push_back(std::move(option));
    }
    return options;
}

SizeDialog::SizeDialog(const TableModel& model, int row, QWidget* parent)
    : QDialog(parent), model_(model), row_(row) {
    setWindowTitle(QStringLiteral("选择尺寸"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    maxVelocity_ = new QLineEdit(QStringLiteral("8"), this);
    maxRm_ = new QLineEdit(QStringLiteral("2"), this);
    // A code's largest velocity for the kind of duct, as `size --preset`
    // takes it; choosing one fills the velocity limit, which stays editable.
    preset_ = new QComboBox(this);
    preset_->setObjectName(QStringLiteral("preset"));
    preset_->addItem(QStringLiteral("（自定）"));
    for (const ductsys::VelocityPreset& p : ductsys::kVelocityPresets)
        preset_->addItem(QStringLiteral("%1（%2）")
                             .arg(QString::fromUtf8(p.name.data(), qsizetype(p.name.size())),
                                  QString::fromUtf8(p.source.data(), qsizetype(p.source.size()))));
    connect(preset_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index < 1) return;
        const ductsys::VelocityPreset& p =
            ductsys::kVelocityPresets[static_cast<std::size_t>(index - 1)];
        maxVelocity_->setText(QString::number(p.maximum, 'g', 6));
    });
    form->addRow(QStringLiteral("规范风速"), preset_);
    form->addRow(QStringLiteral("最大风速 m/s"), maxVelocity_);
    form->addRow(QStringLiteral("最大比摩阻 Pa/m"), maxRm_);
    layout->addLayout(form);
    onlyMeeting_ = new QCheckBox(QStringLiteral("只列出符合限值的尺寸"), this);
    onlyMeeting_->setChecked(true);
    layout->addWidget(onlyMeeting_);
    list_ = new QTableWidget(this);
    list_->setObjectName(QStringLiteral("sizes"));
    list_->setColumnCount(4);
    list_->setHorizontalHeaderLabels({QStringLiteral("尺寸"), QStringLiteral("风速 m/s"),
                                      QStringLiteral("比摩阻 Pa/m"), QStringLiteral("评价")});
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->verticalHeader()->hide();
    layout->addWidget(list_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    const auto accept = [this] {
        const int r = list_->currentRow();
        if (r < 0) return;
        chosen_ = list_->item(r, 0)->data(Qt::UserRole).toString().toStdString();
        QDialog::accept();
    };
    connect(buttons, &QDialogButtonBox::accepted, this, accept);
    connect(list_, &QTableWidget::cellDoubleClicked, this, accept);
    connect(maxVelocity_, &QLineEdit::textChanged, this, &SizeDialog::fill);
    connect(maxRm_, &QLineEdit::textChanged, this, &SizeDialog::fill);
    connect(onlyMeeting_, &QCheckBox::toggled, this, &SizeDialog::fill);
    connect(preset_, &QComboBox::currentIndexChanged, this, &SizeDialog::fill);
    resize(420, 480);
    fill();
}

void SizeDialog::fill() {
    SizeLimits limits;
    const auto limit = [](const QLineEdit* box) -> std::optional<double> {
        const QString t = box->text().trimmed();
        if (t.isEmpty()) return std::nullopt;
        return ductsys::readCellNumber(t.toStdString()).value;
    };
    limits.maxVelocity = limit(maxVelocity_);
    limits.maxRm = limit(maxRm_);
    if (preset_->currentIndex() > 0)
        limits.preset =
            &ductsys::kVelocityPresets[static_cast<std::size_t>(preset_->currentIndex() - 1)];
    options_ = sizeOptions(model_, row_, limits);
    rankSizeOptions(options_);
    list_->setRowCount(0);
    int currentRow = -1;
    for (const SizeOption& o : options_) {
        if (onlyMeeting_->isChecked() && !o.meets && !o.current) continue;
        const int r = list_->rowCount();
        list_->insertRow(r);
        auto* size = new QTableWidgetItem(QString::fromStdString(o.shown()));
        size->setData(Qt::UserRole, QString::fromStdString(o.text));
        list_->setItem(r, 0, size);
        list_->setItem(r, 1, new QTableWidgetItem(QString::fromStdString(o.velocity)));
        list_->setItem(r, 2, new QTableWidgetItem(QString::fromStdString(o.rm)));
        QString note = o.recommended ? QStringLiteral("推荐")
                       : o.meets     ? QStringLiteral("符合")
                                     : QStringLiteral("超限");
        if (o.current) {
            note += QStringLiteral("（当前）");
            currentRow = r;
            for (int c = 0; c < 4; ++c)
                if (auto* item = list_->item(r, c)) {
                    QFont f = item->font();
                    f.setBold(true);
                    item->setFont(f);
                }
        }
        list_->setItem(r, 3, new QTableWidgetItem(note));
    }
    if (currentRow >= 0) list_->selectRow(currentRow);
}

}  // namespace table
