// SPDX-License-Identifier: GPL-3.0-or-later
// calc and size, run in-process: the worked examples in every format, the
// exit statuses, and a size selection checked by hand.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/messages.h"

namespace {

struct Outcome {
    int status;
    std::string out, err;
};

Outcome calcRun(cli::CalcOptions o) {
    std::ostringstream out, err;
    const int status = cli::runCalc(o, out, err);
    return {status, out.str(), err.str()};
}

cli::CalcOptions example(const char* flow, const char* diameter, const char* sides, int formula) {
    cli::CalcOptions o;
    o.flow = flow;
    if (diameter) o.diameter = diameter;
    if (sides) o.sides = sides;
    o.formula = formula;
    return o;
}

// The worked examples: the window's label texts and the stored values.
struct Worked {
    const char* name;
    const char* flow;
    const char* diameter;
    const char* sides;
    int formula;
    const char* size;      // label text
    const char* eq;        // label text
    const char* velocity;  // label text
    const char* reynolds;  // label text
    const char* rm;        // label text
    const char* csvRow;
};
void PrintTo(const Worked& w, std::ostream* os) { *os << w.name; }

const Worked kWorked[] = {
    {"round_200_formula_one", "1000", "200", nullptr, 1, "φ 200", " 0.2 m", " 8.841949 m/s",
     " 117423", " 4.376865 Pa/m",
     "0.16,1000,φ200,0.2,8.841949,117423,4.376865,0.01859947,47.06439"},
    {"round_200_formula_two", "1000", "200", nullptr, 2, "φ 200", " 0.2 m", " 8.841949 m/s",
     " 117423", " 5.054171 Pa/m", nullptr},
    {"rectangle_500x320_formula_one", "5000", nullptr, "500x320", 1, " 500 * 320", " 0.3902439 m",
     " 8.680555 m/s", " 224935.8", " 1.856349 Pa/m",
     "0.16,5000,500*320,0.3902439,8.680555,224935.8,1.856349,0.01596997,45.36193"},
    {"rectangle_500x320_formula_two", "5000", nullptr, "500×320", 2, " 500 * 320", " 0.3902439 m",
     " 8.680555 m/s", " 224935.8", " 2.128793 Pa/m", nullptr},
};

class WorkedExamples : public testing::TestWithParam<Worked> {};

TEST_P(WorkedExamples, JsonHoldsLabelTextsAndStoredSingles) {
    const Worked& w = GetParam();
    cli::CalcOptions o = example(w.flow, w.diameter, w.sides, w.formula);
    o.format = cli::Format::json;
    const Outcome r = calcRun(o);
    ASSERT_EQ(r.status, cli::kSuccess) << r.err;
    EXPECT_EQ(r.err, "");
    const nlohmann::json j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["roughness"]["text"], " 0.16");
    EXPECT_EQ(j["flow"]["text"], std::string(" ") + w.flow + " m3/h");
    EXPECT_EQ(j["size"]["text"], w.size);
    EXPECT_EQ(j["equivalent_diameter"]["text"], w.eq);
    EXPECT_EQ(j["velocity"]["text"], w.velocity);
    EXPECT_EQ(j["reynolds"]["text"], w.reynolds);
    EXPECT_EQ(j["rm"]["text"], w.rm);
    EXPECT_FALSE(j.contains("friction_loss"));  // Rm·l, which one duct has no length for
    // Every text is the value to seven digits.
    for (const char* key : {"roughness", "flow", "equivalent_diameter", "velocity", "reynolds",
                            "rm", "lambda", "velocity_pressure"}) {
        ASSERT_TRUE(j[key]["value"].is_number()) << key;
        const float value = j[key]["value"].get<float>();
        std::string text = j[key]["text"];
        EXPECT_NEAR(std::stod(text), value, 5e-7 * std::fabs(value)) << key;
    }
    // The velocity pressure is 1.204 v v / 2 of the stored velocity, in double.
    const float v = j["velocity"]["value"].get<float>();
    EXPECT_EQ(j["velocity_pressure"]["value"].get<float>(), static_cast<float>(1.204 * v * v / 2));
    EXPECT_EQ(j["size"]["value"].is_null(), w.sides != nullptr);
}

