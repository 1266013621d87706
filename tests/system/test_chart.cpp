// SPDX-License-Identifier: GPL-3.0-or-later
// The friction chart's geometry: its lines hold the recalculation's own
// figures, its axes run in 1-2-5 steps over whole decades that hold every
// point, and each segment becomes a point marked for the index run, for a
// basis of its own and for a velocity above a preset's ceiling.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "calc/number_text.h"
#include "system/chart.h"
#include "system/chart_svg.h"
#include "system/report.h"
#include "system/system.h"

namespace {

using ductsys::Chart;
using ductsys::ChartLine;
using ductsys::ChartOptions;
using ductsys::ChartPoint;

// The calculator's Rm for a circular duct at K = 0.15 mm, formula 1.
float calculatorRm(const std::string& diameter, const std::string& flow, int formula = 1) {
    calc::DuctInput in;
    in.flow = flow;
    in.diameter = diameter;
    in.roughness = 0.15f;
    in.formula = formula;
    calc::HeadlessView view(in, false);
    const calc::DuctResult r = calc::computeDuct(in, view);
    EXPECT_TRUE(r.outcome.complete());
    return r.state.specificLoss;
}

const ChartLine& lineOf(const ductsys::ChartFrame& frame, ChartLine::Kind kind, double value) {
    for (const ChartLine& line : frame.lines)
        if (line.kind == kind && line.value == value) return line;
    ADD_FAILURE() << "no line " << value;
    return frame.lines.front();
}

struct OnLine {
    const char* diameter;
    const char* flow;
    int formula;
};

void PrintTo(const OnLine& c, std::ostream* os) { *os << "φ" << c.diameter << " at " << c.flow; }

class DiameterLines : public testing::TestWithParam<OnLine> {};

TEST_P(DiameterLines, HoldTheCalculatorsRmAtTheirAirVolumes) {
    const OnLine& c = GetParam();
    ChartOptions options;
    options.basis.formula = c.formula;
    const ductsys::ChartFrame frame = ductsys::makeFrame(options);
    const ChartLine& line = lineOf(frame, ChartLine::Kind::diameter, std::stod(c.diameter));
    EXPECT_EQ(line.label, std::string("φ") + c.diameter);
    const float flow = std::stof(c.flow);
    bool found = false;
    for (const ductsys::ChartXY& p : line.points) {
        if (p.flow != flow) continue;
        found = true;
        EXPECT_EQ(static_cast<float>(p.rm), calculatorRm(c.diameter, c.flow, c.formula));
    }
    EXPECT_TRUE(found) << "the line has no point at " << c.flow << " m3/h";
}

INSTANTIATE_TEST_SUITE_P(Chart, DiameterLines,
                         testing::Values(OnLine{"200", "1000", 1}, OnLine{"200", "1000", 2},
                                         OnLine{"100", "100", 1}, OnLine{"500", "5000", 1},
                                         OnLine{"1000", "20000", 1}, OnLine{"2000", "100000", 1}),
                         [](const auto& info) {
                             return std::string("D") + info.param.diameter + "At" +
                                    info.param.flow + "Formula" +
                                    std::to_string(info.param.formula);
                         });

TEST(DiameterLines, OneForEachStandardDiameterRisingWithTheAirVolume) {
    const ductsys::ChartFrame frame = ductsys::makeFrame({});
    std::size_t count = 0;
    for (const ChartLine& line : frame.lines) {
        if (line.kind != ChartLine::Kind::diameter) continue;
        EXPECT_EQ(line.valueText, calc::standardDiameters[count]);
        ++count;
        ASSERT_GT(line.points.size(), 30u);
        for (std::size_t i = 1; i < line.points.size(); ++i) {
            EXPECT_GT(line.points[i].flow, line.points[i - 1].flow);
            EXPECT_GT(line.points[i].rm, line.points[i - 1].rm);
        }
    }
    EXPECT_EQ(count, calc::standardDiameters.size());
}

// On a line of constant velocity, each point is a duct that carries its air
// volume at that velocity: the recalculation's velocity for the diameter
// that the air volume and velocity give.
TEST(VelocityLines, CarryTheirVelocityAtEveryPoint) {
    const ductsys::ChartFrame frame = ductsys::makeFrame({});
    std::vector<double> velocities;
    for (const ChartLine& line : frame.lines) {
        if (line.kind != ChartLine::Kind::velocity) continue;
        velocities.push_back(line.value);
        ASSERT_GT(line.points.size(), 30u);
        for (const ductsys::ChartXY& p : line.points) {
            const double d = std::sqrt(4 * p.flow / (3600 * M_PI * line.value));
            EXPECT_NEAR(p.flow / 3600 / (M_PI * d * d / 4), line.value, 1e-9 * line.value);
        }
        // Along a velocity line a larger duct loses less per metre.
        EXPECT_LT(line.points.back().rm, line.points.front().rm);
    }
    EXPECT_EQ(velocities, (std::vector<double>{2, 3, 4, 5, 6, 8, 10, 12, 15, 20}));
}

TEST(Axes, RunInOneTwoFiveStepsBetweenDecades) {
    const ductsys::ChartFrame frame = ductsys::makeFrame({});
    std::vector<std::string> texts;
    std::vector<bool> decades;
    for (const ductsys::ChartTick& t : frame.rm.ticks) {
        texts.push_back(t.text);
        decades.push_back(t.decade);
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"0.1", "0.2", "0.5", "1", "2", "5", "10", "20", "50",
                                               "100"}));
    EXPECT_EQ(decades, (std::vector<bool>{true, false, false, true, false, false, true, false,
                                          false, true}));
    EXPECT_EQ(frame.flow.low, 10);
    EXPECT_EQ(frame.flow.high, 100000);
    EXPECT_EQ(frame.flow.ticks.back().text, "100000");
}

