// SPDX-License-Identifier: GPL-3.0-or-later
// The floor with text: the bare window of floor.cpp showing one line of the
// calculator's Chinese captions in the calculator's built-in font, the way a
// program does it that leaves fontconfig to read the whole system's
// configuration. The difference to the bare window is what drawing Chinese
// text costs by itself.
#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QLabel>
#include <QWidget>

#include "bench/startup/first_frame.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/windowfont.ttf"));

    QWidget window;
    window.setFixedSize(561, 489);
    QFont font(QStringLiteral("Ductcalc Window Hei"));
    font.setPixelSize(12);
    QLabel line(QStringLiteral("风量 风管尺寸 当量直径 风速 雷诺数 比摩阻"), &window);
    line.setFont(font);
    line.move(16, 16);
    const QuitAfterFirstPaint firstFrame(&window);
    window.show();
    return app.exec();
}
