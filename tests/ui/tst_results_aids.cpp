// SPDX-License-Identifier: GPL-3.0-or-later
// Results to take away: the menu of a result row, the shortcut that copies
// every result, and the two engineering aids in the tool tips of the velocity
// and friction-loss rows.
#include <QAccessible>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QMenu>
#include <QToolTip>
#include <QtTest>

#include <cmath>

#include "calc/number_text.h"
#include "ui/appearance.h"
#include "ui/form1.h"
#include "ui/qt_text.h"

namespace {

// The worked example of the README: 1000 m3/h in a 200 mm circular duct of
// thin steel sheet, formula one, as a spreadsheet receives it: name, number
// and unit in columns of their own.
const QString kWorkedExample = QStringLiteral(
    "粗糙度\t0.16\tmm\n"
    "风量\t1000\tm3/h\n"
    "风管尺寸\tφ 200\tmm\n"
    "当量直径\t0.2\tm\n"
    "风速\t8.841949\tm/s\n"
    "雷诺数\t117423\t\n"
    "比摩阻\t4.376865\tPa/m\n");

// Types into a box as the user does, replacing its text.
void typeInto(QLineEdit* box, const QString& text) {
    box->setFocus();
    box->selectAll();
    if (text.isEmpty())
        QTest::keyClick(box, Qt::Key_Delete);
    else
        QTest::keyClicks(box, text);
}

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
    void markedRowsAreCopiedWithTheirWarning();
    void resultsBuiltOnAMarkedInputSaySo_data();
    void resultsBuiltOnAMarkedInputSaySo();
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
                                                << "风速\t8.841949\tm/s\n";
    QTest::newRow("复制 on the velocity caption") << "Label5"
                                                  << "复制"
                                                  << "风速\t8.841949\tm/s\n";
    QTest::newRow("复制 on the duct size") << "Label6"
                                           << "复制"
                                           << "风管尺寸\tφ 200\tmm\n";
    QTest::newRow("复制 on the roughness caption") << "Label12"
                                                   << "复制"
                                                   << "粗糙度\t0.16\tmm\n";
    QTest::newRow("复制 on the Reynolds number, which has no unit") << "Label15"
                                                                    << "复制"
                                                                    << "雷诺数\t117423\t\n";
    QTest::newRow("复制 on the friction loss") << "Label11"
                                               << "复制"
                                               << "比摩阻\t4.376865\tPa/m\n";
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
    QCOMPARE(lines.size(), 7);
    const QString marker = ui::qs(calc::kFailMarker);
    const QString warning = QStringLiteral("由风量算出：数值 1e39 超出可计算的范围");
    QCOMPARE(lines[0], QStringLiteral("粗糙度\t0.16\tmm"));
    QCOMPARE(lines[1], QStringLiteral("风量\t%1\tm3/h\t%2").arg(marker, warning));
    QCOMPARE(lines[2], QStringLiteral("风管尺寸\tφ 200\tmm"));
    QCOMPARE(lines[4], QStringLiteral("风速\t%1\tm/s\t%2").arg(marker, warning));
    QCOMPARE(lines[6], QStringLiteral("比摩阻\t%1\tPa/m\t%2").arg(marker, warning));
}

// A row built on a marked input carries its warning as a fourth field, its
// points side by side in the one cell; the number stays a number.
void TestResultsAids::markedRowsAreCopiedWithTheirWarning() {
    Form1& form = *form_;
    typeInto(form.Text1, QStringLiteral("1,000"));
    form.Check1->setValue(1);
    typeInto(form.Text2, QStringLiteral("-200"));
    form.copyAllResults();
    const QStringList lines = QGuiApplication::clipboard()->text().split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 7);
    const QString air = QStringLiteral("由风量算出：只读取了 1，忽略了“,000”");
    const QString size = QStringLiteral("由风管尺寸算出：风管尺寸为负数：-200");
    QCOMPARE(lines[0], QStringLiteral("粗糙度\t0.16\tmm"));
    QCOMPARE(lines[1], QStringLiteral("风量\t1\tm3/h\t") + air);
    QCOMPARE(lines[2], QStringLiteral("风管尺寸\tφ-200\tmm\t") + size);
    QCOMPARE(lines[3], QStringLiteral("当量直径\t-0.2\tm\t") + size);
    QVERIFY2(lines[6].endsWith(QStringLiteral("\tPa/m\t") + air + u'；' + size),
             qPrintable(lines[6]));
}

