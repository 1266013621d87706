// SPDX-License-Identifier: GPL-3.0-or-later
#include "text_fields.h"

namespace cli {

std::string_view trimmed(std::string_view text) {
    // Looks at the ends only: a table trims every field of every row.
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

std::size_t displayWidth(std::string_view text) {
    std::size_t chars = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) ++chars;  // not a continuation byte
    return chars;
}

void appendPadded(std::string& line, std::string_view text, std::size_t width, Align align) {
    const std::size_t chars = displayWidth(text);
    const std::size_t fill = chars < width ? width - chars : 0;
    if (align == Align::right) line.append(fill, ' ');
    line += text;
    if (align == Align::left) line.append(fill, ' ');
}

}  // namespace cli
