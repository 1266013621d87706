// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace widgets {

bool loadQtTranslations() {
    // Kept for the life of the application, which holds it by pointer.
    static QTranslator* const translator = [] {
        auto* t = new QTranslator(QCoreApplication::instance());
        if (!t->load(QStringLiteral("qtbase_zh_CN"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            delete t;
            return static_cast<QTranslator*>(nullptr);
        }
        QCoreApplication::installTranslator(t);
        return t;
    }();
    return translator != nullptr;
}

}  // namespace widgets