TEST_P(WorkedExamples, TextShowsEveryLabel) {
    const Worked& w = GetParam();
    const Outcome r = calcRun(example(w.flow, w.diameter, w.sides, w.formula));
    ASSERT_EQ(r.status, cli::kSuccess) << r.err;
    for (const char* label : {w.size, w.eq, w.velocity, w.reynolds, w.rm})
        EXPECT_NE(r.out.find(label), std::string::npos) << label << " in\n" << r.out;
}

// CSV: the header, then the label texts without their leading blank and
// unit, the size as a table reads it.
TEST_P(WorkedExamples, CsvIsHeaderAndOneRowOfLabelNumbers) {
    const Worked& w = GetParam();
    cli::CalcOptions o = example(w.flow, w.diameter, w.sides, w.formula);
    o.format = cli::Format::csv;
    const Outcome r = calcRun(o);
    ASSERT_EQ(r.status, cli::kSuccess) << r.err;
    const std::string header =
        "roughness,flow,size,equivalent_diameter,velocity,reynolds,rm,lambda,"
        "velocity_pressure\n";
    ASSERT_EQ(r.out.substr(0, header.size()), header);
    if (w.csvRow) {
        EXPECT_EQ(r.out.substr(header.size()), std::string(w.csvRow) + "\n");
    }
    auto number = [](std::string label) {
        label.erase(0, 1);
        return label.substr(0, label.find(' '));
    };
    const std::string row = r.out.substr(header.size());
    const std::string prefix = "0.16," + std::string(w.flow) + "," +
                               (w.sides ? std::string("500*320") : std::string("φ200")) + "," +
                               number(w.eq) + "," + number(w.velocity) + "," + number(w.reynolds) +
                               "," + number(w.rm) + ",";
    EXPECT_EQ(row.substr(0, prefix.size()), prefix);
}

INSTANTIATE_TEST_SUITE_P(Examples, WorkedExamples, testing::ValuesIn(kWorked),
                         [](const auto& info) { return std::string(info.param.name); });

