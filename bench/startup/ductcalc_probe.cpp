// SPDX-License-Identifier: GPL-3.0-or-later
// The program started exactly as ui/main.cpp starts it, with one addition:
// it can end itself after its first frame, which is what the start-up
// measurement times.
#include <QApplication>

#include "bench/startup/first_frame.h"
#include "ui/appearance.h"
#include "ui/font_setup.h"
#include "ui/form1.h"

int main(int argc, char* argv[]) {
    ui::useOwnFontConfiguration();
    QApplication app(argc, argv);
    ui::setUpApplication();

    Form1 form;
    const QuitAfterFirstPaint firstFrame(&form);
    form.Form_Load();
    form.showCentred();
    return app.exec();
}
