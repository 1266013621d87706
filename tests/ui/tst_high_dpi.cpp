// SPDX-License-Identifier: GPL-3.0-or-later
// On a high-density screen the window scales as a whole and the formula
// pictures come from the bitmaps drawn for the scale, unblurred. ctest runs
// this at every scale the bitmaps are drawn at (QT_SCALE_FACTOR, from
// ui/resources/formula_scales.txt), and at a scale below 1, where the plain
// bitmap is kept as it is rather than resampled to fewer pixels.
#include <QtTest>
#include <algorithm>
#include <cstdlib>
#include <iterator>

#include "formula_scales.h"
#include "ui/appearance.h"
#include "ui/form1.h"

class TestHighDpi : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { ui::applyAppearance(); }
    void windowScalesAsAWhole();
    void formulaPicturesStaySharp_data();
    void formulaPicturesStaySharp();
};

namespace {
qreal scaleFactor() {
    bool ok = false;
    const qreal factor = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&ok);
    return ok ? factor : 1.0;
}

// The scale the formula bitmaps are chosen for: none is drawn below 1.
qreal bitmapScale() { return std::max<qreal>(1, scaleFactor()); }
}  // namespace

void TestHighDpi::windowScalesAsAWhole() {
    Form1 form;
    form.Form_Load();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.devicePixelRatioF(), scaleFactor());
    if (scaleFactor() < 1) {
        // Half a screen pixel per window pixel: the size rounds to whole
        // screen pixels, within one window pixel.
        QVERIFY(std::abs(form.width() - 561) <= 1 && std::abs(form.height() - 489) <= 1);
        return;
    }
    // Geometry stays in device-independent pixels.
    QCOMPARE(form.size(), QSize(561, 489));
    QCOMPARE(form.Frame3->geometry(), QRect(312, 288, 241, 193));
    const QImage shot = form.grab().toImage();
    QCOMPARE(shot.size(), (QSizeF(561, 489) * scaleFactor()).toSize());
}

void TestHighDpi::formulaPicturesStaySharp_data() {
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QSize>("bitmap");
    QTest::newRow("formula one") << "Picture1" << QSize(171, 69);
    QTest::newRow("formula two") << "Picture2" << QSize(231, 72);
}

void TestHighDpi::formulaPicturesStaySharp() {
    QFETCH(QString, picture);
    QFETCH(QSize, bitmap);
    Form1 form;
    form.Form_Load();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    auto* box = form.findChild<QLabel*>(picture);
    QVERIFY(box);

    const QPixmap pixmap = box->pixmap();
    QCOMPARE(pixmap.devicePixelRatio(), bitmapScale());
    QCOMPARE(pixmap.deviceIndependentSize().toSize(), bitmap);
    // Each common scale has a bitmap drawn at it; the screen gets that one
    // as it is, not another one resampled.
    const QString name = picture == QLatin1String("Picture1") ? "formula1" : "formula2";
    const auto* scale =
        std::find_if(std::begin(ui::kFormulaScales), std::end(ui::kFormulaScales),
                     [](const ui::FormulaScale& d) { return d.scale == bitmapScale(); });
    QVERIFY2(scale != std::end(ui::kFormulaScales), "no bitmap is drawn at this scale");
    const QString suffix = QLatin1String(scale->suffix);
    QImage drawn(QStringLiteral(":/images/%1%2.bmp").arg(name, suffix));
    QVERIFY(!drawn.isNull());
    drawn.setDevicePixelRatio(bitmapScale());
    QCOMPARE(pixmap.toImage().convertToFormat(QImage::Format_RGB32),
             drawn.convertToFormat(QImage::Format_RGB32));
    // Below 1 the screen itself has fewer pixels than the bitmap: what it
    // shows is the screen's business, the bitmap handed to it is the plain one.
    if (scaleFactor() < 1) return;

    // Inside the border, where the bitmap lies, every pixel on screen is pure
    // black or pure white: a bitmap scaled with smoothing would show greys.
    const QRect shown = box->contentsRect() & QRect(box->contentsRect().topLeft(), bitmap);
    const QImage shot = box->grab(shown).toImage().convertToFormat(QImage::Format_RGB32);
    int black = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            const QRgb p = shot.pixel(x, y);
            const bool pure = p == qRgb(0, 0, 0) || p == qRgb(255, 255, 255);
            if (!pure) QFAIL(qPrintable(QStringLiteral("grey pixel at %1,%2").arg(x).arg(y)));
            black += p == qRgb(0, 0, 0);
        }
    QVERIFY2(black > 200, "the formula is missing");
}

QTEST_MAIN(TestHighDpi)
#include "tst_high_dpi.moc"
