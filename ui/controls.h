// SPDX-License-Identifier: GPL-3.0-or-later
// The controls of the window, on top of Qt's widgets.
//
// The handlers rely on a few event rules that Qt's widgets do not all keep by
// themselves; this is the one place that makes them hold:
//  - A change of a box's text, a list's chosen entry, an option's or the
//    check box's value raises the control's event at once, nested inside the
//    assignment, and only when the value really changes. Qt's own signals are
//    synchronous, so this holds as long as nothing queues them.
//      QLineEdit::textChanged        emitted by setText only for a new text.
//      QComboBox::currentIndexChanged emitted only for a new index, but Qt
//                                    selects the first entry added to an empty
//                                    list and clear() reports index -1: both
//                                    are kept silent here.
//      QAbstractButton::toggled      emitted only for a new state; for option
//                                    buttons the others of the frame are
//                                    already cleared when it arrives.
//  - A list's text is empty until an entry is chosen.
//  - A scroll bar reports a new value, not every position while its thumb is
//    dragged; arrows and track clicks step by 1.
//  - A locked box takes the focus and reports clicks but cannot be edited.
//  - A box's editing ends when the user presses Enter or the box loses the
//    focus by a click or Tab elsewhere, or because the window lost it; a menu
//    opened over the box (the paste menu) does not end it.
//  - While a change of a box's text is raised, the box says whether the user
//    made it (typing, deleting, pasting, undo) or the program wrote it:
//    QLineEdit::setText clears the modified flag before textChanged is
//    emitted, every user edit sets it first.
//  - The Tab key stops once at an option group, on its selected button. Qt
//    by itself stops at whichever button of the group last had the focus.
//  - An option button or the check box takes a click anywhere on its
//    rectangle, not only on the indicator and the caption's text.
//  - The Left and Right keys move a horizontal scroll bar left and right;
//    QScrollBar turns them around.
//  - A list or a scroll bar takes the mouse wheel only while it has the
//    focus: a wheel turned to scroll past it changes no size or roughness.
//  - A scroll bar is reached with Tab, never by a click: a click that
//    changes nothing would otherwise keep the focus on the bar and swallow
//    the digits typed next. Qt's Fusion bar draws no focus, so it gets a
//    mark of its own.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>

namespace ui {

class TextBox : public QLineEdit {
    Q_OBJECT
public:
    explicit TextBox(QWidget* parent);
    // Read-only for the user, still focusable and clickable.
    void setLocked(bool locked) { setReadOnly(locked); }

    // The text was last changed by the user, not written by the program.
    bool changedByUser() const { return isModified(); }

    // A small warning mark inside the box's right edge, with `warning` as the
    // tool tip of the mark and of the box and as the box's accessible
    // description; an empty warning removes it. The layout does not change.
    void setWarning(const QString& warning);
    QString warning() const { return warning_; }
    QAction* warningAction() const { return warningAction_; }

signals:
    void changeRaised();  // the text changed, typed or assigned
    void clickRaised();   // clicked with the mouse
    void editingEnded();  // Enter, or the focus left the box

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool pressed_ = false;
    QString warning_;
    QAction* warningAction_ = nullptr;
    QString plainToolTip_;  // the box's own tool tip while a warning covers it
};

// A pick-only drop-down list.
class ComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit ComboBox(QWidget* parent);
    void clearList();
    void addEntry(const QString& entry);
    // The chosen entry, empty while none is chosen.
    QString text() const { return currentIndex() < 0 ? QString() : currentText(); }
    // Chooses the entry with exactly this text; a text not in the list
    // changes nothing.
    void setText(const QString& entry);

signals:
    void clickRaised();  // another entry was chosen, by the user or by code

protected:
    void wheelEvent(QWheelEvent* event) override;
};

class OptionButton : public QRadioButton {
    Q_OBJECT
public:
    OptionButton(const QString& caption, QWidget* parent);
    // -1 while selected, 0 otherwise.
    int value() const { return isChecked() ? -1 : 0; }
    // Any non-zero value selects the button (and clears the others of its frame).
    void setValue(int value) { setChecked(value != 0); }

signals:
    void clickRaised();  // the button became the selected one

protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
    void focusInEvent(QFocusEvent* event) override;

private:
    // Only the selected button of the frame is a tab stop (all of them while
    // none is selected); a click still gives any of them the focus.
    void syncTabStops();
};

class CheckBox : public QCheckBox {
    Q_OBJECT
public:
    CheckBox(const QString& caption, QWidget* parent);
    // 0 unticked, 1 ticked, 2 grayed.
    int value() const;
    void setValue(int value);

signals:
    void clickRaised();  // the value changed

protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

class HScrollBar : public QScrollBar {
    Q_OBJECT
public:
    explicit HScrollBar(QWidget* parent);

signals:
    void changeRaised();  // the value changed (a drag counts when released)

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

// A formula picture: reached with Tab only (a click would take the focus from
// the box being typed in), and marked while it has the focus.
// A frame with a caption. Drawn with the style's own frame and the caption
// as one plain line of text: the style's group box goes through a general
// text layout with shortcut handling for its caption and measures it twice,
// which made the window's five frames a third of its first frame.
class Frame : public QGroupBox {
public:
    Frame(const QString& caption, QWidget* parent) : QGroupBox(caption, parent) {}

protected:
    void paintEvent(QPaintEvent* event) override;
};

class PictureBox : public QLabel {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace ui
