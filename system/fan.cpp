// SPDX-License-Identifier: GPL-3.0-or-later
#include "fan.h"

namespace ductsys {

void computeFan(SystemResult& result, const Tree& tree, double margin) {
    Fan& fan = result.fan;
    fan.margin = margin;
    const auto& segments = result.segments;
    auto say = [&](msg::Message reason) { fan.reason.push_back(std::move(reason)); };
    if (fan.node == kNone) return;

    double volume = 0;
    bool volumeKnown = true;
    for (std::uint32_t c = tree.firstChild[fan.node]; c < tree.firstChild[fan.node + 1]; ++c) {
        const std::uint32_t s = tree.children[c];
        if (!segments[s].has(Figure::flow)) {
            say({msg::Code::fanSegmentNoAirVolume, {segmentList(result, {s})}});
            volumeKnown = false;
            break;
        }
        volume += segments[s].flow;
    }
    if (volumeKnown) fan.airVolume = volume;

    std::uint32_t index = kNone;
    for (std::uint32_t outlet : result.outlets) {
        if (!segments[outlet].has(Figure::pathTotal)) {
            say({msg::Code::fanPathNoTotal, {segmentList(result, {outlet})}});
            return;
        }
        if (index == kNone || segments[outlet].pathTotal > segments[index].pathTotal)
            index = outlet;
    }
    if (index == kNone) return;
    fan.indexOutlet = index;
    fan.indexTotal = segments[index].pathTotal;
    fan.pressure = *fan.indexTotal * (1 + margin);
}

}  // namespace ductsys
