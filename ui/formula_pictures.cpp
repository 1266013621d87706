// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/formula_pictures.h"

#include <QSize>
#include <QSizeF>
#include <algorithm>
#include <cmath>
#include <iterator>

#include "formula_scales.h"

namespace ui {

// Resampling one bitmap to another scale breaks its thin strokes apart
// ("0.25" loses the stem of its 5), so each common scale has its own. A scale
// without its own bitmap gets the next larger one brought to it pixel for
// pixel: letting the painter scale it would blur its black and white into
// greys.
QPixmap formulaPixmap(const QString& name, qreal screenRatio) {
    const qreal devicePixelRatio = std::max<qreal>(1, screenRatio);
    const auto& kDrawn = kFormulaScales;
    const auto* pick = std::find_if(std::begin(kDrawn), std::end(kDrawn), [&](const auto& d) {
        return d.scale >= devicePixelRatio - 0.01;
    });
    if (pick == std::end(kDrawn)) pick = std::end(kDrawn) - 1;
    QPixmap sharp(QStringLiteral(":/images/%1%2.bmp").arg(name, QLatin1String(pick->suffix)));
    if (std::abs(pick->scale - devicePixelRatio) > 0.01) {
        const QSize size = (QSizeF(sharp.size()) * (devicePixelRatio / pick->scale)).toSize();
        sharp = sharp.scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    }
    sharp.setDevicePixelRatio(devicePixelRatio);
    return sharp;
}

}  // namespace ui
