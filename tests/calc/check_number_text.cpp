// SPDX-License-Identifier: GPL-3.0-or-later
// Compares numberText with the plain to_chars text for every float bit
// pattern, on two threads; prints the count checked and every mismatch (the
// first few in full). Run by hand after touching numberText:
//   check_number_text          every one of the 2^32 patterns
//   check_number_text near     only the exponents from 2^-30 to 2^30, both signs
#include <atomic>
#include <bit>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "calc/number_text.h"
#include "tests/calc/number_text_oracle.h"

int main(int argc, char** argv) {
    const bool near = argc > 1 && std::strcmp(argv[1], "near") == 0;
    // Patterns as [first, last) of the 32-bit space; "near" takes the biased
    // exponents 97..157 of each sign.
    struct Span {
        std::uint64_t first, last;
    };
    std::vector<Span> spans;
    if (near) {
        for (std::uint64_t sign : {0ull, 1ull << 31})
            spans.push_back({sign | (97ull << 23), sign | (158ull << 23)});
    } else {
        spans.push_back({0, 1ull << 32});
    }
    std::atomic<std::uint64_t> checked{0}, mismatches{0};
    std::mutex printing;
    const auto start = std::chrono::steady_clock::now();
    auto work = [&](int part, int parts) {
        std::uint64_t mine = 0, wrong = 0;
        for (const Span& span : spans) {
            const std::uint64_t size = span.last - span.first;
            const std::uint64_t from = span.first + size * part / parts;
            const std::uint64_t to = span.first + size * (part + 1) / parts;
            for (std::uint64_t bits = from; bits < to; ++bits) {
                const float x = std::bit_cast<float>(static_cast<std::uint32_t>(bits));
                const std::string fast = calc::numberText(x);
                const std::string plain = calc_test::plainNumberText(x);
                ++mine;
                if (fast != plain) {
                    ++wrong;
                    std::lock_guard lock(printing);
                    if (mismatches + wrong <= 20)
                        std::printf("0x%08x %.9g: \"%s\" instead of \"%s\"\n",
                                    static_cast<unsigned>(bits), static_cast<double>(x),
                                    fast.c_str(), plain.c_str());
                }
            }
        }
        checked += mine;
        mismatches += wrong;
    };
    std::thread other(work, 1, 2);
    work(0, 2);
    other.join();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%llu floats checked, %llu mismatches, %.1f s\n",
                static_cast<unsigned long long>(checked.load()),
                static_cast<unsigned long long>(mismatches.load()), seconds);
    return mismatches == 0 ? 0 : 1;
}
