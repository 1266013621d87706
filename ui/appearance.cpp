// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/appearance.h"

#include <QApplication>
#include <QFontDatabase>
#include <QStringList>

#include "widgets/qt_translations.h"

namespace ui {

QFont windowFont() {
    // WenQuanYi Micro Hei cut down to the window's own characters, built in:
    // the whole face would make the font most of the program's memory.
    static const bool loaded =
        QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/windowfont.ttf")) >= 0;
    (void)loaded;
    QFont font;
    font.setFamilies({QStringLiteral("Ductcalc Window Hei"), QStringLiteral("WenQuanYi Micro Hei"),
                      QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Sans SC"),
                      QStringLiteral("Droid Sans Fallback"), QStringLiteral("Source Han Sans SC"),
                      QStringLiteral("Source Han Sans CN"), QStringLiteral("AR PL UMing CN"),
                      QStringLiteral("sans-serif")});
    font.setPixelSize(12);
    return font;
}

void applyAppearance() {
    QApplication::setStyle(QStringLiteral("Fusion"));
    // The window's font for the whole application too: a line edit lays out
    // its text in the application font before it gets the window's, and
    // would load a second font file for nothing.
    QApplication::setFont(windowFont());
}

void setUpApplication() {
    QApplication::setApplicationName(QStringLiteral("ductcalc"));
    QApplication::setApplicationDisplayName(QStringLiteral("风速计算"));
    applyAppearance();
    widgets::loadQtTranslations();
}

}  // namespace ui
