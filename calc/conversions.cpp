#include "conversions.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace calc {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<double> textValue(std::string_view text) {
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
    }
    if (!sawDigit) return 0.0;

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
            // Saturate: anything this large is out of range either way.
            if (exponent < 100000000) exponent = exponent * 10 + (text[j] - '0');
        }
        if (expDigit) exponent = expNegative ? -exponent : exponent;
    }

    const double zero = negative ? -0.0 : 0.0;
    if (digits.empty()) return zero;  // only zeros

    const std::int64_t scale = exponent + pointShift;
    // Magnitude of the number is about 10^(digits + scale - 1).
    const std::int64_t magnitude = static_cast<std::int64_t>(digits.size()) + scale;
    if (magnitude > 400) return std::nullopt;
    if (magnitude < -400) return zero;

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
        if (magnitude > 0) return std::nullopt;
        return zero;
    }
    if (std::isinf(value)) return std::nullopt;
    return negative ? -value : value;
}

std::string numberText(float x) {
    if (!std::isfinite(x)) return std::string(kFailMarker);
    std::array<char, 32> buffer{};
    buffer[0] = std::signbit(x) && x != 0 ? '-' : ' ';
    const double magnitude = std::fabs(static_cast<double>(x));
    auto [end, ec] = std::to_chars(buffer.data() + 1, buffer.data() + buffer.size(), magnitude,
                                   std::chars_format::general, 7);
    (void)ec;  // 32 characters always suffice for seven digits and an exponent
    std::string text(buffer.data(), end);
    for (char& c : text)
        if (c == 'e') c = 'E';
    return text;
}

std::string plainText(double x) {
    std::array<char, 400> buffer{};
    auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), x,
                                   std::chars_format::fixed);
    if (ec != std::errc()) return std::string(kFailMarker);
    return std::string(buffer.data(), end);
}

}  // namespace calc
