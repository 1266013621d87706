// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/chart_svg.h"

#include <array>
#include <charconv>
#include <cmath>

#include "calc/ascii.h"
#include "calc/number_text.h"

namespace ductsys {

namespace {

// A coordinate with two decimals, whatever the locale.
std::string coordinate(double x) {
    std::array<char, 32> buffer{};
    const auto end =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), x, std::chars_format::fixed, 2)
            .ptr;
    return std::string(buffer.data(), end);
}

std::string attribute(std::string_view name, std::string_view value) {
    return " " + std::string(name) + "=\"" + calc::xmlEscaped(value) + "\"";
}

std::string attribute(std::string_view name, double value) {
    return attribute(name, coordinate(value));
}

std::string_view lineClass(ChartLine::Kind kind) {
    switch (kind) {
        case ChartLine::Kind::diameter:
            return "diameter";
        case ChartLine::Kind::velocity:
            return "velocity";
        case ChartLine::Kind::ceiling:
            return "ceiling";
        case ChartLine::Kind::recommended:
            return "recommended";
    }
    return "";
}

}  // namespace

std::string chartSvg(const Chart& chart, double width, double height) {
    const ChartFrame& f = chart.frame;
    const ChartLayout at(chart, width, height);
    std::string svg;
    svg.reserve(64 * 1024 + chart.points.size() * 256);
    svg += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    svg += "<svg xmlns=\"http://www.w3.org/2000/svg\"" + attribute("width", width) +
           attribute("height", height) + " viewBox=\"0 0 " + coordinate(width) + " " +
           coordinate(height) + "\" font-family=\"sans-serif\" font-size=\"11\">\n";
    svg += "<title>摩擦阻力线算图</title>\n";
    svg += "<defs><clipPath id=\"plot\"><rect" + attribute("x", at.left()) +
           attribute("y", at.top()) + attribute("width", at.right() - at.left()) +
           attribute("height", at.bottom() - at.top()) + "/></clipPath></defs>\n";
    svg += "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";

    // The economic band.
    const double bandTop = at.y(std::min(f.options.band.high, f.rm.high));
    const double bandBottom = at.y(std::max(f.options.band.low, f.rm.low));
    if (bandBottom > bandTop)
        svg += "<rect class=\"band\"" +
               attribute("data-rm-low", calc::plainDecimalText(f.options.band.low)) +
               attribute("data-rm-high", calc::plainDecimalText(f.options.band.high)) +
               attribute("x", at.left()) + attribute("y", bandTop) +
               attribute("width", at.right() - at.left()) +
               attribute("height", bandBottom - bandTop) + " fill=\"#dff0d8\"/>\n";

    // The grid and the ticks of both axes.
    svg += "<g class=\"ticks\" stroke=\"#bbb\" stroke-width=\"0.5\">\n";
    for (const ChartTick& t : f.flow.ticks) {
        const double x = at.x(t.value);
        svg += "<line class=\"tick\" data-axis=\"flow\"" + attribute("data-value", t.text) +
               attribute("x1", x) + attribute("y1", at.top()) + attribute("x2", x) +
               attribute("y2", at.bottom() + 4) + (t.decade ? " stroke=\"#888\"" : "") + "/>\n";
        svg += "<text" + attribute("x", x) + attribute("y", at.bottom() + 16) +
               " text-anchor=\"middle\" stroke=\"none\">" + calc::xmlEscaped(t.text) + "</text>\n";
    }
    for (const ChartTick& t : f.rm.ticks) {
        const double y = at.y(t.value);
        svg += "<line class=\"tick\" data-axis=\"rm\"" + attribute("data-value", t.text) +
               attribute("x1", at.left() - 4) + attribute("y1", y) + attribute("x2", at.right()) +
               attribute("y2", y) + (t.decade ? " stroke=\"#888\"" : "") + "/>\n";
        svg += "<text" + attribute("x", at.left() - 6) + attribute("y", y + 4) +
               " text-anchor=\"end\" stroke=\"none\">" + calc::xmlEscaped(t.text) + "</text>\n";
    }
    svg += "</g>\n";
    svg += "<text" + attribute("x", (at.left() + at.right()) / 2) +
           attribute("y", at.bottom() + 34) + " text-anchor=\"middle\">风量 L (m³/h)</text>\n";
    svg += "<text" + attribute("x", at.left()) + attribute("y", at.top() - 10) +
           " text-anchor=\"middle\">Rm (Pa/m)</text>\n";

    // The lines, clipped to the plot.
    svg += "<g class=\"lines\" clip-path=\"url(#plot)\" fill=\"none\">\n";
    for (const ChartLine& line : f.lines) {
        if (line.points.size() < 2) continue;
        const bool diameter = line.kind == ChartLine::Kind::diameter;
        svg += "<polyline class=\"" + std::string(lineClass(line.kind)) + "\"" +
               attribute(diameter ? "data-diameter" : "data-velocity", line.valueText);
        switch (line.kind) {
            case ChartLine::Kind::diameter:
                svg += " stroke=\"#1f5fa8\" stroke-width=\"0.8\"";
                break;
            case ChartLine::Kind::velocity:
                svg += " stroke=\"#c07000\" stroke-width=\"0.6\" stroke-dasharray=\"4 3\"";
                break;
            case ChartLine::Kind::ceiling:
                svg += " stroke=\"#d00000\" stroke-width=\"1.6\"";
                break;
            case ChartLine::Kind::recommended:
                svg += " stroke=\"#2e8b57\" stroke-width=\"1.2\" stroke-dasharray=\"6 3\"";
                break;
        }
        svg += " points=\"";
        for (std::size_t i = 0; i < line.points.size(); ++i) {
            if (i) svg += ' ';
            svg +=
                coordinate(at.x(line.points[i].flow)) + "," + coordinate(at.y(line.points[i].rm));
        }
        svg += "\"/>\n";
    }
    svg += "</g>\n";

    // Each line's label where it leaves the plot: a diameter line at its
    // upper end, a velocity line at its lower end.
    svg += "<g class=\"line-labels\" font-size=\"9\">\n";
    for (const ChartLine& line : f.lines) {
        double x = 0, y = 0;
        bool end = false;
        if (!at.labelPlace(line, x, y, end)) continue;
        svg +=
            "<text" + attribute("x", x) + attribute("y", y) + (end ? " text-anchor=\"end\"" : "") +
            (line.kind == ChartLine::Kind::diameter ? " fill=\"#1f5fa8\"" : " fill=\"#c07000\"") +
            ">" + calc::xmlEscaped(line.label) + "</text>\n";
    }
    svg += "</g>\n";

    // The points: faint neighbours first, then the segments, the index run
    // last so that it stays on top.
    svg += "<g class=\"points\" clip-path=\"url(#plot)\">\n";
    for (int pass = 0; pass < 2; ++pass) {
        for (const ChartPoint& p : chart.points) {
            if ((p.indexRun || p.kind == ChartPoint::Kind::duct) != (pass == 1)) continue;
            std::string cls = "point";
            if (p.kind == ChartPoint::Kind::duct) cls += " duct";
            if (p.kind == ChartPoint::Kind::neighbour) cls += " neighbour";
            if (p.indexRun) cls += " index";
            if (p.ownBasis) cls += " own-basis";
            if (p.tooFast) cls += " too-fast";
            const std::string fill = p.tooFast                                        ? "#d00000"
                                     : p.indexRun || p.kind == ChartPoint::Kind::duct ? "#000"
                                     : p.kind == ChartPoint::Kind::neighbour          ? "#bbb"
                                                                                      : "#1f5fa8";
            svg += "<circle" + attribute("class", cls);
            if (p.kind == ChartPoint::Kind::segment) svg += attribute("data-segment", p.name);
            svg +=
                attribute("data-size", p.size) + attribute("data-flow", p.flowText()) +
                attribute("data-rm", p.rmText()) + attribute("data-velocity", p.velocityText()) +
                attribute("cx", at.x(p.flow)) + attribute("cy", at.y(p.rm)) +
                attribute("r", p.indexRun || p.kind == ChartPoint::Kind::duct ? 4.5 : 3.5) +
                attribute("fill", p.ownBasis ? "white" : fill) + attribute("stroke", fill) +
                "><title>" +
                calc::xmlEscaped(p.name + (p.size.empty() || p.size == p.name ? "" : " " + p.size) +
                                 ": " + p.flowText() + " m³/h, Rm " + p.rmText() + " Pa/m, v " +
                                 p.velocityText() + " m/s") +
                "</title></circle>\n";
        }
    }
    svg += "</g>\n";

    svg += "<g class=\"legend\">\n";
    double y = at.legendY();
    for (const std::string& line : chart.legend) {
        svg += "<text" + attribute("x", at.left()) + attribute("y", y) + ">" +
               calc::xmlEscaped(line) + "</text>\n";
        y += ChartLayout::kLegendLine;
    }
    svg += "</g>\n</svg>\n";
    return svg;
}

}  // namespace ductsys
