// SPDX-License-Identifier: GPL-3.0-or-later
// The columns of a duct-run table: those read by name from its header row,
// and those written for each segment.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// from and to name a segment's nodes (system); dp is a fixed loss in Pa.
enum Column {
    segment,
    flow,
    unit,
    size,
    length,
    zeta,
    material,
    k,
    formula,
    from,
    to,
    dp,
    kColumns
};

// The columns a header row names: index of each known column, -1 if absent.
struct Layout {
    std::array<int, kColumns> columns{};
    std::size_t fieldCount = 0;
};

// Reads a header row into `layout`; what makes it unusable (a column named
// twice, no flow or size column), or empty when it is usable. Header names
// are English or Chinese; letter case and surrounding blanks do not matter.
std::string readHeader(const std::vector<std::string>& fields, std::size_t count, Layout& layout);

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
    oDp,  // last: scripts that read the columns by position keep working
    kOutNumbers
};
inline constexpr std::array<std::string_view, kOutNumbers> kOutNames{"flow",
                                                                     "equivalent_diameter",
                                                                     "velocity",
                                                                     "reynolds",
                                                                     "lambda",
                                                                     "rm",
                                                                     "length",
                                                                     "friction_loss",
                                                                     "velocity_pressure",
                                                                     "zeta",
                                                                     "local_loss",
                                                                     "total",
                                                                     "running_total",
                                                                     "dp"};
inline constexpr std::array<std::string_view, kOutNumbers> kOutCaptions{
    "m3/h",    "De m",  "v m/s", "Re",   "λ",         "Rm Pa/m", "l m",
    "Rm·l Pa", "Pd Pa", "Σζ",    "Z Pa", "Rm·l+Z Pa", "Σ Pa",    "dp Pa"};

// A row as written: numbers already in the window's text, without the
// leading blank; an empty text where there is no value.
struct OutRow {
    std::string segment;
    std::string size;  // compact size label
    std::array<std::string, kOutNumbers> numbers{};
};

}  // namespace cli
