// SPDX-License-Identifier: GPL-3.0-or-later
// A system's rows in and out of its file. Files are read by the system
// layer's TableFileReader, as ductcalc-cli reads them (every header form,
// encoding, delimiter, title row and total row); here they become the
// grid's rows, the columns the grid has no place for, which stay with their
// rows, and the document's settings, kept as name,value rows above the
// header. Written back in UTF-8, comma-separated, LF line ends, the file's
// columns in their places. No Qt.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "system/document_settings.h"
#include "system/table_file.h"
#include "table/rows.h"

namespace table {

// A column of the file as written: an input column of the grid, or one the
// grid only carries (备注 …), by index into the row's kept texts.
struct FileSlot {
    int column = -1;  // an input column, or -1
    int kept = -1;    // index into a row's kept texts, or -1
    std::string name;
};

// The document around the rows: the settings above the header and the
// file's columns.
struct DocumentLayout {
    // Rows above the header that the grid does not read (titles, settings
    // of other programs), written back as they were: one or two cells.
    std::vector<std::vector<std::string>> above;
    // The file's columns in order; empty for a new document, written with
    // every input column under its English name.
    std::vector<FileSlot> fileColumns;
    std::vector<std::string> keptNames;  // the kept columns' header texts
};

// The settings of a document, kept as name,value rows above the header.
using DocumentSettings = ductsys::DocumentSettings;
using ductsys::kSettingNames;
using ductsys::SettingName;

struct LoadedSystem {
    std::vector<RowTexts> rows;
    std::vector<std::vector<std::string>> kept;  // by row: the texts of the kept columns
    DocumentLayout layout;
    DocumentSettings settings;
    std::string error;  // why nothing could be read, in Chinese; empty when read
    long errorLine = 0;
    bool wasGb18030 = false;
    // The sheet read when the file is an xlsx workbook, which is only read:
    // the document is saved as CSV. Empty for a text file.
    std::string sheet;
};

// Reads a system's file (or its bytes).
LoadedSystem readSystemFile(const std::string& path);
LoadedSystem readSystemText(std::string_view bytes);

// The file's text: settings that differ from the default and the rows
// above the header, the header, the rows with their kept cells.
std::string systemFileText(const std::vector<RowTexts>& rows,
                           const std::vector<std::vector<std::string>>& kept,
                           const DocumentLayout& layout, const DocumentSettings& settings);
// A new document's rows, no settings.
std::string systemFileText(const std::vector<RowTexts>& rows);

}  // namespace table
