// SPDX-License-Identifier: GPL-3.0-or-later
// Conversions between the text of the window's boxes and numbers.
//
// They never consult the process locale: the program shows and reads a point
// as the decimal separator whatever the user's regional settings are, and Qt
// sets the C locale from the environment at start-up.
#pragma once

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
//   ("１０００" is 1000): an input method in Chinese mode types them.
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

// A result as shown in a value label: a blank or "-", then the value rounded
// to seven significant digits with trailing zeros dropped ("200", "0.16",
// "8.841941"); magnitudes of 1E+07 and above and non-zero magnitudes below
// 1E-04 in exponent form ("1E+07", "1.5E-05"). Negative zero shows " 0".
// A value that is not finite shows the failure marker.
std::string numberText(float x);

// numberText of a value that comes back from one recalculation to the next
// (a size, an equivalent diameter, a roughness): the same text, remembered
// per thread, so that a table of ducts converts each such value once.
std::string recurringNumberText(float x);

// The shortest decimal that reads back as x, in fixed notation with no
// leading blank: "0.15", "3.1", "6" (never "6.0"). Used for roughness values
// picked with a scroll bar.
std::string plainText(double x);

// What a value label shows when the recalculation could not produce it.
inline constexpr std::string_view kFailMarker = "—";

}  // namespace calc

namespace calc {

// What a typed number stands for, which decides whether a negative value is
// worth a warning.
enum class Quantity { AirVolume, Size, Roughness };

// The warning a box shows beside its text, in Chinese, one line per point;
// empty when the text reads whole, fits a double and, for an air volume or a
// size, is not negative. The numbers it quotes are the ones the calculation
// uses: "1,000" warns that 1 was read and ",000" ignored.
std::string readingWarning(std::string_view text, Quantity quantity);

}  // namespace calc
