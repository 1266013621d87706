// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/number_text.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace calc {

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

std::string plainDecimalText(double x) {
    std::array<char, 400> buffer{};
    auto [end, ec] =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), x, std::chars_format::fixed);
    if (ec != std::errc()) return std::string(kFailMarker);
    return std::string(buffer.data(), end);
}

namespace {
template <typename T>
std::string shortest(T x) {
    std::array<char, 32> buffer{};
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), x).ptr;
    return std::string(buffer.data(), end);
}
}  // namespace

std::string shortestText(float x) { return shortest(x); }
std::string shortestText(double x) { return shortest(x); }

std::string bareNumberText(float x) {
    std::string text = numberText(x);
    if (!text.empty() && text.front() == ' ') text.erase(0, 1);
    return text;
}

}  // namespace calc
