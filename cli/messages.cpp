// SPDX-License-Identifier: GPL-3.0-or-later
#include "messages.h"
#include "number_text.h"

#include "number_texts.h"
#include "tables.h"

namespace cli {

std::string laminarWarning(float reynolds) {
    std::string text = "Reynolds number ";
    text += calc::bareNumberText(reynolds);
    text += " is below 2300: the flow is laminar, and neither friction formula is meant for it";
    return text;
}

}  // namespace cli
