// SPDX-License-Identifier: GPL-3.0-or-later
// The window reads and shows a point as the decimal separator whatever the
// regional settings are. ctest runs this under C, de_DE.UTF-8 and zh_CN.UTF-8
// (LC_ALL and LANG), with the locale named in DUCTCALC_EXPECT_LOCALE.
#include <QtTest>

#include <clocale>
#include <cstring>

#include "ui/appearance.h"
#include "ui/form1.h"

class TestLocales : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void typedDecimals_data();
    void typedDecimals();
    void scrollBarWritesAPoint();
};

void TestLocales::initTestCase() {
    ui::applyAppearance();
    // Make sure the environment really reached the process: otherwise this
    // test would pass without testing anything.
    const QByteArray expected = qgetenv("DUCTCALC_EXPECT_LOCALE");
    QVERIFY2(!expected.isEmpty(), "DUCTCALC_EXPECT_LOCALE not set");
    const QString system = QLocale::system().name();
    QVERIFY2(
        system.startsWith(QString::fromLatin1(expected).left(2)) ||
            (expected == "C" && (system == QLatin1String("C") || system == QLatin1String("en_US"))),
        qPrintable(QStringLiteral("Qt runs with locale %1").arg(system)));
    if (expected != "C") {
        const char* numeric = std::setlocale(LC_NUMERIC, nullptr);
        QVERIFY2(numeric && std::strncmp(numeric, expected.constData(), 5) == 0, numeric);
    }
}

void TestLocales::typedDecimals_data() {
    QTest::addColumn<QString>("airVolume");
    QTest::addColumn<QString>("customK");
    QTest::addColumn<QString>("label10");
    QTest::addColumn<QString>("label13");
    QTest::addColumn<QString>("label7");
    QTest::addColumn<QString>("label11");
    QTest::newRow("a point is read as the decimal point") << "1234.5"
                                                          << ""
                                                          << " 1234.5 m3/h"
                                                          << " 0.16"
                                                          << " 10.91539 m/s"
                                                          << " 6.670262 Pa/m";
    QTest::newRow("a comma ends the number") << "1234,5"
                                             << ""
                                             << " 1234 m3/h"
                                             << " 0.16"
                                             << " 10.91096 m/s"
                                             << " 6.664859 Pa/m";
    QTest::newRow("a custom roughness with a point") << "1234.5"
                                                     << "2.5"
                                                     << " 1234.5 m3/h"
                                                     << " 2.5"
                                                     << " 10.91539 m/s"
                                                     << " 14.66696 Pa/m";
    QTest::newRow("small results in exponent form") << "1"
                                                    << "2.5"
                                                    << " 1 m3/h"
                                                    << " 2.5"
                                                    << " 0.008841949 m/s"
                                                    << " 1.006089E-05 Pa/m";
}

void TestLocales::typedDecimals() {
    QFETCH(QString, airVolume);
    QFETCH(QString, customK);
    Form1 form;
    form.Form_Load();
    form.Combo2->setText(QStringLiteral("200"));
    if (!customK.isEmpty()) {
        // Emptying the box would put 0.01 in it at once: type over it instead.
        QTest::keyClick(form.Text13, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(form.Text13, customK);
    }
    form.Text1->clear();
    QTest::keyClicks(form.Text1, airVolume);
    QTEST(form.Label10->text(), "label10");
    QTEST(form.Label13->text(), "label13");
    QTEST(form.Label7->text(), "label7");
    QTEST(form.Label11->text(), "label11");
    QCOMPARE(form.Label17->text(), QStringLiteral(" 0.2 m"));
}

void TestLocales::scrollBarWritesAPoint() {
    Form1 form;
    form.Form_Load();
    form.HScroll6->setValue(51);
    QCOMPARE(form.Text10->text(), QStringLiteral("5.1"));
    QCOMPARE(form.Label13->text(), QStringLiteral(" 5.1"));
}

QTEST_MAIN(TestLocales)
#include "tst_locales.moc"
