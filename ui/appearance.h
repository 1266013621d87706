// SPDX-License-Identifier: GPL-3.0-or-later
// How the window looks, the same wherever it runs.
#pragma once

#include <QFont>

namespace ui {

// The window's default font: a CJK face that shows every caption at the
// sizes the layout gives, with fallbacks for machines without it.
QFont windowFont();

// Application-wide look; the layout's pixel geometry is made for Fusion, and
// the window's font is the application's.
void applyAppearance();

// Everything the program sets on its application before the window exists:
// names and look.
void setUpApplication();

}  // namespace ui
