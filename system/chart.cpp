// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/chart.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>

#include "calc/number_text.h"
#include "calc/tables.h"
#include "system/report.h"

namespace ductsys {

namespace {

// Samples per decade of air volume along a diameter line: the R10 series,
// which holds 1, 2 and 5, so that a line passes exactly through the ticks'
// air volumes. Rm grows nearly as a power of the air volume, so ten points a
// decade draw the slight bend of a line without a visible corner.
constexpr double kR10[] = {1, 1.25, 1.6, 2, 2.5, 3.15, 4, 5, 6.3, 8};

// The axes' limits: beyond them no duct a designer draws lies.
constexpr int kFlowFloor = -3, kFlowCeiling = 9;
constexpr int kRmFloor = -4, kRmCeiling = 5;

constexpr double kChartVelocities[] = {2, 3, 4, 5, 6, 8, 10, 12, 15, 20};

// m x 10^e, correctly rounded (a division for negative powers keeps 0.2
// from becoming 0.20000000000000001).
double scaled(double m, int e) { return e >= 0 ? m * std::pow(10.0, e) : m / std::pow(10.0, -e); }

std::string decimal(double x) { return calc::plainDecimalText(x); }

ChartAxis makeAxis(int low, int high) {
    ChartAxis axis{scaled(1, low), scaled(1, high), {}};
    for (int e = low; e <= high; ++e) {
        for (int m : {1, 2, 5}) {
            if (e == high && m > 1) break;
            const double value = scaled(m, e);
            axis.ticks.push_back({value, decimal(value), m == 1});
        }
    }
    return axis;
}

// One duct at the chart's basis through the recalculation; none unless it
// gives an air volume and an Rm above zero.
class BasisDuct {
public:
    explicit BasisDuct(const ChartBasis& basis) {
        input_.roughness = basis.roughness;
        input_.formula = basis.formula;
        input_.air = basis.air;
    }
    std::optional<ChartXY> circular(const std::string& flow, const std::string& diameter) {
        input_.shape = calc::Shape::circular;
        input_.flow = flow;
        input_.diameter = diameter;
        return run();
    }
    std::optional<ChartXY> rectangular(const std::string& flow, const std::string& a,
                                       const std::string& b) {
        input_.shape = calc::Shape::rectangular;
        input_.flow = flow;
        input_.sideA = a;
        input_.sideB = b;
        return run();
    }

private:
    std::optional<ChartXY> run() {
        const calc::DuctResult r = calc::computeDuct(input_, view_);
        if (!r.outcome.defined(calc::Value::specificLoss) || r.noSection) return std::nullopt;
        if (!(r.state.flowRate > 0) || !(r.state.specificLoss > 0)) return std::nullopt;
        return ChartXY{r.state.flowRate, r.state.specificLoss};
    }
    calc::DuctInput input_;
    calc::HeadlessView view_{input_, false};
};

double readNumber(std::string_view text) {
    double x = 0;
    std::from_chars(text.data(), text.data() + text.size(), x);
    return x;
}

ChartLine velocityLine(ChartLine::Kind kind, double velocity, const ChartRange& range,
                       BasisDuct& duct) {
    ChartLine line{kind, velocity, decimal(velocity), decimal(velocity) + " m/s", {}};
    // The diameters, mm, at which the velocity carries the axis's air volumes.
    auto diameterAt = [velocity](double flow) {
        return 1000 * std::sqrt(4 * flow / (3600 * std::numbers::pi * velocity));
    };
    const double d0 = std::log10(diameterAt(scaled(1, range.flowLow)));
    const double d1 = std::log10(diameterAt(scaled(1, range.flowHigh)));
    const int steps = 10 * (range.flowHigh - range.flowLow);
    for (int i = 0; i <= steps; ++i) {
        const double d = std::pow(10.0, d0 + (d1 - d0) * i / steps);
        const double flow = velocity * std::numbers::pi * d * d / 4e6 * 3600;
        if (const auto p = duct.circular(decimal(flow), decimal(d))) line.points.push_back(*p);
    }
    return line;
}

std::string figureText(float x) { return calc::bareNumberText(x); }

}  // namespace

std::string ChartPoint::flowText() const { return figureText(flow); }
std::string ChartPoint::rmText() const { return figureText(rm); }
std::string ChartPoint::velocityText() const { return figureText(velocity); }

bool validBand(double low, double high) {
    return std::isfinite(low) && std::isfinite(high) && low > 0 && low < high;
}

ChartRange rangeFor(std::span<const ChartPoint> points) {
    ChartRange range;
    for (const ChartPoint& p : points) {
        if (!(p.flow > 0) || !(p.rm > 0)) continue;
        const int f = static_cast<int>(std::floor(std::log10(p.flow)));
        const int r = static_cast<int>(std::floor(std::log10(p.rm)));
        range.flowLow = std::clamp(std::min(range.flowLow, f), kFlowFloor, kFlowCeiling - 1);
        range.flowHigh = std::clamp(std::max(range.flowHigh, f + 1), kFlowFloor + 1, kFlowCeiling);
        range.rmLow = std::clamp(std::min(range.rmLow, r), kRmFloor, kRmCeiling - 1);
        range.rmHigh = std::clamp(std::max(range.rmHigh, r + 1), kRmFloor + 1, kRmCeiling);
    }
    return range;
}

ChartFrame makeFrame(const ChartOptions& options, const ChartRange& range) {
    ChartFrame frame{options,
                     range,
                     makeAxis(range.flowLow, range.flowHigh),
                     makeAxis(range.rmLow, range.rmHigh),
                     {}};
    BasisDuct duct(options.basis);
    std::vector<std::string> flows;
    for (int e = range.flowLow; e <= range.flowHigh; ++e)
        for (double m : kR10)
            if (e < range.flowHigh || m == 1) flows.push_back(decimal(scaled(m, e)));
    for (std::string_view d : calc::standardDiameters) {
        ChartLine line{
            ChartLine::Kind::diameter, readNumber(d), std::string(d), "φ" + std::string(d), {}};
        for (const std::string& flow : flows)
            if (const auto p = duct.circular(flow, line.valueText)) line.points.push_back(*p);
        frame.lines.push_back(std::move(line));
    }
    for (double v : kChartVelocities)
        frame.lines.push_back(velocityLine(ChartLine::Kind::velocity, v, range, duct));
    if (const VelocityPreset* preset = options.preset) {
        frame.lines.push_back(velocityLine(ChartLine::Kind::ceiling, preset->maximum, range, duct));
        std::vector<double> recommended{preset->recommendedHigh};
        if (!preset->singleRecommendation && preset->recommendedLow < preset->recommendedHigh)
            recommended.insert(recommended.begin(), preset->recommendedLow);
        for (double v : recommended)
            if (v < preset->maximum)
                frame.lines.push_back(velocityLine(ChartLine::Kind::recommended, v, range, duct));
    }
    return frame;
}

std::vector<ChartPoint> systemPoints(const SystemResult& result, const calc::AirState& air,
                                     const ChartOptions& options,
                                     std::vector<std::uint32_t>* unplaced) {
    std::vector<ChartPoint> points;
    points.reserve(result.segments.size());
    const std::vector<bool> onIndex = indexRunSegments(result);
    BasisDuct basis(options.basis);
    const bool sameAir =
        air.density == options.basis.air.density && air.viscosity == options.basis.air.viscosity;
    for (std::uint32_t s = 0; s < result.segments.size(); ++s) {
        const Segment& seg = result.segments[s];
        if (!seg.has(Figure::flow) || !seg.has(Figure::rm) || !seg.has(Figure::size) ||
            !(seg.flow > 0) || !(seg.rm > 0)) {
            if (unplaced) unplaced->push_back(s);
            continue;
        }
        ChartPoint p;
        p.kind = ChartPoint::Kind::segment;
        p.segment = s;
        p.name = segmentLabel(result, s);
        p.size = sizeLabel(seg);
        p.flow = seg.flow;
        p.rm = seg.rm;
        if (seg.has(Figure::velocity)) p.velocity = seg.velocity;
        if (seg.has(Figure::eqDiameter)) p.eqDiameter = seg.eqDiameter;
        p.indexRun = s < onIndex.size() && onIndex[s];
        // The same duct at the chart's basis: the segment lies on the chart's
        // lines exactly when it gives the segment's own Rm. The sizes and the
        // air volume go as the shortest texts of their singles, which read
        // back to the same singles.
        std::optional<ChartXY> atBasis;
        if (sameAir) {
            const std::string flow = decimal(seg.flow);
            atBasis = seg.shape == calc::Shape::circular
                          ? basis.circular(flow, decimal(seg.diameter))
                          : basis.rectangular(flow, decimal(seg.sideA), decimal(seg.sideB));
        }
        p.ownBasis = !atBasis || static_cast<float>(atBasis->rm) != seg.rm;
        p.tooFast =
            options.preset && seg.has(Figure::velocity) && seg.velocity > options.preset->maximum;
        points.push_back(std::move(p));
    }
    return points;
}

std::vector<ChartPoint> ductPoints(const calc::DuctInput& input, const ChartOptions& options) {
    std::vector<ChartPoint> points;
    const bool own = input.roughness != options.basis.roughness ||
                     input.formula != options.basis.formula ||
                     input.air.density != options.basis.air.density ||
                     input.air.viscosity != options.basis.air.viscosity;
    calc::HeadlessView view(input, false);
    auto add = [&](const calc::DuctInput& in, ChartPoint::Kind kind) {
        const calc::DuctResult r = calc::computeDuct(in, view);
        const calc::CalcState& s = r.state;
        if (!r.outcome.defined(calc::Value::specificLoss) || r.noSection || !(s.flowRate > 0) ||
            !(s.specificLoss > 0))
            return false;
        ChartPoint p;
        p.kind = kind;
        p.size = in.shape == calc::Shape::circular
                     ? "φ" + calc::bareNumberText(s.diameter)
                     : calc::bareNumberText(s.sideA) + "*" + calc::bareNumberText(s.sideB);
        p.name = p.size;
        p.flow = s.flowRate;
        p.rm = s.specificLoss;
        p.velocity = s.velocity;
        p.eqDiameter = s.eqDiameter;
        p.ownBasis = own;
        p.tooFast = options.preset && s.velocity > options.preset->maximum;
        points.push_back(std::move(p));
        return true;
    };
    if (!add(input, ChartPoint::Kind::duct)) return points;

    // The standard sizes on either side of the duct's own, as the
    // recalculation read it (a box may hold blanks or a unit's worth of
    // other text around the number).
    const bool circular = input.shape == calc::Shape::circular;
    const calc::DuctResult read = calc::computeDuct(input, view);
    const double size = circular ? read.state.diameter : read.state.sideA;
    const std::string_view* smaller = nullptr;
    const std::string_view* larger = nullptr;
    auto scan = [&](const auto& list) {
        for (const std::string_view& text : list) {
            const double d = readNumber(text);
            if (d < size) smaller = &text;
            if (d > size && !larger) larger = &text;
        }
    };
    if (circular)
        scan(calc::standardDiameters);
    else
        scan(calc::standardSides);
    for (const std::string_view* text : {smaller, larger}) {
        if (!text) continue;
        calc::DuctInput neighbour = input;
        (circular ? neighbour.diameter : neighbour.sideA) = std::string(*text);
        add(neighbour, ChartPoint::Kind::neighbour);
    }
    return points;
}

Chart makeChart(const ChartOptions& options, std::vector<ChartPoint> points,
                std::vector<std::uint32_t> unplaced, const ChartFrame* previous) {
    Chart chart;
    const ChartRange range = rangeFor(points);
    if (previous && !previous->lines.empty() && previous->options == options &&
        previous->range == range)
        chart.frame = *previous;
    else
        chart.frame = makeFrame(options, range);

    const ChartBasis& b = options.basis;
    chart.legend.push_back(
        "K = " + calc::bareNumberText(b.roughness) +
        " mm, ρ = " + calc::bareNumberText(static_cast<float>(b.air.density)) +
        " kg/m³, ν = " + calc::bareNumberText(static_cast<float>(b.air.viscosity)) +
        " m²/s, 公式 " + std::to_string(b.formula));
    chart.legend.push_back("经济比摩阻 " + decimal(options.band.low) + "–" +
                           decimal(options.band.high) + " Pa/m");
    if (const VelocityPreset* p = options.preset) {
        const std::string recommended =
            p->singleRecommendation || p->recommendedLow == p->recommendedHigh
                ? decimal(p->recommendedHigh)
                : decimal(p->recommendedLow) + "–" + decimal(p->recommendedHigh);
        chart.legend.push_back(std::string(p->name) + " (" + std::string(p->source) + "): 推荐 " +
                               recommended + " m/s, 最大 " + decimal(p->maximum) + " m/s");
    }
    std::size_t index = 0, own = 0, fast = 0, neighbours = 0;
    for (const ChartPoint& p : points) {
        index += p.indexRun;
        own += p.ownBasis;
        fast += p.tooFast;
        neighbours += p.kind == ChartPoint::Kind::neighbour;
    }
    if (index) chart.legend.push_back("黑色大点: 最不利环路 (" + std::to_string(index) + " 段)");
    if (neighbours) chart.legend.push_back("灰色点: 相邻的标准尺寸");
    if (own)
        chart.legend.push_back("空心点: " + std::to_string(own) +
                               " 点的 K、空气或公式与本图不同, 按其自身的数值定位");
    if (fast)
        chart.legend.push_back("红色点: " + std::to_string(fast) + " 点超过最大风速 " +
                               decimal(options.preset->maximum) + " m/s");
    if (!unplaced.empty())
        chart.legend.push_back(std::to_string(unplaced.size()) +
                               " 段没有大于 0 的风量或比摩阻, 未画出");
    chart.points = std::move(points);
    chart.unplaced = std::move(unplaced);
    return chart;
}

ChartLayout::ChartLayout(const Chart& chart, double width, double height)
    : flowLow_(chart.frame.flow.low),
      flowHigh_(chart.frame.flow.high),
      rmLow_(chart.frame.rm.low),
      rmHigh_(chart.frame.rm.high),
      logFlowLow_(std::log10(chart.frame.flow.low)),
      logFlowHigh_(std::log10(chart.frame.flow.high)),
      logRmLow_(std::log10(chart.frame.rm.low)),
      logRmHigh_(std::log10(chart.frame.rm.high)) {
    // Room for the Rm labels on the left, the air-volume labels and the axis
    // title below, then the legend's lines.
    left_ = 64;
    top_ = 28;
    right_ = std::max(left_ + 100, width - 24);
    const double legend = kLegendLine * static_cast<double>(chart.legend.size());
    bottom_ = std::max(top_ + 100, height - 48 - legend);
    legendY_ = bottom_ + 56;
}

bool ChartLayout::labelPlace(const ChartLine& line, double& x, double& y, bool& endAnchored) const {
    const bool diameter = line.kind == ChartLine::Kind::diameter;
    const ChartXY* last = nullptr;
    for (const ChartXY& p : line.points) {
        if (p.flow < flowLow_ || p.flow > flowHigh_ || p.rm < rmLow_ || p.rm > rmHigh_) continue;
        if (diameter || !last) last = &p;
    }
    if (!last) return false;
    x = this->x(last->flow);
    y = this->y(last->rm);
    endAnchored = x > right_ - 48;
    x += endAnchored ? -3 : 2;
    y -= 2;
    return true;
}

double ChartLayout::x(double flow) const {
    return left_ +
           (std::log10(flow) - logFlowLow_) / (logFlowHigh_ - logFlowLow_) * (right_ - left_);
}

double ChartLayout::y(double rm) const {
    return bottom_ - (std::log10(rm) - logRmLow_) / (logRmHigh_ - logRmLow_) * (bottom_ - top_);
}

double ChartLayout::flowAt(double x) const {
    return std::pow(10.0,
                    logFlowLow_ + (x - left_) / (right_ - left_) * (logFlowHigh_ - logFlowLow_));
}

double ChartLayout::rmAt(double y) const {
    return std::pow(10.0, logRmLow_ + (bottom_ - y) / (bottom_ - top_) * (logRmHigh_ - logRmLow_));
}

}  // namespace ductsys
