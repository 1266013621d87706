// SPDX-License-Identifier: GPL-3.0-or-later
// numberText on any single and plainDecimalText on any double.
//
// numberText: a label starts with a blank or "-", uses "." only, never shows
// nan or inf for a finite value, keeps at most seven significant digits with
// no trailing zeros after the point, switches to the exponent form from ten
// million, and reads back within half a unit of its seventh digit.
// plainDecimalText: reads back as exactly the double written, with a bounded length.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "calc/number_reading.h"
#include "calc/number_text.h"
#include "fuzz/check.h"

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string describe(double x) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.17g (%a)", x, x);
    return buffer;
}

// The decimal exponent of a finite non-zero magnitude: 10^e <= m < 10^(e+1).
int decimalExponent(double m) {
    int e = static_cast<int>(std::floor(std::log10(m)));
    // log10 can be off by one right at a power of ten.
    while (e > -400 && std::pow(10.0, e) > m) --e;
    while (std::pow(10.0, e + 1) <= m) ++e;
    return e;
}

// A label text: sign, digits with at most one point, and an optional exponent
// of "E", a sign and two or more digits. Returns whether it has that form and
// counts the significant digits of the mantissa.
bool wellFormed(const std::string& text, int& significant, bool& exponentForm) {
    std::size_t i = 1;  // after the sign
    significant = 0;
    exponentForm = false;
    bool leading = true;
    bool point = false;
    std::size_t mantissaDigits = 0;
    std::size_t pointAt = 0;
    for (; i < text.size() && text[i] != 'E'; ++i) {
        if (isDigit(text[i])) {
            ++mantissaDigits;
            if (text[i] != '0') leading = false;
            if (!leading) ++significant;
        } else if (text[i] == '.' && !point) {
            point = true;
            pointAt = i;
        } else {
            return false;
        }
    }
    if (mantissaDigits == 0) return false;
    // Nothing after the point is a trailing zero or an empty fraction.
    const std::size_t mantissaEnd = i;
    if (point && (mantissaEnd == pointAt + 1 || text[mantissaEnd - 1] == '0')) return false;
    // Trailing zeros before the point of an integer do not count as digits
    // shown: " 200" has one significant digit.
    if (!point) {
        std::size_t j = mantissaEnd;
        while (j > 1 && text[j - 1] == '0' && significant > 0) --j, --significant;
    }
    if (i == text.size()) return true;
    // One digit, not 0, before the point of a mantissa.
    if (text[1] == '0' || (point && pointAt != 2)) return false;
    exponentForm = true;
    ++i;
    if (i >= text.size() || (text[i] != '+' && text[i] != '-')) return false;
    ++i;
    const std::size_t digitsFrom = i;
    for (; i < text.size(); ++i)
        if (!isDigit(text[i])) return false;
    return i - digitsFrom >= 2;
}

void checkNumberText(float x) {
    const std::string text = calc::numberText(x);
    const auto what = [&] { return "numberText(" + describe(x) + ") = " + fuzz::quoted(text); };
    if (!std::isfinite(x)) {
        FUZZ_REQUIRE(text == calc::kFailMarker,
                     what() + ": a value that is not finite shows the marker");
        return;
    }
    FUZZ_REQUIRE(!text.empty() && text.size() <= 16, what() + ": length");
    const bool negative = x < 0;
    FUZZ_REQUIRE(text[0] == (negative ? '-' : ' '), what() + ": first character is the sign");
    FUZZ_REQUIRE(text.find(',') == std::string::npos, what() + ": no comma");
    for (const char* word : {"nan", "NAN", "inf", "INF"})
        FUZZ_REQUIRE(text.find(word) == std::string::npos, what() + ": no nan or inf");

    int significant = 0;
    bool exponentForm = false;
    FUZZ_REQUIRE(wellFormed(text, significant, exponentForm),
                 what() + ": sign, digits, one point, no trailing zero, exponent E+dd");
    FUZZ_REQUIRE(significant <= 7, what() + ": at most seven significant digits");

    const double m = std::fabs(static_cast<double>(x));
    if (m >= 1e7) FUZZ_REQUIRE(exponentForm, what() + ": ten million and above in exponent form");
    if (m >= 1e-4 && m < 9999999.5) FUZZ_REQUIRE(!exponentForm, what() + ": fixed form");

    const std::optional<double> back = calc::textValue(text);
    FUZZ_REQUIRE(back.has_value(), what() + ": reads back");
    if (m == 0) {
        FUZZ_REQUIRE(*back == 0, what() + ": zero reads back as zero");
        return;
    }
    // Half a unit of the seventh significant digit, plus the rounding of the
    // decimal text to a double when it is read back.
    const int e = decimalExponent(m);
    const double bound = 0.5 * std::pow(10.0, e - 6) * (1 + 1e-12) + m * 0x1p-52;
    FUZZ_REQUIRE(std::fabs(*back - static_cast<double>(x)) <= bound,
                 what() + ": reads back as " + describe(*back) +
                     ", more than half a unit of the seventh digit away");
}

void checkPlainText(double x) {
    const std::string text = calc::plainDecimalText(x);
    const auto what = [&] {
        return "plainDecimalText(" + describe(x) + ") = " + fuzz::quoted(text);
    };
    if (!std::isfinite(x)) return;
    // The longest fixed text of a double: 309 integer digits, or "0." with
    // 323 zeros before up to 17 significant digits, and a sign.
    FUZZ_REQUIRE(!text.empty() && text.size() <= 1 + 2 + 323 + 17, what() + ": length");
    FUZZ_REQUIRE(text[0] == '-' || isDigit(text[0]), what() + ": no leading blank");
    FUZZ_REQUIRE(text.find_first_not_of("-.0123456789") == std::string::npos,
                 what() + ": plain decimal");
    if (x != 0 && std::fabs(x) < 1)
        FUZZ_REQUIRE(text.rfind(x < 0 ? "-0." : "0.", 0) == 0, what() + ": a 0 before the point");
    const std::optional<double> back = calc::textValue(text);
    FUZZ_REQUIRE(back.has_value() && *back == x && std::signbit(*back) == std::signbit(x),
                 what() + ": reads back as " + (back ? describe(*back) : "no value"));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size >= sizeof(float)) {
        float x;
        std::memcpy(&x, data, sizeof x);
        checkNumberText(x);
        checkPlainText(x);
    }
    if (size >= sizeof(double)) {
        double x;
        std::memcpy(&x, data + size - sizeof x, sizeof x);
        checkPlainText(x);
    }
    return 0;
}