// Every result computed from a marked input shows a small mark whose tool tip
// and accessible description name the input and its warning; every other
// result shows none; the label texts stay exactly as a recalculation writes
// them.
void TestResultsAids::resultsBuiltOnAMarkedInputSaySo_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("warning");     // of each marked result
    QTest::addColumn<QStringList>("marked");  // value labels
    const QStringList fromAir{"Label10", "Label7", "Label15", "Label11"};
    const QStringList fromSize{"Label6", "Label17", "Label7", "Label15", "Label11"};
    const QStringList fromK{"Label13", "Label11"};
    QTest::newRow("1,000 as the air volume") << "Text1"
                                             << "1,000"
                                             << "由风量算出：只读取了 1，忽略了“,000”" << fromAir;
    QTest::newRow("-100 m3/h") << "Text1"
                               << "-100"
                               << "由风量算出：风量为负数：-100" << fromAir;
    QTest::newRow("1e40 m3/h, out of the range used")
        << "Text1"
        << "1e40"
        << "由风量算出：数值 1e40 超出可计算的范围" << fromAir;
    QTest::newRow("-500 as the side 长") << "Text3"
                                         << "-500"
                                         << "由风管尺寸算出：风管尺寸为负数：-500" << fromSize;
    QTest::newRow("0.5 as the diameter, likely metres")
        << "Text2"
        << "0.5"
        << "由风管尺寸算出：尺寸以 mm 计；0.5 mm 是否应为 500 mm？" << fromSize;
    QTest::newRow("1e40 as the side 宽")
        << "Text4"
        << "1e40"
        << "由风管尺寸算出：数值 1e40 超出可计算的范围" << fromSize;
    QTest::newRow("25 as the custom K, held at 10")
        << "Text13"
        << "25"
        << "由粗糙度算出：粗糙度限于 0.01 至 10 mm，按 10 计算" << fromK;
    QTest::newRow("a whole air volume marks nothing") << "Text1"
                                                      << "2000"
                                                      << "" << QStringList();
}

void TestResultsAids::resultsBuiltOnAMarkedInputSaySo() {
    QFETCH(QString, box);
    QFETCH(QString, text);
    QFETCH(QString, warning);
    QFETCH(QStringList, marked);
    Form1& form = *form_;
    if (box != QLatin1String("Text1") && box != QLatin1String("Text13")) {
        form.Check1->setValue(1);
        (box == QLatin1String("Text2") ? form.Option1 : form.Option2)->setValue(-1);
    }
    auto* input = form.findChild<QLineEdit*>(box);
    QVERIFY(input);
    typeInto(input, text);

    const QLabel* values[] = {form.Label13, form.Label10, form.Label6, form.Label17,
                              form.Label7,  form.Label15, form.Label11};
    for (int row = 0; row < 7; ++row) {
        const QLabel* value = values[row];
        const bool expected = marked.contains(value->objectName());
        const QString why = value->objectName();
        QCOMPARE(form.resultWarning(row), expected ? warning : QString());
        const auto* mark = value->findChild<QLabel*>(QStringLiteral("resultMark"));
        QCOMPARE(mark && mark->isVisible(), expected);
        if (expected) {
            QCOMPARE(mark->toolTip(), warning);
            QVERIFY2(value->toolTip().endsWith(warning), qPrintable(why));
            QAccessibleInterface* accessible =
                QAccessible::queryAccessibleInterface(const_cast<QLabel*>(value));
            QVERIFY(accessible);
            QCOMPARE(accessible->text(QAccessible::Description),
                     value->text().trimmed() + u'\n' + warning);
        }
        // The label says what it always says; the mark stands beside it.
        QVERIFY2(!value->text().contains(QStringLiteral("算出")), qPrintable(why));
    }
    // The mark goes with the warning.
    typeInto(input, box == QLatin1String("Text13") ? QStringLiteral("5") : QStringLiteral("300"));
    for (int row = 0; row < 7; ++row) {
        QCOMPARE(form.resultWarning(row), QString());
        const auto* mark = values[row]->findChild<QLabel*>(QStringLiteral("resultMark"));
        QVERIFY(!mark || !mark->isVisible());
    }
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
    // The aid comes first; a warning of the inputs may follow it.
    QTEST(toolTipOf(form.Label7).section(u'\n', 0, 0), "pressureTip");
    QTEST(toolTipOf(form.Label11).section(u'\n', 0, 0), "lambdaTip");

    form.Option1->setValue(-1);
    form.Check1->setValue(0);
    form.Text1->setText(QStringLiteral("1000"));
    QVERIFY(std::isfinite(numberIn(toolTipOf(form.Label7))));
    QVERIFY(std::isfinite(numberIn(toolTipOf(form.Label11))));
}

QTEST_MAIN(TestResultsAids)
#include "tst_results_aids.moc"
