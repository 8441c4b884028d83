// SPDX-License-Identifier: GPL-3.0-or-later
// Timing of the calculation core: one locus evaluation (a trio and a duo, through the formula,
// the frequency texts and the LR text; a trio exclusion under the mutation model) and the
// combined index over a full results table.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "engine/combinedindex.h"
#include "engine/evaluatelocus.h"
#include "freqdb/locusrecord.h"
#include "text/numberformat.h"

namespace {

freqdb::LocusRecord benchLocus()
{
    freqdb::LocusRecord locus;
    locus.Name = "D21S11";
    const char* labels[] = {"27", "28", "29", "30", "30,2", "31", "31,2", "32", "32,2", "33,2"};
    const long double frequencies[] = {0.043L, 0.166L, 0.203L, 0.25L, 0.032L, 0.069L, 0.094L, 0.012L, 0.087L, 0.034L};
    for (int i = 0; i < 10; ++i) {
        ++locus.AlleleCount;
        locus.Labels[locus.AlleleCount] = labels[i];
        locus.Frequencies[locus.AlleleCount] = frequencies[i];
    }
    return locus;
}

void BM_EvaluateLocusTrio(benchmark::State& state)
{
    const auto locus = benchLocus();
    const text::NumberFormat format(",");
    for (auto _ : state) {
        // Mother 29/30, father 30/31,2, child 29/31,2: rule T9 after the six exclusion tests.
        auto out = engine::EvaluateLocus(locus, 4, 7, 3, 4, 3, 7, format);
        benchmark::DoNotOptimize(out);
    }
}
BENCHMARK(BM_EvaluateLocusTrio);

void BM_EvaluateLocusDuo(benchmark::State& state)
{
    const auto locus = benchLocus();
    const text::NumberFormat format(",");
    for (auto _ : state) {
        // Father 28/30, child 30/28: rule D2, two frequency texts.
        auto out = engine::EvaluateLocus(locus, 2, 4, freqdb::NoAllele, freqdb::NoAllele, 4, 2, format);
        benchmark::DoNotOptimize(out);
    }
}
BENCHMARK(BM_EvaluateLocusDuo);

void BM_EvaluateLocusTrioMutation(benchmark::State& state)
{
    const auto locus = benchLocus();
    const text::NumberFormat format(",");
    freqdb::LabSettings settings;
    settings.mutationModel = freqdb::MutationModel::Proportional;
    settings.minFrequency = 0.0069L;
    for (auto _ : state) {
        // Mother 29/30, father 28/31,2, child 29/32: rule T6, the index with mutation instead.
        auto out = engine::EvaluateLocus(locus, 2, 7, 3, 4, 3, 8, format, settings);
        benchmark::DoNotOptimize(out);
    }
}
BENCHMARK(BM_EvaluateLocusTrioMutation);

void BM_CombineIndex99Rows(benchmark::State& state)
{
    const text::NumberFormat format(",");
    std::vector<engine::CombinedIndexRow> rows;
    for (int k = 1; k <= 99; ++k)
        rows.push_back({std::to_string(k), format.lr(1.0L + k / 10.0L), "++"});
    for (auto _ : state) {
        auto result = engine::CombineIndex(rows, "0,5", format);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_CombineIndex99Rows);

} // namespace

BENCHMARK_MAIN();
