// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversions.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace calc {

namespace {

// A text with the full-width forms an input method types in Chinese mode
// (U+FF10-FF19 digits, U+FF0E point, U+FF0B plus, U+FF0D minus, U+FF25 and
// U+FF45 letter E, U+3000 ideographic space) turned into their ASCII
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
        } else if (i + 2 < text.size() && byte(0) == 0xE3 && byte(1) == 0x80 && byte(2) == 0x80) {
            out.text.push_back(' ');
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

}  // namespace

namespace {

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
    if (isAscii(text)) return readAscii(text).value;
    return readAscii(fold(text).text).value;
}

namespace {

constexpr std::array<std::uint64_t, 11> kPowersOfTen = {
    1,         10,         100,         1'000,         10'000,        100'000,
    1'000'000, 10'000'000, 100'000'000, 1'000'000'000, 10'000'000'000};

// The seven significant digits of a magnitude that shows without an exponent
// (1E-04 up to, but not including, 1E+07 after rounding), written at `out`;
// returns the end of the text, or nullptr for a magnitude it leaves to
// to_chars. A table of a million ducts writes several million such labels,
// and to_chars spends most of its time on the general case of a double; here
// a float m·2^-shift (m below 2^24) times 10^decimals is an exact 64-bit
// integer, so dividing by 2^shift and rounding on the remainder, ties to the
// even digit as to_chars does, gives the very same digits.
char* fixedSevenDigits(float magnitude, char* out) {
    if (!(magnitude >= 9.0e-5f && magnitude < 1.0e7f)) return nullptr;
    const auto bits = std::bit_cast<std::uint32_t>(magnitude);
    const int biased = static_cast<int>(bits >> 23);  // a normal float in this range
    const std::uint64_t m = (bits & 0x7FFFFFu) | 0x800000u;
    const int shift = 150 - biased;  // from 0 (below 2^24) to 37 (above 2^-14)
    // The decimal exponent is floor(b·log10 2) or one more, b the binary one;
    // a digit count of eight or six says to try one decimal fewer or more.
    int decimals = 6 - (((biased - 127) * 1233) >> 12);
    std::uint64_t digits = 0;
    for (int attempt = 0;; ++attempt) {
        if (attempt == 3 || decimals < 0 || decimals > 10) return nullptr;
        const std::uint64_t scaled = m * kPowersOfTen[decimals];  // below 2^58
        digits = scaled >> shift;
        if (shift > 0) {
            const std::uint64_t rest = scaled - (digits << shift);
            const std::uint64_t half = std::uint64_t{1} << (shift - 1);
            if (rest > half || (rest == half && (digits & 1) != 0)) ++digits;
        }
        if (digits >= 10'000'000)
            --decimals;
        else if (digits < 1'000'000)
            ++decimals;
        else
            break;
    }
    std::array<char, 7> figure{};
    for (int i = 6; i >= 0; --i) {
        figure[i] = static_cast<char>('0' + digits % 10);
        digits /= 10;
    }
    const int whole = 7 - decimals;  // digits before the point; none or fewer is "0.000…"
    int last = 7;                    // trailing zeros after the point are dropped
    while (last > std::max(whole, 0) && figure[last - 1] == '0') --last;
    if (whole > 0) {
        out = std::copy(figure.begin(), figure.begin() + whole, out);
        if (last > whole) {
            *out++ = '.';
            out = std::copy(figure.begin() + whole, figure.begin() + last, out);
        }
    } else {
        *out++ = '0';
        *out++ = '.';
        out = std::fill_n(out, -whole, '0');
        out = std::copy(figure.begin(), figure.begin() + last, out);
    }
    return out;
}

}  // namespace

std::string numberText(float x) {
    if (!std::isfinite(x)) return std::string(kFailMarker);
    std::array<char, 32> buffer{};
    buffer[0] = std::signbit(x) && x != 0 ? '-' : ' ';
    if (char* end = fixedSevenDigits(std::fabs(x), buffer.data() + 1))
        return std::string(buffer.data(), end);
    const double magnitude = std::fabs(static_cast<double>(x));
    auto [end, ec] = std::to_chars(buffer.data() + 1, buffer.data() + buffer.size(), magnitude,
                                   std::chars_format::general, 7);
    (void)ec;  // 32 characters always suffice for seven digits and an exponent
    std::string text(buffer.data(), end);
    for (char& c : text)
        if (c == 'e') c = 'E';
    return text;
}

std::string recurringNumberText(float x) {
    // Direct-mapped: a lookup costs one comparison. Keyed by the float's bits,
    // so 0 and -0 (which show differently) stay apart.
    struct Slot {
        std::uint32_t bits = 0;
        bool filled = false;
        std::string text;
    };
    constexpr int kBits = 9;
    thread_local std::array<Slot, std::size_t{1} << kBits> memo;
    const auto bits = std::bit_cast<std::uint32_t>(x);
    // Fibonacci hashing: spreads values that differ only in their low bits.
    Slot& slot = memo[(bits * 2654435761u) >> (32 - kBits)];
    if (!slot.filled || slot.bits != bits) {
        slot.bits = bits;
        slot.filled = true;
        slot.text = numberText(x);
    }
    return slot.text;
}

std::string plainText(double x) {
    std::array<char, 400> buffer{};
    auto [end, ec] =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), x, std::chars_format::fixed);
    if (ec != std::errc()) return std::string(kFailMarker);
    return std::string(buffer.data(), end);
}

std::string readingWarning(std::string_view text, Quantity quantity) {
    const Reading reading = readNumber(text);
    std::string lines;
    auto line = [&lines](std::string_view text) {
        if (!lines.empty()) lines += '\n';
        lines += text;
    };
    if (!reading.whole()) {
        if (reading.number.empty())
            line("未读到数字，按 0 计算；忽略了“" + reading.ignored + "”");
        else
            line("只读取了 " + reading.number + "，忽略了“" + reading.ignored + "”");
    }
    if (!reading.value) {
        line("数值 " + reading.number + " 超出可计算的范围");
    } else if (*reading.value < 0 && quantity != Quantity::Roughness) {
        line(quantity == Quantity::AirVolume ? "风量为负数：" + reading.number
                                             : "风管尺寸为负数：" + reading.number);
    }
    return lines;
}

}  // namespace calc
