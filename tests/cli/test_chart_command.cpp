// SPDX-License-Identifier: GPL-3.0-or-later
// ductcalc-cli chart, run in-process: the SVG read back (every segment a
// point with the system command's figures, placed on the log axes by its
// ticks), and the options' errors and exit statuses.

#include <gtest/gtest.h>

#include <unistd.h>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "cli/commands.h"

namespace {

struct Outcome {
    int status;
    std::string out, err;
};

Outcome run(std::vector<std::string> args) {
    args.insert(args.begin(), "ductcalc-cli");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    std::ostringstream out, err;
    const int status = cli::runMain(static_cast<int>(argv.size()), argv.data(), out, err);
    return {status, out.str(), err.str()};
}

// A system with a branch, a rectangular duct, a custom K on the chart's
// basis, a segment far beyond the default axes, and names that need escaping.
constexpr const char* kSystem =
    "segment,flow,size,length,zeta,material,k\n"
    "F-A,,630,10,0.5,custom,0.15\n"
    "A-B,3000,500x320,20,0.3,,\n"
    "A-C,1500,250,8,0.2,,\n"
    "C-x<y&z,200000,250,1,0,,\n";

class ChartCommand : public testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("chart_command_" + std::to_string(::getpid()) + "_" +
                testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string file(const std::string& name, const std::string& text) {
        const std::string path = (dir_ / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    std::string read(const std::string& name) {
        std::ifstream in(dir_ / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    std::string path(const std::string& name) { return (dir_ / name).string(); }
    std::filesystem::path dir_;
};

std::map<std::string, std::string> attributes(const std::string& element) {
    std::map<std::string, std::string> a;
    static const std::regex attribute(R"re(([a-z0-9-]+)="([^"]*)")re");
    for (auto it = std::sregex_iterator(element.begin(), element.end(), attribute);
         it != std::sregex_iterator(); ++it)
        a[(*it)[1]] = (*it)[2];
    return a;
}

std::vector<std::map<std::string, std::string>> elements(const std::string& svg,
                                                         const std::string& start) {
    std::vector<std::map<std::string, std::string>> found;
    for (std::size_t at = svg.find(start); at != std::string::npos; at = svg.find(start, at + 1))
        found.push_back(attributes(svg.substr(at, svg.find('>', at) - at)));
    return found;
}

std::string unescaped(std::string s) {
    for (auto [from, to] :
         {std::pair{"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&amp;", "&"}})
        for (std::size_t at = s.find(from); at != std::string::npos; at = s.find(from, at))
            s.replace(at, std::strlen(from), to);
    return s;
}

// Where a value lies on an axis whose ticks are given: the log position
// between the two ticks around it.
double logPosition(const std::vector<std::pair<double, double>>& ticks, double value) {
    for (std::size_t i = 1; i < ticks.size(); ++i) {
        const auto [v0, p0] = ticks[i - 1];
        const auto [v1, p1] = ticks[i];
        if (value >= v0 && value <= v1)
            return p0 + (std::log10(value) - std::log10(v0)) / (std::log10(v1) - std::log10(v0)) *
                            (p1 - p0);
    }
    ADD_FAILURE() << value << " lies beyond the axis";
    return 0;
}

TEST_F(ChartCommand, EverySegmentIsAPointWithTheSystemsFiguresOnTheLogAxes) {
    const std::string csv = file("system.csv", kSystem);
    const Outcome chart = run({"chart", csv, "-o", path("chart.svg")});
    ASSERT_EQ(chart.status, 0) << chart.err;
    EXPECT_EQ(chart.out, "");
    const std::string svg = read("chart.svg");

    // The figures as the system command writes them with the chart's formula.
    const Outcome table = run({"system", csv, "--formula", "1", "--format", "csv"});
    ASSERT_EQ(table.status, 0) << table.err;
    std::map<std::string, std::pair<std::string, std::string>> figures;  // flow, rm
    std::istringstream lines(table.out);
    std::string line;
    std::getline(lines, line);
    std::vector<std::string> header;
    for (std::istringstream h(line); std::getline(h, line, ',');) header.push_back(line);
    const auto column = [&](const std::string& name) {
        return std::find(header.begin(), header.end(), name) - header.begin();
    };
    while (std::getline(lines, line)) {
        std::vector<std::string> fields;
        for (std::istringstream f(line); std::getline(f, line, ',');) fields.push_back(line);
        const std::string name = fields[0];
        figures[name] = {fields[static_cast<std::size_t>(column("flow"))],
                         fields[static_cast<std::size_t>(column("rm"))]};
    }
    ASSERT_EQ(figures.size(), 4u);

    std::vector<std::pair<double, double>> flowTicks, rmTicks;
    for (const auto& t : elements(svg, "<line class=\"tick\"")) {
        if (t.at("data-axis") == "flow")
            flowTicks.emplace_back(std::stod(t.at("data-value")), std::stod(t.at("x1")));
        else
            rmTicks.emplace_back(std::stod(t.at("data-value")), std::stod(t.at("y1")));
    }
    // The far segment widens the air-volume axis to 1e6 m3/h.
    ASSERT_FALSE(flowTicks.empty());
    EXPECT_EQ(flowTicks.back().first, 1e6);

    std::size_t points = 0;
    for (const auto& p : elements(svg, "<circle")) {
        ++points;
        const std::string name = unescaped(p.at("data-segment"));
        ASSERT_TRUE(figures.count(name)) << name;
        EXPECT_EQ(p.at("data-flow"), figures[name].first) << name;
        EXPECT_EQ(p.at("data-rm"), figures[name].second) << name;
        EXPECT_NEAR(std::stod(p.at("cx")), logPosition(flowTicks, std::stod(p.at("data-flow"))),
                    0.02)
            << name;
        EXPECT_NEAR(std::stod(p.at("cy")), logPosition(rmTicks, std::stod(p.at("data-rm"))), 0.02)
            << name;
        // F-A is on the chart's basis; the thin-steel rows are not.
        EXPECT_EQ(p.at("class").find("own-basis") != std::string::npos, name != "F-A") << name;
    }
    EXPECT_EQ(points, figures.size());
    EXPECT_NE(svg.find("class=\"point index\""), std::string::npos);

    std::size_t diameters = 0, velocities = 0;
    for (const auto& l : elements(svg, "<polyline")) {
        diameters += l.count("data-diameter");
        velocities += l.count("data-velocity");
    }
    EXPECT_EQ(diameters, 26u);
    EXPECT_EQ(velocities, 10u);
}

TEST_F(ChartCommand, APresetDrawsItsCeilingAndMarksTheFasterPoints) {
    const std::string csv = file("system.csv", kSystem);
    const Outcome chart = run({"chart", csv, "--preset", "public-main"});
    ASSERT_EQ(chart.status, 0) << chart.err;
    bool ceiling = false;
    for (const auto& l : elements(chart.out, "<polyline class=\"ceiling\""))
        ceiling = ceiling || l.at("data-velocity") == "8";
    EXPECT_TRUE(ceiling);
    for (const auto& p : elements(chart.out, "<circle"))
        EXPECT_EQ(p.at("class").find("too-fast") != std::string::npos,
                  std::stod(p.at("data-velocity")) > 8)
            << p.at("data-segment");
}

struct Refusal {
    const char* name;
    std::vector<std::string> args;
    int status;
    const char* says;
};
void PrintTo(const Refusal& r, std::ostream* os) { *os << r.name; }

class ChartRefusals : public ChartCommand, public testing::WithParamInterface<Refusal> {};

TEST_P(ChartRefusals, SayWhyWithTheirStatus) {
    const Refusal& r = GetParam();
    file("system.csv", kSystem);
    file("noflow.csv", "segment,flow,size,length\nF-A,0,200,5\nA-B,1000,200,5\n");
    std::vector<std::string> args{"chart"};
    for (const std::string& a : r.args) {
        if (a.ends_with(".csv") || a.ends_with(".svg"))
            args.push_back(a.starts_with("/") ? a : path(a));
        else
            args.push_back(a);
    }
    const Outcome o = run(args);
    EXPECT_EQ(o.status, r.status) << o.err;
    EXPECT_NE(o.err.find(r.says), std::string::npos) << o.err;
    if (r.status == 2) {
        EXPECT_EQ(o.out, "");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Chart, ChartRefusals,
    testing::Values(Refusal{"ABandOutOfOrder", {"--band", "1.5,0.8"}, 2, "is not a band"},
                    Refusal{"ABandOfOneNumber", {"--band", "1"}, 2, "is not a band"},
                    Refusal{"ABandWithAComma", {"--band", "0,8,1,5"}, 2, "is not a band"},
                    Refusal{"AKNotANumber", {"--k", "abc"}, 2, "--k"},
                    Refusal{"AnUnknownMaterial", {"--material", "gold"}, 2, "is not one of"},
                    Refusal{"AThirdFormula", {"--formula", "3"}, 2, "--formula must be 1 or 2"},
                    Refusal{"AnUnknownPreset", {"--preset", "nope"}, 2, "is not a preset"},
                    Refusal{"AMissingFile", {"missing.csv"}, 2, "cannot open"},
                    Refusal{"AFolderToWriteInto",
                            {"system.csv", "-o", "/nonexistent/x.svg"},
                            2,
                            "cannot write"},
                    Refusal{"ASegmentWithoutAirVolume", {"noflow.csv"}, 1, "F-A"},
                    Refusal{"AMisspelledOption", {"--bnad", "1,2"}, 2, "did you mean --band"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ChartCommand, WithoutAFileDrawsTheChartAlone) {
    const Outcome o = run({"chart", "--k", "0.5", "--band", "1,2"});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out.find("<circle"), std::string::npos);
    EXPECT_NE(o.out.find("K = 0.5 mm"), std::string::npos);
    EXPECT_NE(o.out.find("data-rm-low=\"1\" data-rm-high=\"2\""), std::string::npos);
}

}  // namespace
