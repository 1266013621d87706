// SPDX-License-Identifier: GPL-3.0-or-later
// The friction chart as an SVG document, from the chart's own geometry.
// Every element carries its figures so that a script can read the chart
// back: a point data-segment, data-flow (m3/h) and data-rm (Pa/m) in the
// digits of the text output; a line data-diameter (mm) or data-velocity
// (m/s); a tick data-axis and data-value.
#pragma once

#include <string>

#include "system/chart.h"

namespace ductsys {

std::string chartSvg(const Chart& chart, double width = 960, double height = 680);

}  // namespace ductsys
