// SPDX-License-Identifier: GPL-3.0-or-later
// The calculator's friction chart: opened from every result row's menu, made
// only then, its point the duct whose figures the window shows as the inputs
// change, with the standard sizes beside it as faint points.
#include <QContextMenuEvent>
#include <QMenu>
#include <QtTest>

#include "chartview/chart_widget.h"
#include "ui/appearance.h"
#include "ui/form1.h"

namespace {

QMenu* openMenuOn(QWidget* widget) {
    const QPoint pos = widget->rect().center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, pos, widget->mapToGlobal(pos));
    QApplication::sendEvent(widget, &event);
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

QAction* actionNamed(QMenu* menu, const QString& text) {
    for (QAction* action : menu->actions())
        if (action->text() == text) return action;
    return nullptr;
}

void typeInto(QLineEdit* box, const QString& text) {
    box->setFocus();
    box->selectAll();
    if (text.isEmpty())
        QTest::keyClick(box, Qt::Key_Delete);
    else
        QTest::keyClicks(box, text);
}

}  // namespace

class TestChartWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { ui::setUpApplication(); }
    void init();
    void cleanup() { form_.reset(); }

    void madeOnlyWhenAskedFor_data();
    void madeOnlyWhenAskedFor();
    void pointIsTheShownDuct_data();
    void pointIsTheShownDuct();
    void noPointWithoutAnRm();
    void optionsOfTheChartMarkTheDuct();

private:
    chartview::ChartPanel* open();
    std::unique_ptr<Form1> form_;
};

void TestChartWindow::init() {
    form_ = std::make_unique<Form1>();
    form_->Form_Load();
    form_->show();
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    form_->Combo2->setText(QStringLiteral("200"));
    QTest::keyClicks(form_->Text1, "1000");
}

chartview::ChartPanel* TestChartWindow::open() {
    QMenu* menu = openMenuOn(form_->Label11);
    if (!menu) return nullptr;
    QAction* action = actionNamed(menu, QStringLiteral("摩擦阻力线算图"));
    if (!action) return nullptr;
    action->trigger();
    menu->close();
    return form_->chartWindow();
}

void TestChartWindow::madeOnlyWhenAskedFor_data() {
    QTest::addColumn<QString>("label");
    QTest::newRow("from the friction loss") << "Label11";
    QTest::newRow("from the velocity caption") << "Label5";
    QTest::newRow("from the air volume value") << "Label10";
}

void TestChartWindow::madeOnlyWhenAskedFor() {
    QFETCH(QString, label);
    QVERIFY(!form_->chartWindow());
    const QRect before = form_->geometry();
    QMenu* menu = openMenuOn(form_->findChild<QLabel*>(label));
    QVERIFY(menu);
    QAction* action = actionNamed(menu, QStringLiteral("摩擦阻力线算图"));
    QVERIFY(action);
    action->trigger();
    menu->close();
    chartview::ChartPanel* chart = form_->chartWindow();
    QVERIFY(chart);
    QVERIFY(chart->isVisible());
    QVERIFY(chart->isWindow());
    QCOMPARE(chart->windowTitle(), QStringLiteral("摩擦阻力线算图"));
    QCOMPARE(form_->geometry(), before);  // the calculator keeps its own layout
}

void TestChartWindow::pointIsTheShownDuct_data() {
    QTest::addColumn<QString>("flow");
    QTest::addColumn<QString>("diameter");
    QTest::addColumn<QStringList>("sizes");
    QTest::newRow("the worked example") << "1000"
                                        << "200" << QStringList{"φ200", "φ180", "φ220"};
    QTest::newRow("more air") << "2500"
                              << "200" << QStringList{"φ200", "φ180", "φ220"};
    QTest::newRow("the smallest standard diameter") << "300"
                                                    << "100" << QStringList{"φ100", "φ120"};
    QTest::newRow("the largest standard diameter") << "90000"
                                                   << "2000" << QStringList{"φ2000", "φ1800"};
}

void TestChartWindow::pointIsTheShownDuct() {
    QFETCH(QString, flow);
    QFETCH(QString, diameter);
    QFETCH(QStringList, sizes);
    chartview::ChartPanel* chart = open();
    QVERIFY(chart);
    // Changed after the window opened: the point follows.
    form_->Combo2->setText(diameter);
    typeInto(form_->Text1, flow);
    const auto& points = chart->chart().points;
    QStringList shown;
    for (const auto& p : points) shown << QString::fromStdString(p.size);
    QCOMPARE(shown, sizes);
    QCOMPARE(points.front().kind, ductsys::ChartPoint::Kind::duct);
    QCOMPARE(points.front().flow, form_->state().flowRate);
    QCOMPARE(points.front().rm, form_->state().specificLoss);
    // The window's thin steel sheet is 0.16 mm, the chart's lines 0.15 mm.
    QVERIFY(points.front().ownBasis);
}

void TestChartWindow::noPointWithoutAnRm() {
    chartview::ChartPanel* chart = open();
    QVERIFY(chart);
    QVERIFY(!chart->chart().points.empty());
    typeInto(form_->Text1, QString());
    QVERIFY(chart->chart().points.empty());
    typeInto(form_->Text1, QStringLiteral("abc"));
    QVERIFY(chart->chart().points.empty());
}

void TestChartWindow::optionsOfTheChartMarkTheDuct() {
    chartview::ChartPanel* chart = open();
    QVERIFY(chart);
    auto* k = chart->findChild<QLineEdit*>(QStringLiteral("chartK"));
    QVERIFY(k);
    typeInto(k, QStringLiteral("0.16"));
    QTest::keyClick(k, Qt::Key_Return);
    QCOMPARE(chart->options().basis.roughness, 0.16f);
    QVERIFY(!chart->chart().points.front().ownBasis);
    // A K that cannot be read leaves the chart's K as it was, and says so by
    // showing it again.
    typeInto(k, QStringLiteral("abc"));
    QTest::keyClick(k, Qt::Key_Return);
    QCOMPARE(chart->options().basis.roughness, 0.16f);
    QCOMPARE(k->text(), QStringLiteral("0.16"));
}

QTEST_MAIN(TestChartWindow)
#include "tst_chart_window.moc"
