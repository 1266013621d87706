// SPDX-License-Identifier: GPL-3.0-or-later
// The window under a user's mouse and keyboard at a real desk: the wheel
// turned over a control that is not being used, clicks on the roughness
// scroll bars, the focus marks, the tool tip of the air-volume frame and the
// focus the window opens with.
#include <QHelpEvent>
#include <QToolTip>
#include <QWheelEvent>
#include <QtTest>

#include "tests/ui/user_actions.h"
#include "ui/appearance.h"
#include "ui/form1.h"

namespace {

// One notch of the wheel over the middle of `widget`, up (+1) or down (-1),
// delivered as the application delivers it: focus rules and propagation
// included.
void turnWheel(QWidget* widget, int notches) {
    const QPointF pos = QRectF(widget->rect()).center();
    QWheelEvent event(pos, widget->mapToGlobal(pos), QPoint(), QPoint(0, 120 * notches),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}

// What the results show, to see that nothing was recomputed differently.
QStringList shownResults(const Form1& form) {
    QStringList texts;
    for (const QLabel* label : {form.Label13, form.Label10, form.Label6, form.Label17, form.Label7,
                                form.Label15, form.Label11})
        texts << label->text();
    return texts;
}

// A tool-tip request at `pos` in `widget`, as hovering makes it.
QString toolTipAt(QWidget* widget, QPoint pos) {
    QToolTip::hideText();
    if (!QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 5000))
        return QStringLiteral("(a tool tip stays up)");
    QHelpEvent event(QEvent::ToolTip, pos, widget->mapToGlobal(pos));
    QApplication::sendEvent(widget, &event);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}

}  // namespace

class TestMouseAndFocus : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { ui::setUpApplication(); }
    void init();
    void cleanup() { form_.reset(); }

    void wheelActsOnlyOnTheFocusedControl_data();
    void wheelActsOnlyOnTheFocusedControl();
    void clickOnAScrollBarLeavesTheFocusWhereTypingGoes_data();
    void clickOnAScrollBarLeavesTheFocusWhereTypingGoes();
    void tabbedControlShowsItsFocus_data();
    void tabbedControlShowsItsFocus();
    void focusMarkOfAPictureHidesNoStroke_data();
    void focusMarkOfAPictureHidesNoStroke();
    void frameToolTipShowsOverTheFrameOnly_data();
    void frameToolTipShowsOverTheFrameOnly();
    void firstNumberTypedReplacesTheStartingZero();

private:
    std::unique_ptr<Form1> form_;
};

void TestMouseAndFocus::init() {
    form_ = std::make_unique<Form1>();
    form_->Form_Load();
    form_->show();
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
}

void TestMouseAndFocus::wheelActsOnlyOnTheFocusedControl_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<bool>("focused");
    QTest::addColumn<int>("notches");
    QTest::addColumn<int>("changes");  // handler runs
    QTest::newRow("the diameter list does not move under a passing wheel")
        << "Combo2" << false << -1 << 0;
    QTest::newRow("the flow unit list does not move under a passing wheel")
        << "Combo1" << false << -1 << 0;
    QTest::newRow("the steel sheet bar does not move under a passing wheel")
        << "HScroll1" << false << 1 << 0;
    QTest::newRow("the brick bar does not move under a passing wheel")
        << "HScroll6" << false << -1 << 0;
    QTest::newRow("the diameter list with the focus takes the wheel")
        << "Combo2" << true << -1 << 1;
    QTest::newRow("the brick bar with the focus takes the wheel") << "HScroll6" << true << -1 << 1;
}

// With the focus in the air volume box, a wheel turned over a list or a bar
// changes no size, no roughness, no material and no result.
void TestMouseAndFocus::wheelActsOnlyOnTheFocusedControl() {
    QFETCH(QString, control);
    QFETCH(bool, focused);
    QFETCH(int, notches);
    QFETCH(int, changes);
    Form1& form = *form_;
    form.Option3[7]->setValue(-1);  // wood, so that a bar's step would also switch material
    QTest::keyClicks(form.Text1, "2000");
    auto* widget = form.findChild<QWidget*>(control);
    QVERIFY(widget);
    if (focused) widget->setFocus(Qt::TabFocusReason);
    QCOMPARE(QApplication::focusWidget(), focused ? widget : static_cast<QWidget*>(form.Text1));

    QSignalSpy combo(qobject_cast<ui::ComboBox*>(widget) ? widget : form.Combo1,
                     SIGNAL(clickRaised()));
    QSignalSpy bar(qobject_cast<ui::HScrollBar*>(widget) ? widget : form.HScroll1,
                   SIGNAL(changeRaised()));
    const QStringList before = shownResults(form);
    turnWheel(widget, notches);

    const int runs = qobject_cast<ui::ComboBox*>(widget) ? combo.count() : bar.count();
    QCOMPARE(runs, changes);
    if (changes == 0) {
        QCOMPARE(shownResults(form), before);
        QVERIFY(form.Option3[7]->isChecked());
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(form.Text1));
    }
}

void TestMouseAndFocus::clickOnAScrollBarLeavesTheFocusWhereTypingGoes_data() {
    QTest::addColumn<QString>("bar");
    QTest::addColumn<int>("part");
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("typingIn");  // the box with the focus before the click
    QTest::addColumn<int>("end");
    QTest::addColumn<QString>("typedAfter");  // the box the next digit goes into
    const int right = QStyle::SC_ScrollBarAddLine, left = QStyle::SC_ScrollBarSubLine,
              thumb = QStyle::SC_ScrollBarSlider;
    QTest::newRow("right arrow at the end of the steel range changes nothing, focus stays")
        << "HScroll1" << right << 18 << "Text1" << 18 << "Text1";
    QTest::newRow("left arrow at the start of the plastic range, typing in the custom box")
        << "HScroll2" << left << 1 << "Text13" << 1 << "Text13";
    QTest::newRow("a click on the thumb changes nothing and takes no focus")
        << "HScroll6" << thumb << 50 << "Text1" << 50 << "Text1";
    QTest::newRow("a step moves the focus to the air volume box")
        << "HScroll7" << right << 20 << "Text13" << 21 << "Text1";
}

