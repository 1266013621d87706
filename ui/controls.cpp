#include "controls.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QSignalBlocker>

#include <algorithm>

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

ComboBox::ComboBox(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) emit clickRaised();
    });
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
        case Qt::Unchecked: return 0;
        case Qt::Checked: return 1;
        case Qt::PartiallyChecked: return 2;
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
    setFocusPolicy(Qt::StrongFocus);
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

}  // namespace ui
