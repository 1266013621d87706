// SPDX-License-Identifier: GPL-3.0-or-later
// A machine whose Chinese font lies in the user's own font folder, not in
// Debian's: the program's own font configuration still finds it, and no text
// the window shows has a character without a glyph. The Debian folders are
// hidden from the program, and HOME is a temporary folder holding the font
// in ~/.local/share/fonts, before the first font lookup.
#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QRawFont>
#include <QtTest>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/ui/shown_texts.h"
#include "ui/appearance.h"
#include "ui/font_setup.h"
#include "widgets/qt_translations.h"

namespace {
const char* const kSystemFont = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc";
bool fontInstalled = false;
}  // namespace

class TestUserFonts : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void theFontInTheUsersFolderIsFound();
    void aCharacterTheBuiltInFaceLacksFallsBackToIt();
    void noShownTextMissesAGlyph_data();
    void noShownTextMissesAGlyph();
};

void TestUserFonts::initTestCase() {
    if (!fontInstalled) QSKIP("fonts-wqy-microhei is not installed (scripts/setup.sh installs it)");
    ui::setUpApplication();
    QVERIFY(widgets::loadQtTranslations());
}

void TestUserFonts::theFontInTheUsersFolderIsFound() {
    QVERIFY(QFontDatabase::families().contains(QStringLiteral("WenQuanYi Micro Hei")));
}

void TestUserFonts::aCharacterTheBuiltInFaceLacksFallsBackToIt() {
    const char32_t uncommon = 0x9F8D;  // 龍, in no text of the window
    QVERIFY(!QRawFont::fromFont(ui::windowFont()).supportsCharacter(uncommon));
    QVERIFY(QFontMetrics(ui::windowFont()).inFontUcs4(uncommon));
}

void TestUserFonts::noShownTextMissesAGlyph_data() {
    QTest::addColumn<QString>("text");
    for (const auto& [name, text] : uitest::shownTexts())
        QTest::addRow("%s", qPrintable(name)) << text;
}

void TestUserFonts::noShownTextMissesAGlyph() {
    QFETCH(QString, text);
    const QFontMetrics metrics(ui::windowFont());
    for (const char32_t c : text.toUcs4())
        if (c != u'\n')
            QVERIFY2(metrics.inFontUcs4(c), qPrintable(QStringLiteral("U+%1 has no glyph in \"%2\"")
                                                           .arg(uint(c), 4, 16, QLatin1Char('0'))
                                                           .arg(text)));
}

int main(int argc, char* argv[]) {
    namespace fs = std::filesystem;
    // A home of its own with the Chinese font where a user puts it.
    char home[] = "/tmp/ductcalc-user-fonts-XXXXXX";
    if (!mkdtemp(home)) return 1;
    fontInstalled = fs::exists(kSystemFont);
    if (fontInstalled) {
        fs::create_directories(fs::path(home) / ".local/share/fonts");
        fs::copy_file(kSystemFont, fs::path(home) / ".local/share/fonts/wqy-microhei.ttc");
    }
    setenv("HOME", home, 1);
    unsetenv("XDG_DATA_HOME");
    setenv("XDG_CACHE_HOME", (std::string(home) + "/.cache").c_str(), 1);
    // The Debian folders hidden: every folder of the system's.
    ui::FontSources sources = ui::systemFontSources();
    std::erase_if(sources.fontFolders,
                  [&](const std::string& folder) { return folder.rfind(home, 0) != 0; });
    if (!ui::useOwnFontConfiguration(sources)) {
        std::fprintf(stderr, "the program's own font configuration could not be set up\n");
        return 1;
    }
    int status = 0;
    {
        QApplication app(argc, argv);
        TestUserFonts test;
        status = QTest::qExec(&test, argc, argv);
    }
    std::error_code ignored;
    fs::remove_all(home, ignored);
    return status;
}
#include "tst_user_fonts.moc"
