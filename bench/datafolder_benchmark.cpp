// SPDX-License-Identifier: GPL-3.0-or-later
// Time to load a large data folder: 100 locus workbooks of 99 alleles each (three population
// worksheets per workbook), in each of the three formats, as a lab's own database may be. The
// folder is made once per format by make_benchmark_files.py in a temporary folder. The counter
// "workbook" is the time per locus workbook (target: well under 10 ms).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <system_error>
#include <unistd.h>

#include "automation/workbook.h"
#include "freqdb/locusloader.h"

namespace {

namespace fs = std::filesystem;
constexpr int kWorkbooks = 100;

struct Folders {
    fs::path root;
    std::map<std::string, fs::path> byFormat;
    Folders() : root(fs::temp_directory_path() / ("pi-bench-datafolder-" + std::to_string(::getpid()))) {}
    ~Folders()
    {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
    // WorkDir of a data folder of the format, made on first use; empty when it cannot be made.
    fs::path workDir(const std::string& format)
    {
        auto it = byFormat.find(format);
        if (it != byFormat.end())
            return it->second;
        const fs::path dir = root / format;
        const std::string command = std::string(PI_PYTHON) + " " + PI_BENCH_DIR + "/make_benchmark_files.py datafolder "
                                    + format + " '" + dir.string() + "' " + std::to_string(kWorkbooks) + " 99";
        const fs::path made = std::system(command.c_str()) == 0 ? dir : fs::path();
        byFormat[format] = made;
        return made;
    }
};

Folders& folders()
{
    static Folders instance;
    return instance;
}

void loadDataFolder(benchmark::State& state, const std::string& format)
{
    const fs::path workDir = folders().workDir(format);
    if (workDir.empty()) {
        state.SkipWithError("cannot make the data folder (python3 with python3-xlwt)");
        return;
    }
    const auto reader = automation::makeFileWorkbookReader();
    const text::NumberFormat numbers(",");
    for (auto _ : state) {
        const auto result = freqdb::LoadLocusTable(workDir, freqdb::Population::UsCaucasians, *reader, numbers);
        if (result.status != freqdb::LoadStatus::Loaded || result.table.LocusCount() != kWorkbooks
            || result.table.record(1).AlleleCount != 99) {
            state.SkipWithError(result.message.empty() ? "wrong table" : result.message.c_str());
            break;
        }
        benchmark::DoNotOptimize(result);
    }
    state.counters["workbook"]
        = benchmark::Counter(kWorkbooks, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_LoadDataFolder100x99Xls(benchmark::State& state)
{
    loadDataFolder(state, "xls");
}
void BM_LoadDataFolder100x99Xlsx(benchmark::State& state)
{
    loadDataFolder(state, "xlsx");
}
void BM_LoadDataFolder100x99Ods(benchmark::State& state)
{
    loadDataFolder(state, "ods");
}

} // namespace

BENCHMARK(BM_LoadDataFolder100x99Xls)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadDataFolder100x99Xlsx)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadDataFolder100x99Ods)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
