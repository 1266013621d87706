// SPDX-License-Identifier: GPL-3.0-or-later
// Checks the committed images that the main window shows: the two formula
// bitmaps (plain and double density) and the window icons. They are drawn by
// ui/resources/generator; these tests guard what the window relies on, so a
// regenerated image that is the wrong size, has grey pixels, spills out of its
// frame or grows too many colours is caught before it is committed.

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSet>
#include <QSize>
#include <QString>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <tuple>
#include <vector>

#include "formula_scales.h"

#ifndef RESOURCE_DIR
#error "RESOURCE_DIR must be defined as the path of the folder holding the window's images"
#endif

namespace {

QString resourcePath(const QString& fileName) {
    return QStringLiteral(RESOURCE_DIR) + QLatin1Char('/') + fileName;
}

QImage loadImage(const QString& fileName) {
    const QString path = resourcePath(fileName);
    QImage image(path);
    if (image.isNull()) qWarning("cannot load %s", qPrintable(path));
    return image;
}

QByteArray fileBytes(const QString& fileName) {
    QFile file(resourcePath(fileName));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

quint32 littleEndian(const QByteArray& bytes, int offset, int size) {
    quint32 value = 0;
    for (int i = size - 1; i >= 0; --i) value = (value << 8) | uchar(bytes.at(offset + i));
    return value;
}

quint32 bigEndian32(const QByteArray& bytes, int offset) {
    quint32 value = 0;
    for (int i = 0; i < 4; ++i) value = (value << 8) | uchar(bytes.at(offset + i));
    return value;
}

// Bounding box of the pure black pixels; a null rectangle when there are none.
QRect blackBounds(const QImage& image) {
    int left = image.width(), top = image.height(), right = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == qRgb(0, 0, 0)) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

// Separate pieces of black: pixels that touch, also at a corner, are one
// piece. A glyph resampled too coarsely falls apart into more pieces (the 5
// of "0.25" loses its stem), and two glyphs that run together make fewer.
int strokePieces(const QImage& image) {
    const int w = image.width(), h = image.height();
    std::vector<char> seen(std::size_t(w) * std::size_t(h), 0);
    auto black = [&image](int x, int y) { return image.pixel(x, y) == qRgb(0, 0, 0); };
    int pieces = 0;
    std::vector<QPoint> stack;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (!black(x, y) || seen[std::size_t(y) * std::size_t(w) + std::size_t(x)]) continue;
            ++pieces;
            stack.push_back({x, y});
            seen[std::size_t(y) * std::size_t(w) + std::size_t(x)] = 1;
            while (!stack.empty()) {
                const QPoint p = stack.back();
                stack.pop_back();
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int nx = p.x() + dx, ny = p.y() + dy;
                        if (nx < 0 || ny < 0 || nx >= w || ny >= h || !black(nx, ny)) continue;
                        char& mark = seen[std::size_t(ny) * std::size_t(w) + std::size_t(nx)];
                        if (!mark) {
                            mark = 1;
                            stack.push_back({nx, ny});
                        }
                    }
            }
        }
    }
    return pieces;
}

// A 1x length at another scale, in whole pixels, as the generator rounds it.
int scaled(int length, double scale) { return int(std::lround(length * scale)); }

QString describe(const QRect& r) {
    return QStringLiteral("columns %1..%2, rows %3..%4")
        .arg(r.left())
        .arg(r.right())
        .arg(r.top())
        .arg(r.bottom());
}

}  // namespace

class TestResources : public QObject {
    Q_OBJECT

private:
    // One row per formula bitmap: file, pixel size and the area that black
    // pixels must stay within (inclusive columns and rows).
    static void formulaBitmapRows() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QRect>("inkArea");

