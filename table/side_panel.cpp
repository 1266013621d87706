// SPDX-License-Identifier: GPL-3.0-or-later
#include "side_panel.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <vector>

#include "air_state.h"
#include "number_text.h"
#include "readers.h"
#include "table_model.h"

namespace table {

namespace {

QString nodeName(const ductsys::SystemResult& r, std::uint32_t node) {
    if (node < r.nodeNames.size()) {
        const std::string_view name = r.nodeNames[node];
        if (!name.empty())
            return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    }
    return QStringLiteral("（未命名）");
}

// A segment by its name, or by the grid's row number when it has none.
QString segmentName(const TableModel& model, std::uint32_t s) {
    const ductsys::SystemResult& r = model.result();
    const std::string_view name =
        s < r.segmentNames.size() ? r.segmentNames[s] : std::string_view{};
    if (name.empty()) return QStringLiteral("第 %1 行").arg(model.rowOfSegment(s) + 1);
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

constexpr int kSegmentsRole = Qt::UserRole + 1;

}  // namespace

QList<int> branchRows(const TableModel& model, std::uint32_t segment) {
    const auto& segments = model.result().segments;
    // 1: beyond `segment`, 2: not; 0: not yet known.
    std::vector<unsigned char> state(segments.size(), 0);
    if (segment >= segments.size()) return {};
    state[segment] = 1;
    std::vector<std::uint32_t> walk;
    QList<int> rows;
    for (std::uint32_t s = 0; s < segments.size(); ++s) {
        std::uint32_t at = s;
        walk.clear();
        while (at != ductsys::kNone && state[at] == 0) {
            walk.push_back(at);
            at = segments[at].parent;
        }
        const unsigned char found = at == ductsys::kNone ? 2 : state[at];
        for (const std::uint32_t w : walk) state[w] = found;
        if (state[s] == 1) rows.push_back(model.rowOfSegment(s));
    }
    return rows;
}

SidePanel::SidePanel(TableModel* model, QWidget* parent) : QWidget(parent), model_(model) {
    auto* layout = new QVBoxLayout(this);

    auto* fanBox = new QGroupBox(QStringLiteral("风机"), this);
    auto* fanLayout = new QVBoxLayout(fanBox);
    fan_ = new QLabel(fanBox);
    fan_->setObjectName(QStringLiteral("fanFigures"));
    fan_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    fanLayout->addWidget(fan_);
    errors_ = new QLabel(fanBox);
    errors_->setWordWrap(true);
    errors_->setStyleSheet(QStringLiteral("color: #b00000"));
    fanLayout->addWidget(errors_);
    layout->addWidget(fanBox);

    auto* junctionBox = new QGroupBox(QStringLiteral("节点不平衡率"), this);
    auto* junctionLayout = new QVBoxLayout(junctionBox);
    junctions_ = new QTreeWidget(junctionBox);
    junctions_->setObjectName(QStringLiteral("junctions"));
    junctions_->setColumnCount(2);
    junctions_->setHeaderLabels(
        {QStringLiteral("节点 / 支路"), QStringLiteral("不平衡率 / 阻力 Pa")});
    junctions_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    junctionLayout->addWidget(junctions_);
    layout->addWidget(junctionBox, 1);
    connect(junctions_, &QTreeWidget::itemClicked, this, &SidePanel::itemClicked);

    // The document's settings: each edit is a step of the document, kept
    // on Save.
    const auto box = [this](QWidget* parent, const char* name, const char* placeholder,
                            const QString& accessible) {
        auto* edit = new QLineEdit(parent);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setPlaceholderText(QString::fromUtf8(placeholder));
        edit->setAccessibleName(accessible);
        connect(edit, &QLineEdit::editingFinished, this, &SidePanel::settingsEdited);
        return edit;
    };
    auto* airBox = new QGroupBox(QStringLiteral("空气状态"), this);
    auto* airLayout = new QFormLayout(airBox);
    temperature_ = box(airBox, "temperature", "20", QStringLiteral("温度 °C"));
    altitude_ = box(airBox, "altitude", "0", QStringLiteral("海拔 m"));
    airLayout->addRow(QStringLiteral("温度 °C"), temperature_);
    airLayout->addRow(QStringLiteral("海拔 m"), altitude_);
    air_ = new QLabel(airBox);
    air_->setWordWrap(true);
    airLayout->addRow(air_);
    layout->addWidget(airBox);

    auto* limitBox = new QGroupBox(QStringLiteral("公式与限值"), this);
    auto* limitLayout = new QFormLayout(limitBox);
    fanNode_ = box(limitBox, "fanNode", "第一行的起点", QStringLiteral("风机节点"));
    maxImbalance_ = box(limitBox, "maxImbalance", "15", QStringLiteral("节点不平衡率限值 %"));
    margin_ = box(limitBox, "margin", "10", QStringLiteral("风机压力余量 %"));
    maxVelocity_ = box(limitBox, "maxVelocity", "不限", QStringLiteral("最大风速 m/s"));
    formula_ = new QComboBox(limitBox);
    formula_->setObjectName(QStringLiteral("formula"));
    formula_->setAccessibleName(QStringLiteral("空白公式"));
    formula_->addItems({QStringLiteral("1"), QStringLiteral("2")});
    connect(formula_, &QComboBox::activated, this, &SidePanel::settingsEdited);
    limitLayout->addRow(QStringLiteral("风机节点"), fanNode_);
    limitLayout->addRow(QStringLiteral("不平衡率限值 %"), maxImbalance_);
    limitLayout->addRow(QStringLiteral("风机压力余量 %"), margin_);
    limitLayout->addRow(QStringLiteral("最大风速 m/s"), maxVelocity_);
    limitLayout->addRow(QStringLiteral("“公式”为空时用公式"), formula_);
    limits_ = new QLabel(limitBox);
    limits_->setWordWrap(true);
    limits_->setStyleSheet(QStringLiteral("color: #b00000"));
    limitLayout->addRow(limits_);
    layout->addWidget(limitBox);

    connect(model_, &TableModel::recomputed, this, &SidePanel::refresh);
    connect(model_, &TableModel::settingsChanged, this, &SidePanel::showSettings);
    showSettings();
    refresh();
}

void SidePanel::refresh() {
    const ductsys::SystemResult& r = model_->result();
    const ductsys::Fan& fan = r.fan;
    QString text;
    text += QStringLiteral("风量：%1 m3/h\n").arg(shownFigure(fan.airVolume));
    text += QStringLiteral("最不利环路阻力：%1 Pa\n").arg(shownFigure(fan.indexTotal));
    if (fan.indexOutlet != ductsys::kNone)
        text += QStringLiteral("最不利环路末段：%1\n").arg(segmentName(*model_, fan.indexOutlet));
    text += QStringLiteral("余量：%1 %\n").arg(shownFigure(fan.margin * 100));
    text += QStringLiteral("风机压力：%1 Pa").arg(shownFigure(fan.pressure));
    fan_->setText(text);

    QString problems;
    for (const auto& e : r.errors)
        problems += (problems.isEmpty() ? "" : "\n") + QString::fromStdString(e.message);
    if (problems.isEmpty() && !fan.reason.empty() && !r.segments.empty())
        problems = QString::fromStdString(fan.reason);
    errors_->setText(problems);
    errors_->setVisible(!problems.isEmpty());

    // The same junctions and branches as before (an edit of a figure): the
    // texts change in place, the tree stays as the user opened it.
    bool same = junctions_->topLevelItemCount() == static_cast<int>(r.junctions.size());
    for (std::size_t i = 0; same && i < r.junctions.size(); ++i) {
        const QTreeWidgetItem* item = junctions_->topLevelItem(static_cast<int>(i));
        const ductsys::Junction& j = r.junctions[i];
        same = item->childCount() == static_cast<int>(j.branchCount) &&
               item->text(0) == nodeName(r, j.node);
        for (std::uint32_t b = 0; same && b < j.branchCount; ++b)
            same = item->child(static_cast<int>(b))->data(0, kSegmentsRole).toList().value(0) ==
                   QVariant(r.branches[j.firstBranch + b].segment);
    }
    if (!same) {
        junctions_->clear();
        QList<QTreeWidgetItem*> items;
        for (const ductsys::Junction& j : r.junctions) {
            auto* item = new QTreeWidgetItem;
            item->setText(0, nodeName(r, j.node));
            QList<QVariant> all;
            for (std::uint32_t b = j.firstBranch; b < j.firstBranch + j.branchCount; ++b) {
                const ductsys::Branch& branch = r.branches[b];
                auto* child = new QTreeWidgetItem(item);
                child->setText(0, segmentName(*model_, branch.segment));
                // The rows themselves are found when clicked: a large system
                // has many branches, and most are never clicked.
                child->setData(0, kSegmentsRole, QList<QVariant>{branch.segment});
                all.push_back(branch.segment);
            }
            item->setData(0, kSegmentsRole, all);
            items.push_back(item);
        }
        junctions_->addTopLevelItems(items);
    }
    for (std::size_t i = 0; i < r.junctions.size(); ++i) {
        const ductsys::Junction& j = r.junctions[i];
        QTreeWidgetItem* item = junctions_->topLevelItem(static_cast<int>(i));
        item->setText(1, j.imbalance ? shownFigure(*j.imbalance * 100) + QStringLiteral(" %")
                                     : QString::fromUtf8(calc::kFailMarker.data()));
        for (std::uint32_t b = 0; b < j.branchCount; ++b)
            item->child(static_cast<int>(b))
                ->setText(1, shownFigure(r.branches[j.firstBranch + b].total));
        const QBrush colour = j.flagged ? QBrush(QColor(0xc0, 0x00, 0x00)) : QBrush();
        for (int c = 0; c < 2; ++c) item->setForeground(c, colour);
    }

    const calc::AirState& air = model_->options().air;
    air_->setText(QStringLiteral("密度 %1 kg/m3，运动黏度 %2 m2/s")
                      .arg(shownFigure(air.density), shownFigure(air.viscosity)));
    limits_->setText(model_->settingsProblem());
    limits_->setVisible(!model_->settingsProblem().isEmpty());
}

void SidePanel::showSettings() {
    const DocumentSettings& s = model_->settings();
    const auto show = [](QLineEdit* edit, const std::string& text) {
        const QString t = QString::fromStdString(text);
        if (edit->text() != t) edit->setText(t);
    };
    show(temperature_, s.temperature);
    show(altitude_, s.altitude);
    show(fanNode_, s.fan);
    show(maxImbalance_, s.maxImbalance);
    show(margin_, s.margin);
    show(maxVelocity_, s.maxVelocity);
    formula_->setCurrentIndex(model_->defaultFormula() == "2" ? 1 : 0);
}

void SidePanel::settingsEdited() {
    DocumentSettings s = model_->settings();
    s.temperature = temperature_->text().toStdString();
    s.altitude = altitude_->text().toStdString();
    s.fan = fanNode_->text().toStdString();
    s.maxImbalance = maxImbalance_->text().toStdString();
    s.margin = margin_->text().toStdString();
    s.maxVelocity = maxVelocity_->text().toStdString();
    // The default needs no row in the file.
    const bool two = formula_->currentIndex() == 1;
    if (two != (model_->defaultFormula() == "2")) {
        if (two)
            s.formula.assign(1, '2');
        else
            s.formula.clear();
    }
    model_->setSettings(s);
}

void SidePanel::describeAir(ductsys::ReportInfo& info) const {
    info.air = model_->options().air;
    const DocumentSettings& s = model_->settings();
    info.airGiven =
        !ductsys::trimmed(s.temperature).empty() || !ductsys::trimmed(s.altitude).empty();
    info.temperature = model_->temperature();
    info.pressure = model_->pressure();
}

void SidePanel::focusFirst() { junctions_->setFocus(Qt::ShortcutFocusReason); }

void SidePanel::itemClicked(QTreeWidgetItem* item) {
    QList<int> rows;
    for (const QVariant& v : item->data(0, kSegmentsRole).toList())
        rows += branchRows(*model_, v.toUInt());
    emit rowsChosen(rows);
}

}  // namespace table
