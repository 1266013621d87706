// SPDX-License-Identifier: GPL-3.0-or-later
#include "table/side_panel.h"

#include <QAbstractItemModel>
#include <QColor>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>
#include <string>
#include <vector>

#include "calc/number_text.h"
#include "system/air_state.h"
#include "system/junction_remedies.h"
#include "system/readers.h"
#include "system/report.h"
#include "system/report_sections.h"
#include "table/table_model.h"
#include "table/words.h"

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

}  // namespace

// The junctions and their branches as a tree model over the model's last
// recalculation: nothing is formed until the view asks for it, so a system
// of many junctions costs the panel only the rows on screen.
class JunctionModel : public QAbstractItemModel {
public:
    explicit JunctionModel(const TableModel* model, QObject* parent)
        : QAbstractItemModel(parent), model_(model) {}

    // After a recalculation: the same junctions and branches keep the
    // tree as the user opened it; the figures are asked for again.
    void refresh() {
        const ductsys::SystemResult& r = model_->result();
        std::vector<std::uint32_t> shape;
        shape.reserve(r.junctions.size() + r.branches.size());
        for (const ductsys::Junction& j : r.junctions) {
            shape.push_back(j.node);
            shape.push_back(j.branchCount);
        }
        for (const ductsys::Branch& b : r.branches) shape.push_back(b.segment);
        if (shape != shape_) {
            beginResetModel();
            shape_ = std::move(shape);
            junctions_ = r.junctions.size();
            endResetModel();
            return;
        }
        emit layoutAboutToBeChanged();
        emit layoutChanged();
    }

    // The segments a row stands for: a branch's first segment, or those of
    // every branch of a junction.
    std::vector<std::uint32_t> segments(const QModelIndex& index) const {
        const ductsys::SystemResult& r = model_->result();
        std::vector<std::uint32_t> out;
        if (!index.isValid()) return out;
        if (index.internalId() == 0) {
            const ductsys::Junction& j = r.junctions[static_cast<std::size_t>(index.row())];
            for (std::uint32_t b = j.firstBranch; b < j.firstBranch + j.branchCount; ++b)
                out.push_back(r.branches[b].segment);
        } else {
            const ductsys::Junction& j = r.junctions[index.internalId() - 1];
            out.push_back(
                r.branches[j.firstBranch + static_cast<std::uint32_t>(index.row())].segment);
        }
        return out;
    }

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override {
        if (row < 0 || column < 0 || column > 1) return {};
        if (!parent.isValid())
            return row < static_cast<int>(junctions_) ? createIndex(row, column, quintptr(0))
                                                      : QModelIndex();
        if (parent.internalId() != 0 || row >= rowCount(parent)) return {};
        return createIndex(row, column, quintptr(parent.row()) + 1);
    }
    QModelIndex parent(const QModelIndex& child) const override {
        if (!child.isValid() || child.internalId() == 0) return {};
        return createIndex(static_cast<int>(child.internalId() - 1), 0, quintptr(0));
    }
    int rowCount(const QModelIndex& parent = {}) const override {
        if (!parent.isValid()) return static_cast<int>(junctions_);
        if (parent.internalId() != 0 || parent.column() != 0) return 0;
        return static_cast<int>(
            model_->result().junctions[static_cast<std::size_t>(parent.row())].branchCount);
    }
    int columnCount(const QModelIndex& = {}) const override { return 2; }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
        return section == 0 ? QStringLiteral("节点 / 支路") : QStringLiteral("不平衡率 / 阻力 Pa");
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid()) return {};
        const ductsys::SystemResult& r = model_->result();
        const bool top = index.internalId() == 0;
        const ductsys::Junction& j =
            r.junctions[top ? static_cast<std::size_t>(index.row()) : index.internalId() - 1];
        if (role == Qt::ForegroundRole && top && j.flagged) return QColor(0xc0, 0x00, 0x00);
        if (role != Qt::DisplayRole) return {};
        if (top) {
            if (index.column() == 0) return nodeName(r, j.node);
            return j.imbalance ? shownFigure(*j.imbalance * 100) + QStringLiteral(" %")
                               : QString::fromUtf8(calc::kFailMarker.data());
        }
        const ductsys::Branch& b =
            r.branches[j.firstBranch + static_cast<std::uint32_t>(index.row())];
        if (index.column() == 0) return segmentName(*model_, b.segment);
        return shownFigure(b.total);
    }

