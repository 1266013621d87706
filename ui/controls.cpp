#include "controls.h"

#include <QMouseEvent>
#include <QSignalBlocker>

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
        if (on) emit clickRaised();
    });
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

}  // namespace ui