struct RangeCase {
    const char* name;
    float flow, rm;
    ductsys::ChartRange range;
};

void PrintTo(const RangeCase& c, std::ostream* os) { *os << c.name; }

class Ranges : public testing::TestWithParam<RangeCase> {};

TEST_P(Ranges, WidenByWholeDecadesToHoldEveryPoint) {
    const RangeCase& c = GetParam();
    ChartPoint p;
    p.flow = c.flow;
    p.rm = c.rm;
    const std::vector<ChartPoint> points{p};
    const ductsys::ChartRange r = ductsys::rangeFor(points);
    EXPECT_EQ(r, c.range) << r.flowLow << " " << r.flowHigh << " " << r.rmLow << " " << r.rmHigh;
}

INSTANTIATE_TEST_SUITE_P(
    Chart, Ranges,
    testing::Values(RangeCase{"InsideTheDefault", 1000, 1, {1, 5, -1, 2}},
                    RangeCase{"ATinyFlowAndRm", 3, 0.05f, {0, 5, -2, 2}},
                    RangeCase{"AHugeFlow", 250000, 300, {1, 6, -1, 3}},
                    RangeCase{"ExactlyOnTheTopDecade", 100000, 100, {1, 6, -1, 3}},
                    RangeCase{"FarBeyondEveryLimit", 1e20f, 1e-20f, {1, 9, -4, 2}},
                    RangeCase{"NoRmIsNoPoint", 1e7f, 0, {1, 5, -1, 2}}),
    [](const auto& info) { return std::string(info.param.name); });

struct BandCase {
    const char* name;
    double low, high;
    bool valid;
};

void PrintTo(const BandCase& c, std::ostream* os) { *os << c.name; }

class Bands : public testing::TestWithParam<BandCase> {};

TEST_P(Bands, ArePositiveFiniteAndInOrder) {
    EXPECT_EQ(ductsys::validBand(GetParam().low, GetParam().high), GetParam().valid);
}

INSTANTIATE_TEST_SUITE_P(
    Chart, Bands,
    testing::Values(BandCase{"TheDefault", 0.8, 1.5, true}, BandCase{"Reversed", 1.5, 0.8, false},
                    BandCase{"Empty", 1, 1, false}, BandCase{"FromZero", 0, 1, false},
                    BandCase{"Negative", -1, 1, false}, BandCase{"Infinite", 1, INFINITY, false},
                    BandCase{"NotANumber", NAN, 1, false}),
    [](const auto& info) { return std::string(info.param.name); });

