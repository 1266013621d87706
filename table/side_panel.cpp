// SPDX-License-Identifier: GPL-3.0-or-later
#include "side_panel.h"

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
#include "system/report.h"
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

QString segmentName(const ductsys::SystemResult& r, std::uint32_t s) {
    const std::string_view name =
        s < r.segmentNames.size() ? r.segmentNames[s] : std::string_view{};
    if (name.empty()) return QStringLiteral("第 %1 段").arg(s + 1);
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

constexpr int kSegmentsRole = Qt::UserRole + 1;

}  // namespace

QList<int> branchRows(const TableModel& model, std::uint32_t segment) {
    QList<int> rows;
    for (const std::uint32_t s : ductsys::segmentsBeyond(model.result(), segment))
        rows.push_back(model.rowOfSegment(s));
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

    auto* airBox = new QGroupBox(QStringLiteral("空气状态"), this);
    auto* airLayout = new QFormLayout(airBox);
    temperature_ = new QLineEdit(airBox);
    temperature_->setObjectName(QStringLiteral("temperature"));
    temperature_->setPlaceholderText(QStringLiteral("20"));
    altitude_ = new QLineEdit(airBox);
    altitude_->setObjectName(QStringLiteral("altitude"));
    altitude_->setPlaceholderText(QStringLiteral("0"));
    airLayout->addRow(QStringLiteral("温度 °C"), temperature_);
    airLayout->addRow(QStringLiteral("海拔 m"), altitude_);
    air_ = new QLabel(airBox);
    air_->setWordWrap(true);
    airLayout->addRow(air_);
    layout->addWidget(airBox);
    connect(temperature_, &QLineEdit::editingFinished, this, &SidePanel::airEdited);
    connect(altitude_, &QLineEdit::editingFinished, this, &SidePanel::airEdited);

    auto* limitBox = new QGroupBox(QStringLiteral("公式与限值"), this);
    auto* limitLayout = new QVBoxLayout(limitBox);
    limits_ = new QLabel(limitBox);
    limits_->setWordWrap(true);
    limitLayout->addWidget(limits_);
    layout->addWidget(limitBox);

    connect(model_, &TableModel::recomputed, this, &SidePanel::refresh);
    refresh();
}

void SidePanel::refresh() {
    const ductsys::SystemResult& r = model_->result();
    const ductsys::Fan& fan = r.fan;
    QString text;
    text += QStringLiteral("风量：%1 m3/h\n").arg(shownFigure(fan.airVolume));
    text += QStringLiteral("最不利环路阻力：%1 Pa\n").arg(shownFigure(fan.indexTotal));
    if (fan.indexOutlet != ductsys::kNone)
        text += QStringLiteral("最不利环路末段：%1\n").arg(segmentName(r, fan.indexOutlet));
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
                child->setText(0, segmentName(r, branch.segment));
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
    limits_->setText(QStringLiteral("公式：按各段“公式”列，空为公式一\n"
                                    "节点不平衡率限值：%1 %\n风机压力余量：%2 %")
                         .arg(shownFigure(r.maxImbalance * 100), shownFigure(fan.margin * 100)));
}

void SidePanel::airEdited() {
    const ductsys::AirReading reading =
        ductsys::airInUse(temperature_->text().toStdString(), altitude_->text().toStdString());
    // An entry that cannot be read is marked where it stands; the figures
    // and every report keep the air last in use, and say which that is.
    const auto mark = [](QLineEdit* box, bool wrong) {
        box->setProperty("unreadable", wrong);
        box->setStyleSheet(wrong ? QStringLiteral("background: #ffd8d8") : QString());
    };
    mark(temperature_, reading.problem == ductsys::AirProblem::unreadableTemperature);
    mark(altitude_, reading.problem == ductsys::AirProblem::unreadableAltitude ||
                        reading.problem == ductsys::AirProblem::beyondAtmosphere);
    if (!reading.ok()) {
        air_->setText(QStringLiteral("温度或海拔无法计算空气状态，仍按原空气计算"));
        return;
    }
    airInUse_ = reading.air;
    ductsys::Options options = model_->options();
    options.air = airInUse_.state;
    model_->setOptions(options);
}

void SidePanel::describeAir(ductsys::ReportInfo& info) const {
    info.air = model_->options().air;
    info.airGiven = airInUse_.given;
    info.temperature = airInUse_.temperature;
    info.pressure = airInUse_.pressure;
}

void SidePanel::itemClicked(QTreeWidgetItem* item) {
    QList<int> rows;
    for (const QVariant& v : item->data(0, kSegmentsRole).toList())
        rows += branchRows(*model_, v.toUInt());
    emit rowsChosen(rows);
}

}  // namespace table
