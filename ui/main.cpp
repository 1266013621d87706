// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>

#include "ui/appearance.h"
#include "ui/font_setup.h"
#include "ui/form1.h"

int main(int argc, char* argv[]) {
    ui::useOwnFontConfiguration();
    QApplication app(argc, argv);
    ui::setUpApplication();

    Form1 form;
    form.Form_Load();
    form.showCentred();
    return app.exec();
}
