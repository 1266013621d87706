// SPDX-License-Identifier: GPL-3.0-or-later
// The least a Qt Widgets program does to open a window of the calculator's
// size: the floor that the calculator's start-up is compared with.
#include <QApplication>
#include <QWidget>

#include "bench/startup/first_frame.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);

    QWidget window;
    window.setFixedSize(561, 489);
    const QuitAfterFirstPaint firstFrame(&window);
    window.show();
    return app.exec();
}
