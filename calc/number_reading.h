// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the number a box's text stands for.
//
// It never consults the process locale: the program reads a point as the
// decimal separator whatever the user's regional settings are, and Qt sets the
// C locale from the environment at start-up.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace calc {

// The leading number of a text, as typed into a box.
//   Blanks, tabs and line feeds anywhere are skipped ("1 000" reads 1000).
//   Then an optional sign, digits with at most one '.', and an optional
//   exponent: 'E' or 'e', an optional sign and digits.
//   Reading stops at the first character that does not fit ("12abc" is 12,
//   "1,5" is 1); a text without a leading number reads 0.
//   The full-width forms of the digits, the point, the signs and the letter E,
//   and the ideographic space, read exactly like their ASCII counterparts
//   ("１０００" is 1000): an input method in Chinese mode types them. So does
//   the ideographic full stop 。, which such a method types for "." in its
//   Chinese-punctuation mode: "0。5" is 0.5.
// Returns no value when the number lies beyond the range of a double
// ("1e999"); a number too small for a double reads as 0 of its sign.
std::optional<double> textValue(std::string_view text);

// How a text was read: its value (exactly textValue's), the number as read,
// and what was left unread.
struct Reading {
    std::optional<double> value;
    std::size_t end = 0;  // byte offset in the text where the number stops
    std::string number;  // the characters read, in ASCII, blanks dropped ("1000" for "１ ０００");
                         // empty when none
    std::string ignored;  // the text after the number, trailing blanks dropped (",000" for "1,000")
    // Nothing but blanks was left unread; the empty text reads whole.
    bool whole() const { return ignored.empty(); }
};
Reading readNumber(std::string_view text);

// A text that is one plain ASCII decimal and nothing else ("1000", "0.16",
// "-2.5e3"), read by the standard reader: none when the text has any other
// character (a blank, a '+', a letter other than E, a full-width digit), is
// not wholly one number, or lies beyond the double range. Most texts are such
// decimals; for them this is textValue's value, read whole, at a fraction of
// the cost, as both round the same decimal to the nearest double. Letters are
// left out because the standard reader also takes "inf" and "nan".
std::optional<double> readPlainDecimal(std::string_view text);

}  // namespace calc
