// SPDX-License-Identifier: GPL-3.0-or-later
// The pieces every command writes its three formats with: a CSV line, a line
// of aligned text columns, a JSON string.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "cli/text_fields.h"

namespace cli {

// One CSV line, built field by field and ended with a line end.
class CsvLine {
public:
    explicit CsvLine(char delimiter) : delimiter_(delimiter) {}

    // Starts a new line; the first field follows no delimiter.
    void clear() {
        line_.clear();
        first_ = true;
    }
    // A text field: quoted, with quotes doubled, as libcsv writes it, when it
    // holds the delimiter, a quote or a line end.
    void text(std::string_view field);
    // A number, or any field known to need no quoting, as it is.
    void plain(std::string_view field);
    // The line with its line end.
    const std::string& end() {
        line_ += '\n';
        return line_;
    }

private:
    void separate();

    char delimiter_;
    bool first_ = true;
    std::string line_;
};

// One line of text columns, each filled with blanks to its width; a column
// that starts left-aligned after a non-blank gets a blank first, and a
// right-aligned one always does, so that wide values still stand apart.
class TextLine {
public:
    void clear() { line_.clear(); }
    void cell(std::string_view text, std::size_t width, Align align);
    const std::string& end() {
        line_ += '\n';
        return line_;
    }

private:
    std::string line_;
};

// A text as a JSON string, quotes and escapes included.
std::string jsonString(std::string_view text);

}  // namespace cli
