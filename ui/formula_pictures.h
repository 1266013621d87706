// SPDX-License-Identifier: GPL-3.0-or-later
// The formula pictures: black-and-white bitmaps drawn at each common screen
// scale (resources/formula_scales.txt), one chosen for the screen's scale.
#pragma once

#include <QPixmap>
#include <QString>

namespace ui {

// The bitmap of formula `name` ("formula1", "formula2") for a screen of
// `screenRatio` device pixels per pixel, black and white pixel for pixel.
QPixmap formulaPixmap(const QString& name, qreal screenRatio);

}  // namespace ui
