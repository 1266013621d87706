// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/text_fields.h"

#include <locale.h>
#include <wchar.h>

namespace cli {

namespace {

// The columns a character takes on a terminal, by the C library's own
// measure under a UTF-8 character type, whatever the process locale is
// (which stays as it is: it must not change how numbers are written). A
// character the library does not know takes one.
int charWidth(char32_t c) {
    static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
    if (!utf8) return 1;
    const locale_t before = uselocale(utf8);
    const int w = wcwidth(static_cast<wchar_t>(c));
    uselocale(before);
    return w < 0 ? 1 : w;
}

// The next character of a UTF-8 text from `at`, moving `at` past it; a byte
// that starts no character stands for itself.
char32_t nextChar(std::string_view text, std::size_t& at) {
    const auto c = static_cast<unsigned char>(text[at++]);
    if (c < 0x80) return c;
    int more = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    char32_t code = c & (0x3F >> more);
    while (more-- > 0 && at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80)
        code = (code << 6) | (static_cast<unsigned char>(text[at++]) & 0x3F);
    return code;
}

bool ascii(std::string_view text) {
    for (unsigned char c : text)
        if (c >= 0x80) return false;
    return true;
}

}  // namespace

std::size_t displayWidth(std::string_view text) {
    if (ascii(text)) return text.size();
    std::size_t width = 0;
    for (std::size_t at = 0; at < text.size();) width += charWidth(nextChar(text, at));
    return width;
}

std::string cutToWidth(std::string_view text, std::size_t width) {
    if (displayWidth(text) <= width) return std::string(text);
    std::string cut;
    std::size_t used = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t from = at;
        const int w = charWidth(nextChar(text, at));
        if (used + static_cast<std::size_t>(w) + 1 > width) break;  // room for the ellipsis
        cut.append(text.substr(from, at - from));
        used += static_cast<std::size_t>(w);
    }
    return cut + "…";
}

void appendPadded(std::string& line, std::string_view text, std::size_t width, Align align) {
    const std::size_t chars = displayWidth(text);
    const std::size_t fill = chars < width ? width - chars : 0;
    if (align == Align::right) line.append(fill, ' ');
    line += text;
    if (align == Align::left) line.append(fill, ' ');
}

}  // namespace cli
