// SPDX-License-Identifier: GPL-3.0-or-later
// What the window tests do as a user does it, and where a user's mouse finds
// the parts of a scroll bar. One copy for every test: a style or platform
// change is mended here once.
#pragma once

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPoint>
#include <QRadioButton>
#include <QRect>
#include <QScrollBar>
#include <QString>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionSlider>
#include <QTest>

namespace uitest {

// The rectangle of an arrow, the track on either side of the thumb or the
// thumb, as the style lays the bar out for its current value.
inline QRect scrollBarPart(const QScrollBar& bar, QStyle::SubControl part) {
    QStyleOptionSlider option;
    option.initFrom(&bar);
    option.subControls = QStyle::SC_All;
    option.activeSubControls = QStyle::SC_None;
    option.orientation = bar.orientation();
    option.minimum = bar.minimum();
    option.maximum = bar.maximum();
    option.sliderPosition = bar.sliderPosition();
    option.sliderValue = bar.value();
    option.singleStep = bar.singleStep();
    option.pageStep = bar.pageStep();
    option.upsideDown = bar.invertedAppearance();
    if (bar.orientation() == Qt::Horizontal) option.state |= QStyle::State_Horizontal;
    return bar.style()->subControlRect(QStyle::CC_ScrollBar, &option, part, &bar);
}

// A left click, at `at` or in the middle; the control must be one a user can
// reach (shown and enabled).
inline void click(QWidget* widget, QPoint at = {}) {
    QVERIFY2(widget->isVisible() && widget->isEnabled(),
             qPrintable(widget->objectName() + " cannot be reached"));
    QTest::mouseClick(widget, Qt::LeftButton, {}, at.isNull() ? widget->rect().center() : at);
}

// A click on one part of a scroll bar: an arrow (SC_ScrollBarAddLine,
// SC_ScrollBarSubLine) or the track beside the thumb (SC_ScrollBarAddPage,
// SC_ScrollBarSubPage).
inline void clickBar(QScrollBar* bar, QStyle::SubControl part) {
    const QRect rect = scrollBarPart(*bar, part);
    QVERIFY2(!rect.isEmpty(), "no such part of the bar to click");
    click(bar, rect.center());
}

// Clicks the bar's arrows until it stands at `value`.
inline void stepBarTo(QScrollBar* bar, int value) {
    for (int guard = 0; bar->value() != value && guard < 100; ++guard) {
        clickBar(bar,
                 bar->value() < value ? QStyle::SC_ScrollBarAddLine : QStyle::SC_ScrollBarSubLine);
        if (QTest::currentTestFailed()) return;
    }
    QCOMPARE(bar->value(), value);
}

// Where a button reacts to the mouse: its indicator, whatever the width of
// the button around it.
inline QPoint indicatorCentre(QAbstractButton* button) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const bool radio = qobject_cast<QRadioButton*>(button) != nullptr;
    return button->style()
        ->subElementRect(radio ? QStyle::SE_RadioButtonIndicator : QStyle::SE_CheckBoxIndicator,
                         &option, button)
        .center();
}

// Clicks into the box, selects all and types `text` (an empty text deletes).
inline void enterText(QLineEdit* box, const QString& text) {
    click(box);
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        QTest::keyClick(box, Qt::Key_Delete);
    else
        QTest::keyClicks(box, text);
}

// Clicks into the box, selects all and pastes `text` from the clipboard.
inline void pasteText(QLineEdit* box, const QString& text) {
    QGuiApplication::clipboard()->setText(text);
    click(box);
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
}

// Opens the list with the mouse and walks to the entry with the arrow keys:
// the popup ignores a click that follows its opening too closely.
inline void chooseEntry(QComboBox* combo, const QString& entry) {
    const int target = combo->findText(entry, Qt::MatchExactly | Qt::MatchCaseSensitive);
    QVERIFY2(target >= 0, qPrintable(entry + " is not in " + combo->objectName()));
    click(combo);
    QAbstractItemView* list = combo->view();
    QVERIFY(list->isVisible());
    int row = list->currentIndex().row();
    if (row < 0) {
        QTest::keyClick(list, Qt::Key_Down);
        row = list->currentIndex().row();
    }
    for (; row < target; ++row) QTest::keyClick(list, Qt::Key_Down);
    for (; row > target; --row) QTest::keyClick(list, Qt::Key_Up);
    QTest::keyClick(list, Qt::Key_Return);
    QVERIFY(!list->isVisible());
}

}  // namespace uitest