// Inputs the window accepts but cannot compute: the results it could not
// produce are null in JSON, empty in CSV, and the status says so.
struct Failing {
    const char* name;
    const char* flow;
    const char* diameter;
    const char* sides;
    const char* nullKeys;  // space-separated
    const char* message;
};
void PrintTo(const Failing& f, std::ostream* os) { *os << f.name; }
class FailingInputs : public testing::TestWithParam<Failing> {};
TEST_P(FailingInputs, NullsAndStatusOne) {
    const Failing& f = GetParam();
    cli::CalcOptions o = example(f.flow, f.diameter, f.sides, 1);
    o.format = cli::Format::json;
    const Outcome r = calcRun(o);
    EXPECT_EQ(r.status, cli::kRowsFailed);
    EXPECT_NE(r.err.find(f.message), std::string::npos) << r.err;
    EXPECT_EQ(r.out.find("nan"), std::string::npos);
    EXPECT_EQ(r.out.find("inf"), std::string::npos);
    const nlohmann::json j = nlohmann::json::parse(r.out);
    std::istringstream keys(f.nullKeys);
    for (std::string key; keys >> key;) EXPECT_TRUE(j[key]["value"].is_null()) << key;
}
INSTANTIATE_TEST_SUITE_P(
    Inputs, FailingInputs,
    testing::Values(Failing{"flow_beyond_single", "1e40", "200", nullptr,
                            "flow velocity reynolds rm lambda velocity_pressure",
                            "flow \"1e40\" is beyond the range"},
                    Failing{"negative_typed_diameter", "1000", "-200", nullptr, "lambda rm",
                            "negative size"},
                    Failing{"sides_that_cancel_out", "1000", nullptr, "300x-300",
                            "velocity velocity_pressure", "gives no section"},
                    Failing{"zero_diameter", "1000", "0", nullptr,
                            "velocity velocity_pressure lambda", "size \"0\" gives no section"},
                    // 8e22 m3/h in φ200 runs at 7e20 m/s: ρv²/2 is past the single range.
                    Failing{"velocity_pressure_overflows", "8e22", "200", nullptr,
                            "velocity_pressure rm", "beyond the range"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CalcCommand, SizePromptIsTheVelocityText) {
    cli::CalcOptions o = example("1000", "0", nullptr, 1);
    o.format = cli::Format::json;
    const Outcome r = calcRun(o);
    const nlohmann::json j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["velocity"]["text"], "请输入风管尺寸");
}

// Options that are wrong before anything is computed: usage, status 2.
struct Usage {
    const char* name;
    cli::CalcOptions options;
    const char* message;
};
void PrintTo(const Usage& u, std::ostream* os) { *os << u.name; }
class CalcUsage : public testing::TestWithParam<Usage> {};
TEST_P(CalcUsage, StatusTwoAndAMessage) {
    const Outcome r = calcRun(GetParam().options);
    EXPECT_EQ(r.status, cli::kUsage);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("ductcalc-cli: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(GetParam().message), std::string::npos) << r.err;
}
cli::CalcOptions with(void (*change)(cli::CalcOptions&)) {
    cli::CalcOptions o = example("1000", "200", nullptr, 1);
    change(o);
    return o;
}
INSTANTIATE_TEST_SUITE_P(
    Options, CalcUsage,
    testing::Values(
        Usage{"diameter_with_letter_o", with([](auto& o) { o.diameter = "50O"; }),
              "--diameter \"50O\" is not a size"},
        Usage{"diameter_given_as_sides", with([](auto& o) { o.diameter = "500x320"; }),
              "is not a size"},
        Usage{"one_side_only", with([](auto& o) { o.diameter.reset(), o.sides = "500"; }),
              "is not two sides"},
        Usage{"no_size", with([](auto& o) { o.diameter.reset(); }), "--diameter or --sides"},
        Usage{"unknown_unit", with([](auto& o) { o.unit = "m3/day"; }), "unit \"m3/day\""},
        Usage{"unknown_material", with([](auto& o) { o.material.material = "steel"; }),
              "material \"steel\" is not one of"},
        Usage{"formula_three", with([](auto& o) { o.formula = 3; }), "1 or 2"},
        Usage{"flow_with_a_comma", with([](auto& o) { o.flow = "1,5"; }),
              "--flow \"1,5\" is not a number"},
        Usage{"flow_empty", with([](auto& o) { o.flow = ""; }), "--flow \"\" is not a number"},
        Usage{"flow_negative", with([](auto& o) { o.flow = "-100"; }),
              "--flow \"-100\" is negative"},
        Usage{"k_with_a_comma", with([](auto& o) { o.material.k = "1,5"; }),
              "--k \"1,5\" is not a number"},
        Usage{"k_with_two_points", with([](auto& o) { o.material.k = "0.1.2"; }),
              "--k \"0.1.2\" is not a number"},
        Usage{"k_letters", with([](auto& o) { o.material.k = "abc"; }),
              "--k \"abc\" is not a number"},
        Usage{"k_not_a_number", with([](auto& o) { o.material.k = "nan"; }),
              "--k \"nan\" is not a number"},
        Usage{"k_negative", with([](auto& o) { o.material.k = "-1"; }), "--k \"-1\" is negative"},
        Usage{"k_empty", with([](auto& o) { o.material.k = ""; }), "--k is empty"}),
    [](const auto& info) { return std::string(info.param.name); });

// A custom K is held as the window holds it, and the user is told.
struct Held {
    const char* name;
    const char* k;
    const char* shown;
    bool warned;
};
void PrintTo(const Held& h, std::ostream* os) { *os << h.name; }
class CustomK : public testing::TestWithParam<Held> {};
TEST_P(CustomK, HeldWithAWarning) {
    cli::CalcOptions o = example("1000", "200", nullptr, 1);
    o.material.k = GetParam().k;
    o.format = cli::Format::json;
    const Outcome r = calcRun(o);
    EXPECT_EQ(r.status, cli::kSuccess);
    EXPECT_EQ(nlohmann::json::parse(r.out)["roughness"]["text"], GetParam().shown);
    EXPECT_EQ(r.err.find("warning") != std::string::npos, GetParam().warned) << r.err;
}
INSTANTIATE_TEST_SUITE_P(
    Values, CustomK,
    testing::Values(Held{"within", "0.5", " 0.5", false}, Held{"upper_limit", "10", " 10", false},
                    Held{"above", "20", " 10", true}, Held{"lower_limit", "0.01", " 0.01", false},
                    Held{"below", "0.001", " 0.01", true}, Held{"zero", "0", " 0.01", true},
                    Held{"beyond_a_double", "1e400", " 10", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CalcCommand, UnitScalesTheAirVolume) {
    cli::CalcOptions o = example("1", "200", nullptr, 1);
    o.unit = "m3/min";
    o.format = cli::Format::json;
    const Outcome r = calcRun(o);
    EXPECT_EQ(nlohmann::json::parse(r.out)["flow"]["text"], " 60 m3/h");
}

// --lenient: the window's reading, its warning, and a status that says the
// number is not the one typed. The warning is the window's, in the command
// line's language.
TEST(CalcCommand, LenientFlowReadLikeTheBoxWithTheWindowsWarning) {
    cli::CalcOptions o = example("12abc", "200", nullptr, 1);
    o.lenient = true;
    o.format = cli::Format::json;
    const Outcome r = calcRun(o);
    EXPECT_EQ(r.status, cli::kRowsFailed);
    EXPECT_EQ(nlohmann::json::parse(r.out)["flow"]["text"], " 12 m3/h");
    EXPECT_NE(r.err.find("warning: --flow: only 12 was read; \"abc\" was ignored"),
              std::string::npos)
        << r.err;

    cli::setMessageLanguage(msg::Language::chinese);
    const Outcome chinese = calcRun(o);
    cli::setMessageLanguage(msg::Language::english);
    EXPECT_EQ(chinese.out, r.out);
    EXPECT_NE(chinese.err.find("warning: --flow: 只读取了 12，忽略了“abc”"), std::string::npos)
        << chinese.err;
}

TEST(CalcCommand, LenientFlowThatReadsWholeIsASuccess) {
    cli::CalcOptions o = example("1000", "200", nullptr, 1);
    o.lenient = true;
    const Outcome r = calcRun(o);
    EXPECT_EQ(r.status, cli::kSuccess);
    EXPECT_EQ(r.err, "");
}

// size: 1000 m3/h, thin steel. By hand: at most 6 m/s needs a section of
// 1000 / 3600 / 6 = 0.0463 m2 or more: φ250 (0.0491 m2; φ220 has 0.0380), and
// among rectangles 400x120 (0.048 m2, aspect 3.3); with aspect 3 at most,
// 250x200 (0.05 m2). Between 6 and 8 m/s: φ220 (7.31 m/s; φ200 runs at 8.84)
// and 320x120 (0.0384 m2, 7.23 m/s; 200x160 runs at 8.68).
struct Selection {
    const char* name;
    std::optional<double> maxVelocity, minVelocity, maxRm;
    double maxAspect;
    const char* circular;
    const char* rectangular;
};
void PrintTo(const Selection& s, std::ostream* os) { *os << s.name; }
class SizeSelection : public testing::TestWithParam<Selection> {};
TEST_P(SizeSelection, SmallestOfEachShape) {
    const Selection& s = GetParam();
    cli::SizeOptions o;
    o.flow = "1000";
    o.maxVelocity = s.maxVelocity;
    o.minVelocity = s.minVelocity;
    o.maxRm = s.maxRm;
    o.maxAspect = s.maxAspect;
    o.format = cli::Format::json;
    std::ostringstream out, err;
    ASSERT_EQ(cli::runSize(o, out, err), cli::kSuccess) << err.str();
    const nlohmann::json j = nlohmann::json::parse(out.str());
    EXPECT_EQ(j["smallest"]["circular"], s.circular);
    EXPECT_EQ(j["smallest"]["rectangular"], s.rectangular);

    double lastArea = 0;
    int circles = 0;
    for (const nlohmann::json& row : j["sizes"]) {
        const double area = row["area"];
        EXPECT_GE(area, lastArea) << row;  // smallest section first
        lastArea = area;
        if (row["shape"] == "circular") {
            ++circles;
            continue;
        }
        const std::string size = row["size"];
        const double a = std::stod(size), b = std::stod(size.substr(size.find('*') + 1));
        EXPECT_GE(a, b) << size;
        EXPECT_LE(a, s.maxAspect * b) << size;
        // The marks agree with the limits.
        const double v = row["velocity"], rm = row["rm"];
        const bool meets = (!s.maxVelocity || v <= *s.maxVelocity) &&
                           (!s.minVelocity || v >= *s.minVelocity) && (!s.maxRm || rm <= *s.maxRm);
        EXPECT_EQ(row["meets"].get<bool>(), meets) << size;
    }
    EXPECT_EQ(circles, 26);
}
INSTANTIATE_TEST_SUITE_P(Limits, SizeSelection,
                         testing::Values(Selection{"at_most_6_m_per_s", 6.0, std::nullopt,
                                                   std::nullopt, 4, "φ250", "400*120"},
                                         Selection{"at_most_6_m_per_s_aspect_3", 6.0, std::nullopt,
                                                   std::nullopt, 3, "φ250", "250*200"},
                                         Selection{"between_6_and_8_m_per_s", 8.0, 6.0,
                                                   std::nullopt, 4, "φ220", "320*120"},
                                         Selection{"rm_at_most_2_pa_per_m", std::nullopt,
                                                   std::nullopt, 2.0, 4, "φ250", "250*200"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SizeCommand, NoLimitsNoMarks) {
    cli::SizeOptions o;
    o.flow = "1000";
    o.format = cli::Format::csv;
    std::ostringstream out, err;
    ASSERT_EQ(cli::runSize(o, out, err), cli::kSuccess);
    std::istringstream lines(out.str());
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "shape,size,area,equivalent_diameter,velocity,rm,meets,smallest");
    std::getline(lines, line);
    EXPECT_EQ(line, "circular,φ100,0.007853976,0.1,35.36779,166.2355,,");
}

TEST(SizeCommand, NoSizeMeetsImpossibleLimits) {
    cli::SizeOptions o;
    o.flow = "1000";
    o.maxVelocity = 0.01;
    std::ostringstream out, err;
    ASSERT_EQ(cli::runSize(o, out, err), cli::kRowsFailed);
    EXPECT_NE(out.str().find("smallest circular:    none meets the limits"), std::string::npos);
    EXPECT_NE(err.str().find("no size meets the limits"), std::string::npos);
}

TEST(SizeCommand, FailingAirVolumeIsReported) {
    cli::SizeOptions o;
    o.flow = "1e40";
    std::ostringstream out, err;
    EXPECT_EQ(cli::runSize(o, out, err), cli::kRowsFailed);
    EXPECT_NE(err.str().find("beyond the range"), std::string::npos);
}

}  // namespace
