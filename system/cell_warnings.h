// SPDX-License-Identifier: GPL-3.0-or-later
// The warning that belongs to each input cell of a segment's row: the
// calculator's reading warning for the quantity the column holds, or why the
// text is not what the column takes. A length, a fixed loss or a term of a
// sum of coefficients has no limits of its own; only the 粗糙度 column is
// held between 0.01 and 10 mm. No Qt.
#pragma once

#include <string>
#include <string_view>

#include "messages/message.h"
#include "system/table_file.h"

namespace ductsys {

// The warning of a cell of `column` holding `text`, one message per point
// (the grid shows each as a line of Chinese); empty when the text reads
// whole (or is empty).
msg::Messages cellWarning(Column column, std::string_view text);

}  // namespace ductsys
