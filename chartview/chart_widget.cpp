// SPDX-License-Identifier: GPL-3.0-or-later
#include "chartview/chart_widget.h"

#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QToolTip>
#include <QVBoxLayout>

#include "calc/number_reading.h"
#include "calc/number_text.h"
#include "chartview/chart_painter.h"
#include "system/readers.h"
#include "system/report.h"

namespace chartview {

namespace {

QString text(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QString decimal(double x) { return text(calc::plainDecimalText(x)); }

// A single as the window shows it: K 0.16 rather than its double's digits.
QString single(float x) { return text(calc::bareNumberText(x)); }

}  // namespace

ChartWidget::ChartWidget(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(QStringLiteral("摩擦阻力线算图"));
}

void ChartWidget::setChart(const ductsys::Chart* chart, bool frameChanged) {
    chart_ = chart;
    if (frameChanged) frame_ = QPixmap();
    update();
}

void ChartWidget::setSelectedSegment(std::uint32_t segment) {
    if (segment == selected_) return;
    selected_ = segment;
    update();
}

void ChartWidget::resizeEvent(QResizeEvent* event) {
    frame_ = QPixmap();
    QWidget::resizeEvent(event);
}

void ChartWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (!chart_) {
        p.fillRect(rect(), Qt::white);
        return;
    }
    const qreal ratio = devicePixelRatioF();
    if (frame_.isNull()) {
        frame_ = QPixmap((QSizeF(size()) * ratio).toSize());
        frame_.setDevicePixelRatio(ratio);
        QPainter fp(&frame_);
        paintChart(fp, *chart_, QSizeF(size()), ductsys::kNone, Layer::frame);
    }
    p.drawPixmap(0, 0, frame_);
    paintChart(p, *chart_, QSizeF(size()), selected_, Layer::points);
}

QPointF ChartWidget::positionOf(const ductsys::ChartPoint& point) const {
    const ductsys::ChartLayout at(*chart_, width(), height());
    return {at.x(point.flow), at.y(point.rm)};
}

const ductsys::ChartPoint* ChartWidget::pointAt(QPointF position) const {
    if (!chart_) return nullptr;
    const ductsys::ChartLayout at(*chart_, width(), height());
    const ductsys::ChartPoint* best = nullptr;
    double bestDistance = 6.0 * 6.0;
    for (const ductsys::ChartPoint& pt : chart_->points) {
        const double dx = at.x(pt.flow) - position.x(), dy = at.y(pt.rm) - position.y();
        const double d = dx * dx + dy * dy;
        // The strong points lie on top, so they win a tie.
        if (d < bestDistance || (d == bestDistance && best && pt.indexRun)) {
            best = &pt;
            bestDistance = d;
        }
    }
    return best;
}

QString ChartWidget::describe(const ductsys::ChartPoint& pt) {
    QString s = text(pt.name);
    if (!pt.size.empty() && pt.size != pt.name) s += QStringLiteral(" ") + text(pt.size);
    if (pt.kind == ductsys::ChartPoint::Kind::neighbour) s += QStringLiteral("（相邻标准尺寸）");
    s += QStringLiteral("\n风量 %1 m³/h，Rm %2 Pa/m，风速 %3 m/s")
             .arg(text(pt.flowText()), text(pt.rmText()), text(pt.velocityText()));
    if (pt.indexRun) s += QStringLiteral("\n最不利环路");
    if (pt.ownBasis) s += QStringLiteral("\nK、空气或公式与本图不同，按其自身的数值定位");
    if (pt.tooFast) s += QStringLiteral("\n超过最大风速");
    return s;
}

void ChartWidget::mouseMoveEvent(QMouseEvent* event) {
    if (const ductsys::ChartPoint* pt = pointAt(event->position()))
        QToolTip::showText(event->globalPosition().toPoint(), describe(*pt), this);
    else
        QToolTip::hideText();
    QWidget::mouseMoveEvent(event);
}

void ChartWidget::mousePressEvent(QMouseEvent* event) {
    const ductsys::ChartPoint* pt = pointAt(event->position());
    if (event->button() == Qt::LeftButton && pt && pt->kind == ductsys::ChartPoint::Kind::segment)
        emit segmentClicked(pt->segment);
    QWidget::mousePressEvent(event);
}

ChartPanel::ChartPanel(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    auto* bar = new QHBoxLayout;
    auto label = [&](const QString& caption, QWidget* buddy) {
        auto* l = new QLabel(caption, this);
        l->setBuddy(buddy);
        bar->addWidget(l);
        bar->addWidget(buddy);
    };
    k_ = new QLineEdit(single(options_.basis.roughness), this);
    k_->setObjectName(QStringLiteral("chartK"));
    k_->setMaximumWidth(60);
    label(QStringLiteral("K (mm)"), k_);
    formula_ = new QComboBox(this);
    formula_->setObjectName(QStringLiteral("chartFormula"));
    formula_->addItems({QStringLiteral("1"), QStringLiteral("2")});
    label(QStringLiteral("公式"), formula_);
    bandLow_ = new QLineEdit(decimal(options_.band.low), this);
    bandLow_->setObjectName(QStringLiteral("chartBandLow"));
    bandLow_->setMaximumWidth(50);
    label(QStringLiteral("经济比摩阻"), bandLow_);
    bandHigh_ = new QLineEdit(decimal(options_.band.high), this);
    bandHigh_->setObjectName(QStringLiteral("chartBandHigh"));
    bandHigh_->setMaximumWidth(50);
    label(QStringLiteral("–"), bandHigh_);
    bar->addWidget(new QLabel(QStringLiteral("Pa/m"), this));
    preset_ = new QComboBox(this);
    preset_->setObjectName(QStringLiteral("chartPreset"));
    preset_->addItem(QStringLiteral("无"));
    for (const ductsys::VelocityPreset& p : ductsys::kVelocityPresets)
        preset_->addItem(text(std::string(p.name)));
    label(QStringLiteral("风速规范"), preset_);
    bar->addStretch(1);
    export_ = new QPushButton(QStringLiteral("导出…"), this);
    export_->setObjectName(QStringLiteral("chartExport"));
    bar->addWidget(export_);
    layout->addLayout(bar);
    view_ = new ChartWidget(this);
    layout->addWidget(view_, 1);

    connect(k_, &QLineEdit::editingFinished, this, &ChartPanel::readOptions);
    connect(bandLow_, &QLineEdit::editingFinished, this, &ChartPanel::readOptions);
    connect(bandHigh_, &QLineEdit::editingFinished, this, &ChartPanel::readOptions);
    connect(formula_, &QComboBox::currentIndexChanged, this, &ChartPanel::readOptions);
    connect(preset_, &QComboBox::currentIndexChanged, this, &ChartPanel::readOptions);
    connect(export_, &QPushButton::clicked, this, &ChartPanel::askExport);
    connect(view_, &ChartWidget::segmentClicked, this, &ChartPanel::segmentClicked);
    setPoints({});
}

void ChartPanel::readOptions() {
    ductsys::ChartOptions next = options_;
    // A text that cannot be read is put back to the value in use, so that
    // the chart never shows one figure and draws another.
    const ductsys::RoughnessRead k = ductsys::readRoughness(k_->text().toStdString());
    if (k.k) next.basis.roughness = *k.k;
    k_->setText(single(next.basis.roughness));
    next.basis.formula = formula_->currentIndex() + 1;
    const auto low = calc::readPlainDecimal(bandLow_->text().trimmed().toStdString());
    const auto high = calc::readPlainDecimal(bandHigh_->text().trimmed().toStdString());
    if (low && high && ductsys::validBand(*low, *high)) next.band = {*low, *high};
    bandLow_->setText(decimal(next.band.low));
    bandHigh_->setText(decimal(next.band.high));
    const int preset = preset_->currentIndex() - 1;
    next.preset =
        preset >= 0 ? &ductsys::kVelocityPresets[static_cast<std::size_t>(preset)] : nullptr;
    if (next == options_) return;
    options_ = next;
    emit optionsChanged();
}

void ChartPanel::setPoints(std::vector<ductsys::ChartPoint> points,
                           std::vector<std::uint32_t> unplaced) {
    ductsys::Chart next =
        ductsys::makeChart(options_, std::move(points), std::move(unplaced), &chart_.frame);
    const bool frameChanged = !(next.frame.options == chart_.frame.options) ||
                              !(next.frame.range == chart_.frame.range) ||
                              chart_.frame.lines.empty() || next.legend != chart_.legend;
    chart_ = std::move(next);
    view_->setChart(&chart_, frameChanged);
}

QString ChartPanel::exportTo(const QString& path) const { return exportChart(chart_, path); }

void ChartPanel::askExport() {
    QString filter;
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("导出线算图"), QStringLiteral("线算图.png"),
        QStringLiteral("PNG 图片 (*.png);;SVG 图形 (*.svg);;PDF 文档 (*.pdf)"), &filter);
    if (path.isEmpty()) return;
    const QString problem = exportTo(path);
    if (!problem.isEmpty()) QMessageBox::warning(this, QStringLiteral("导出线算图"), problem);
}

}  // namespace chartview