        QTest::newRow("formula one is 171 by 69 with ink in columns 5-166, rows 4-65")
            << QStringLiteral("formula1.bmp") << QSize(171, 69)
            << QRect(QPoint(5, 4), QPoint(166, 65));
        QTest::newRow("formula two is 231 by 72 with ink in columns 5-227, rows 3-67")
            << QStringLiteral("formula2.bmp") << QSize(231, 72)
            << QRect(QPoint(5, 3), QPoint(227, 67));
        QTest::newRow(
            "formula one at double density is 342 by 138 with ink in columns 10-333, rows 8-131")
            << QStringLiteral("formula1@2x.bmp") << QSize(342, 138)
            << QRect(QPoint(10, 8), QPoint(333, 131));
        QTest::newRow(
            "formula two at double density is 462 by 144 with ink in columns 10-455, rows 6-135")
            << QStringLiteral("formula2@2x.bmp") << QSize(462, 144)
            << QRect(QPoint(10, 6), QPoint(455, 135));
        // The other screen scales: the same sizes and ink areas, each length
        // rounded to whole pixels.
        for (const ui::FormulaScale& drawn : ui::kFormulaScales) {
            const double s = drawn.scale;
            if (s == 1 || s == 2) continue;  // written out above
            for (const auto& [name, size, area] :
                 {std::tuple{"formula1", QSize(171, 69), QRect(QPoint(5, 4), QPoint(166, 65))},
                  std::tuple{"formula2", QSize(231, 72), QRect(QPoint(5, 3), QPoint(227, 67))}}) {
                const QString file = QStringLiteral("%1%2.bmp")
                                         .arg(QLatin1String(name), QLatin1String(drawn.suffix));
                QTest::newRow(qPrintable(file + " has the scaled size and ink area"))
                    << file << QSize(scaled(size.width(), s), scaled(size.height(), s))
                    << QRect(scaled(area.left(), s), scaled(area.top(), s), scaled(area.width(), s),
                             scaled(area.height(), s));
            }
        }
    }

    // Every formula bitmap, with the number of separate black pieces its
    // glyphs and bars make when no stroke is broken.
    static void strokeRows() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("pieces");
        for (const ui::FormulaScale& drawn : ui::kFormulaScales) {
            const QString one = QStringLiteral("formula1%1.bmp").arg(QLatin1String(drawn.suffix));
            const QString two = QStringLiteral("formula2%1.bmp").arg(QLatin1String(drawn.suffix));
            QTest::newRow(qPrintable(one + " has 31 whole pieces")) << one << 31;
            QTest::newRow(qPrintable(two + " has 33 whole pieces")) << two << 33;
        }
    }

    static void iconRows() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("side");

        QTest::newRow("the large window icon is 32 pixels square")
            << QStringLiteral("icon32.png") << 32;
        QTest::newRow("the small window icon is 16 pixels square")
            << QStringLiteral("icon16.png") << 16;
    }

