// SPDX-License-Identifier: GPL-3.0-or-later
// The deficiency case of bench/kinship-29-loci.xlsx (29 loci; the alleged father untyped, his
// father and mother, a brother and a sister, the child's mother; written by
// examples/make-examples.sh) over the bundled data: the evaluation of its rows, and the whole
// kinship command in process (locus table load and workbook read included). For the whole
// process, time `paternity-index kinship bench/kinship-29-loci.xlsx --population white
// --format json` with hyperfine.
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "automation/workbook.h"
#include "commandbench.h"
#include "freqdb/locusloader.h"
#include "kinship/kinshipevaluation.h"
#include "kinship/relativesworkbook.h"

namespace {

const std::filesystem::path kData = PI_SOURCE_DIR "/data";
const std::filesystem::path kCase = PI_SOURCE_DIR "/bench/kinship-29-loci.xlsx";
const text::NumberFormat kFormat(",");

void BM_KinshipEvaluation(benchmark::State& state)
{
    const auto reader = automation::makeFileWorkbookReader();
    const auto loaded = freqdb::LoadLocusTableFromFolder(kData, freqdb::Population::UsCaucasians, *reader, kFormat);
    const kinship::KinshipCase c = kinship::readRelativesWorkbook(kCase, *reader, kFormat);
    for (auto _ : state) {
        const auto result = kinship::evaluateKinshipCase(c, loaded.table, kFormat, "0,5");
        if (result.withoutLr != 0)
            state.SkipWithError("a row has no LR");
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_KinshipEvaluation)->Unit(benchmark::kMillisecond);

void BM_KinshipCommand(benchmark::State& state)
{
    runCommandRounds(state, {"paternity-index", "kinship", kCase.string(), "--population", "white", "--data",
                             kData.string(), "--format", "json"});
}
BENCHMARK(BM_KinshipCommand)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
