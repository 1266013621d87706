#include "appearance.h"

#include <QApplication>
#include <QStringList>

namespace ui {

QFont windowFont() {
    QFont font;
    font.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("Noto Sans SC"), QStringLiteral("Droid Sans Fallback"),
                      QStringLiteral("sans-serif")});
    font.setPixelSize(12);
    return font;
}

void applyAppearance() { QApplication::setStyle(QStringLiteral("Fusion")); }

}  // namespace ui
