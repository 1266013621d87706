// SPDX-License-Identifier: GPL-3.0-or-later
#include "output_lines.h"

#include <csv.h>

#include <nlohmann/json.hpp>

namespace cli {

void CsvLine::separate() {
    if (!first_) line_ += delimiter_;
    first_ = false;
}

void CsvLine::plain(std::string_view field) {
    separate();
    line_ += field;
}

void CsvLine::text(std::string_view field) {
    separate();
    bool plain = true;
    for (char c : field)
        if (c == delimiter_ || c == '"' || c == '\r' || c == '\n') plain = false;
    if (plain) {
        line_ += field;
        return;
    }
    // Written straight into the line, as most segment names ("S-1, run 0")
    // need quoting.
    const std::size_t at = line_.size();
    line_.resize(at + 2 * field.size() + 2);
    line_.resize(
        at + csv_write2(line_.data() + at, 2 * field.size() + 2, field.data(), field.size(), '"'));
}

void TextLine::cell(std::string_view text, std::size_t width, Align align) {
    if (align == Align::right || (!line_.empty() && line_.back() != ' ')) line_ += ' ';
    appendPadded(line_, text, width, align);
}

std::string jsonString(std::string_view text) {
    // A text that is not UTF-8 (which the file reader never hands on) gets
    // U+FFFD for its bad bytes rather than end the document half-written.
    return nlohmann::json(text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace cli
