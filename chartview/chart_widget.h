// SPDX-License-Identifier: GPL-3.0-or-later
// The friction chart on screen: ChartWidget paints a chart and names the
// point under the mouse; ChartPanel adds the chart's basis, band and preset
// above it and an export button, and remakes the chart as its points move.
// The calculator's chart window and the grid's 线算图 view are each one panel.
#pragma once

#include <QPixmap>
#include <QWidget>

#include <cstdint>
#include <vector>

#include "system/chart.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace chartview {

class ChartWidget : public QWidget {
    Q_OBJECT
public:
    explicit ChartWidget(QWidget* parent = nullptr);

    // `frameChanged` false: only the points moved, and the frame's picture
    // is kept.
    void setChart(const ductsys::Chart* chart, bool frameChanged);
    void setSelectedSegment(std::uint32_t segment);

    // The point within a few pixels of `position`, nearest first; none when
    // there is none.
    const ductsys::ChartPoint* pointAt(QPointF position) const;
    // Where a point is drawn.
    QPointF positionOf(const ductsys::ChartPoint& point) const;
    // What hovering a point shows: its name, size and figures.
    static QString describe(const ductsys::ChartPoint& point);

    QSize sizeHint() const override { return {800, 600}; }

signals:
    void segmentClicked(std::uint32_t segment);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    const ductsys::Chart* chart_ = nullptr;
    std::uint32_t selected_ = ductsys::kNone;
    QPixmap frame_;  // the frame at the widget's size; null when it must be painted again
};

class ChartPanel : public QWidget {
    Q_OBJECT
public:
    explicit ChartPanel(QWidget* parent = nullptr);

    const ductsys::ChartOptions& options() const { return options_; }
    // The points to show, remade by the owner whenever what they come from
    // changes or optionsChanged() is raised.
    void setPoints(std::vector<ductsys::ChartPoint> points,
                   std::vector<std::uint32_t> unplaced = {});
    const ductsys::Chart& chart() const { return chart_; }
    ChartWidget* view() { return view_; }

    // Writes the chart to `path` (.png, .svg or .pdf); empty on success,
    // otherwise what went wrong.
    QString exportTo(const QString& path) const;

signals:
    // The basis, band or preset changed: the points' marks depend on them.
    void optionsChanged();
    void segmentClicked(std::uint32_t segment);

private:
    void readOptions();
    void askExport();

    ductsys::ChartOptions options_;
    ductsys::Chart chart_;
    QLineEdit* k_;
    QComboBox* formula_;
    QLineEdit* bandLow_;
    QLineEdit* bandHigh_;
    QComboBox* preset_;
    QPushButton* export_;
    ChartWidget* view_;
};

}  // namespace chartview
