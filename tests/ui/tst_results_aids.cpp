// SPDX-License-Identifier: GPL-3.0-or-later
// Results to take away: the menu of a result row, the shortcut that copies
// every result, and the two engineering aids in the tool tips of the velocity
// and friction-loss rows.
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QMenu>
#include <QToolTip>
#include <QtTest>

#include <cmath>

#include "appearance.h"
#include "form1.h"
#include "number_text.h"
#include "qt_text.h"

namespace {

// The worked example of the README: 1000 m3/h in a 200 mm circular duct of
// thin steel sheet, formula one, as a spreadsheet receives it.
const QString kWorkedExample = QStringLiteral(
    "粗糙度\t0.16\n"
    "风量\t1000 m3/h\n"
    "风管尺寸\tφ 200\n"
    "当量直径\t0.2 m\n"
    "风速\t8.841949 m/s\n"
    "雷诺数\t117423\n"
    "比摩阻\t4.376865 Pa/m\n");

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

QString toolTipOf(QWidget* widget) {
    // A tip already up is reused for the next one at once: a marker tip
    // first, so that a request that shows nothing is seen as such.
    const QString marker = QStringLiteral("(no tool tip)");
    QToolTip::showText(widget->mapToGlobal(QPoint(0, 0)), marker, widget);
    const QPoint pos = widget->rect().center();
    QHelpEvent event(QEvent::ToolTip, pos, widget->mapToGlobal(pos));
    QApplication::sendEvent(widget, &event);
    return QToolTip::text();
}

// The number after "= " in a tool tip; NaN when there is none.
double numberIn(const QString& tip) {
    const QString after = tip.section(QStringLiteral("= "), 1).section(u' ', 0, 0);
    bool ok = false;
    const double value = after.toDouble(&ok);
    return ok ? value : std::nan("");
}

}  // namespace

class TestResultsAids : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { ui::setUpApplication(); }
    void init();
    void cleanup() { form_.reset(); }

    void rowMenuCopiesThatValueOrAll_data();
    void rowMenuCopiesThatValueOrAll();
    void shortcutCopiesAllResultsFromAnywhere_data();
    void shortcutCopiesAllResultsFromAnywhere();
    void failedValuesAreCopiedAsShown();
    void aidsAgreeWithTheShownResults_data();
    void aidsAgreeWithTheShownResults();
    void aidsShowADashWithoutAValue_data();
    void aidsShowADashWithoutAValue();

private:
    std::unique_ptr<Form1> form_;
};

void TestResultsAids::init() {
    form_ = std::make_unique<Form1>();
    form_->Form_Load();
    form_->show();
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    form_->Combo2->setText(QStringLiteral("200"));
    QTest::keyClicks(form_->Text1, "1000");
    QGuiApplication::clipboard()->clear();
}

void TestResultsAids::rowMenuCopiesThatValueOrAll_data() {
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("copied");
    QTest::newRow("复制 on the velocity value") << "Label7"
                                                << "复制"
                                                << "8.841949 m/s";
    QTest::newRow("复制 on the velocity caption") << "Label5"
                                                  << "复制"
                                                  << "8.841949 m/s";
    QTest::newRow("复制 on the duct size") << "Label6"
                                           << "复制"
                                           << "φ 200";
    QTest::newRow("复制 on the roughness caption") << "Label12"
                                                   << "复制"
                                                   << "0.16";
    QTest::newRow("复制 on the friction loss") << "Label11"
                                               << "复制"
                                               << "4.376865 Pa/m";
    QTest::newRow("复制全部结果 on the Reynolds number") << "Label15"
                                                         << "复制全部结果" << kWorkedExample;
    QTest::newRow("复制全部结果 on the air volume caption") << "Label9"
                                                            << "复制全部结果" << kWorkedExample;
}

void TestResultsAids::rowMenuCopiesThatValueOrAll() {
    QFETCH(QString, label);
    QFETCH(QString, action);
    QFETCH(QString, copied);
    auto* row = form_->findChild<QLabel*>(label);
    QVERIFY(row);
    const QString shown = row->text();
    QMenu* menu = openMenuOn(row);
    QVERIFY2(menu, "no menu opened");
    QVERIFY(actionNamed(menu, QStringLiteral("复制")));
    QVERIFY(actionNamed(menu, QStringLiteral("复制全部结果")));
    actionNamed(menu, action)->trigger();
    menu->close();
    QCOMPARE(QGuiApplication::clipboard()->text(), copied);
    QCOMPARE(row->text(), shown);  // copying leaves the result as it is
}

void TestResultsAids::shortcutCopiesAllResultsFromAnywhere_data() {
    QTest::addColumn<QString>("focus");
    QTest::newRow("typing the air volume") << "Text1";
    QTest::newRow("in the flow unit list") << "Combo1";
    QTest::newRow("on a roughness scroll bar") << "HScroll1";
    QTest::newRow("in the custom roughness box") << "Text13";
    QTest::newRow("on a formula picture") << "Picture2";
}

void TestResultsAids::shortcutCopiesAllResultsFromAnywhere() {
    QFETCH(QString, focus);
    auto* widget = form_->findChild<QWidget*>(focus);
    QVERIFY(widget);
    widget->setFocus(Qt::TabFocusReason);
    QCOMPARE(QApplication::focusWidget(), widget);
    const QString custom = form_->Text13->text();
    QTest::keyClick(widget, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), kWorkedExample);
    QCOMPARE(form_->Text13->text(), custom);  // the keys typed nothing
}

