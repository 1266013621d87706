// SPDX-License-Identifier: GPL-3.0-or-later
// The marks both windows put beside what needs a look: a small triangle
// with an exclamation mark, drawn rather than taken from the style so that
// it looks the same under every theme.
#pragma once

#include <QIcon>

namespace widgets {

// Amber: a value was read or held other than as typed.
QIcon warningMark();

// Red: a row that could not be computed.
QIcon errorMark();

}  // namespace widgets
