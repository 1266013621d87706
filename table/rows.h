// SPDX-License-Identifier: GPL-3.0-or-later
// A row of the grid as typed, and a block of texts to place in it. No Qt.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "columns.h"

namespace table {

// A row's input texts, UTF-8, as typed.
using RowTexts = std::array<std::string, kInputColumns>;

// A block of texts placed with its top left corner at a cell; rows of
// different lengths are allowed.
struct TextBlock {
    std::vector<std::vector<std::string>> rows;
};

}  // namespace table
