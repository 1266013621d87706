// SPDX-License-Identifier: GPL-3.0-or-later
// The friction chart drawn with QPainter from its geometry (system/chart.h),
// on a widget, an image or a PDF page, and the chart exported to a file.
#pragma once

#include <QSizeF>
#include <QString>

#include <cstdint>

#include "system/chart.h"

class QPainter;

namespace chartview {

// What paintChart draws: the frame (band, grid, lines, labels, legend), the
// points, or both. A widget keeps the frame in a picture and paints the
// points over it.
enum class Layer { frame = 1, points = 2, all = 3 };

// Paints `chart` into a width x height area at the painter's origin. The
// point of segment `selected` is ringed.
void paintChart(QPainter& painter, const ductsys::Chart& chart, QSizeF size,
                std::uint32_t selected = ductsys::kNone, Layer layer = Layer::all);

// The size, in pixels or points, at which the chart is exported and printed.
inline constexpr double kExportWidth = 960;
inline constexpr double kExportHeight = 680;

// Writes the chart to `path` as PNG, SVG or PDF, by its suffix (any letter
// case). Empty on success, otherwise what went wrong, in Chinese.
QString exportChart(const ductsys::Chart& chart, const QString& path);

}  // namespace chartview
