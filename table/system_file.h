// SPDX-License-Identifier: GPL-3.0-or-later
// A system's rows in and out of text: the CSV file that `ductcalc-cli`
// reads (columns by name, English or Chinese, any order), and the
// tab-separated blocks a spreadsheet puts on the clipboard. Text in UTF-8,
// or GB18030 where it is not valid UTF-8 (files saved by Chinese Windows
// programs). No Qt.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rows.h"

namespace table {

bool isValidUtf8(std::string_view bytes);
// GB18030 bytes as UTF-8; none when they are not GB18030 either.
std::optional<std::string> gb18030ToUtf8(std::string_view bytes);
// UTF-8 as it stands, else GB18030 converted; none when it is neither.
std::optional<std::string> decodeText(std::string_view bytes);

struct LoadedSystem {
    std::vector<RowTexts> rows;
    std::string error;                        // why nothing could be read; empty when read
    std::vector<std::string> ignoredColumns;  // header names that are no input column
    bool wasGb18030 = false;
};

// Reads a system's CSV text (bytes as in the file). The header row names
// the columns: segment/段号, from/起点, to/终点, flow/风量, unit/单位,
// size/尺寸, length/长度, zeta/局部阻力系数, dp/固定阻力, material/材料,
// k/粗糙度, formula/公式; letter case and blanks around them do not matter.
LoadedSystem readSystemText(std::string_view bytes);
LoadedSystem readSystemFile(const std::string& path);

// The CSV text of the rows, header in English, UTF-8, LF line ends; fields
// quoted only where they must be.
std::string systemFileText(const std::vector<RowTexts>& rows);

// A tab-separated block, as spreadsheets copy it: rows by line end (CRLF or
// LF; a final line end ends the last row), fields by tab, a field in double
// quotes may hold tabs, line ends and doubled quotes.
TextBlock parseTabSeparated(std::string_view text);
// One field for a tab-separated block, quoted where it holds a tab, a line
// end or a leading quote.
std::string tabField(std::string_view text);

}  // namespace table