private slots:
    void formulaBitmapHasItsSize_data() { formulaBitmapRows(); }
    void formulaBitmapHasItsSize() {
        QFETCH(QString, file);
        QFETCH(QSize, size);

        const QImage image = loadImage(file);
        QVERIFY2(!image.isNull(), qPrintable(file + " does not load"));
        QCOMPARE(image.size(), size);
    }

    void formulaBitmapIsAnUncompressed24BitBmp_data() { formulaBitmapRows(); }
    void formulaBitmapIsAnUncompressed24BitBmp() {
        QFETCH(QString, file);
        QFETCH(QSize, size);

        const QByteArray bytes = fileBytes(file);
        QVERIFY2(bytes.size() >= 54,
                 qPrintable(file + " is missing or too short for a BMP header"));
        QVERIFY2(bytes.startsWith("BM"),
                 qPrintable(file + " does not start with the BMP signature"));
        // BITMAPINFOHEADER follows the 14-byte file header.
        QCOMPARE(littleEndian(bytes, 14, 4), quint32(40));
        QCOMPARE(qint32(littleEndian(bytes, 18, 4)), size.width());
        QCOMPARE(std::abs(qint32(littleEndian(bytes, 22, 4))), size.height());
        QCOMPARE(littleEndian(bytes, 28, 2), quint32(24));  // biBitCount
        QCOMPARE(littleEndian(bytes, 30, 4), quint32(0));   // biCompression: BI_RGB
    }

    void formulaBitmapIsPureBlackAndWhite_data() { formulaBitmapRows(); }
    void formulaBitmapIsPureBlackAndWhite() {
        QFETCH(QString, file);

        const QImage image = loadImage(file);
        QVERIFY(!image.isNull());
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb pixel = image.pixel(x, y);
                if (pixel != qRgb(0, 0, 0) && pixel != qRgb(255, 255, 255)) {
                    QFAIL(qPrintable(
                        QStringLiteral("%1: pixel (%2,%3) is #%4, neither black nor white")
                            .arg(file)
                            .arg(x)
                            .arg(y)
                            .arg(pixel & 0xffffff, 6, 16, QLatin1Char('0'))));
                }
            }
        }
    }

    void formulaInkStaysInsideItsArea_data() { formulaBitmapRows(); }
    void formulaInkStaysInsideItsArea() {
        QFETCH(QString, file);
        QFETCH(QRect, inkArea);

        const QImage image = loadImage(file);
        QVERIFY(!image.isNull());
        const QRect ink = blackBounds(image);
        QVERIFY2(!ink.isNull(), qPrintable(file + " has no black pixels at all"));
        QVERIFY2(inkArea.contains(ink),
                 qPrintable(QStringLiteral("%1: ink covers %2, allowed %3")
                                .arg(file, describe(ink), describe(inkArea))));
    }

    void doubleDensityFormulaIsTheSameDrawingTwiceAsLarge_data() {
        QTest::addColumn<QString>("plainFile");
        QTest::addColumn<QString>("doubleFile");

        QTest::newRow("formula one doubles")
            << QStringLiteral("formula1.bmp") << QStringLiteral("formula1@2x.bmp");
        QTest::newRow("formula two doubles")
            << QStringLiteral("formula2.bmp") << QStringLiteral("formula2@2x.bmp");
    }
    void doubleDensityFormulaIsTheSameDrawingTwiceAsLarge() {
        QFETCH(QString, plainFile);
        QFETCH(QString, doubleFile);

        const QImage plain = loadImage(plainFile);
        const QImage doubled = loadImage(doubleFile);
        QVERIFY(!plain.isNull());
        QVERIFY(!doubled.isNull());
        QCOMPARE(doubled.size(), plain.size() * 2);

        // Glyphs are hinted separately at each size, so the ink is only
        // roughly twice as large; a drawing left at the plain scale, or one
        // scaled twice, is far outside this margin.
        const QRect plainInk = blackBounds(plain);
        const QRect doubleInk = blackBounds(doubled);
        QVERIFY(!plainInk.isNull());
        QVERIFY(!doubleInk.isNull());
        const double widthRatio = double(doubleInk.width()) / plainInk.width();
        const double heightRatio = double(doubleInk.height()) / plainInk.height();
        QVERIFY2(
            widthRatio > 1.85 && widthRatio < 2.15,
            qPrintable(
                QStringLiteral("ink width %1 vs %2").arg(doubleInk.width()).arg(plainInk.width())));
        QVERIFY2(heightRatio > 1.85 && heightRatio < 2.15,
                 qPrintable(QStringLiteral("ink height %1 vs %2")
                                .arg(doubleInk.height())
                                .arg(plainInk.height())));
    }

    // λ, =, 0, ., 2, 5 … each glyph and each bar is one piece at every
    // scale; a stroke broken by resampling adds pieces.
    void formulaStrokesAreWhole_data() { strokeRows(); }
    void formulaStrokesAreWhole() {
        QFETCH(QString, file);
        QFETCH(int, pieces);

        const QImage image = loadImage(file);
        QVERIFY(!image.isNull());
        QCOMPARE(strokePieces(image), pieces);
    }

    // The check above catches the fault it is there for: the double-density
    // bitmap brought pixel for pixel to 1.25 or 1.5 breaks strokes apart.
    void resamplingBreaksStrokes_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<double>("scale");
        QTest::addColumn<int>("pieces");
        QTest::newRow("formula one from 2x to 1.25")
            << QStringLiteral("formula1@2x.bmp") << 1.25 << 31;
        QTest::newRow("formula one from 2x to 1.5")
            << QStringLiteral("formula1@2x.bmp") << 1.5 << 31;
        QTest::newRow("formula two from 2x to 1.25")
            << QStringLiteral("formula2@2x.bmp") << 1.25 << 33;
        QTest::newRow("formula two from 2x to 1.5")
            << QStringLiteral("formula2@2x.bmp") << 1.5 << 33;
    }
    void resamplingBreaksStrokes() {
        QFETCH(QString, file);
        QFETCH(double, scale);
        QFETCH(int, pieces);

        const QImage doubled = loadImage(file);
        QVERIFY(!doubled.isNull());
        const QImage resampled = doubled.scaled((QSizeF(doubled.size()) * (scale / 2)).toSize(),
                                                Qt::IgnoreAspectRatio, Qt::FastTransformation);
        QVERIFY(strokePieces(resampled) != pieces);
    }

    void iconHasItsSize_data() { iconRows(); }
    void iconHasItsSize() {
        QFETCH(QString, file);
        QFETCH(int, side);

        const QImage icon = loadImage(file);
        QVERIFY2(!icon.isNull(), qPrintable(file + " does not load"));
        QCOMPARE(icon.size(), QSize(side, side));
    }

    void iconIsAPalettePng_data() { iconRows(); }
    void iconIsAPalettePng() {
        QFETCH(QString, file);

        const QByteArray bytes = fileBytes(file);
        QVERIFY2(bytes.size() > 33, qPrintable(file + " is missing or too short for a PNG"));
        QVERIFY2(bytes.startsWith("\x89PNG\r\n\x1a\n"),
                 qPrintable(file + " lacks the PNG signature"));
        QCOMPARE(bytes.mid(12, 4), QByteArray("IHDR"));
        QCOMPARE(bigEndian32(bytes, 16), bigEndian32(bytes, 20));  // square
        QCOMPARE(int(uchar(bytes.at(25))), 3);                     // colour type: palette
    }

    void iconUsesAtMostSixteenColours_data() { iconRows(); }
    void iconUsesAtMostSixteenColours() {
        QFETCH(QString, file);

        const QImage icon = loadImage(file);
        QVERIFY(!icon.isNull());
        QSet<QRgb> colours;
        for (int y = 0; y < icon.height(); ++y)
            for (int x = 0; x < icon.width(); ++x) colours.insert(icon.pixel(x, y));
        QVERIFY2(colours.size() <= 16,
                 qPrintable(QStringLiteral("%1 uses %2 colours").arg(file).arg(colours.size())));
    }

    void iconHasTransparentCornersAndAnOpaqueShape_data() { iconRows(); }
    void iconHasTransparentCornersAndAnOpaqueShape() {
        QFETCH(QString, file);
        QFETCH(int, side);

        const QImage icon = loadImage(file);
        QVERIFY(!icon.isNull());
        QVERIFY2(icon.hasAlphaChannel(), qPrintable(file + " has no transparency"));
        const QPoint corners[] = {{0, 0}, {side - 1, 0}, {0, side - 1}, {side - 1, side - 1}};
        for (const QPoint& corner : corners) {
            QVERIFY2(qAlpha(icon.pixel(corner)) == 0,
                     qPrintable(QStringLiteral("%1: corner (%2,%3) is not transparent")
                                    .arg(file)
                                    .arg(corner.x())
                                    .arg(corner.y())));
        }

        int opaque = 0;
        for (int y = 0; y < icon.height(); ++y)
            for (int x = 0; x < icon.width(); ++x)
                opaque += qAlpha(icon.pixel(x, y)) == 255 ? 1 : 0;
        QVERIFY2(opaque > 0, qPrintable(file + " has no opaque pixels"));
    }
};

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
