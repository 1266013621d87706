// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/output_lines.h"

#include <algorithm>

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
    // Most texts are names such as "1-2" or "φ250": printable ASCII needs no
    // escape, and a million of them go through the JSON library's value
    // and writer for nothing.
    const bool plain = std::all_of(text.begin(), text.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u >= 0x20 && u < 0x7F && c != '"' && c != '\\';
    });
    if (plain) {
        std::string quoted;
        quoted.reserve(text.size() + 2);
        quoted += '"';
        quoted += text;
        quoted += '"';
        return quoted;
    }
    // A text that is not UTF-8 (which the file reader never hands on) gets
    // U+FFFD for its bad bytes rather than end the document half-written.
    return nlohmann::json(text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace cli
