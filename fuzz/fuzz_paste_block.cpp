// SPDX-License-Identifier: GPL-3.0-or-later
// The grid's paste parser (readPastedBlock) on arbitrary bytes: the block
// is read as a file when a header row names its columns, else as plain
// tab-separated cells, through the same reader and decoder as a file.
//
// Besides not crashing: a file-shaped block has rows at least as wide as its
// header and columns within it; an error names a line; plain cells written
// back field by field (tabField) read to the same cells.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/check.h"
#include "system/paste_block.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const ductsys::PastedBlock block = ductsys::readPastedBlock(bytes);
    using Kind = ductsys::PastedBlock::Kind;
    switch (block.kind) {
        case Kind::table:
            for (const auto& row : block.rows)
                FUZZ_REQUIRE(row.size() >= block.header.fieldCount,
                             "a row is narrower than its header: " + fuzz::quoted(bytes));
            for (const int at : block.header.columns)
                FUZZ_REQUIRE(at < static_cast<int>(block.header.fieldCount),
                             "a column lies outside the header: " + fuzz::quoted(bytes));
            break;
        case Kind::error:
            FUZZ_REQUIRE(block.line >= 1 && block.rows.empty(),
                         "an error names no line, or keeps rows: " + fuzz::quoted(bytes));
            break;
        case Kind::cells: {
            std::string text;
            for (const auto& row : block.rows) {
                for (std::size_t i = 0; i < row.size(); ++i) {
                    if (i > 0) text += '\t';
                    text += ductsys::tabField(row[i]);
                }
                text += '\n';
            }
            FUZZ_REQUIRE(ductsys::tabSeparatedRows(text) == block.rows,
                         "cells written back read differently: " + fuzz::quoted(bytes));
            break;
        }
    }
    return 0;
}