private:
    const TableModel* model_;
    std::vector<std::uint32_t> shape_;
    std::size_t junctions_ = 0;
};

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
    fan_->setWordWrap(true);
    fanLayout->addWidget(fan_);
    errors_ = new QLabel(fanBox);
    errors_->setWordWrap(true);
    errors_->setStyleSheet(QStringLiteral("color: #b00000"));
    fanLayout->addWidget(errors_);
    layout->addWidget(fanBox);

    auto* junctionBox = new QGroupBox(QStringLiteral("节点不平衡率"), this);
    auto* junctionLayout = new QVBoxLayout(junctionBox);
    junctions_ = new QTreeView(junctionBox);
    junctions_->setObjectName(QStringLiteral("junctions"));
    junctions_->setAccessibleName(QStringLiteral("节点不平衡率"));
    junctionModel_ = new JunctionModel(model_, this);
    junctions_->setModel(junctionModel_);
    // Every row the same height, and the first column as wide as the
    // caption's: the view measures no rows.
    junctions_->setUniformRowHeights(true);
    junctions_->header()->resizeSection(
        0, fontMetrics().horizontalAdvance(QStringLiteral("节点 / 支路 ____")));
    junctionLayout->addWidget(junctions_);
    layout->addWidget(junctionBox, 1);
    connect(junctions_, &QTreeView::clicked, this, &SidePanel::itemClicked);
    connect(junctions_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &SidePanel::refreshRemedies);

    // What would balance each junction over the limit; either remedy is
    // applied as one step.
    auto* remedyBox = new QGroupBox(QStringLiteral("平衡措施"), this);
    auto* remedyLayout = new QVBoxLayout(remedyBox);
    remedies_ = new QListWidget(remedyBox);
    remedies_->setObjectName(QStringLiteral("remedies"));
    remedies_->setAccessibleName(QStringLiteral("平衡措施"));
    remedies_->setWordWrap(true);
    remedyLayout->addWidget(remedies_);
    remedyLimits_ = new QLabel(remedyBox);
    remedyLimits_->setObjectName(QStringLiteral("remedyLimits"));
    remedyLimits_->setWordWrap(true);
    remedyLayout->addWidget(remedyLimits_);
    applyRemedy_ = new QPushButton(QStringLiteral("应用所选措施(&P)"), remedyBox);
    applyRemedy_->setObjectName(QStringLiteral("applyRemedy"));
    applyRemedy_->setAccessibleName(QStringLiteral("应用所选平衡措施"));
    applyRemedy_->setToolTip(QStringLiteral("把所选的阀门或尺寸写入表格（可撤销）"));
    applyRemedy_->setEnabled(false);
    remedyLayout->addWidget(applyRemedy_);
    layout->addWidget(remedyBox, 1);
    connect(applyRemedy_, &QPushButton::clicked, this, &SidePanel::applyCurrentRemedy);
    connect(remedies_, &QListWidget::itemActivated, this, [this] { applyCurrentRemedy(); });
    connect(remedies_, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        applyRemedy_->setEnabled(item && item->data(Qt::UserRole).isValid());
        // The branch's rows, as a click on the junction tree shows them.
        if (item && item->data(Qt::UserRole + 2).isValid())
            emit rowsChosen(
                branchRows(*model_, item->data(Qt::UserRole + 2).value<std::uint32_t>()));
    });

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
    text += QStringLiteral("风机压力：%1 Pa\n").arg(shownFigure(fan.pressure));
    text += QString::fromStdString(
        ductsys::fanSelectionLine(ductsys::fanSelection(fan, model_->leakage())));
    fan_->setText(text);

    // The rows at fault by the numbers the grid shows: those left out of
    // the system, then those that could not be computed; the consequence
    // (a figure of the fan missing) only when no row is named.
    QString problems;
    const auto add = [&problems](const QString& line) {
        problems += (problems.isEmpty() ? "" : "\n") + line;
    };
    constexpr int kNamed = 5;
    int named = 0, more = 0;
    for (int row = 0; row < model_->systemRows(); ++row) {
        const std::uint32_t s = model_->segmentOfRow(row);
        QString why;
        if (!model_->rowFault(row).empty())
            why = QStringLiteral("未计入系统：") + QString::fromStdString(model_->rowFault(row));
        else if (s != ductsys::kNone && !r.segments[s].ok())
            why = QStringLiteral("未能算出：") + saidList(r.segments[s].reason);
        if (why.isEmpty()) continue;
        if (named++ < kNamed)
            add(QStringLiteral("第 %1 行%2").arg(row + 1).arg(why));
        else
            ++more;
    }
    if (more > 0) add(QStringLiteral("另有 %1 行").arg(more));
    for (const auto& e : r.errors) add(said(e.message));
    if (problems.isEmpty() && !fan.reason.empty() && !r.segments.empty())
        problems = saidList(fan.reason);
    errors_->setText(problems);
    errors_->setVisible(!problems.isEmpty());

    junctionModel_->refresh();
    refreshRemedies();

    const calc::AirState& air = model_->options().air;
    air_->setText(QStringLiteral("密度 %1 kg/m3，运动黏度 %2 m2/s")
                      .arg(shownFigure(air.density), shownFigure(air.viscosity)));
    limits_->setText(model_->settingsProblem());
    limits_->setVisible(!model_->settingsProblem().isEmpty());
}

