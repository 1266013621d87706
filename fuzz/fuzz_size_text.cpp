// SPDX-License-Identifier: GPL-3.0-or-later
// parseSize on arbitrary bytes, a duct size as typed in a row ("φ200",
// "500x320").
//
// Besides not crashing: a size has a first number, and a second exactly
// when it is rectangular; each number reads whole; blanks around the text
// change nothing; and the size written back as the program writes sizes
// ("φ" and the diameter, or the sides joined by "x") reads as the same size.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "calc/headless.h"
#include "fuzz/check.h"
#include "system/readers.h"

namespace {

bool same(const std::optional<ductsys::SizeText>& a, const std::optional<ductsys::SizeText>& b) {
    if (a.has_value() != b.has_value()) return false;
    return !a || (a->shape == b->shape && a->a == b->a && a->b == b->b);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<ductsys::SizeText> s = ductsys::parseSize(text);
    FUZZ_REQUIRE(same(s, ductsys::parseSize(" \t" + std::string(text) + "\r\n ")),
                 "blanks around " + fuzz::quoted(text) + " change its size");
    if (!s) return 0;
    FUZZ_REQUIRE(!s->a.empty() && calc::readsWhole(s->a),
                 "the first number of " + fuzz::quoted(text) + " does not read whole");
    const bool rectangular = s->shape == calc::Shape::rectangular;
    FUZZ_REQUIRE(rectangular != s->b.empty(),
                 "the second number of " + fuzz::quoted(text) + " disagrees with its shape");
    if (rectangular)
        FUZZ_REQUIRE(calc::readsWhole(s->b),
                     "the second number of " + fuzz::quoted(text) + " does not read whole");
    const std::string written = rectangular ? s->a + "x" + s->b : "φ" + s->a;
    FUZZ_REQUIRE(
        same(s, ductsys::parseSize(written)),
        fuzz::quoted(text) + " written as " + fuzz::quoted(written) + " reads as another size");
    return 0;
}
