// SPDX-License-Identifier: GPL-3.0-or-later
#include "commandline.h"

#include <string>
#include <vector>

#include "automation/workbook.h"
#include "automation/workbookwriter.h"
#include "cli/batchoptions.h"
#include "cli/batchreport.h"
#include "engine/combinedindex.h"
#include "exchange/genotypeworkbook.h"
#include "exchange/resultsworkbookwriter.h"
#include "freqdb/locusloader.h"
#include "results/gridtexts.h"
#include "text/numberformat.h"

namespace cli {
namespace {

constexpr const char* kVersionText = "paternity-index 0.2\n";
constexpr const char* kOutputLost = "Не удалось вывести результаты: стандартный вывод не принимает данные";

// A report that never reached its reader (a full disk, a closed descriptor) must not end with
// the status of success: scripts and automated checks rely on it.
int checkedOutput(int status, std::ostream& out, std::ostream& err)
{
    out.flush();
    if (status == kExitOk && !out) {
        err << kOutputLost << '\n';
        return kExitFailure;
    }
    return status;
}

// --mutation and --min-frequency replace what the settings file says, for this run only.
void applySettingOverrides(freqdb::LocusTable& table, const BatchOptions& options)
{
    if (!options.mutation && !options.minFrequency)
        return;
    freqdb::LabSettings settings = table.settings();
    // Both were checked when the options were parsed.
    if (options.mutation)
        freqdb::applyMutationSetting(settings, *options.mutation);
    if (options.minFrequency)
        freqdb::applyMinFrequencySetting(settings, *options.minFrequency);
    settings.source = settings.source.empty() ? "командная строка" : settings.source + " и командная строка";
    table.setSettings(std::move(settings));
}

int runBatch(const BatchOptions& options, std::ostream& out, std::ostream& err)
{
    const text::NumberFormat format(text::decimalSeparatorFromEnvironment());
    const auto reader = automation::makeFileWorkbookReader();

    freqdb::LoadResult loaded = freqdb::LoadLocusTableFromFolder(options.dataDir, options.population, *reader, format);
    if (loaded.status != freqdb::LoadStatus::Loaded) {
        err << loaded.message << '\n';
        if (loaded.status == freqdb::LoadStatus::FilesNotFound)
            err << "Папка: " << options.dataDir.string() << '\n';
        return kExitFailure;
    }
    applySettingOverrides(loaded.table, options);

    exchange::LoadedResults evaluated
        = exchange::evaluateGenotypeWorkbook(options.genotypes, *reader, loaded.table, format);
    if (!evaluated.ok) {
        err << evaluated.error << '\n';
        return kExitFailure;
    }
    for (const auto& note : evaluated.notes)
        err << note << '\n';

    // Every row with an LR enters the combined index.
    results::ResultsGrid& grid = evaluated.grid;
    std::vector<engine::CombinedIndexRow> rows;
    for (int r = 1; r <= grid.ResultCount(); ++r) {
        if (!grid.cell(r, results::kColumnLr).empty())
            grid.setCell(r, results::kColumnMark, std::string(results::kMark));
        rows.push_back({grid.cell(r, results::kColumnNumber), grid.cell(r, results::kColumnLr),
                        grid.cell(r, results::kColumnMark)});
    }
    const engine::CombinedIndexResult combined = engine::CombineIndex(rows, options.prior, format);
    if (combined.status == engine::CombinedIndexStatus::BadPrior) {
        err << combined.message << '\n';
        return kExitUsage;
    }
    if (combined.status != engine::CombinedIndexStatus::Ok)
        err << combined.message << '\n';
    if (combined.priorReset)
        err << "Априорная вероятность «" << options.prior << "» не число: взято 0,5\n";

    BatchReport report{std::string(freqdb::populationCode(options.population)), &grid, combined.cpiText,
                       combined.probabilityText, &loaded.table.settings()};
    switch (options.format) {
    case OutputFormat::Text:
        writeText(report, out);
        break;
    case OutputFormat::Csv:
        writeCsv(report, out);
        err << report.cpi << '\n' << report.probability << '\n';
        if (report.settings->any())
            err << freqdb::settingsSummary(*report.settings) << '\n';
        break;
    case OutputFormat::Json:
        writeJson(report, out);
        break;
    }
    out.flush();

    if (options.output) {
        try {
            const auto writer = automation::makeXlsxWorkbookWriter();
            exchange::saveResultsWorkbook(*options.output, grid, report.cpi, report.probability, options.population,
                                          *writer);
        } catch (const std::exception& e) {
            err << e.what() << '\n';
            return kExitFailure;
        }
    }
    return kExitOk;
}

} // namespace

int runCommandLine(int argc, char** argv, std::ostream& out, std::ostream& err)
{
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);
    const ParsedOptions parsed = parseOptions(args);
    if (!parsed.options) {
        err << "paternity-index: " << parsed.error << "\n\n" << usageText();
        return kExitUsage;
    }
    switch (parsed.options->command) {
    case Command::Help:
        out << usageText();
        return checkedOutput(kExitOk, out, err);
    case Command::Version:
        out << kVersionText;
        return checkedOutput(kExitOk, out, err);
    case Command::Batch:
        break;
    }
    try {
        return checkedOutput(runBatch(*parsed.options, out, err), out, err);
    } catch (const std::exception& e) {
        // Nothing below is expected to throw; a failure still ends with a message, not an abort.
        err << e.what() << '\n';
        return kExitFailure;
    }
}

} // namespace cli
