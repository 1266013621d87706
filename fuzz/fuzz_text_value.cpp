// SPDX-License-Identifier: GPL-3.0-or-later
// textValue on arbitrary bytes.
//
// Besides not crashing, the value must be what the reading rules of the boxes
// say: blanks anywhere do not matter, nothing after the first character that
// cannot continue the number matters, and the number read is the correctly
// rounded value of the longest prefix that fits, as the C library's strtod
// reads that same prefix. Full-width digits, point, signs, letter E and the
// ideographic space read like their ASCII forms. How the text was read
// (readNumber) agrees with the value. The custom roughness read from the same
// text stays within its limits.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "calc/number_reading.h"
#include "calc/tables.h"
#include "fuzz/check.h"

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A character that can never continue a number, whatever came before it.
bool endsAnyNumber(char c) {
    return !isDigit(c) && !isBlank(c) && c != '.' && c != '+' && c != '-' && c != 'e' && c != 'E';
}

std::string withoutBlanks(std::string_view text) {
    std::string out;
    for (const char c : text)
        if (!isBlank(c)) out.push_back(c);
    return out;
}

// The longest prefix of a blank-free text that the reading rules accept as a
// number, or "" when the text does not begin with one.
std::string leadingNumber(const std::string& s) {
    std::size_t i = 0;
    std::string out;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) out += s[i++];
    bool digit = false;
    bool point = false;
    for (; i < s.size(); ++i) {
        if (isDigit(s[i])) {
            digit = true;
        } else if (s[i] == '.' && !point) {
            point = true;
        } else {
            break;
        }
        out += s[i];
    }
    if (!digit) return "";
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) exponent += s[j++];
        const std::size_t first = j;
        while (j < s.size() && isDigit(s[j])) exponent += s[j++];
        if (j > first) out += exponent;
    }
    return out;
}

// The value the rules give: strtod of the leading number; past the double
// range there is no value.
std::optional<double> expectedValue(std::string_view text) {
    const std::string number = leadingNumber(withoutBlanks(text));
    if (number.empty()) return 0.0;
    const double value = std::strtod(number.c_str(), nullptr);
    if (std::isinf(value)) return std::nullopt;
    return value;
}

// The text with every full-width form an input method types replaced by its
// ASCII counterpart.
std::string asciiForms(std::string_view text) {
    static const std::pair<std::string_view, char> kForms[] = {
        {"０", '0'}, {"１", '1'}, {"２", '2'}, {"３", '3'},     {"４", '4'}, {"５", '5'},
        {"６", '6'}, {"７", '7'}, {"８", '8'}, {"９", '9'},     {"．", '.'}, {"＋", '+'},
        {"－", '-'}, {"Ｅ", 'E'}, {"ｅ", 'e'}, {"\u3000", ' '}, {"。", '.'}};
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        bool replaced = false;
        for (const auto& [form, ascii] : kForms)
            if (text.substr(i, form.size()) == form) {
                out.push_back(ascii);
                i += form.size();
                replaced = true;
                break;
            }
        if (!replaced) out.push_back(text[i++]);
    }
    return out;
}

// Equal values, including the sign of zero.
bool same(std::optional<double> a, std::optional<double> b) {
    if (a.has_value() != b.has_value()) return false;
    return !a || (*a == *b && std::signbit(*a) == std::signbit(*b));
}

std::string shown(std::optional<double> value) {
    if (!value) return "no value";
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.17g", *value);
    return buffer;
}

std::string report(const char* property, std::string_view text, std::optional<double> got,
                   std::optional<double> want) {
    return std::string(property) + ": textValue(" + fuzz::quoted(text) + ") = " + shown(got) +
           ", expected " + shown(want);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<double> value = calc::textValue(text);

    FUZZ_REQUIRE(!value || std::isfinite(*value),
                 report("a value is finite", text, value, std::nullopt));

    // Once the full-width forms are ASCII, any other byte outside ASCII ends
    // the number like any other character that does not fit.
    std::string ascii = asciiForms(text);
    for (char& c : ascii)
        if (static_cast<unsigned char>(c) >= 0x80) c = '?';
    FUZZ_REQUIRE(same(calc::textValue(ascii), value),
                 report("full-width forms read like ASCII", ascii, calc::textValue(ascii), value));

    // How the text was read: the number quoted reads as the value, and what
    // is left is the end of the text.
    const calc::Reading reading = calc::readNumber(text);
    FUZZ_REQUIRE(same(reading.value, value),
                 report("readNumber agrees", text, reading.value, value));
    FUZZ_REQUIRE(same(calc::textValue(reading.number), value),
                 report("the number quoted reads as the value", reading.number,
                        calc::textValue(reading.number), value));
    FUZZ_REQUIRE(reading.end <= text.size() &&
                     text.substr(reading.end).find(reading.ignored) != std::string_view::npos,
                 "readNumber(" + fuzz::quoted(text) + "): what is left lies after the number");
    FUZZ_REQUIRE(reading.whole() == (withoutBlanks(asciiForms(text.substr(reading.end))).empty()),
                 "readNumber(" + fuzz::quoted(text) + "): read whole when only blanks are left");

    const std::optional<double> want = expectedValue(ascii);
    FUZZ_REQUIRE(same(value, want),
                 report("the leading number, correctly rounded", text, value, want));

    const std::string compact = withoutBlanks(ascii);
    FUZZ_REQUIRE(same(calc::textValue(compact), value),
                 report("blanks do not matter", compact, calc::textValue(compact), value));

    // Cut at the first character that ends any number: the rest is never read.
    for (std::size_t i = 0; i < ascii.size(); ++i) {
        if (!endsAnyNumber(ascii[i])) continue;
        const std::string_view head = std::string_view(ascii).substr(0, i);
        FUZZ_REQUIRE(
            same(calc::textValue(head), value),
            report("nothing after the first stop is read", head, calc::textValue(head), value));
        break;
    }

    // Junk after whatever was typed: a unit, a second number after a comma.
    for (const char* junk : {"mm", ",5", "x1e5"}) {
        const std::string longer = std::string(text) + junk;
        FUZZ_REQUIRE(
            same(calc::textValue(longer), value),
            report("junk after the number is not read", longer, calc::textValue(longer), value));
    }
    // The custom roughness: the value typed when it lies within the limits,
    // otherwise the limit, with a replacement text that reads as that limit.
    const calc::CustomK k = calc::customK(text);
    const auto roughness = [&] {
        return "customK(" + fuzz::quoted(text) + ") = " + std::to_string(k.value) +
               " replaced by " + (k.replacement ? fuzz::quoted(*k.replacement) : "nothing");
    };
    FUZZ_REQUIRE(k.value >= calc::kMinCustomK && k.value <= calc::kMaxCustomK,
                 roughness() + ": within the limits");
    if (k.replacement) {
        FUZZ_REQUIRE(k.value == calc::kMinCustomK || k.value == calc::kMaxCustomK,
                     roughness() + ": a replaced roughness is a limit");
        const calc::CustomK again = calc::customK(*k.replacement);
        FUZZ_REQUIRE(!again.replacement && again.value == k.value,
                     roughness() + ": the replacement text is taken as it stands");
    } else {
        FUZZ_REQUIRE(value && k.value == static_cast<float>(*value),
                     roughness() + ": a roughness within the limits is the value typed");
    }
    return 0;
}
