// SPDX-License-Identifier: GPL-3.0-or-later
// One segment of a duct-run table: its fields read, its duct computed, its
// row and messages made ready to write.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "headless.h"
#include "number_texts.h"
#include "table_layout.h"

namespace cli {

// One data record as read, and what became of it.
struct Job {
    std::vector<std::string> fields;
    std::size_t count = 0;
    long line = 0;
    long row = 0;  // 1 for the first record after the header
    // Results
    OutRow out;
    std::string messages;  // diagnostics, each a whole line
    bool blank = false;
    bool ok = true;
    float total = 0;  // Pa, when ok
};

// Computes segments. Each thread has its own, as each keeps the inputs and
// the label texts of the duct in hand.
class SegmentCalc {
public:
    // `name` names the table in messages.
    SegmentCalc(const Layout& layout, const std::string& name) : layout_(layout), name_(name) {}

    // Fills the results of `job` from its fields; the running total is left
    // to whoever writes the rows in order.
    void run(Job& job);

private:
    template <class Fail>
    std::optional<double> number(std::string_view text, const char* column, Fail& fail);
    template <class Fail>
    void compute(Job& job, std::optional<double> lengthValue, std::optional<double> zetaValue,
                 Fail& fail);

    const Layout& layout_;
    const std::string& name_;
    NumberMemo lengthTexts_, zetaTexts_, kTexts_;
    calc::DuctInput input_;
    calc::HeadlessView view_{input_};
};

}  // namespace cli
