// SPDX-License-Identifier: GPL-3.0-or-later
// Letter case of ASCII names, whatever the process locale: material names,
// column names and options are ASCII, and a Turkish or other locale must not
// change how they compare.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace calc {

// The lower-case form of an ASCII capital; any other byte unchanged.
constexpr char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// A text with its ASCII capitals in lower case; other bytes, UTF-8 included,
// unchanged.
inline std::string asciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = asciiLower(c);
    return out;
}

// Whether two texts are the same but for the letter case of ASCII letters.
constexpr bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (asciiLower(a[i]) != asciiLower(b[i])) return false;
    return true;
}

// A text without its ASCII blanks: "公共 建筑" and "公共建筑" name the same
// preset, role or size caption.
inline std::string withoutBlanks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text)
        if (c != ' ') out += c;
    return out;
}

// A text as XML's character data or a quoted attribute value holds it.
inline std::string xmlEscaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

}  // namespace calc
