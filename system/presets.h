// SPDX-License-Identifier: GPL-3.0-or-later
// Air velocities in ducts recommended and allowed by the Chinese design
// codes, as one table: each row names its code and table. The command
// line's `size --preset` uses it, and a window may offer the same rows.
#pragma once

#include <array>
#include <string_view>

namespace ductsys {

struct VelocityPreset {
    std::string_view slug;      // ASCII name: "public-main"
    std::string_view name;      // Chinese name: "公共建筑 干管"
    std::string_view source;    // code and table: "GB 50736-2012 表6.6.3"
    double recommendedLow;      // m/s; equal to recommendedHigh for a single value
    double recommendedHigh;     // m/s
    double maximum;             // m/s: the code's largest, or the top of its range
    bool singleRecommendation;  // the code gives one recommended value, not a range

    // Whether a velocity lies within the recommendation: inside the range,
    // or at most the single value.
    bool recommends(double velocity) const {
        if (singleRecommendation) return velocity <= recommendedHigh;
        return velocity >= recommendedLow && velocity <= recommendedHigh;
    }
};

// GB 50736-2012 表6.6.3 (风管内的空气流速, 低速风管) for 住宅 and 公共建筑:
// a recommended velocity or range and a largest one. GB 50019-2015 表6.7.6
// (一般工业建筑机械通风系统风管内的风速) gives one range per duct; its top
// is taken as the largest.
inline constexpr std::array<VelocityPreset, 14> kVelocityPresets{{
    {"residential-main", "住宅 干管", "GB 50736-2012 表6.6.3", 3.5, 4.5, 6.0, false},
    {"residential-branch", "住宅 支管", "GB 50736-2012 表6.6.3", 3.0, 3.0, 5.0, true},
    {"residential-sub-branch", "住宅 从支管上接出的风管", "GB 50736-2012 表6.6.3", 2.5, 2.5, 4.0,
     true},
    {"residential-fan-inlet", "住宅 通风机入口", "GB 50736-2012 表6.6.3", 3.5, 3.5, 4.5, true},
    {"residential-fan-outlet", "住宅 通风机出口", "GB 50736-2012 表6.6.3", 5.0, 8.0, 8.5, false},
    {"public-main", "公共建筑 干管", "GB 50736-2012 表6.6.3", 5.0, 6.5, 8.0, false},
    {"public-branch", "公共建筑 支管", "GB 50736-2012 表6.6.3", 3.0, 4.5, 6.5, false},
    {"public-sub-branch", "公共建筑 从支管上接出的风管", "GB 50736-2012 表6.6.3", 3.0, 3.5, 6.0,
     false},
    {"public-fan-inlet", "公共建筑 通风机入口", "GB 50736-2012 表6.6.3", 4.0, 4.0, 5.0, true},
    {"public-fan-outlet", "公共建筑 通风机出口", "GB 50736-2012 表6.6.3", 6.5, 10.0, 11.0, false},
    {"industrial-metal-main", "工业 金属及非金属风管 干管", "GB 50019-2015 表6.7.6", 6.0, 14.0,
     14.0, false},
    {"industrial-metal-branch", "工业 金属及非金属风管 支管", "GB 50019-2015 表6.7.6", 2.0, 8.0,
     8.0, false},
    {"industrial-masonry-main", "工业 砖及混凝土风道 干管", "GB 50019-2015 表6.7.6", 4.0, 12.0,
     12.0, false},
    {"industrial-masonry-branch", "工业 砖及混凝土风道 支管", "GB 50019-2015 表6.7.6", 2.0, 6.0,
     6.0, false},
}};

// The preset named by its slug or its Chinese name (blanks between the
// words of the Chinese name may be left out); nullptr when none is.
const VelocityPreset* findVelocityPreset(std::string_view name);

}  // namespace ductsys
