// SPDX-License-Identifier: GPL-3.0-or-later
// readZetaSum on arbitrary bytes, the sum of loss coefficients typed in a
// row ("0.3+0.25+1.0").
//
// Besides not crashing: a sum is finite and says nothing went wrong, a
// refusal says why; a text without '+' reads as the one number it is; and
// two terms that each read, joined by '+', sum in double to their two
// values, or are refused only when the sum leaves the single range. The
// input is the two terms, split at the first NUL byte.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "calc/calc_state.h"
#include "fuzz/check.h"
#include "system/readers.h"

namespace {

void checkAlone(std::string_view text) {
    const ductsys::NumberRead sum = ductsys::readZetaSum(text);
    FUZZ_REQUIRE(sum.value.has_value() == !sum.error.has_value(),
                 "a sum and its reason disagree for " + fuzz::quoted(text));
    if (sum.value)
        FUZZ_REQUIRE(std::isfinite(*sum.value),
                     "the sum of " + fuzz::quoted(text) + " is not finite");
    // A cell of one plain number (fittings, counts and full-width joins are
    // terms of their own) sums to that number.
    const bool plainNumber = text.find_first_not_of("0123456789.eE- \t") == std::string_view::npos;
    if (plainNumber) {
        const ductsys::NumberRead one = ductsys::readCellNumber(text);
        FUZZ_REQUIRE(one.value.has_value() == sum.value.has_value() &&
                         (!one.value || *one.value == *sum.value),
                     "one term " + fuzz::quoted(text) + " sums to other than its number");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    checkAlone(input);
    const std::size_t nul = input.find('\0');
    if (nul == std::string_view::npos) return 0;
    const std::string_view a = input.substr(0, nul), b = input.substr(nul + 1);
    checkAlone(a);
    checkAlone(b);
    if (a.find('+') != std::string_view::npos || b.find('+') != std::string_view::npos) return 0;
    const std::string_view ta = ductsys::trimmed(a), tb = ductsys::trimmed(b);
    // A term ending in E would take the joining + as its exponent's sign.
    if (ta.empty() || ta.back() == 'e' || ta.back() == 'E') return 0;
    if (tb.empty() || b.find('\0') != std::string_view::npos) return 0;
    const ductsys::NumberRead va = ductsys::readCellNumber(a), vb = ductsys::readCellNumber(b);
    if (!va.value || !vb.value) return 0;
    const std::string joined = std::string(a) + "+" + std::string(b);
    const ductsys::NumberRead sum = ductsys::readZetaSum(joined);
    const double expected = *va.value + *vb.value;
    float single = 0;
    if (calc::storeSingle(single, expected))
        FUZZ_REQUIRE(sum.value && *sum.value == expected,
                     fuzz::quoted(joined) + " does not sum to its two terms");
    else
        FUZZ_REQUIRE(!sum.value, fuzz::quoted(joined) + " sums beyond the single range");
    return 0;
}
