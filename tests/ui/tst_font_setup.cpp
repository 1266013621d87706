// SPDX-License-Identifier: GPL-3.0-or-later
// The program's own fontconfig configuration: which of the system's files it
// keeps, and that text renders with the same preferences as under the full
// configuration.
#include <QTemporaryDir>
#include <QtTest>

#include <fontconfig/fontconfig.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "ui/font_setup.h"

namespace {

struct ConfigDeleter {
    void operator()(FcConfig* c) const { FcConfigDestroy(c); }
};
using Config = std::unique_ptr<FcConfig, ConfigDeleter>;

void write(const QString& path, const std::string& text) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    std::ofstream(path.toStdString(), std::ios::binary) << text;
}

std::string fcFile(const std::string& body) {
    return "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"urn:fontconfig:fonts.dtd\">\n"
           "<fontconfig>\n" +
           body + "</fontconfig>\n";
}

// A rendering rule as the system's conf.d files and a user's fonts.conf hold it.
std::string renderingRule(const std::string& property, const std::string& value) {
    return fcFile("<match target=\"pattern\"><edit name=\"" + property + "\" mode=\"assign\">" +
                  value + "</edit></match>\n");
}

Config parsed(const std::string& xml) {
    Config config(FcConfigCreate());
    if (!FcConfigParseAndLoadFromMemory(config.get(), reinterpret_cast<const FcChar8*>(xml.c_str()),
                                        FcTrue))
        return nullptr;
    return config;
}

// The rendering properties fontconfig gives the window's font under a configuration.
QString renderingOf(FcConfig* config) {
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("Ductcalc Window Hei"));
    FcPatternAddDouble(pattern, FC_PIXEL_SIZE, 12);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    QStringList out;
    for (const char* name : {FC_ANTIALIAS, FC_HINTING, FC_AUTOHINT, FC_EMBOLDEN}) {
        FcBool b = FcFalse;
        out << QStringLiteral("%1=%2").arg(name).arg(
            FcPatternGetBool(pattern, name, 0, &b) == FcResultMatch ? int(b) : -1);
    }
    for (const char* name : {FC_HINT_STYLE, FC_RGBA, FC_LCD_FILTER}) {
        int i = -1;
        FcPatternGetInteger(pattern, name, 0, &i);
        out << QStringLiteral("%1=%2").arg(name).arg(i);
    }
    FcPatternDestroy(pattern);
    return out.join(' ');
}

}  // namespace

class TestFontSetup : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void keepsOnlyWhatRenderingNeeds_data();
    void keepsOnlyWhatRenderingNeeds();
    void listsOnlyFontFoldersThatExist();
    void unreadableConfigurationGivesNothing();
    void renderingMatchesTheFullConfiguration_data();
    void renderingMatchesTheFullConfiguration();

private:
    std::unique_ptr<QTemporaryDir> dir_;
    QByteArray savedConfigHome_;
    QString confD() const { return dir_->filePath(QStringLiteral("conf.d")); }
    ui::FontSources sources() const {
        return ui::FontSources{confD().toStdString(), {}, {"WenQuanYi", "Noto Sans CJK"}};
    }
};

void TestFontSetup::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    QDir().mkpath(confD());
    // The user's configuration is looked up under XDG_CONFIG_HOME.
    savedConfigHome_ = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", dir_->filePath(QStringLiteral("home-config")).toUtf8());
}

void TestFontSetup::cleanup() {
    if (savedConfigHome_.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", savedConfigHome_);
    dir_.reset();
}

void TestFontSetup::keepsOnlyWhatRenderingNeeds_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("content");
    QTest::addColumn<bool>("kept");
    const QString rule =
        QString::fromStdString(renderingRule("hintstyle", "<const>hintfull</const>"));
    const QString alias = QString::fromStdString(fcFile(
        "<alias><family>serif</family><prefer><family>DejaVu Serif</family></prefer></alias>\n"));
    QTest::newRow("a system rendering default is kept") << "10-hinting-full.conf" << rule << true;
    QTest::newRow("a font rendering option is kept") << "20-unhint-small-vera.conf" << rule << true;
    QTest::newRow("the loader of the user's configuration is kept")
        << "50-user.conf"
        << QString::fromStdString(fcFile(
               "<include ignore_missing=\"yes\" prefix=\"xdg\">fontconfig/fonts.conf</include>\n"))
        << true;
    QTest::newRow("an alias file numbered like a loader is left out")
        << "57-dejavu-serif.conf" << alias << false;
    QTest::newRow("a family alias of fonts the window never uses is left out")
        << "60-latin.conf" << alias << false;
    QTest::newRow("a file about a fallback family is kept")
        << "65-wqy-microhei.conf"
        << QString::fromStdString(
               fcFile("<match target=\"font\"><test name=\"family\"><string>WenQuanYi Micro "
                      "Hei</string></test>"
                      "<edit name=\"hinting\" mode=\"assign\"><bool>false</bool></edit></match>\n"))
        << true;
    QTest::newRow("synthetic bold is kept") << "90-synthetic.conf" << rule << true;
    QTest::newRow("a file without a number is ignored, as fontconfig does")
        << "local.conf" << rule << false;
    QTest::newRow("a numbered file not ending in .conf is ignored")
        << "10-hinting-full.conf.orig" << rule << false;
}

