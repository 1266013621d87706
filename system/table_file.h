// SPDX-License-Identifier: GPL-3.0-or-later
// A table of segments as office software writes it: text in UTF-8 with or
// without a byte-order mark, or GB18030 (GBK), the default of Chinese
// spreadsheet programs, or an xlsx workbook's sheet (xlsx_reader.h), read by
// the same rules, told apart by the file's first bytes; fields separated by commas, semicolons or
// tabs; a title row or two above the header; units in the header's brackets ("风量(m3/h)"); CR, LF
// or CRLF line ends; short rows whose trailing empty cells were dropped. The command line's table
// and system commands and the table window open files through it, so that a file reads the same
// everywhere.
//
//   ductsys::TableFileReader reader(options);
//   ductsys::FileError e = reader.read(path, onHeader, onRecord, onNote);
#pragma once

#include <array>
#include <cstddef>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "messages/message.h"
#include "system/fields.h"

namespace ductsys {

// The columns a segment table may have, named by its header row: the
// input columns of the table of fields.
using Column = InputKey;
inline constexpr std::size_t kColumnCount = kInputKeyCount;

// The column a header cell names: its English or Chinese name or another
// usual spelling (管段编号, 管长, 管径, 设备阻力, Σζ, …), in any letter case,
// in full-width or half-width forms, with blanks anywhere in it (the
// ideographic space too), a symbol after the name and a unit in brackets
// after it ("风量(m3/h)", "长度 l (m)", "局部阻力系数Σζ", "flow [m3/h]").
// None for any other text.
std::optional<Column> headerColumn(std::string_view cell);

// What a header cell says, read whole: the column it names and the unit in
// its brackets, or that it is a column of results or remarks (read by
// nobody), or the nearest known name to a cell that names nothing.
struct HeaderCell {
    std::optional<Column> column;
    std::string unit;     // as written in the brackets, trimmed; empty when none
    bool known = false;   // a column or a known column of results or remarks
    std::string nearest;  // a misspelt column's name ("lenght": "length")
};
HeaderCell readHeaderCell(std::string_view cell);

// The units a header names for whole columns. A flow column in l/s reads its
// numbers in l/s where a row names no unit of its own; a length in mm or a
// fixed loss in kPa is read as such.
struct ColumnUnits {
    std::string flow;   // a flow unit text, empty for m3/h
    double length = 1;  // m per unit of the length column
    double dp = 1;      // Pa per unit of the fixed-loss column
};

// A name in the one form headers are compared in: full-width forms as
// ASCII, blanks removed, ASCII letters in lower case ("镀锌 钢板",
// "Galvanised-Steel" alike).
std::string nameKey(std::string_view text);

// A text with blanks, tabs, line ends and ideographic spaces removed at
// both ends.
std::string_view trimmedCell(std::string_view text);

enum class Encoding { automatic, utf8, gb18030 };

// Bytes as UTF-8: as they are when they are UTF-8 (a byte-order mark
// dropped), converted when they are GB18030; none when they are neither.
std::optional<std::string> decodedText(std::string_view bytes);

struct TableFileOptions {
    // automatic: UTF-8 when the text is UTF-8 (a byte-order mark says so
    // too), otherwise GB18030 when it is that, with a note.
    Encoding encoding = Encoding::automatic;
    // 0: the first of ',', ';' and tab that splits the header row into named
    // columns.
    char delimiter = 0;
};

// Reads the unit a header gives `column` into `units`: empty when it is a
// unit the column is read in (or the column's brackets hold no unit),
// otherwise why not ('unknown unit "furlong" (a length is read in m, cm or
// mm)').
std::optional<msg::Message> readColumnUnit(Column column, std::string_view unit,
                                           ColumnUnits& units);
// A row above the header with a name and a value in its first two cells and
// nothing else ("风机,F"): a setting of the document the table belongs to.
struct SettingRow {
    std::string name;   // trimmed
    std::string value;  // trimmed
    long line = 0;
};

// A row above the header with a single text (a title); `text` is its first
// non-empty cell, trimmed.
struct TitleRow {
    std::string text;
    long line = 0;
};

// The header row as found: where each column is, and how the file is read.
struct TableHeader {
    std::array<int, kColumnCount> columns{};  // field index of each column, -1 when absent
    std::size_t fieldCount = 0;
    // Each field's header text as written (trimmed), the columns that name
    // no segment column too, so that a program can keep them.
    std::vector<std::string> names;
    // The field of the remarks column (备注, remark), -1 when there is none:
    // no input of the calculation, but kept with each segment.
    int remark = -1;
    // The rows above the header, in file order: settings and titles. Both
    // are also reported as a note, as any row above the header is.
    std::vector<SettingRow> settings;
    std::vector<TitleRow> titles;
    long line = 0;
    char delimiter = ',';
    Encoding encoding = Encoding::utf8;  // utf8 or gb18030, as decoded
    // The sheet read when the file is an xlsx workbook (its rows are then
    // the sheet's rows, `line` their numbers); empty for a text file.
    std::string sheet;
    ColumnUnits units;
    int column(Column c) const { return columns[static_cast<std::size_t>(c)]; }
};

// Something said about the file that did not stop the reading: a title row
// skipped, the encoding guessed, text that could not be decoded. `line` is
// 0 when it concerns the whole file.
struct FileNote {
    long line = 0;
    msg::Message message;
    bool warning = false;
};

// Why a file could not be read (or `ok`). `line` is 0 when the problem is
// the file's as a whole; in a workbook it is the sheet's row.
struct FileError {
    enum class Kind {
        ok,
        stopped,              // a callback asked to stop
        cannotOpen,           // message: the system's reason
        directory,            // the path names a directory
        readError,            // message: the system's reason
        binary,               // a NUL byte at `line`
        notCsv,               // a quote out of place, or a quoted field never closed
        empty,                // no header row at all
        badHeader,            // the header row lacks a needed column or names one twice
        xls,                  // an OLE2 file: an Excel 97-2003 workbook or a password-protected one
        ods,                  // an OpenDocument spreadsheet
        notWorkbook,          // a zip archive that is no xlsx workbook (.xlsb, .docx …)
        damagedWorkbook,      // message: why the archive or its XML cannot be read
        noSheet,              // no sheet of the name asked for (message: the sheets)
        formulaWithoutValue,  // a formula the workbook holds no value of, at `line`
    };
    Kind kind = Kind::ok;
    long line = 0;
    msg::Messages message;  // what is wrong, with hints where they help
    bool ok() const { return kind == Kind::ok || kind == Kind::stopped; }
};

class TableFileReader {
public:
    // The header row, once found; returning false stops the reading.
    using HeaderFn = std::function<bool(const TableHeader& header)>;
    // Each data row after the header, without empty rows and total rows
    // (合计, 总计, total): `fields` holds at least the header's number of
    // fields (shorter rows are filled with empty ones), `count` of them in
    // use; the callee may take the strings. `line` is where the row starts.
    // Returning false stops the reading.
    using RecordFn =
        std::function<bool(std::vector<std::string>& fields, std::size_t count, long line)>;
    using NoteFn = std::function<void(const FileNote& note)>;

    // `sheet`: a workbook's sheet to read by its name; empty for the first.
    // A text file is refused when a sheet is named.
    explicit TableFileReader(TableFileOptions options = {}, std::string sheet = {})
        : options_(options), sheet_(std::move(sheet)) {}

    // Reads an open file (standard input, say) to its end.
    FileError read(std::FILE* in, const HeaderFn& header, const RecordFn& record,
                   const NoteFn& note);
    // Opens `path` and reads it.
    FileError read(const std::string& path, const HeaderFn& header, const RecordFn& record,
                   const NoteFn& note);
    // Reads a text held in memory (a block from the clipboard) as a file.
    FileError readText(std::string_view bytes, const HeaderFn& header, const RecordFn& record,
                       const NoteFn& note);

private:
    TableFileOptions options_;
    std::string sheet_;
};

}  // namespace ductsys
