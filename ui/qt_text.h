// SPDX-License-Identifier: GPL-3.0-or-later
// The calculation's texts (UTF-8) as the window's strings.
#pragma once

#include <QString>
#include <string_view>

namespace ui {

inline QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace ui