// F-A (Σ, φ400) feeds A-B (3000, φ250, K 0.15: on the chart's basis) and A-C
// (800, φ200, thin steel K 0.16: off it); A-D has no air volume and no
// point. The index run goes through the longer, faster A-B.
ductsys::SystemResult smallSystem() {
    using T = ductsys::SegmentTexts;
    const std::vector<T> rows{
        T{.segment = "F-A", .size = "400", .length = "5", .material = "custom", .k = "0.15"},
        T{.segment = "A-B",
          .flow = "3000",
          .size = "250",
          .length = "30",
          .material = "custom",
          .k = "0.15"},
        T{.segment = "A-C", .flow = "800", .size = "200", .length = "5"},
        T{.segment = "A-D", .flow = "0", .size = "200", .length = "5"},
    };
    // On the chart's own basis, 公式一.
    ductsys::Options options;
    options.formula = 1;
    return ductsys::computeSystem(rows, options);
}

TEST(SystemPoints, OnePerSegmentWithItsOwnFiguresAndMarks) {
    const ductsys::SystemResult r = smallSystem();
    ChartOptions options;
    options.preset = ductsys::findVelocityPreset("public-main");  // at most 8 m/s
    std::vector<std::uint32_t> unplaced;
    const std::vector<ChartPoint> points = ductsys::systemPoints(r, {}, options, &unplaced);
    ASSERT_EQ(points.size(), 3u);
    EXPECT_EQ(unplaced, std::vector<std::uint32_t>{3});
    for (const ChartPoint& p : points) {
        const ductsys::Segment& s = r.segments[p.segment];
        EXPECT_EQ(p.flow, s.flow);
        EXPECT_EQ(p.rm, s.rm);
        EXPECT_EQ(p.flowText(), calc::bareNumberText(s.flow));
    }
    EXPECT_EQ(points[0].name, "F-A");
    EXPECT_FALSE(points[0].ownBasis);
    EXPECT_FALSE(points[1].ownBasis);
    EXPECT_TRUE(points[2].ownBasis) << "thin steel's K is 0.16 mm";
    EXPECT_TRUE(points[0].indexRun);
    EXPECT_TRUE(points[1].indexRun);
    EXPECT_FALSE(points[2].indexRun);
    EXPECT_TRUE(points[0].tooFast);   // 3800 m3/h in φ400: 8.4 m/s
    EXPECT_TRUE(points[1].tooFast);   // 3000 m3/h in φ250: 17 m/s
    EXPECT_FALSE(points[2].tooFast);  // 800 m3/h in φ200: 7.1 m/s
}

TEST(SystemPoints, ComputedInOtherAirAreAllOnTheirOwnBasis) {
    const ductsys::SystemResult r = smallSystem();
    calc::AirState warm;
    warm.density = 1.1;
    for (const ChartPoint& p : ductsys::systemPoints(r, warm, {})) EXPECT_TRUE(p.ownBasis);
}

TEST(Legend, SaysWhichPointsStandApart) {
    const ductsys::SystemResult r = smallSystem();
    ChartOptions options;
    options.band = {1, 2};
    std::vector<std::uint32_t> unplaced;
    auto points = ductsys::systemPoints(r, {}, options, &unplaced);
    const Chart chart = ductsys::makeChart(options, std::move(points), unplaced);
    std::string legend;
    for (const std::string& line : chart.legend) legend += line + "\n";
    EXPECT_NE(legend.find("K = 0.15 mm"), std::string::npos) << legend;
    EXPECT_NE(legend.find("经济比摩阻 1–2 Pa/m"), std::string::npos) << legend;
    EXPECT_NE(legend.find("空心点: 1 点的 K、空气或公式与本图不同"), std::string::npos) << legend;
    EXPECT_NE(legend.find("1 段没有大于 0 的风量或比摩阻"), std::string::npos) << legend;
}

