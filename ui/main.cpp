#include <QApplication>

#include "appearance.h"
#include "form1.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ductcalc"));
    QApplication::setApplicationDisplayName(QStringLiteral("风速计算"));
    ui::applyAppearance();

    Form1 form;
    form.Form_Load();
    form.showCentred();
    return app.exec();
}
