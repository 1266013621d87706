// SPDX-License-Identifier: GPL-3.0-or-later
// The built-in window font is a cut-down face: it must be the one in use and
// hold every character the window shows.
#include <QRawFont>
#include <QtTest>

#include "tests/ui/shown_texts.h"
#include "ui/appearance.h"
#include "widgets/qt_translations.h"

class TestFont : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { ui::setUpApplication(); }
    void builtInFaceIsUsed();
    void everyShownCharacterIsInTheFace_data();
    void everyShownCharacterIsInTheFace();
};

void TestFont::builtInFaceIsUsed() {
    QCOMPARE(QFontInfo(ui::windowFont()).family(), QStringLiteral("Ductcalc Window Hei"));
    QCOMPARE(QApplication::font().families().value(0), QStringLiteral("Ductcalc Window Hei"));
}

void TestFont::everyShownCharacterIsInTheFace_data() {
    QTest::addColumn<QString>("text");
    // Qt's own texts are shown in Chinese: they must be in the face too.
    QVERIFY(widgets::loadQtTranslations());
    for (const auto& [name, text] : uitest::shownTexts())
        QTest::addRow("%s", qPrintable(name)) << text;
    QTest::newRow("result texts") << QStringLiteral("φ -0.123456789E+ * m/s m m3/h Pa/m");
    QTest::newRow("unit tool tip") << QStringLiteral("英制美制选项");
    QString ascii;
    for (char16_t c = 0x20; c < 0x7F; ++c) ascii += QChar(c);
    QTest::newRow("printable ASCII, as typed") << ascii;
}

void TestFont::everyShownCharacterIsInTheFace() {
    QFETCH(QString, text);
    const QRawFont face = QRawFont::fromFont(ui::windowFont());
    QVERIFY(face.isValid());
    QCOMPARE(face.familyName(), QStringLiteral("Ductcalc Window Hei"));
    for (QChar c : text)
        if (c != u'\n')
            QVERIFY2(face.supportsCharacter(c),
                     qPrintable(
                         QStringLiteral("U+%1 missing").arg(c.unicode(), 4, 16, QLatin1Char('0'))));
}

QTEST_MAIN(TestFont)
#include "tst_font.moc"
