// SPDX-License-Identifier: GPL-3.0-or-later
// A duct system of random branching, flows typed on the outlets only, from
// its rows as texts to the fan's pressure: a building of 2,000 segments and
// a tree of a million. Also a run a million segments deep in file order.
//
//   bench_system --benchmark_filter=Tree/2000
//   /usr/bin/time -v bench_system --benchmark_filter=Tree/1000000

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "system/system.h"

namespace {

// The texts of a system as a CSV file or a grid would give them; the rows
// point into it.
struct Texts {
    std::vector<std::string> names, flows;
    std::vector<ductsys::SegmentTexts> rows;
};

// A random recursive tree: segment i joins node i + 1 to a node picked at
// random among those before it, so that branching is random and the depth
// grows with the logarithm of the size.
Texts randomTree(std::size_t segments) {
    static const char* const kSizes[] = {"200",     "φ250",    "320x200", "400x250",
                                         "500x320", "630x400", "800x500", "1000x630"};
    static const char* const kLengths[] = {"3", "4.5", "6", "8.2", "12"};
    static const char* const kZetas[] = {"0.3", "0.25+0.1", "1.5", "0.5+0.3+0.2", ""};
    static const char* const kFlows[] = {"200", "350", "500", "800", "1200"};
    std::mt19937 random(17);
    std::vector<std::uint32_t> parent(segments);
    std::vector<bool> hasChild(segments + 1, false);
    for (std::size_t i = 0; i < segments; ++i) {
        parent[i] = static_cast<std::uint32_t>(random() % (i + 1));
        hasChild[parent[i]] = true;
    }
    Texts t;
    t.names.resize(segments);
    t.flows.resize(segments);
    t.rows.resize(segments);
    for (std::size_t i = 0; i < segments; ++i) {
        t.names[i] = std::to_string(parent[i]) + '-' + std::to_string(i + 1);
        if (!hasChild[i + 1]) t.flows[i] = kFlows[random() % 5];
    }
    for (std::size_t i = 0; i < segments; ++i)
        t.rows[i] = {.segment = t.names[i],
                     .flow = t.flows[i],
                     .size = kSizes[random() % 8],
                     .length = kLengths[random() % 5],
                     .zeta = kZetas[random() % 5],
                     .dp = random() % 50 == 0 ? "150" : ""};
    return t;
}

void Tree(benchmark::State& state) {
    const Texts texts = randomTree(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        ductsys::SystemResult result = ductsys::computeSystem(texts.rows);
        if (!result.errors.empty() || !result.fan.pressure) state.SkipWithError("not computed");
        benchmark::DoNotOptimize(result.fan.pressure);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(Tree)->Arg(2000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same tree with rows made one at a time, as the command line hands over
// the records of a CSV file: memory holds the system, not the input texts.
void TreeStreamed(benchmark::State& state) {
    const std::size_t segments = static_cast<std::size_t>(state.range(0));
    std::mt19937 random(17);
    std::vector<std::uint32_t> parent(segments);
    std::vector<bool> hasChild(segments + 1, false);
    for (std::size_t i = 0; i < segments; ++i) {
        parent[i] = static_cast<std::uint32_t>(random() % (i + 1));
        hasChild[parent[i]] = true;
    }
    static const char* const kSizes[] = {"200",     "φ250",    "320x200", "400x250",
                                         "500x320", "630x400", "800x500", "1000x630"};
    static const char* const kFlows[] = {"200", "350", "500", "800", "1200"};
    std::string name;
    for (auto _ : state) {
        ductsys::SystemBuilder builder;
        builder.reserve(segments);
        for (std::size_t i = 0; i < segments; ++i) {
            name = std::to_string(parent[i]);
            name += '-';
            name += std::to_string(i + 1);
            builder.add({.segment = name,
                         .flow = hasChild[i + 1] ? "" : kFlows[i % 5],
                         .size = kSizes[(i * 7) % 8],
                         .length = "4.5",
                         .zeta = i % 3 == 0 ? "0.25+0.1" : "0.3"});
        }
        const ductsys::SystemResult result = builder.finish();
        if (!result.errors.empty() || !result.fan.pressure) state.SkipWithError("not computed");
        benchmark::DoNotOptimize(result.fan.pressure);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(TreeStreamed)->Arg(2000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

void DeepRun(benchmark::State& state) {
    std::vector<ductsys::SegmentTexts> rows(static_cast<std::size_t>(state.range(0)),
                                            {.size = "400x250", .length = "6", .zeta = "0.3"});
    rows.back().flow = "2500";
    for (auto _ : state) {
        ductsys::SystemResult result = ductsys::computeSystem(rows);
        benchmark::DoNotOptimize(result.fan.pressure);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(DeepRun)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
