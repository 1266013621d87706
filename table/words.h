// SPDX-License-Identifier: GPL-3.0-or-later
// The grid's words for what the lower layers report: Chinese, from the
// catalogue.
#pragma once

#include <QString>

#include "messages/catalogue.h"

namespace table {

inline QString said(const msg::Message& message) {
    return QString::fromStdString(msg::render(message, msg::Language::chinese));
}
// Reasons, joined by "；".
inline QString saidList(const msg::Messages& messages) {
    return QString::fromStdString(msg::renderList(messages, msg::Language::chinese));
}
// The points of a warning, one a line.
inline QString saidLines(const msg::Messages& messages) {
    return QString::fromStdString(msg::renderLines(messages, msg::Language::chinese));
}

}  // namespace table
