// SPDX-License-Identifier: GPL-3.0-or-later
// What a fuzz target does when a property does not hold: print the evidence
// and abort, so that libFuzzer keeps the input as a crash artifact.
#pragma once

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