void SidePanel::refreshRemedies() {
    const ductsys::SystemResult& r = model_->result();
    remedies_->clear();
    shown_.clear();
    // The junction chosen in the tree, or the first few over the limit: a
    // large system may have thousands, each worked out only when shown.
    constexpr std::size_t kFirst = 5;
    std::size_t flagged = 0, listed = 0;
    const QModelIndex chosen = junctions_->currentIndex();
    const std::uint32_t only = !chosen.isValid() ? ductsys::kNone
                               : chosen.internalId() == 0
                                   ? static_cast<std::uint32_t>(chosen.row())
                                   : static_cast<std::uint32_t>(chosen.internalId() - 1);
    for (std::uint32_t j = 0; j < r.junctions.size(); ++j) {
        if (!r.junctions[j].flagged) continue;
        ++flagged;
        if (only != ductsys::kNone ? j != only : listed >= kFirst) continue;
        ++listed;
        for (ductsys::Remedy& remedy : model_->remediesAt(j)) shown_.push_back(std::move(remedy));
    }
    const auto add = [this](const std::string& line) {
        return new QListWidgetItem(QString::fromStdString(line), remedies_);
    };
    for (std::size_t i = 0; i < shown_.size(); ++i) {
        const ductsys::Remedy& remedy = shown_[i];
        QListWidgetItem* junction = add(ductsys::remedyJunctionLine(r, remedy));
        junction->setForeground(QColor(0xc0, 0x00, 0x00));
        junction->setData(Qt::UserRole + 2, remedy.segment);
        // Each applicable remedy knows its place in shown_ and its kind.
        const auto option = [&](const std::string& line, TableModel::RemedyKind kind,
                                bool applicable) {
            QListWidgetItem* item = add("    " + line);
            item->setData(Qt::UserRole + 2, remedy.segment);
            if (applicable) {
                item->setData(Qt::UserRole, static_cast<qulonglong>(i));
                item->setData(Qt::UserRole + 1, static_cast<int>(kind));
                item->setToolTip(QStringLiteral("双击或按“应用所选措施”写入表格"));
            }
        };
        option(ductsys::remedyDamperLine(r, remedy), TableModel::RemedyKind::damper,
               remedy.damperZeta.has_value());
        option(ductsys::remedyResizeLine(r, remedy), TableModel::RemedyKind::resize,
               !remedy.resize.empty());
    }
    if (flagged == 0)
        add("各节点的不平衡率均在限值内")->setFlags(Qt::NoItemFlags);
    else if (shown_.empty() && only != ductsys::kNone)
        add("所选节点在限值内")->setFlags(Qt::NoItemFlags);
    else if (shown_.empty())
        add("超过限值的节点无法给出措施：支路阻力未能算出")->setFlags(Qt::NoItemFlags);
    if (listed < flagged)
        add(QStringLiteral("另有 %1 个节点超过限值：在上方选中节点可看其平衡措施")
                .arg(flagged - listed)
                .toStdString())
            ->setFlags(Qt::NoItemFlags);
    remedyLimits_->setText(
        QStringLiteral("改尺寸的风速限值：") +
        QString::fromStdString(ductsys::remedyLimitsName(model_->maxVelocity())));
    applyRemedy_->setEnabled(false);
}

bool SidePanel::applyCurrentRemedy() {
    const QListWidgetItem* item = remedies_->currentItem();
    if (!item || !item->data(Qt::UserRole).isValid()) return false;
    const auto index = static_cast<std::size_t>(item->data(Qt::UserRole).toULongLong());
    const auto kind = static_cast<TableModel::RemedyKind>(item->data(Qt::UserRole + 1).toInt());
    if (index >= shown_.size()) return false;
    // A copy: the list is formed again by the recalculation the step causes.
    return model_->applyRemedy(shown_[index], kind);
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
    const int chosen = formula_->currentIndex() + 1;
    if (std::to_string(chosen) != model_->defaultFormula()) {
        if (chosen == ductsys::kSystemFormula)
            s.formula.clear();
        else
            s.formula = std::to_string(chosen);
    }
    model_->setSettings(s);
}

void SidePanel::describeAir(ductsys::ReportInfo& info) const {
    info.air = model_->options().air;
    info.airGiven = model_->airGiven();
    info.temperature = model_->temperature();
    info.pressure = model_->pressure();
}

void SidePanel::focusFirst() { junctions_->setFocus(Qt::ShortcutFocusReason); }

void SidePanel::itemClicked(const QModelIndex& index) {
    QList<int> rows;
    for (const std::uint32_t segment : junctionModel_->segments(index))
        rows += branchRows(*model_, segment);
    emit rowsChosen(rows);
}

}  // namespace table
