// SPDX-License-Identifier: GPL-3.0-or-later
// A row of the grid as typed, and a block of texts to place in it. No Qt.
#pragma once

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "system/model.h"
#include "system/readers.h"
#include "table/columns.h"

namespace table {

// A row's input texts, UTF-8, as typed.
using RowTexts = std::array<std::string, kInputColumns>;

// A row's texts as the system layer reads them. A row that names no
// formula uses the document's, `documentFormula`; a blank row stays blank.
inline ductsys::SegmentTexts segmentTexts(const RowTexts& t, std::string_view documentFormula) {
    ductsys::SegmentTexts row = ductsys::segmentTextsOf([&](ductsys::InputKey k) {
        // The grid has no role column: the role follows from the tree.
        return k == ductsys::InputKey::role ? std::string_view()
                                            : std::string_view(t[static_cast<std::size_t>(k)]);
    });
    const bool blank = std::all_of(
        t.begin(), t.end(), [](const std::string& text) { return ductsys::trimmed(text).empty(); });
    if (documentFormula != "1" && !blank && ductsys::trimmed(row.formula).empty())
        row.formula = documentFormula;
    return row;
}

// A block of texts placed with its top left corner at a cell; rows of
// different lengths are allowed.
struct TextBlock {
    std::vector<std::vector<std::string>> rows;
};

}  // namespace table
