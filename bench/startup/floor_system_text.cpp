// SPDX-License-Identifier: GPL-3.0-or-later
// The floor with text in a system font: the bare window of floor.cpp showing
// one line of the calculator's Chinese captions in the system's CJK font, the
// way an ordinary Qt program shows Chinese: no font of its own, fontconfig
// reading the system's whole configuration and finding the glyphs in
// whatever CJK font is installed (WenQuanYi on Debian).
#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QWidget>

#include "bench/startup/first_frame.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);

    QWidget window;
    window.setFixedSize(561, 489);
    QFont font = window.font();
    font.setPixelSize(12);
    QLabel line(QStringLiteral("风量 风管尺寸 当量直径 风速 雷诺数 比摩阻"), &window);
    line.setFont(font);
    line.move(16, 16);
    const QuitAfterFirstPaint firstFrame(&window);
    window.show();
    return app.exec();
}
