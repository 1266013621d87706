// SPDX-License-Identifier: GPL-3.0-or-later
// The window under the program's own fontconfig configuration, set up before
// the application exists as the program does it: the built-in face draws the
// window, a CJK font of the system still shows what that face lacks, and
// fonts the window never uses are not read at all.
#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QRawFont>
#include <QtTest>

#include <cstdio>

#include "ui/appearance.h"
#include "ui/font_setup.h"

class TestOwnFonts : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { ui::applyAppearance(); }
    void builtInFaceDrawsTheWindow() {
        QCOMPARE(QFontInfo(ui::windowFont()).family(), QStringLiteral("Ductcalc Window Hei"));
    }
    void systemFontsTheWindowNeverUsesAreNotListed() {
        // DejaVu comes with every Debian desktop and is in no CJK folder.
        QVERIFY(!QFontDatabase::families().contains(QStringLiteral("DejaVu Sans")));
    }
    void aCjkFallbackShowsACharacterTheBuiltInFaceLacks() {
        if (!QFileInfo::exists(QStringLiteral("/usr/share/fonts/truetype/wqy/wqy-microhei.ttc")))
            QSKIP("fonts-wqy-microhei is not installed (scripts/setup.sh installs it)");
        QVERIFY(QFontDatabase::families().contains(QStringLiteral("WenQuanYi Micro Hei")));
        const QChar uncommon(0x9F8D);  // 龍, in no caption
        QVERIFY(!QRawFont::fromFont(ui::windowFont()).supportsCharacter(uncommon));
        QFont fallback(QStringLiteral("WenQuanYi Micro Hei"));
        QVERIFY(QRawFont::fromFont(fallback).supportsCharacter(uncommon));
    }
};

int main(int argc, char* argv[]) {
    if (!ui::useOwnFontConfiguration()) {
        std::fprintf(stderr, "the program's own font configuration could not be set up\n");
        return 1;
    }
    QApplication app(argc, argv);
    TestOwnFonts test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_own_fonts.moc"
