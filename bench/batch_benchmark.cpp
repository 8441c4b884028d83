// SPDX-License-Identifier: GPL-3.0-or-later
// The batch evaluation of a 99-row genotype workbook over the bundled data: reading and
// evaluating the workbook, saving the results workbook, and the whole batch command in process
// (locus table load included). For the whole process, write the case with
//   batch_benchmark --write-case FILE
// and time `paternity-index batch FILE --population white --format json` with hyperfine.
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "automation/workbook.h"
#include "automation/xlsxworkbookwriter.h"
#include "cli/exitstatus.h"
#include "commandbench.h"
#include "exchange/genotypeworkbook.h"
#include "exchange/resultsworkbookwriter.h"
#include "freqdb/locusloader.h"

namespace {

const std::filesystem::path kData = PI_SOURCE_DIR "/data";
const text::NumberFormat kFormat(",");

// 99 trio rows cycling over loci of the bundled data, then the three lines the reader skips.
void writeCase(const std::filesystem::path& file)
{
    struct Row {
        const char *locus, *father, *child, *mother;
    };
    const Row rows[] = {{"D3S1358", "15/17", "15/16", "16/18"},    {"vWA", "16/18", "17/18", "14/17"},
                        {"FGA", "21/24", "22/24", "20/22"},        {"D8S1179", "13/13", "12/13", "12/14"},
                        {"D21S11", "29/30", "30/31,2", "28/31,2"}, {"D18S51", "14/17", "14/15", "15/16"},
                        {"TH01", "6/9,3", "9,3/9,3", "7/9,3"},     {"TPOX", "8/8", "8/8", "8/11"},
                        {"CSF1PO", "10/12", "11/12", "11/13"}};
    std::vector<std::vector<std::string>> values = {{"№", "Локус", "Отец", "Ребенок", "Мать"}};
    for (int r = 1; r <= 99; ++r) {
        const Row& row = rows[(r - 1) % std::size(rows)];
        values.push_back({std::to_string(r), row.locus, row.father, row.child, row.mother});
    }
    for (const char* line : {"CPI", "P", "population"})
        values.push_back({"", line, "", "", ""});
    automation::XlsxWorkbookWriter writer;
    writer.addWorksheet("Лист1");
    writer.setTextFormat({1, 1, 103, 5});
    writer.setValues({1, 1, 103, 5}, values);
    writer.save(file);
}

std::filesystem::path caseFile()
{
    static const std::filesystem::path file = [] {
        const auto f = std::filesystem::temp_directory_path() / "pi-batch-benchmark-case.xlsx";
        writeCase(f);
        return f;
    }();
    return file;
}

const freqdb::LocusTable& whiteTable()
{
    static const freqdb::LoadResult loaded = freqdb::LoadLocusTableFromFolder(
        kData, freqdb::Population::UsCaucasians, *automation::makeFileWorkbookReader(), kFormat);
    if (loaded.status != freqdb::LoadStatus::Loaded) {
        std::cerr << loaded.message << '\n';
        std::exit(1);
    }
    return loaded.table;
}

void BM_EvaluateGenotypeWorkbook(benchmark::State& state)
{
    const auto reader = automation::makeFileWorkbookReader();
    const auto& table = whiteTable();
    const auto file = caseFile();
    for (auto _ : state) {
        auto loaded = exchange::evaluateGenotypeWorkbook(file, *reader, table, kFormat);
        if (!loaded.ok || loaded.grid.ResultCount() != 99)
            state.SkipWithError("the case did not evaluate");
        benchmark::DoNotOptimize(loaded);
    }
}
BENCHMARK(BM_EvaluateGenotypeWorkbook)->Unit(benchmark::kMillisecond);

void BM_SaveResultsWorkbook(benchmark::State& state)
{
    const auto loaded
        = exchange::evaluateGenotypeWorkbook(caseFile(), *automation::makeFileWorkbookReader(), whiteTable(), kFormat);
    const auto out = std::filesystem::temp_directory_path() / "pi-batch-benchmark-results.xlsx";
    for (auto _ : state) {
        automation::XlsxWorkbookWriter writer;
        exchange::saveResultsWorkbook(out, loaded.grid, "CPI", "P", freqdb::Population::UsCaucasians, writer);
    }
    std::filesystem::remove(out);
}
BENCHMARK(BM_SaveResultsWorkbook)->Unit(benchmark::kMillisecond);

// The batch command as the executable runs it: locus table load, evaluation, combination, JSON.
// The 99-row case repeats its loci, so the run ends with the status of a reservation.
void BM_BatchCommand(benchmark::State& state)
{
    runCommandRounds(state,
                     {"paternity-index", "batch", caseFile().string(), "--population", "white", "--data",
                      kData.string(), "--format", "json"},
                     cli::kExitIncomplete);
}
BENCHMARK(BM_BatchCommand)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "--write-case") {
        writeCase(argv[2]);
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove(std::filesystem::temp_directory_path() / "pi-batch-benchmark-case.xlsx", ignored);
    return 0;
}
