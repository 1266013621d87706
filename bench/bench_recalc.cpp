// SPDX-License-Identifier: GPL-3.0-or-later
// Cost of one recalculation with its seven label texts, and of the two
// conversions it leans on.
#include <benchmark/benchmark.h>

#include "calc/number_reading.h"
#include "calc/number_text.h"
#include "calc/recalc.h"
#include "tests/calc/fake_view.h"

namespace {

void BM_RecalcCircular(benchmark::State& st) {
    FakeView view;
    view.texts[calc::Input::Text1] = "1000";
    view.texts[calc::Input::Combo2] = "200";
    calc::CalcState s = calc::startupState();
    for (auto _ : st) {
        calc::v(s, view);
        benchmark::DoNotOptimize(view.captions);
    }
}
BENCHMARK(BM_RecalcCircular);

void BM_RecalcRectangularFormulaTwo(benchmark::State& st) {
    FakeView view;
    view.texts[calc::Input::Text1] = "5000";
    view.texts[calc::Input::Combo3] = "500";
    view.texts[calc::Input::Combo4] = "320";
    view.rectangular();
    view.formulaTwo();
    calc::CalcState s = calc::startupState();
    for (auto _ : st) {
        calc::v(s, view);
        benchmark::DoNotOptimize(view.captions);
    }
}
BENCHMARK(BM_RecalcRectangularFormulaTwo);

void BM_TextValue(benchmark::State& st) {
    const std::string text = "1234.5678";
    for (auto _ : st) benchmark::DoNotOptimize(calc::textValue(text));
}
BENCHMARK(BM_TextValue);

void BM_NumberText(benchmark::State& st) {
    float x = 8.841949f;
    for (auto _ : st) {
        benchmark::DoNotOptimize(calc::numberText(x));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_NumberText);

}  // namespace
