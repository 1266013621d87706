// SPDX-License-Identifier: GPL-3.0-or-later
// What sizing and balancing a system did, beside its figures: the limits
// each role kept to, the sizes chosen, and what would balance each junction
// over the limit, as text and JSON for `system`.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "system/sizing.h"

namespace cli {

class SizingShown {
public:
    // `report` may be null: nothing is shown. `sizedOrBalanced`: the run
    // sized or balanced, so the rows carry their role and a mark.
    SizingShown(const ductsys::SystemResult& result, const ductsys::SizingReport* report,
                bool sizedOrBalanced, bool balance);

    bool columns() const { return columns_; }
    bool sized(std::uint32_t segment) const { return columns_ && report_->sized[segment]; }
    std::string_view roleKey(std::uint32_t segment) const;

    // The section after the air: the method, each role's limit and where
    // it comes from, and the sizes chosen. Empty when nothing was sized or
    // balanced.
    std::string text() const;
    // The lines under a junction of the text: what would balance it.
    std::string remediesText(std::uint32_t junction) const;
    // The last lines of the text after balancing: the junctions left.
    std::string balanceText() const;

    // ", \"remedies\": [...]" for a junction's JSON object, or empty.
    std::string remediesJson(std::uint32_t junction) const;
    // "\"sizing\": {...},\n " before the fan's JSON, or empty.
    std::string json() const;

private:
    std::span<const ductsys::Remedy> remediesOf(std::uint32_t junction) const;

    const ductsys::SystemResult& result_;
    const ductsys::SizingReport* report_;
    bool columns_;
    bool balance_;
    std::vector<ductsys::Remedy> byJunction_;  // the remedies in junction order
    std::vector<std::uint32_t> first_;         // by junction: into byJunction_; size junctions + 1
};

}  // namespace cli