TEST(Frames, AreKeptWhileOnlyPointsMoveAndRemadeWhenTheRangeGrows) {
    ChartOptions options;
    ChartPoint p;
    p.flow = 1000;
    p.rm = 1;
    // A frame not made yet is no frame to keep.
    const ductsys::ChartFrame none;
    EXPECT_EQ(ductsys::makeChart(options, {p}, {}, &none).frame.lines.size(), 36u);
    Chart first = ductsys::makeChart(options, {p});
    first.frame.lines.front().label = "kept";
    p.flow = 2000;
    const Chart moved = ductsys::makeChart(options, {p}, {}, &first.frame);
    EXPECT_EQ(moved.frame.lines.front().label, "kept");
    p.flow = 500000;
    const Chart wider = ductsys::makeChart(options, {p}, {}, &first.frame);
    EXPECT_EQ(wider.frame.lines.front().label, "φ100");
    EXPECT_EQ(wider.frame.flow.high, 1e6);
    options.basis.roughness = 0.5f;
    p.flow = 1000;
    const Chart rougher = ductsys::makeChart(options, {p}, {}, &first.frame);
    EXPECT_EQ(rougher.frame.lines.front().label, "φ100");
}

struct DuctCase {
    const char* name;
    calc::Shape shape;
    const char* size;  // diameter or 长 side
    std::vector<std::string> sizes;
};

void PrintTo(const DuctCase& c, std::ostream* os) { *os << c.name; }

class DuctPoints : public testing::TestWithParam<DuctCase> {};

TEST_P(DuctPoints, AreTheDuctAndTheStandardSizesBesideIt) {
    const DuctCase& c = GetParam();
    calc::DuctInput in;
    in.flow = "1000";
    in.shape = c.shape;
    in.diameter = c.size;
    in.sideA = c.size;
    in.sideB = "250";
    in.roughness = 0.15f;
    const std::vector<ChartPoint> points = ductsys::ductPoints(in, {});
    std::vector<std::string> sizes;
    for (const ChartPoint& p : points) {
        sizes.push_back(p.size);
        EXPECT_FALSE(p.ownBasis);
        EXPECT_EQ(p.flow, 1000);
    }
    EXPECT_EQ(sizes, c.sizes);
    if (!points.empty()) {
        EXPECT_EQ(points[0].kind, ChartPoint::Kind::duct);
        for (std::size_t i = 1; i < points.size(); ++i)
            EXPECT_EQ(points[i].kind, ChartPoint::Kind::neighbour);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Chart, DuctPoints,
    testing::Values(
        DuctCase{"AStandardDiameter", calc::Shape::circular, "200", {"φ200", "φ180", "φ220"}},
        DuctCase{"ATypedDiameter", calc::Shape::circular, "210", {"φ210", "φ200", "φ220"}},
        DuctCase{"TypedWithBlanks", calc::Shape::circular, " 250 ", {"φ250", "φ220", "φ280"}},
        DuctCase{"TheSmallest", calc::Shape::circular, "100", {"φ100", "φ120"}},
        DuctCase{"BeyondTheLargest", calc::Shape::circular, "2500", {"φ2500", "φ2000"}},
        DuctCase{"ARectangle", calc::Shape::rectangular, "500", {"500*250", "400*250", "630*250"}},
        DuctCase{"NoSection", calc::Shape::circular, "0", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DuctPoints, OfAnotherRoughnessStandApart) {
    calc::DuctInput in;
    in.flow = "1000";
    in.diameter = "200";
    in.roughness = 0.16f;
    for (const ChartPoint& p : ductsys::ductPoints(in, {})) EXPECT_TRUE(p.ownBasis);
}

TEST(Svg, EscapesNamesAndWritesNoLocaleDependentNumbers) {
    ChartPoint p;
    p.name = "a<b & \"c\"";
    p.flow = 1000;
    p.rm = 1.5f;
    const std::string svg = ductsys::chartSvg(ductsys::makeChart({}, {p}));
    EXPECT_NE(svg.find("data-segment=\"a&lt;b &amp; &quot;c&quot;\""), std::string::npos);
    EXPECT_NE(svg.find("data-flow=\"1000\" data-rm=\"1.5\""), std::string::npos);
    EXPECT_EQ(svg.find("nan"), std::string::npos);
    EXPECT_EQ(svg.find("inf"), std::string::npos);
}

}  // namespace
