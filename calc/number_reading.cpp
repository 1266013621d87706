// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/number_reading.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <vector>

namespace calc {

namespace {

// A text with the full-width forms an input method types in Chinese mode
// (U+FF10-FF19 digits, U+FF0E point, U+FF0B plus, U+FF0D minus, U+FF25 and
// U+FF45 letter E, U+3000 ideographic space, and the ideographic full stop
// U+3002, which an input method in Chinese-punctuation mode types for the
// point) turned into their ASCII
// counterparts, one character for one character, with the byte offset in the
// original text of every character kept, so that a reading can say where in
// the typed text it stopped.
struct Folded {
    std::string text;
    std::vector<std::size_t> origin;  // origin[i]: offset of text[i]; one extra for the end
};

Folded fold(std::string_view text) {
    Folded out;
    out.text.reserve(text.size());
    out.origin.reserve(text.size() + 1);
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
        out.origin.push_back(i);
        if (i + 2 < text.size() && byte(0) == 0xEF && (byte(1) == 0xBC || byte(1) == 0xBD) &&
            (byte(2) & 0xC0) == 0x80) {
            const unsigned code = 0xFF00u + ((byte(1) - 0xBCu) << 6) + (byte(2) & 0x3Fu);
            char ascii = 0;
            if (code >= 0xFF10 && code <= 0xFF19)
                ascii = static_cast<char>('0' + (code - 0xFF10));
            else if (code == 0xFF0E)
                ascii = '.';
            else if (code == 0xFF0B)
                ascii = '+';
            else if (code == 0xFF0D)
                ascii = '-';
            else if (code == 0xFF25)
                ascii = 'E';
            else if (code == 0xFF45)
                ascii = 'e';
            if (ascii) {
                out.text.push_back(ascii);
                i += 3;
                continue;
            }
        } else if (i + 2 < text.size() && byte(0) == 0xE3 && byte(1) == 0x80 &&
                   (byte(2) == 0x80 || byte(2) == 0x82)) {
            out.text.push_back(byte(2) == 0x80 ? ' ' : '.');
            i += 3;
            continue;
        }
        out.text.push_back(text[i]);
        ++i;
    }
    out.origin.push_back(text.size());
    return out;
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The leading number of an ASCII text; `end` is where the number stops
// (blanks inside it included, blanks after it not).
struct AsciiReading {
    std::optional<double> value;
    std::size_t end = 0;
};

AsciiReading readAscii(std::string_view text) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    auto skipBlanks = [&] {
        while (i < n && isBlank(text[i])) ++i;
    };

    bool negative = false;
    skipBlanks();
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }

    // The number is rebuilt as an integer mantissa without leading zeros and
    // a power of ten, so that its magnitude is known before it is converted:
    // from_chars reports overflow and underflow alike, and only overflow is
    // an error.
    std::string digits;
    std::int64_t pointShift = 0;  // one less for every digit after the point
    bool sawDigit = false;
    bool sawPoint = false;
    std::size_t end = 0;
    for (;; ++i) {
        skipBlanks();
        if (i >= n) break;
        const char c = text[i];
        if (isDigit(c)) {
            sawDigit = true;
            if (sawPoint) --pointShift;
            if (!digits.empty() || c != '0') digits.push_back(c);
        } else if (c == '.' && !sawPoint) {
            sawPoint = true;
        } else {
            break;
        }
        end = i + 1;
    }
    if (!sawDigit) return {0.0, 0};

    // Exponent: only taken when at least one digit follows the letter.
    std::int64_t exponent = 0;
    skipBlanks();
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        auto skipBlanksAt = [&] {
            while (j < n && isBlank(text[j])) ++j;
        };
        skipBlanksAt();
        bool expNegative = false;
        if (j < n && (text[j] == '+' || text[j] == '-')) {
            expNegative = text[j] == '-';
            ++j;
        }
        bool expDigit = false;
        for (;; ++j) {
            skipBlanksAt();
            if (j >= n || !isDigit(text[j])) break;
            expDigit = true;
            end = j + 1;
            // Saturate: anything this large is out of range either way.
            if (exponent < 100000000) exponent = exponent * 10 + (text[j] - '0');
        }
        if (expDigit) exponent = expNegative ? -exponent : exponent;
    }

    const double zero = negative ? -0.0 : 0.0;
    if (digits.empty()) return {zero, end};  // only zeros

    const std::int64_t scale = exponent + pointShift;
    // Magnitude of the number is about 10^(digits + scale - 1).
    const std::int64_t magnitude = static_cast<std::int64_t>(digits.size()) + scale;
    if (magnitude > 400) return {std::nullopt, end};
    if (magnitude < -400) return {zero, end};

    std::array<char, 24> exponentText{};
    const char* exponentEnd =
        std::to_chars(exponentText.data(), exponentText.data() + exponentText.size(), scale).ptr;
    digits.push_back('e');
    digits.append(exponentText.data(), static_cast<std::size_t>(exponentEnd - exponentText.data()));

    double value = 0;
    const auto ec = std::from_chars(digits.data(), digits.data() + digits.size(), value).ec;
    if (ec == std::errc::result_out_of_range) {
        // Within the guard above only the extremes are left: a value past the
        // largest double is out of range, one below the smallest is zero.
        if (magnitude > 0) return {std::nullopt, end};
        return {zero, end};
    }
    if (std::isinf(value)) return {std::nullopt, end};
    return {negative ? -value : value, end};
}

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The reading of `text`, whose ASCII form is `ascii`; origin(i) is the offset
// in `text` of the character at offset i of `ascii`.
template <typename Origin>
Reading describe(std::string_view text, std::string_view ascii, Origin origin) {
    const AsciiReading read = readAscii(ascii);
    Reading reading;
    reading.value = read.value;
    reading.end = origin(read.end);
    for (std::size_t i = 0; i < read.end; ++i)
        if (!isBlank(ascii[i])) reading.number.push_back(ascii[i]);
    std::size_t rest = read.end;
    while (rest < ascii.size() && isBlank(ascii[rest])) ++rest;
    if (rest < ascii.size()) {
        std::size_t last = ascii.size();
        while (isBlank(ascii[last - 1])) --last;
        reading.ignored = text.substr(origin(rest), origin(last) - origin(rest));
    }
    return reading;
}

}  // namespace

// Texts typed without an input method are ASCII: nothing to fold.
Reading readNumber(std::string_view text) {
    if (isAscii(text)) return describe(text, text, [](std::size_t i) { return i; });
    const Folded folded = fold(text);
    return describe(text, folded.text, [&](std::size_t i) { return folded.origin[i]; });
}

std::optional<double> textValue(std::string_view text) {
    if (const std::optional<double> plain = readPlainDecimal(text)) return plain;
    if (isAscii(text)) return readAscii(text).value;
    return readAscii(fold(text).text).value;
}

std::optional<double> readPlainDecimal(std::string_view text) {
    for (char c : text)
        if (!(isDigit(c) || c == '.' || c == '-' || c == 'e' || c == 'E')) return std::nullopt;
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (end != text.data() + text.size() || ec != std::errc() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

}  // namespace calc
