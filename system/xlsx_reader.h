// SPDX-License-Identifier: GPL-3.0-or-later
// Reading one sheet of an Office Open XML workbook (.xlsx) as rows of cell
// texts, for the table file reader: the workbook's sheet list and its
// relationships to find the sheet, the shared strings, and the sheet itself,
// streamed from the archive through expat. A cell's text is what the file
// holds: a number as written in the file (no digit changes), a string
// (shared or inline), TRUE/FALSE, an error such as #DIV/0!, the value a
// formula had when the workbook was last saved. An empty cell between
// filled ones keeps its column.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "messages/message.h"

namespace ductsys {

// What a file's first bytes say it is.
enum class FileSignature {
    text,
    zip,  // a zip archive: a workbook, an OpenDocument file or another archive
    ole2  // an OLE2 compound file: an Excel 97-2003 workbook (.xls), say
};
FileSignature fileSignature(std::string_view start);

// A cell whose text is not a plain value: a spreadsheet error, or a formula
// whose value the workbook does not hold.
struct CellMark {
    enum class Kind { error, noValue };
    std::size_t column = 0;  // index into the row's cells
    Kind kind = Kind::error;
};

// The name of a sheet column by its index: 0 "A", 25 "Z", 26 "AA".
std::string sheetColumnName(std::size_t column);

// The cells of one row; `count` in use (more may follow from earlier rows
// and are to be ignored), the callee may take the strings. `row` is the
// sheet's row number. Returning false stops the reading.
using SheetRowFn = std::function<bool(std::vector<std::string>& cells, std::size_t count, long row,
                                      const std::vector<CellMark>& marks)>;

// A sheet's XML, fed in pieces, as rows. The shared strings are the
// workbook's, indexed by the cells of type "s".
class SheetRows {
public:
    SheetRows(const std::vector<std::string>& sharedStrings, const SheetRowFn& row);
    ~SheetRows();
    SheetRows(const SheetRows&) = delete;
    SheetRows& operator=(const SheetRows&) = delete;

    // Feeds the next piece; `last` with the end. False when the reading
    // stopped: the callee asked to, or the sheet is not well-formed (see
    // problem()).
    bool feed(const char* data, std::size_t size, bool last);
    bool stopped() const;
    // Why the sheet could not be read, empty when it could.
    const std::string& problem() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

// Why a workbook could not be read (or `ok`).
struct WorkbookError {
    enum class Kind {
        ok,
        stopped,      // a callback asked to stop
        ods,          // an OpenDocument spreadsheet
        notWorkbook,  // a zip archive that holds no xlsx workbook (an .xlsb, a .docx …)
        damaged,      // a bad archive, a part missing, malformed XML
        noSheet,      // the sheet asked for is not in the workbook
    };
    Kind kind = Kind::ok;
    msg::Message message{msg::Code::together, {}};  // what is wrong, when not ok
    bool ok() const { return kind == Kind::ok || kind == Kind::stopped; }
};

// Reads the sheet named `sheet` (the first worksheet that is not hidden when
// empty) of the workbook whose file is `bytes`, row by row. `sheetName`
// receives the name of the sheet read, with the number of sheets, before the
// first row.
WorkbookError readWorkbookSheet(
    std::string_view bytes, const std::string& sheet, const SheetRowFn& row,
    const std::function<void(const std::string& sheetName, std::size_t sheets)>& sheetName);

}  // namespace ductsys
