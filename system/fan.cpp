// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/fan.h"

#include <charconv>
#include <cmath>

namespace ductsys {

namespace {

// A figure for a message, independent of the locale: the shortest decimal
// that reads back, or `decimals` places.
std::string plainNumber(double x, int decimals = -1) {
    char text[64];
    const auto r = decimals < 0 ? std::to_chars(text, text + sizeof text, x)
                                : std::to_chars(text, text + sizeof text, x,
                                                std::chars_format::fixed, decimals);
    return std::string(text, r.ptr);
}

}  // namespace

void computeFan(SystemResult& result, const Tree& tree, double margin) {
    Fan& fan = result.fan;
    fan.margin = margin;
    const auto& segments = result.segments;
    auto say = [&](msg::Message reason, std::uint32_t cause) {
        fan.reason.push_back(std::move(reason));
        if (fan.reasonSegment == kNone) fan.reasonSegment = cause;
    };
    if (fan.node == kNone) return;

    // What enters the fan (its suction side) and what leaves it.
    double volume[2] = {0, 0};  // discharge, suction
    bool known[2] = {true, true}, present[2] = {false, false};
    for (std::uint32_t c = tree.firstChild[fan.node]; c < tree.firstChild[fan.node + 1]; ++c) {
        const std::uint32_t s = tree.children[c];
        const int side = tree.suction[s] ? 1 : 0;
        present[side] = true;
        if (!segments[s].has(Figure::flow)) {
            if (known[side])
                say({side ? msg::Code::fanSegmentEnteringNoAirVolume
                          : msg::Code::fanSegmentNoAirVolume,
                     {segmentList(result, {s})}},
                    s);
            known[side] = false;
            continue;
        }
        volume[side] += segments[s].flow;
    }
    const int in = present[1] ? 1 : 0;
    if (known[in]) fan.airVolume = volume[in];
    if (present[0] && present[1] && known[0] && known[1] && volume[1] > 0 &&
        std::fabs(volume[0] - volume[1]) > 0.005 * volume[1]) {
        result.warnings.push_back(
            {tree.children[tree.firstChild[fan.node]],
             {msg::Code::fanFlowsDiffer,
              {plainNumber(volume[1]), plainNumber(volume[0]),
               plainNumber(std::fabs(volume[0] - volume[1]) / volume[1] * 100, 2)}}});
    }

    // The worst end of each side: its path total is the side's share.
    std::uint32_t worst[2] = {kNone, kNone};
    for (std::uint32_t outlet : result.outlets) {
        if (!segments[outlet].has(Figure::pathTotal)) {
            // The segment nearest the outlet whose own total is missing.
            std::uint32_t cause = outlet;
            for (std::uint32_t s = outlet; s != kNone; s = segments[s].parent)
                if (!segments[s].has(Figure::total)) {
                    cause = s;
                    break;
                }
            if (cause == outlet)
                say({msg::Code::fanPathNoTotal, {segmentList(result, {outlet})}}, cause);
            else
                say({msg::Code::fanPathNoTotalSince,
                     {segmentList(result, {outlet}), segmentList(result, {cause})}},
                    cause);
            return;
        }
        std::uint32_t& w = worst[tree.suction[outlet] ? 1 : 0];
        if (w == kNone || segments[outlet].pathTotal > segments[w].pathTotal) w = outlet;
    }
    if (worst[0] == kNone && worst[1] == kNone) return;
    if (worst[0] != kNone && worst[1] != kNone) {
        fan.indexOutlet = worst[0];
        fan.indexInlet = worst[1];
        fan.indexTotal = segments[worst[0]].pathTotal + segments[worst[1]].pathTotal;
    } else {
        fan.indexOutlet = worst[0] != kNone ? worst[0] : worst[1];
        fan.indexTotal = segments[fan.indexOutlet].pathTotal;
    }
    fan.pressure = *fan.indexTotal * (1 + margin);
}

}  // namespace ductsys