void TestMouseAndFocus::clickOnAScrollBarLeavesTheFocusWhereTypingGoes() {
    QFETCH(QString, bar);
    QFETCH(int, part);
    QFETCH(int, start);
    QFETCH(QString, typingIn);
    QFETCH(int, end);
    QFETCH(QString, typedAfter);
    Form1& form = *form_;
    auto* scroll = form.findChild<ui::HScrollBar*>(bar);
    QVERIFY(scroll);
    scroll->setValue(start);
    auto* box = form.findChild<ui::TextBox*>(typingIn);
    QTest::mouseClick(box, Qt::LeftButton);
    QVERIFY(box->hasFocus());

    uitest::clickBar(scroll, static_cast<QStyle::SubControl>(part));
    if (QTest::currentTestFailed()) return;
    QCOMPARE(scroll->value(), end);
    QVERIFY(!scroll->hasFocus());

    auto* target = form.findChild<ui::TextBox*>(typedAfter);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(target));
    const QString text = target->text();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_0);
    QCOMPARE(target->text(), "0" + text);
    QCOMPARE(scroll->value(), end);
}

void TestMouseAndFocus::tabbedControlShowsItsFocus_data() {
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("reached");
    QTest::newRow("the steel sheet bar after its box") << "Text5"
                                                       << "HScroll1";
    QTest::newRow("the wood bar after the concrete bar") << "HScroll7"
                                                         << "HScroll8";
    QTest::newRow("the first formula picture after its option") << "Option4"
                                                                << "Picture1";
    QTest::newRow("the second formula picture after the first") << "Picture1"
                                                                << "Picture2";
}

// A control reached with Tab looks different from the same control without
// the focus.
void TestMouseAndFocus::tabbedControlShowsItsFocus() {
    QFETCH(QString, from);
    QFETCH(QString, reached);
    Form1& form = *form_;
    auto* start = form.findChild<QWidget*>(from);
    auto* target = form.findChild<QWidget*>(reached);
    QVERIFY(start && target);
    const QImage without = target->grab().toImage();
    start->setFocus(Qt::TabFocusReason);
    QTest::keyClick(start, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), target);
    QVERIFY2(target->grab().toImage() != without, "the focus is not visible");
}

void TestMouseAndFocus::focusMarkOfAPictureHidesNoStroke_data() {
    QTest::addColumn<QString>("picture");
    QTest::newRow("formula one") << "Picture1";
    QTest::newRow("formula two") << "Picture2";
}

// The mark lies on the border and the bitmap's white margin: every black
// pixel of the formula is still black with the focus on the picture.
void TestMouseAndFocus::focusMarkOfAPictureHidesNoStroke() {
    QFETCH(QString, picture);
    auto* box = form_->findChild<QLabel*>(picture);
    QVERIFY(box);
    const QImage plain = box->grab().toImage().convertToFormat(QImage::Format_RGB32);
    box->setFocus(Qt::TabFocusReason);
    const QImage marked = box->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QVERIFY(plain != marked);
    int black = 0;
    for (int y = 0; y < plain.height(); ++y)
        for (int x = 1; x < plain.width() - 1; ++x) {  // the border columns are the box's
            if (y == 0 || y == plain.height() - 1 || plain.pixel(x, y) != qRgb(0, 0, 0)) continue;
            ++black;
            if (marked.pixel(x, y) != qRgb(0, 0, 0))
                QFAIL(qPrintable(QStringLiteral("stroke pixel %1,%2 hidden").arg(x).arg(y)));
        }
    QVERIFY(black > 200);
}

void TestMouseAndFocus::frameToolTipShowsOverTheFrameOnly_data() {
    QTest::addColumn<QString>("under");
    QTest::addColumn<QString>("tip");
    QTest::newRow("over the frame's own caption") << "Frame1"
                                                  << "英制美制选项";
    QTest::newRow("over the air volume box") << "Text1"
                                             << "";
    QTest::newRow("over the flow unit list") << "Combo1"
                                             << "";
}

void TestMouseAndFocus::frameToolTipShowsOverTheFrameOnly() {
    QFETCH(QString, under);
    QFETCH(QString, tip);
    auto* widget = form_->findChild<QWidget*>(under);
    QVERIFY(widget);
    // The frame's caption row, left of the boxes; the middle of a box.
    const QPoint at = widget == form_->Frame1 ? QPoint(4, 4) : widget->rect().center();
    QVERIFY(!widget->childAt(at) || widget != form_->Frame1);
    QCOMPARE(toolTipAt(widget, at), tip);
}

void TestMouseAndFocus::firstNumberTypedReplacesTheStartingZero() {
    Form1& form = *form_;
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(form.Text1));
    QCOMPARE(form.Text1->selectedText(), QStringLiteral("0"));
    QTest::keyClicks(QApplication::focusWidget(), "1000");
    QCOMPARE(form.Text1->text(), QStringLiteral("1000"));
    QCOMPARE(form.Label10->text(), QStringLiteral(" 1000 m3/h"));
}

QTEST_MAIN(TestMouseAndFocus)
#include "tst_mouse_and_focus.moc"