void TestFontSetup::keepsOnlyWhatRenderingNeeds() {
    QFETCH(QString, file);
    QFETCH(QString, content);
    QFETCH(bool, kept);
    write(confD() + '/' + file, content.toStdString());
    const QString xml = QString::fromStdString(ui::ownFontConfiguration(sources()));
    QVERIFY(!xml.isEmpty());
    QCOMPARE(xml.contains(QStringLiteral("/conf.d/") + file + QStringLiteral("</include>")), kept);
    QVERIFY2(parsed(xml.toStdString()) != nullptr, qPrintable(xml));
}

void TestFontSetup::listsOnlyFontFoldersThatExist() {
    const QString present = dir_->filePath(QStringLiteral("fonts & more"));
    QDir().mkpath(present);
    ui::FontSources s = sources();
    s.fontFolders = {present.toStdString(),
                     dir_->filePath(QStringLiteral("missing")).toStdString()};
    const QString xml = QString::fromStdString(ui::ownFontConfiguration(s));
    QVERIFY(xml.contains(QStringLiteral("<dir>") +
                         dir_->filePath(QStringLiteral("fonts &amp; more")) +
                         QStringLiteral("</dir>")));
    QVERIFY(!xml.contains(QStringLiteral("missing")));
    QVERIFY2(parsed(xml.toStdString()) != nullptr, qPrintable(xml));
}

void TestFontSetup::unreadableConfigurationGivesNothing() {
    ui::FontSources s = sources();
    s.systemConfDir = dir_->filePath(QStringLiteral("no such folder")).toStdString();
    QVERIFY(ui::ownFontConfiguration(s).empty());
}

void TestFontSetup::renderingMatchesTheFullConfiguration_data() {
    QTest::addColumn<QString>("systemFile");
    QTest::addColumn<QString>("systemRule");
    QTest::addColumn<QString>("userRule");
    QTest::addColumn<QString>("expected");  // one property that must have changed
    const auto rule = [](const char* p, const char* v) {
        return QString::fromStdString(renderingRule(p, v));
    };
    QTest::newRow("the system's full hinting")
        << "10-hinting-full.conf" << rule("hintstyle", "<const>hintfull</const>") << QString()
        << "hintstyle=3";
    QTest::newRow("the system's BGR subpixel order")
        << "10-sub-pixel-bgr.conf" << rule("rgba", "<const>bgr</const>") << QString() << "rgba=2";
    QTest::newRow("the system's light LCD filter")
        << "11-lcdfilter-light.conf" << rule("lcdfilter", "<const>lcdlight</const>") << QString()
        << "lcdfilter=2";
    QTest::newRow("the user turns antialiasing off over the system's default")
        << "10-yes-antialias.conf" << rule("antialias", "<bool>true</bool>")
        << rule("antialias", "<bool>false</bool>") << "antialias=0";
    QTest::newRow("the user's autohinter")
        << "10-hinting-slight.conf" << rule("hintstyle", "<const>hintslight</const>")
        << rule("autohint", "<bool>true</bool>") << "autohint=1";
}

void TestFontSetup::renderingMatchesTheFullConfiguration() {
    QFETCH(QString, systemFile);
    QFETCH(QString, systemRule);
    QFETCH(QString, userRule);
    QFETCH(QString, expected);
    write(confD() + '/' + systemFile, systemRule.toStdString());
    // The rest of a system's conf.d: the user's configuration and aliases.
    write(
        confD() + QStringLiteral("/50-user.conf"),
        fcFile("<include ignore_missing=\"yes\" prefix=\"xdg\">fontconfig/fonts.conf</include>\n"));
    write(confD() + QStringLiteral("/60-latin.conf"),
          fcFile("<alias><family>sans-serif</family><prefer><family>DejaVu "
                 "Sans</family></prefer></alias>\n"));
    if (!userRule.isEmpty())
        write(dir_->filePath(QStringLiteral("home-config/fontconfig/fonts.conf")),
              userRule.toStdString());

    const Config full = parsed(fcFile("<include>" + confD().toStdString() + "</include>\n"));
    const Config own = parsed(ui::ownFontConfiguration(sources()));
    QVERIFY(full && own);
    const QString fullRendering = renderingOf(full.get());
    QVERIFY2(fullRendering.split(' ').contains(expected), qPrintable(fullRendering));
    QCOMPARE(renderingOf(own.get()), fullRendering);
}

QTEST_GUILESS_MAIN(TestFontSetup)
#include "tst_font_setup.moc"
