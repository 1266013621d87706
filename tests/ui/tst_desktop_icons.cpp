// SPDX-License-Identifier: GPL-3.0-or-later
// The icons the desktop shows for the program: one bitmap per icon-theme size
// and a scalable drawing, all of the same aeroplane.
#include <QFile>
#include <QImage>
#include <QXmlStreamReader>
#include <QtTest>

class TestDesktopIcons : public QObject {
    Q_OBJECT
private slots:
    void bitmapHasItsSizeAndShape_data();
    void bitmapHasItsSizeAndShape();
    void scalableDrawingIsWellFormedSvg();
};

void TestDesktopIcons::bitmapHasItsSizeAndShape_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("side");
    for (int side : {24, 48, 64, 128, 256})
        QTest::addRow("the %d pixel theme icon", side)
            << QStringLiteral(RESOURCE_DIR "/icons/ductcalc-%1.png").arg(side) << side;
}

void TestDesktopIcons::bitmapHasItsSizeAndShape() {
    QFETCH(QString, file);
    QFETCH(int, side);
    const QImage icon(file);
    QVERIFY2(!icon.isNull(), qPrintable(file + " does not load"));
    QCOMPARE(icon.size(), QSize(side, side));
    QVERIFY(icon.hasAlphaChannel());
    // Transparent around the aeroplane, the fuselage opaque in the middle.
    for (const QPoint corner :
         {QPoint(0, 0), QPoint(side - 1, 0), QPoint(0, side - 1), QPoint(side - 1, side - 1)})
        QCOMPARE(qAlpha(icon.pixel(corner)), 0);
    QCOMPARE(qAlpha(icon.pixel(side / 2, side / 2)), 255);
    // Symmetric about the vertical centre line, like the window's icons.
    int asymmetric = 0;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side / 2; ++x)
            asymmetric += qAbs(qAlpha(icon.pixel(x, y)) - qAlpha(icon.pixel(side - 1 - x, y))) > 64;
    QVERIFY2(asymmetric <= side / 8,
             qPrintable(QString::number(asymmetric) + " pixels differ from their mirror"));
}

void TestDesktopIcons::scalableDrawingIsWellFormedSvg() {
    QFile file(QStringLiteral(RESOURCE_DIR "/icons/ductcalc.svg"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    int polygons = 0;
    bool square = false;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        if (xml.name() == QLatin1String("svg"))
            square = xml.attributes().value(QLatin1String("viewBox")) == QLatin1String("0 0 32 32");
        if (xml.name() == QLatin1String("polygon")) ++polygons;
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QVERIFY(square);
    QCOMPARE(polygons, 4);  // wings, tail plane, fuselage, cockpit window
}

QTEST_GUILESS_MAIN(TestDesktopIcons)
#include "tst_desktop_icons.moc"
