// SPDX-License-Identifier: GPL-3.0-or-later
// The columns of a duct-run table: those read by name from its header row,
// and those written for each segment.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "system/fields.h"
#include "system/table_file.h"

namespace cli {

// The columns a header row names: index of each known column, -1 if absent.
struct Layout {
    std::array<int, ductsys::kColumnCount> columns{};
    std::size_t fieldCount = 0;
    // Numbers as the shortest decimals that read back (JSON) rather than
    // the window's seven-digit texts.
    bool shortest = false;
    // The units the header names for whole columns, and the formula of
    // rows that name none.
    ductsys::ColumnUnits units;
    int formula = 1;

    bool has(ductsys::Column c) const { return columns[static_cast<std::size_t>(c)] >= 0; }
    // The text of column `c` in a row of `count` fields; empty where the
    // header has no such column or the row stops short of it.
    std::string_view cell(const std::vector<std::string>& fields, std::size_t count,
                          ductsys::Column c) const {
        const int at = columns[static_cast<std::size_t>(c)];
        if (at < 0 || static_cast<std::size_t>(at) >= count) return {};
        return fields[static_cast<std::size_t>(at)];
    }
};

// The columns of a header row as the file reader found them (names in
// English or Chinese, any letter case, units in brackets: see table_file.h).
void readHeader(const ductsys::TableHeader& header, Layout& layout);

// The numeric output columns, in order; the size follows the air volume.
enum Out {
    oFlow,
    oEqDiameter,
    oVelocity,
    oReynolds,
    oLambda,
    oRm,
    oLength,
    oFriction,
    oPressure,
    oZeta,
    oLocal,
    oTotal,
    oRunning,
    oDp,       // after the running total: the system layer's fixed loss, Pa
    oK,        // the roughness in use, mm
    oFormula,  // 1 or 2
    kOutNumbers
};
// The figure each column shows, and its names from the one table of figures.
inline constexpr std::array<ductsys::FigureKey, kOutNumbers> kOutFigures{
    ductsys::FigureKey::flow,
    ductsys::FigureKey::eqDiameter,
    ductsys::FigureKey::velocity,
    ductsys::FigureKey::reynolds,
    ductsys::FigureKey::lambda,
    ductsys::FigureKey::rm,
    ductsys::FigureKey::length,
    ductsys::FigureKey::frictionLoss,
    ductsys::FigureKey::velocityPressure,
    ductsys::FigureKey::zeta,
    ductsys::FigureKey::localLoss,
    ductsys::FigureKey::total,
    ductsys::FigureKey::runningTotal,
    ductsys::FigureKey::dp,
    ductsys::FigureKey::k,
    ductsys::FigureKey::formula};
inline constexpr std::array<std::string_view, kOutNumbers> kOutNames =
    ductsys::figureNames(kOutFigures, &ductsys::FigureField::key);
inline constexpr std::array<std::string_view, kOutNumbers> kOutCaptions = [] {
    auto captions = ductsys::figureNames(kOutFigures, &ductsys::FigureField::textCaption);
    // A run's text heads the segment's loss by how it is formed, as it
    // always has; scripts and users read it so.
    captions[oTotal] = "Rm·l+Z Pa";
    return captions;
}();

// A row as written: numbers already in the window's text without the
// leading blank, or as the shortest decimals that read back (Layout::shortest);
// an empty text where there is no value. They are formed on the computing
// threads, so that the writing thread only joins them.
struct OutRow {
    std::string segment;
    std::string size;  // compact size label
    std::array<std::string, kOutNumbers> numbers{};
};

}  // namespace cli
