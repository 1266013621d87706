// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/left_out.h"

#include <algorithm>

namespace ductsys {

std::vector<std::uint32_t> segmentsToLeaveOut(const SystemResult& result) {
    using Kind = TopologyError::Kind;
    std::vector<std::uint32_t> out;
    for (const TopologyError& e : result.errors) {
        if (e.kind == Kind::noFan) return {};
        if (e.segments.empty()) continue;
        const bool keepFirst = e.kind == Kind::duplicateName || e.kind == Kind::duplicatePair;
        const std::uint32_t first = *std::min_element(e.segments.begin(), e.segments.end());
        for (const std::uint32_t s : e.segments)
            if (!(keepFirst && s == first)) out.push_back(s);
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

}  // namespace ductsys
