// SPDX-License-Identifier: GPL-3.0-or-later
// The friction chart (摩擦阻力线算图): Rm (Pa/m) against air volume (m3/h) on
// log-log axes, with lines of constant diameter and of constant velocity,
// the economic band, a preset's velocity ceilings and one point per duct or
// segment. Every line is computed by the window's recalculation at the
// chart's basis (K, air, formula), so that the chart and the figures are one
// calculation. No Qt: the command line writes it as SVG, the windows paint
// the same geometry.
//
//   ductsys::ChartOptions options;             // K 0.15 mm, the window's air
//   ductsys::Chart chart = ductsys::makeChart(options, ductsys::systemPoints(result, air,
//   options));
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "system/model.h"
#include "system/presets.h"

namespace ductsys {

// What the lines are computed with. Handbooks draw the chart for 20 °C,
// 101.3 kPa and K = 0.15 mm, which is the window's air.
struct ChartBasis {
    float roughness = 0.15f;  // K, mm
    int formula = 1;          // 1 or 2
    calc::AirState air;

    bool operator==(const ChartBasis& o) const {
        return roughness == o.roughness && formula == o.formula && air.density == o.air.density &&
               air.viscosity == o.air.viscosity;
    }
};

// The economic band of Rm, Pa/m: the usual design range for low-velocity ducts.
struct ChartBand {
    double low = 0.8;
    double high = 1.5;
    bool operator==(const ChartBand&) const = default;
};

// Whether `low` and `high` make a band: finite, positive and low < high.
bool validBand(double low, double high);

struct ChartOptions {
    ChartBasis basis;
    ChartBand band;
    const VelocityPreset* preset = nullptr;  // its ceilings drawn and points above them marked
    bool operator==(const ChartOptions&) const = default;
};

// A value on both axes: air volume, m3/h, and Rm, Pa/m.
struct ChartXY {
    double flow;
    double rm;
};

struct ChartTick {
    double value;
    std::string text;  // plain decimal: "0.2", "1000"
    bool decade;       // 10^n; the others are the 2 and 5 between
};

// A logarithmic axis from one power of ten to another.
struct ChartAxis {
    double low = 1;
    double high = 10;
    std::vector<ChartTick> ticks;
};

struct ChartLine {
    enum class Kind {
        diameter,     // constant diameter, value in mm
        velocity,     // constant velocity, value in m/s
        ceiling,      // the preset's largest velocity, m/s
        recommended,  // an end of the preset's recommended range, m/s
    };
    Kind kind;
    double value;
    std::string valueText;        // the value as plain decimal: "200", "2.5"
    std::string label;            // as drawn: "φ200", "5 m/s"
    std::vector<ChartXY> points;  // in order; the axes clip them
};

// Axes from 10 to 100 000 m3/h and 0.1 to 100 Pa/m, widened by whole
// decades to hold every point (up to 1e-3 … 1e9 m3/h and 1e-4 … 1e5 Pa/m).
struct ChartRange {
    int flowLow = 1, flowHigh = 5;  // powers of ten
    int rmLow = -1, rmHigh = 2;
    bool operator==(const ChartRange&) const = default;
};

// The parts of a chart that depend on the options and the axes, not on the
// points: computed once, kept while only points move.
struct ChartFrame {
    ChartOptions options;
    ChartRange range;
    ChartAxis flow;
    ChartAxis rm;
    std::vector<ChartLine> lines;
};

struct ChartPoint {
    enum class Kind {
        duct,       // the calculator's current duct
        neighbour,  // the next smaller or larger standard size of that duct
        segment,    // a segment of a system
    };
    Kind kind = Kind::segment;
    std::uint32_t segment = kNone;  // Kind::segment: its index in the system
    std::string name;               // the segment's label, or the size for a duct
    std::string size;               // "φ200", "500*320"
    float flow = 0;                 // m3/h
    float rm = 0;                   // Pa/m
    float velocity = 0;             // m/s
    float eqDiameter = 0;           // m
    bool indexRun = false;          // on the index run (最不利环路)
    // Computed with a K, air or formula other than the chart's, so that it
    // need not lie on the lines: placed by its own figures.
    bool ownBasis = false;
    bool tooFast = false;  // faster than the preset's largest velocity

    // The figures as the text output writes them ("1000", "1.234567").
    std::string flowText() const;
    std::string rmText() const;
    std::string velocityText() const;
};

struct Chart {
    ChartFrame frame;
    std::vector<ChartPoint> points;
    // Segments without a point: no air volume or Rm above zero to place.
    std::vector<std::uint32_t> unplaced;
    // What the legend says: the basis, the band, the preset, the marks.
    std::vector<std::string> legend;
};

// The default range widened to hold every point.
ChartRange rangeFor(std::span<const ChartPoint> points);

// The axes and lines for `options` over `range`.
ChartFrame makeFrame(const ChartOptions& options, const ChartRange& range = {});

// Every segment with an air volume and an Rm above zero as a point, the
// index run marked; `air` is the air the system was computed with. The
// others go to `unplaced` when given.
std::vector<ChartPoint> systemPoints(const SystemResult& result, const calc::AirState& air,
                                     const ChartOptions& options,
                                     std::vector<std::uint32_t>* unplaced = nullptr);

// The duct set by `input` as a point, followed by the next smaller and larger
// standard size at the same air volume (the diameter, or the 长 side of a
// rectangular duct), as far as each computes. Empty when the duct itself has
// no air volume or Rm above zero.
std::vector<ChartPoint> ductPoints(const calc::DuctInput& input, const ChartOptions& options);

// The chart of `points`: a frame wide enough for them, and the legend. A
// frame passed in is kept when its options and range still fit, so that
// moving points recompute no line.
Chart makeChart(const ChartOptions& options, std::vector<ChartPoint> points,
                std::vector<std::uint32_t> unplaced = {}, const ChartFrame* previous = nullptr);

// Where the chart lies on a page or widget of width x height (pixels or
// points, y downward): the plot area, and the legend's lines below it.
class ChartLayout {
public:
    ChartLayout(const Chart& chart, double width, double height);
    double left() const { return left_; }
    double top() const { return top_; }
    double right() const { return right_; }
    double bottom() const { return bottom_; }
    double legendY() const { return legendY_; }  // the first line's baseline
    static constexpr double kLegendLine = 16;
    double x(double flow) const;  // log position between the axis ends
    double y(double rm) const;
    // Where a line's label ends up: its last point inside the plot (a
    // diameter line's upper end, a velocity line's lower end); false when
    // the line does not cross the plot. `endAnchored`: the text ends at
    // (x, y) rather than starting there, near the right edge.
    bool labelPlace(const ChartLine& line, double& x, double& y, bool& endAnchored) const;
    // The value at a position, inverse of x() and y().
    double flowAt(double x) const;
    double rmAt(double y) const;

private:
    double left_, top_, right_, bottom_, legendY_;
    double flowLow_, flowHigh_, rmLow_, rmHigh_;
    double logFlowLow_, logFlowHigh_, logRmLow_, logRmHigh_;
};

}  // namespace ductsys
