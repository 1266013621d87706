// SPDX-License-Identifier: GPL-3.0-or-later
// ductcalc-cli system --size / --balance, in-process.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "cli/commands.h"

namespace {

struct Outcome {
    int status;
    std::string out, err;
};

// A file of the test's own, removed at the end.
class TempFile {
public:
    explicit TempFile(const std::string& text) {
        char name[] = "/tmp/ductcalc_sizing_XXXXXX";
        const int fd = mkstemp(name);
        if (fd >= 0) close(fd);
        path_ = name;
        std::ofstream(path_, std::ios::binary) << text;
    }
    ~TempFile() { std::remove(path_.c_str()); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

Outcome system(const std::string& csv, std::vector<std::string> args) {
    const TempFile file(csv);
    std::vector<std::string> words{"ductcalc-cli", "system", file.path()};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    std::ostringstream out, err;
    const int status = cli::runMain(static_cast<int>(argv.size()), argv.data(), out, err);
    return {status, out.str(), err.str()};
}

// The building of the system layer's tests: a fan's outlet 1-2, a 干管 2-4
// 250 high and three 支管.
const std::string kBuilding =
    "segment,flow,size,length,zeta,dp\n"
    "1-2,,,10,0.5,\n"
    "2-3,1000,,5,1.0,20\n"
    "2-4,,*x250,8,0.3,\n"
    "4-5,500,,4,1.2,20\n"
    "4-6,800,,6,1.2,20\n";

struct Usage {
    const char* name;
    std::vector<std::string> args;
    const char* message;
};
std::ostream& operator<<(std::ostream& os, const Usage& u) { return os << u.name; }
class SizingUsage : public testing::TestWithParam<Usage> {};

TEST_P(SizingUsage, StatusTwoAndNothingWritten) {
    const Usage& u = GetParam();
    const Outcome o = system(kBuilding, u.args);
    EXPECT_EQ(o.status, cli::kUsage);
    EXPECT_TRUE(o.out.empty());
    EXPECT_NE(o.err.find(u.message), std::string::npos) << o.err;
}

INSTANTIATE_TEST_SUITE_P(
    Options, SizingUsage,
    testing::Values(
        Usage{"an unknown method", {"--size", "speed"}, "is not a method"},
        Usage{"the velocity method without limits", {"--size", "velocity"}, "needs --preset"},
        Usage{"the friction method without Rm", {"--size", "friction"}, "needs --rm"},
        Usage{"Rm without the friction method", {"--rm", "1"}, "--rm is the friction method's"},
        Usage{"a preset and targets",
              {"--size", "velocity", "--preset", "public", "--velocity-main", "8",
               "--velocity-branch", "5"},
              "not both"},
        Usage{"a main target alone", {"--size", "velocity", "--velocity-main", "8"}, "go together"},
        Usage{"a zero target",
              {"--size", "velocity", "--velocity-main", "0", "--velocity-branch", "5"},
              "positive number"},
        Usage{"an unknown preset", {"--size", "velocity", "--preset", "office"}, "not a preset"},
        Usage{"resize-all without sizing", {"--resize-all"}, "--resize-all sizes the system"}));

TEST(SizeCommandSystem, VelocityMethodMarksEverySizedRow) {
    const Outcome o = system(kBuilding, {"--size", "velocity", "--preset", "公共建筑"});
    EXPECT_EQ(o.status, cli::kSuccess) << o.err;
    EXPECT_NE(o.out.find("φ280 +"), std::string::npos);
    EXPECT_NE(o.out.find("200*250 +"), std::string::npos);
    EXPECT_NE(o.out.find("假定流速法"), std::string::npos);
    EXPECT_NE(o.out.find("公共建筑 通风机出口"), std::string::npos);
    // Junction 2 stays over the limit: 2-3 cannot step below φ250 within 6.5 m/s.
    EXPECT_NE(o.out.find("to balance 2-3"), std::string::npos);
}

TEST(SizeCommandSystem, NoSizeFitsIsStatusOneAndSaid) {
    const Outcome o = system("segment,flow,size\n1-2,9000,*x250\n",
                             {"--size", "velocity", "--velocity-main", "8", "--velocity-branch",
                              "8", "--format", "json"});
    EXPECT_EQ(o.status, cli::kRowsFailed);
    EXPECT_NE(o.err.find("no standard size meets the limit"), std::string::npos) << o.err;
    const auto j = nlohmann::json::parse(o.out);
    EXPECT_EQ(j["segments"][0]["size"], "1000*250");
    EXPECT_EQ(j["segments"][0]["sized"], true);
    EXPECT_EQ(j["sizing"]["changes"][0]["fits"], false);
}

TEST(SizeCommandSystem, CsvOutputReadsBackNeedingNoSizing) {
    const Outcome sized = system(kBuilding, {"--size", "friction", "--rm", "1", "--format", "csv"});
    ASSERT_EQ(sized.status, cli::kSuccess) << sized.err;
    const std::string header = sized.out.substr(0, sized.out.find('\n'));
    EXPECT_TRUE(header.ends_with(",on_index_run,role,sized")) << header;
    const Outcome again = system(sized.out, {"--size", "friction", "--rm", "1"});
    EXPECT_EQ(again.status, cli::kSuccess) << again.err;
    EXPECT_NE(again.out.find("no size changed"), std::string::npos);
    // Read back plainly, the figures are the sized run's.
    const Outcome plain = system(sized.out, {"--format", "csv"});
    EXPECT_EQ(plain.status, cli::kSuccess);
    EXPECT_EQ(plain.out.substr(plain.out.find('\n')), [&] {
        std::string rows;
        std::istringstream lines(sized.out.substr(sized.out.find('\n') + 1));
        for (std::string line; std::getline(lines, line);)
            rows += '\n' + line.substr(0, line.rfind(',', line.rfind(',') - 1));
        return rows + '\n';
    }());
}

TEST(SizeCommandSystem, PlainRunKeepsItsColumnsAndGivesRemediesInJson) {
    // Without sizing options the rows carry no role or mark; a junction
    // over the limit says what would balance it.
    const std::string csv =
        "segment,flow,size,zeta,dp\n1-2,,400,,\n2-3,1000,400,1,\n2-4,1000,250,1,100\n";
    const Outcome text = system(csv, {"--format", "csv"});
    EXPECT_EQ(text.out.substr(0, text.out.find('\n')).find("role"), std::string::npos);
    const Outcome o = system(csv, {"--format", "json"});
    ASSERT_EQ(o.status, cli::kSuccess) << o.err;
    const auto j = nlohmann::json::parse(o.out);
    EXPECT_FALSE(j["segments"][0].contains("sized"));
    EXPECT_FALSE(j.contains("sizing"));
    const auto& remedy = j["junctions"][0]["remedies"][0];
    EXPECT_EQ(remedy["segment"], "2-3");
    // 119.27757 - 2.94152 Pa; on φ400's 2.94152 Pa, ζ = 39.549.
    EXPECT_NEAR(remedy["damper"]["pressure"].get<double>(), 116.33605, 1e-3);
    EXPECT_NEAR(remedy["damper"]["zeta"].get<double>(), 39.549, 1e-2);
    EXPECT_EQ(remedy["resize"]["size"], "φ250");
    EXPECT_NEAR(remedy["resize"]["imbalance"].get<double>(), 100 / 119.27757, 1e-5);
}

TEST(SizeCommandSystem, BalanceListsItsChangesAndTheJunctionsLeft) {
    const std::string csv =
        "segment,flow,size,zeta,dp\n1-2,,400,,\n2-3,1000,400,1,\n2-4,1000,250,1,100\n";
    const Outcome o = system(csv, {"--balance", "--preset", "public", "--format", "json"});
    ASSERT_EQ(o.status, cli::kSuccess) << o.err;
    const auto j = nlohmann::json::parse(o.out);
    EXPECT_EQ(j["segments"][1]["size"], "φ250");
    EXPECT_EQ(j["segments"][1]["sized"], true);
    EXPECT_EQ(j["sizing"]["changes"][0]["balancing"], true);
    EXPECT_EQ(j["sizing"]["unbalanced"], nlohmann::json::array({"2"}));
    EXPECT_NEAR(j["junctions"][0]["remedies"][0]["damper"]["pressure"].get<double>(), 100.0, 1e-3);
    const Outcome text = system(csv, {"--balance", "--preset", "public"});
    EXPECT_NE(text.out.find("balancing: 1 resize; junctions that could not be balanced"),
              std::string::npos)
        << text.out;
}

TEST(SizeCommandSystem, RoleColumnOverridesTheRule) {
    // 2-3 as a 干管 may carry 8 m/s: φ220 (7.31 m/s) rather than φ250.
    const std::string csv = "segment,flow,size,角色\n1-2,,,\n2-3,1000,,干管\n2-4,500,,\n";
    const Outcome o = system(csv, {"--size", "velocity", "--preset", "public", "--format", "json"});
    ASSERT_EQ(o.status, cli::kSuccess) << o.err;
    const auto j = nlohmann::json::parse(o.out);
    EXPECT_EQ(j["segments"][1]["role"], "main");
    EXPECT_EQ(j["segments"][1]["size"], "φ220");
    EXPECT_EQ(j["segments"][2]["role"], "branch");
}

}  // namespace
