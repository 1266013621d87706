// SPDX-License-Identifier: GPL-3.0-or-later
// The figures do not depend on how many threads compute them: table and
// system with one job and with two give the same output, byte for byte, on
// a random tree and on a long run with bad rows among the good ones. The
// files are several batches long, so that the lanes hand rows over several
// times.

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "cli/commands.h"

namespace {

struct Outcome {
    int status;
    std::string out, err;
};

std::FILE* fileWith(const std::string& text) {
    std::FILE* in = std::tmpfile();
    std::fwrite(text.data(), 1, text.size(), in);
    std::rewind(in);
    return in;
}

Outcome runTable(const std::string& csv, cli::Format format, unsigned jobs) {
    std::FILE* in = fileWith(csv);
    std::ostringstream out, err;
    cli::TableOptions options;
    options.format = format;
    options.jobs = jobs;
    const int status = cli::runTable(in, "run.csv", options, out, err);
    std::fclose(in);
    return {status, out.str(), err.str()};
}

Outcome runSystem(const std::string& csv, cli::Format format, unsigned jobs, bool sized = false) {
    std::FILE* in = fileWith(csv);
    std::ostringstream out, err;
    cli::SystemOptions options;
    options.format = format;
    options.jobs = jobs;
    if (sized) {
        // Every segment sized by velocity, then the junctions balanced:
        // the sizes and the remedies are worked out on the lanes too.
        options.size = "velocity";
        options.preset = "public";
        options.resizeAll = true;
        options.balance = true;
    }
    const int status = cli::runSystem(in, "tree.csv", options, out, err);
    std::fclose(in);
    return {status, out.str(), err.str()};
}

// A cell that now and then cannot be read, so that failed rows, warnings
// and unknown sums are spread over every batch.
std::string sometimesBad(std::mt19937& random, std::string good, const char* bad) {
    return random() % 97 == 0 ? std::string(bad) : good;
}

// A tree of `segments` segments, each leaving a node reached before; the
// outlets carry their air volumes, the trunks mostly leave theirs to the sum.
std::string randomTree(std::uint32_t segments, unsigned seed) {
    std::mt19937 random(seed);
    std::string csv = "segment,from,to,flow,size,length,zeta,dp,k\n";
    std::vector<std::uint32_t> beyond(segments + 1, 0);
    std::vector<std::uint32_t> from(segments);
    for (std::uint32_t s = 0; s < segments; ++s) {
        // Nodes 0 … s are reached; node s + 1 is new.
        from[s] = s == 0 ? 0 : static_cast<std::uint32_t>(random() % (s + 1));
        ++beyond[from[s]];
    }
    for (std::uint32_t s = 0; s < segments; ++s) {
        const std::uint32_t to = s + 1;
        const bool outlet = beyond[to] == 0;
        std::string flow = outlet || random() % 5 == 0 ? std::to_string(100 + random() % 2000) : "";
        const std::string size = random() % 2 ? std::to_string(100 + 10 * (random() % 60))
                                              : std::to_string(200 + 10 * (random() % 50)) + "x" +
                                                    std::to_string(100 + 10 * (random() % 30));
        csv += "S" + std::to_string(s) + "," + std::to_string(from[s]) + "," + std::to_string(to) +
               "," + sometimesBad(random, flow, "1,5") + "," + size + "," +
               std::to_string(1 + random() % 30) + "." + std::to_string(random() % 10) + "," +
               sometimesBad(random, "0.3+0." + std::to_string(random() % 9), "0.3+") + "," +
               (random() % 7 == 0 ? "15" : "") + "," + sometimesBad(random, "", "20") + "\n";
    }
    return csv;
}

// A run of `rows` rows, a few of them bad, short, long or blank.
std::string longRun(std::uint32_t rows, unsigned seed) {
    std::mt19937 random(seed);
    std::string csv = "segment,flow,size,length,zeta,dp,formula\n";
    for (std::uint32_t r = 0; r < rows; ++r) {
        const unsigned odd = random() % 211;
        if (odd == 0) {
            csv += "\n";
            continue;
        }
        if (odd == 1) {
            csv += "R" + std::to_string(r) + ",1000,200\n";  // short: filled with empty cells
            continue;
        }
        if (odd == 2) {
            csv += "R" + std::to_string(r) + ",1000,200,5,1,0,1,extra\n";  // longer than the header
            continue;
        }
        csv += "R" + std::to_string(r) + "," +
               sometimesBad(random, std::to_string(50 + random() % 9000), "") + "," +
               std::to_string(100 + 10 * (random() % 80)) + "," + std::to_string(random() % 40) +
               "," + sometimesBad(random, "0.5+0.25", "x") + "," +
               (random() % 3 == 0 ? "12.5" : "") + "," + (random() % 2 ? "2" : "1") + "\n";
    }
    return csv;
}

struct JobsCase {
    const char* name;
    bool system;
    cli::Format format;
    bool sized = false;
};

class OneJobAndTwo : public testing::TestWithParam<JobsCase> {};

TEST_P(OneJobAndTwo, GiveTheSameOutputByteForByte) {
    const JobsCase& c = GetParam();
    const std::string input = c.system ? randomTree(10000, 7) : longRun(13000, 11);
    auto run = [&](unsigned jobs) {
        return c.system ? runSystem(input, c.format, jobs, c.sized)
                        : runTable(input, c.format, jobs);
    };
    const Outcome one = run(1), two = run(2), three = run(3);
    // The input is meant to hold failures, and they must show.
    EXPECT_EQ(one.status, 1) << one.err.substr(0, 400);
    EXPECT_FALSE(one.err.empty());
    EXPECT_GT(one.out.size(), 20000u);
    EXPECT_EQ(one.status, two.status);
    EXPECT_TRUE(one.out == two.out) << "the outputs differ";
    EXPECT_TRUE(one.err == two.err) << "the messages differ";
    EXPECT_TRUE(one.out == three.out) << "the outputs differ with three lanes";
    EXPECT_TRUE(one.err == three.err) << "the messages differ with three lanes";
}

INSTANTIATE_TEST_SUITE_P(
    Jobs, OneJobAndTwo,
    testing::Values(JobsCase{"SystemRandomTreeAsCsv", true, cli::Format::csv},
                    JobsCase{"SystemRandomTreeAsJson", true, cli::Format::json},
                    JobsCase{"SystemRandomTreeAsText", true, cli::Format::text},
                    JobsCase{"SystemRandomTreeSizedAndBalancedAsCsv", true, cli::Format::csv, true},
                    JobsCase{"SystemRandomTreeSizedAndBalancedAsJson", true, cli::Format::json,
                             true},
                    JobsCase{"TableLongRunAsCsv", false, cli::Format::csv},
                    JobsCase{"TableLongRunAsJson", false, cli::Format::json},
                    JobsCase{"TableLongRunAsText", false, cli::Format::text}),
    [](const testing::TestParamInfo<JobsCase>& info) { return std::string(info.param.name); });

// The last row of a file whose rows fill whole batches and one more is
// computed and written like any other.
class RowsAfterWholeBatches : public testing::TestWithParam<std::uint32_t> {};

TEST_P(RowsAfterWholeBatches, TheLastRowIsWritten) {
    const std::uint32_t rows = GetParam();
    std::string csv = "segment,flow,size,length\n";
    for (std::uint32_t r = 1; r <= rows; ++r)
        csv += std::to_string(r) + "-" + std::to_string(r + 1) + ",1000,200,1\n";
    for (unsigned jobs : {1u, 2u}) {
        const Outcome system = runSystem(csv, cli::Format::csv, jobs);
        ASSERT_EQ(system.status, 0) << system.err;
        const Outcome table = runTable(csv, cli::Format::csv, jobs);
        ASSERT_EQ(table.status, 0) << table.err;
        for (const Outcome* o : {&system, &table}) {
            std::size_t lines = 0;
            for (char ch : o->out) lines += ch == '\n';
            EXPECT_EQ(lines, rows + 1u) << "jobs " << jobs;
            const std::string last = std::to_string(rows) + "-" + std::to_string(rows + 1) + ",";
            EXPECT_NE(o->out.find("\n" + last), std::string::npos) << "jobs " << jobs;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Jobs, RowsAfterWholeBatches,
                         testing::Values(2047u, 2048u, 2049u, 4096u, 4097u, 6145u, 8193u));

}  // namespace
