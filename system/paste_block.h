// SPDX-License-Identifier: GPL-3.0-or-later
// A block of cells pasted from a spreadsheet or a text: either plain cells
// (tab-separated, as spreadsheets copy them) placed where the cursor is, or
// rows of a system's file with their header row, read by TableFileReader as
// a file would be, so that every header form, encoding and delimiter the
// command line knows is known here too. No Qt.
//
//   ductsys::PastedBlock block = ductsys::readPastedBlock(clipboardBytes);
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "system/table_file.h"

namespace ductsys {

struct PastedBlock {
    enum class Kind {
        cells,  // plain cells: `rows` as they lie, from the cursor on
        table,  // a header row and records: `rows` by the header's fields
        error,  // the block has a header but cannot be read: `message`, `line`
    };
    Kind kind = Kind::cells;
    std::vector<std::vector<std::string>> rows;
    TableHeader header;  // for a table
    msg::Messages message;
    long line = 0;  // of the block, from 1
};

// The block a pasted text holds. Bytes that are not UTF-8 are read as
// GB18030 when they are that (a spreadsheet on Chinese Windows may hand
// them over so).
PastedBlock readPastedBlock(std::string_view bytes);

// A tab-separated block, as spreadsheets copy it: rows by line end (CRLF,
// LF or CR; a final line end ends the last row), fields by tab, a field in
// double quotes may hold tabs, line ends and doubled quotes.
std::vector<std::vector<std::string>> tabSeparatedRows(std::string_view text);
// One field for a tab-separated block, quoted where it holds a tab, a line
// end or a leading quote.
std::string tabField(std::string_view text);

}  // namespace ductsys
