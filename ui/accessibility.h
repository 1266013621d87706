// SPDX-License-Identifier: GPL-3.0-or-later
// What assistive technology reads from the window.
#pragma once

class QLabel;
class QLineEdit;
class QScrollBar;
class QString;
class QWidget;

namespace ui {

// Makes `label` read as a result: its accessible name (the caption of its
// row, "风速") and its text as the value ("8.841949 m/s"). Call once per
// label; the label must have its accessible name set.
void markAsResult(QLabel* label);

// Tells assistive technology that a result label shows a new value.
void announceResult(QLabel* label);

// Gives a result label's warning (empty: none) after its value in its
// accessible description, and tells assistive technology when it changed.
void describeResultWarning(QLabel* label, const QString& warning);

// Makes a roughness scroll bar read as the roughness K it sets, in mm (its
// value divided by `divisor`), rather than as its raw step. Call once per
// bar, before anything asks for its interface.
void markAsRoughnessBar(QScrollBar* bar, int divisor);

// Makes a read-only box read as read-only text: Qt's own interface offers
// assistive technology the editing of any line edit, so a locked box is
// announced as editable. Call once per box; the box must stay read-only.
void markAsLocked(QLineEdit* box);

// Gives an input box's warning (empty: none) as its accessible description
// and tells assistive technology that it changed, so that a screen reader
// hears the warning the mark shows.
void describeWarning(QWidget* box, const QString& warning);

}  // namespace ui
