// SPDX-License-Identifier: GPL-3.0-or-later
// The friction chart beside the calculator: a window of its own, made on
// first use, whose point follows the duct as the inputs change, with the
// next smaller and larger standard sizes as faint points.

#include "chartview/chart_widget.h"
#include "ui/form1.h"

calc::DuctInput Form1::currentDuct() const {
    // The inputs as the recalculation reads them, so that the chart's point
    // is the duct whose figures the window shows.
    calc::DuctInput in;
    in.flow = text(calc::Input::Text1);
    in.flowFactor = calc_.flowFactor;
    in.shape = selected(calc::Choice::Option1) ? calc::Shape::circular : calc::Shape::rectangular;
    in.standard = checkValue() == 0;
    in.diameter = text(in.standard ? calc::Input::Combo2 : calc::Input::Text2);
    in.sideA = text(in.standard ? calc::Input::Combo3 : calc::Input::Text3);
    in.sideB = text(in.standard ? calc::Input::Combo4 : calc::Input::Text4);
    in.roughness = calc_.roughness;
    in.formula = selected(calc::Choice::Option5) ? 2 : 1;
    return in;
}

void Form1::showChart() {
    if (!chart_) {
        chart_ = new chartview::ChartPanel(this);
        chart_->setWindowFlag(Qt::Window);
        chart_->setObjectName(QStringLiteral("chartWindow"));
        chart_->setWindowTitle(QStringLiteral("摩擦阻力线算图"));
        chart_->resize(820, 640);
        connect(chart_, &chartview::ChartPanel::optionsChanged, this, &Form1::updateChart);
    }
    updateChart();
    chart_->show();
    chart_->raise();
    chart_->activateWindow();
}

void Form1::updateChart() {
    if (!chart_) return;
    chart_->setPoints(ductsys::ductPoints(currentDuct(), chart_->options()));
}
