// SPDX-License-Identifier: GPL-3.0-or-later
// What a fuzz target does when a property does not hold: print the evidence
// and abort, so that libFuzzer keeps the input as a crash artifact.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace fuzz {

// The bytes of a text with everything outside printable ASCII escaped, so
// that a report can be pasted into a regression test.
inline std::string quoted(std::string_view text) {
    std::string out = "\"";
    for (const unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7f) {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        }
    }
    return out + "\"";
}

// Whether `text` is well-formed UTF-8 (no overlong forms, no surrogates).
inline bool isUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t n = 0;
        std::uint32_t cp = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            n = 1, cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            n = 2, cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            n = 3, cp = c & 0x07;
        } else {
            return false;
        }
        if (i + n >= text.size()) return false;
        for (std::size_t k = 1; k <= n; ++k) {
            const auto d = static_cast<unsigned char>(text[i + k]);
            if ((d & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (d & 0x3F);
        }
        if ((n == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
            (n == 3 && (cp < 0x10000 || cp > 0x10FFFF)))
            return false;
        i += n + 1;
    }
    return true;
}

[[noreturn]] inline void fail(const std::string& what) {
    std::fprintf(stderr, "\nPROPERTY VIOLATED: %s\n", what.c_str());
    std::abort();
}

}  // namespace fuzz

// The report is only built when the property fails: the targets check
// several properties per input and run millions of inputs.
#define FUZZ_REQUIRE(holds, what)                                                                  \
    do {                                                                                           \
        if (!(holds)) ::fuzz::fail(what);                                                          \
    } while (false)