// An air volume beyond the numbers used leaves dashes; every row is copied
// as shown, never as a number of earlier inputs.
void TestResultsAids::failedValuesAreCopiedAsShown() {
    Form1& form = *form_;
    form.Text1->setText(QStringLiteral("1e39"));
    QTest::keyClick(form.Text1, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    const QStringList lines = QGuiApplication::clipboard()->text().split(u'\n', Qt::SkipEmptyParts);
    const QLabel* values[] = {form.Label13, form.Label10, form.Label6, form.Label17,
                              form.Label7,  form.Label15, form.Label11};
    QCOMPARE(lines.size(), 7);
    for (int i = 0; i < 7; ++i) QCOMPARE(lines[i].section(u'\t', 1), values[i]->text().trimmed());
    const QString marker = ui::qs(calc::kFailMarker);
    QCOMPARE(lines[4], QStringLiteral("风速\t") + marker);
    QCOMPARE(lines[6], QStringLiteral("比摩阻\t") + marker);
}

void TestResultsAids::aidsAgreeWithTheShownResults_data() {
    QTest::addColumn<QString>("air");
    QTest::addColumn<QString>("diameter");
    QTest::addColumn<bool>("formulaTwo");
    QTest::newRow("the worked example by formula one") << "1000"
                                                       << "200" << false;
    QTest::newRow("the worked example by formula two") << "1000"
                                                       << "200" << true;
    QTest::newRow("a large duct at low speed by formula two") << "3000"
                                                              << "1000" << true;
    QTest::newRow("a small duct at high speed by formula one") << "2500"
                                                               << "100" << false;
}

// ρv²/2 from the velocity shown, and λ from the loss shown through
// Rm = λ ρ v² / 2 / D: the tool tips tell the same story as the results.
void TestResultsAids::aidsAgreeWithTheShownResults() {
    QFETCH(QString, air);
    QFETCH(QString, diameter);
    QFETCH(bool, formulaTwo);
    Form1& form = *form_;
    (formulaTwo ? form.Option5 : form.Option4)->setValue(-1);
    form.Combo2->setText(diameter);
    form.Text1->setText(air);
    const double v = form.Label7->text().section(u' ', 1, 1).toDouble();
    const double rm = form.Label11->text().section(u' ', 1, 1).toDouble();
    const double d = diameter.toDouble() / 1000;
    QVERIFY(v > 0 && rm > 0);

    for (QWidget* row : {static_cast<QWidget*>(form.Label5), static_cast<QWidget*>(form.Label7)}) {
        const QString tip = toolTipOf(row);
        QVERIFY2(tip.startsWith(QStringLiteral("动压 ρv²/2 = ")) && tip.endsWith(" Pa"),
                 qPrintable(tip));
        const double pressure = 1.204 * v * v / 2;
        QVERIFY2(std::abs(numberIn(tip) / pressure - 1) < 1e-6, qPrintable(tip));
    }
    for (QWidget* row : {static_cast<QWidget*>(form.Label8), static_cast<QWidget*>(form.Label11)}) {
        const QString tip = toolTipOf(row);
        const QString name = formulaTwo ? QStringLiteral("公式二") : QStringLiteral("公式一");
        QVERIFY2(tip.startsWith(QStringLiteral("沿程阻力系数 λ（%1）= ").arg(name)),
                 qPrintable(tip));
        const double lambda = rm * d / (1.204 * v * v / 2);
        QVERIFY2(std::abs(numberIn(tip) / lambda - 1) < 1e-5, qPrintable(tip));
    }
}

void TestResultsAids::aidsShowADashWithoutAValue_data() {
    QTest::addColumn<QString>("air");
    QTest::addColumn<QString>("sideA");  // typed sides of a rectangle; none: the 200 mm circle
    QTest::addColumn<QString>("sideB");
    QTest::addColumn<QString>("pressureTip");
    QTest::addColumn<QString>("lambdaTip");
    const QString marker = ui::qs(calc::kFailMarker);
    const QString noPressure = QStringLiteral("动压 ρv²/2 = ") + marker;
    const QString noLambda = QStringLiteral("沿程阻力系数 λ（公式一）= ") + marker;
    QTest::newRow("an air volume beyond the numbers used") << "1e39"
                                                           << ""
                                                           << "" << noPressure << noLambda;
    QTest::newRow("no air: no velocity pressure to speak of, no friction factor")
        << "0"
        << ""
        << ""
        << "动压 ρv²/2 = 0 Pa" << noLambda;
    QTest::newRow("a zero side: no section") << "1000"
                                             << "0"
                                             << "300" << noPressure << noLambda;
    QTest::newRow("sides of opposite sign: the logarithm fails") << "1000"
                                                                 << "-100"
                                                                 << "300" << noPressure << noLambda;
}

// When a recalculation cannot give a value the tool tip says so; the next
// good input gives numbers again.
void TestResultsAids::aidsShowADashWithoutAValue() {
    QFETCH(QString, air);
    QFETCH(QString, sideA);
    QFETCH(QString, sideB);
    Form1& form = *form_;
    if (!sideA.isEmpty()) {
        form.Option2->setValue(-1);
        form.Check1->setValue(1);
        form.Text3->setText(sideA);
        form.Text4->setText(sideB);
    }
    form.Text1->setText(air);
    QTEST(toolTipOf(form.Label7), "pressureTip");
    QTEST(toolTipOf(form.Label11), "lambdaTip");

    form.Option1->setValue(-1);
    form.Check1->setValue(0);
    form.Text1->setText(QStringLiteral("1000"));
    QVERIFY(std::isfinite(numberIn(toolTipOf(form.Label7))));
    QVERIFY(std::isfinite(numberIn(toolTipOf(form.Label11))));
}

QTEST_MAIN(TestResultsAids)
#include "tst_results_aids.moc"
