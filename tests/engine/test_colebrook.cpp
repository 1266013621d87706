// SPDX-License-Identifier: GPL-3.0-or-later
// How far the two friction-factor formulas lie from the Colebrook equation,
// and that the table in the README says so.
#include "engine/duct.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Colebrook-White: 1/sqrt(lambda) = -2 lg(K/(3.71 D) + 2.51/(Re sqrt(lambda))),
// K and D in metres, solved by fixed-point iteration on 1/sqrt(lambda).
double colebrook(double kMm, double d, double re) {
    double x = 1 / std::sqrt(0.02);
    for (int i = 0; i < 200; ++i) x = -2 * std::log10(kMm / 1000 / (3.71 * d) + 2.51 * x / re);
    return 1 / (x * x);
}

TEST(Colebrook, SolverMeetsKnownValues) {
    // Fully rough limit: 1/sqrt(lambda) = -2 lg(K/(3.71 D)).
    const double rough = std::pow(-2 * std::log10(0.001 / 3.71), -2);
    EXPECT_NEAR(colebrook(1, 1, 1e12), rough, 1e-9);
    // Smooth pipe, Re = 1e5: lambda = 0.01799 (Moody chart, Prandtl-Karman).
    EXPECT_NEAR(colebrook(0, 1, 1e5), 0.01799, 5e-5);
}

struct Row {
    double k, d, re, colebrook, one, oneDeviation, two, twoDeviation;
};

// The rows of the README's comparison table: "| K | D | Re | ... |" lines
// between the two marker comments.
std::vector<Row> readmeRows() {
    std::ifstream in(README_PATH);
    std::vector<Row> rows;
    std::string line;
    bool inTable = false;
    while (std::getline(in, line)) {
        if (line.find("<!-- colebrook-table -->") != std::string::npos) inTable = true;
        if (line.find("<!-- /colebrook-table -->") != std::string::npos) break;
        if (!inTable || line.rfind("| ", 0) != 0) continue;
        for (char& c : line)
            if (c == '|' || c == '%') c = ' ';
        std::istringstream fields(line);
        fields.imbue(std::locale::classic());
        Row r{};
        if (fields >> r.k >> r.d >> r.re >> r.colebrook >> r.one >> r.oneDeviation >> r.two >>
            r.twoDeviation)
            rows.push_back(r);
    }
    return rows;
}

TEST(Colebrook, ReadmeTableMatchesTheFormulas) {
    const std::vector<Row> rows = readmeRows();
    ASSERT_FALSE(rows.empty()) << "no comparison table found in " << README_PATH;
    for (const Row& r : rows) {
        SCOPED_TRACE("K " + std::to_string(r.k) + " D " + std::to_string(r.d) + " Re " +
                     std::to_string(r.re));
        const auto k = static_cast<float>(r.k), d = static_cast<float>(r.d),
                   re = static_cast<float>(r.re);
        const double c = colebrook(r.k, r.d, r.re);
        const double one = *engine::l1(k, d, re);
        const double two = *engine::l2(k, d, re);
        // Printed to 4 decimals and deviations to 0.1 %: within half a unit.
        EXPECT_NEAR(r.colebrook, c, 0.00005 + 1e-12);
        EXPECT_NEAR(r.one, one, 0.00005 + 1e-12);
        EXPECT_NEAR(r.two, two, 0.00005 + 1e-12);
        EXPECT_NEAR(r.oneDeviation, 100 * (one / c - 1), 0.05 + 1e-9);
        EXPECT_NEAR(r.twoDeviation, 100 * (two / c - 1), 0.05 + 1e-9);
    }
}

TEST(Colebrook, FormulaTwoStaysWithinFourPercentOverTheUsualRange) {
    for (double kMm : {0.15, 1.0})
        for (double d : {0.1, 0.2, 0.5, 1.0, 2.0})
            for (double re : {1e4, 3e4, 1e5, 3e5, 1e6}) {
                const double c = colebrook(kMm, d, re);
                const double two = *engine::l2(static_cast<float>(kMm), static_cast<float>(d),
                                               static_cast<float>(re));
                EXPECT_LT(std::fabs(two / c - 1), 0.04) << kMm << " " << d << " " << re;
            }
}

}  // namespace
