// SPDX-License-Identifier: GPL-3.0-or-later
// Time to load the bundled frequency database (29 locus workbooks of data/) for one population,
// as the program does after each choice in the population dialog.
#include <benchmark/benchmark.h>

#include "automation/workbook.h"
#include "freqdb/locusloader.h"

namespace {

void loadBundledDatabase(benchmark::State& state, freqdb::Population population)
{
    const auto reader = automation::makeFileWorkbookReader();
    const text::NumberFormat format(",");
    for (auto _ : state) {
        freqdb::LoadResult result = freqdb::LoadLocusTable(PI_SOURCE_DIR, population, *reader, format);
        if (result.status != freqdb::LoadStatus::Loaded) {
            state.SkipWithError(result.message.c_str());
            break;
        }
        benchmark::DoNotOptimize(result);
    }
}

void BM_LoadBundledDatabaseWhite(benchmark::State& state)
{
    loadBundledDatabase(state, freqdb::Population::UsCaucasians);
}
void BM_LoadBundledDatabaseBlack(benchmark::State& state)
{
    loadBundledDatabase(state, freqdb::Population::UsBlacks);
}

} // namespace

BENCHMARK(BM_LoadBundledDatabaseWhite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadBundledDatabaseBlack)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
