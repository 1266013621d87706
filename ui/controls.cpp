// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controls.h"

#include <QAction>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygonF>
#include <QSignalBlocker>
#include <QStyleOptionFocusRect>
#include <QStyleOptionFrame>
#include <QStyleOptionGroupBox>
#include <QWheelEvent>

#include <algorithm>

#include "ui/accessibility.h"
#include "widgets/marks.h"

namespace ui {

TextBox::TextBox(QWidget* parent) : QLineEdit(parent) {
    connect(this, &QLineEdit::textChanged, this, &TextBox::changeRaised);
}

void TextBox::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    QLineEdit::mousePressEvent(event);
}

void TextBox::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressed_ = false;
    QLineEdit::mouseReleaseEvent(event);
    if (click) emit clickRaised();
}

void TextBox::keyPressEvent(QKeyEvent* event) {
    QLineEdit::keyPressEvent(event);
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) emit editingEnded();
}

void TextBox::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason) emit editingEnded();
}

void TextBox::setWarning(const QString& warning) {
    if (warning == warning_) return;
    if (warning.isEmpty()) {
        removeAction(warningAction_);
        delete warningAction_;
        warningAction_ = nullptr;
        setToolTip(plainToolTip_);
    } else {
        if (!warningAction_) {
            plainToolTip_ = toolTip();
            warningAction_ = addAction(widgets::warningMark(), QLineEdit::TrailingPosition);
            warningAction_->setObjectName(QStringLiteral("warningMark"));
        }
        warningAction_->setToolTip(warning);
        warningAction_->setText(warning);
        setToolTip(warning);
    }
    warning_ = warning;
    describeWarning(this, warning);
}

ComboBox::ComboBox(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    // Qt's default also takes the focus on a wheel turn, before the list
    // sees the wheel: the focus rule below would then never hold.
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) emit clickRaised();
    });
}

void ComboBox::wheelEvent(QWheelEvent* event) {
    if (hasFocus())
        QComboBox::wheelEvent(event);
    else
        event->ignore();
}

void ComboBox::clearList() {
    const QSignalBlocker quiet(this);
    clear();
}

void ComboBox::addEntry(const QString& entry) {
    const QSignalBlocker quiet(this);
    const int chosen = currentIndex();
    addItem(entry);
    setCurrentIndex(chosen);  // Qt chose the first entry of an empty list
}

void ComboBox::setText(const QString& entry) {
    const int index = findText(entry, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0) setCurrentIndex(index);
}

OptionButton::OptionButton(const QString& caption, QWidget* parent)
    : QRadioButton(caption, parent) {
    connect(this, &QAbstractButton::toggled, this, [this](bool on) {
        if (!on) return;
        syncTabStops();
        emit clickRaised();
    });
    syncTabStops();
}

void OptionButton::focusInEvent(QFocusEvent* event) {
    QRadioButton::focusInEvent(event);  // makes this button the tab stop
    syncTabStops();                     // but the selected one must stay it
}

void OptionButton::syncTabStops() {
    const QWidget* frame = parentWidget();
    const QList<OptionButton*> group =
        frame ? frame->findChildren<OptionButton*>(Qt::FindDirectChildrenOnly)
              : QList<OptionButton*>{this};
    const bool anySelected = std::any_of(group.begin(), group.end(),
                                         [](const OptionButton* b) { return b->isChecked(); });
    for (OptionButton* b : group)
        b->setFocusPolicy(b->isChecked() || !anySelected ? Qt::StrongFocus : Qt::ClickFocus);
}

CheckBox::CheckBox(const QString& caption, QWidget* parent) : QCheckBox(caption, parent) {
    connect(this, &QCheckBox::stateChanged, this, &CheckBox::clickRaised);
}

int CheckBox::value() const {
    switch (checkState()) {
        case Qt::Unchecked:
            return 0;
        case Qt::Checked:
            return 1;
        case Qt::PartiallyChecked:
            return 2;
    }
    return 0;
}

void CheckBox::setValue(int value) {
    setCheckState(value == 0 ? Qt::Unchecked : value == 2 ? Qt::PartiallyChecked : Qt::Checked);
}

HScrollBar::HScrollBar(QWidget* parent) : QScrollBar(Qt::Horizontal, parent) {
    setTracking(false);  // a dragged thumb counts once, where it is released
    setSingleStep(1);
    setPageStep(1);
    setFocusPolicy(Qt::TabFocus);
    connect(this, &QAbstractSlider::valueChanged, this, &HScrollBar::changeRaised);
}

// QScrollBar inverts its controls so that Up on a vertical bar scrolls up;
// on a horizontal bar that also makes Left step up. Up, Down, the page keys
// and the wheel keep Qt's handling.
void HScrollBar::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key != Qt::Key_Left && key != Qt::Key_Right) {
        QScrollBar::keyPressEvent(event);
        return;
    }
    const bool up = (key == Qt::Key_Right) != isRightToLeft();
    triggerAction(up ? SliderSingleStepAdd : SliderSingleStepSub);
    event->accept();
}

void HScrollBar::wheelEvent(QWheelEvent* event) {
    if (hasFocus())
        QScrollBar::wheelEvent(event);
    else
        event->ignore();
}

namespace {
// The style's own focus frame, just inside the widget's edge.
void drawFocusMark(QWidget* widget, int inset) {
    QPainter painter(widget);
    QStyleOptionFocusRect option;
    option.initFrom(widget);
    option.rect = widget->rect().adjusted(inset, inset, -inset, -inset);
    option.backgroundColor = widget->palette().color(QPalette::Window);
    widget->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, widget);
}
}  // namespace

void HScrollBar::paintEvent(QPaintEvent* event) {
    QScrollBar::paintEvent(event);
    if (hasFocus()) drawFocusMark(this, 1);
}

PictureBox::PictureBox(QWidget* parent) : QLabel(parent) {
    setFocusPolicy(Qt::TabFocus);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void Frame::paintEvent(QPaintEvent*) {
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    QStyleOptionFrame frame;
    frame.QStyleOption::operator=(option);
    frame.features = option.features;
    frame.lineWidth = option.lineWidth;
    frame.midLineWidth = option.midLineWidth;
    frame.rect =
        style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxFrame, this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_FrameGroupBox, &frame, &painter, this);
    if (title().isEmpty()) return;
    // Where the style puts the caption: at the top left of its place.
    const QRect label =
        style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, this);
    painter.drawText(label.left(), label.top() + fontMetrics().ascent(), title());
}

// The mark is the border drawn twice as thick in the highlight colour. The
// inner line lies on the bitmap's white margin on three sides; on the right
// the box cuts the bitmap close to the formula, so the mark stays on the
// border there and never hides a stroke.
void PictureBox::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (!hasFocus()) return;
    QPainter painter(this);
    const QColor mark = palette().color(QPalette::Highlight);
    const int w = width(), h = height();
    painter.fillRect(0, 0, w, 2, mark);
    painter.fillRect(0, h - 2, w, 2, mark);
    painter.fillRect(0, 0, 2, h, mark);
    painter.fillRect(w - 1, 0, 1, h, mark);
}

}  // namespace ui
