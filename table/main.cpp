// SPDX-License-Identifier: GPL-3.0-or-later
// ductcalc-table: a duct system's hydraulic calculation in a grid.
#include <QApplication>
#include <QFont>

#include "table/table_window.h"
#include "widgets/qt_translations.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("ductcalc"));
    QApplication::setApplicationName(QStringLiteral("ductcalc-table"));
    QApplication::setApplicationDisplayName(QStringLiteral("风管水力计算表"));
    QApplication::setDesktopFileName(QStringLiteral("org.example.ductcalc.table"));
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("sans-serif")});
    QApplication::setFont(font);
    widgets::loadQtTranslations();

    table::TableWindow window;
    const QStringList args = QApplication::arguments();
    if (args.size() > 1) window.openFile(args.at(1));
    window.show();
    return app.exec();
}
