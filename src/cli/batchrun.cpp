// SPDX-License-Identifier: GPL-3.0-or-later
#include "batchrun.h"

#include <string>
#include <vector>

#include "automation/workbook.h"
#include "automation/workbookwriter.h"
#include "cli/batchreport.h"
#include "cli/casereportfile.h"
#include "cli/exitstatus.h"
#include "engine/combinedindex.h"
#include "exchange/genotypeworkbook.h"
#include "exchange/resultsworkbookwriter.h"
#include "freqdb/locusloader.h"
#include "results/gridtexts.h"
#include "text/numberformat.h"

namespace cli {

int runBatch(const BatchOptions& options, std::ostream& out, std::ostream& err)
{
    const text::NumberFormat format(text::decimalSeparatorFromEnvironment());
    const auto reader = automation::makeFileWorkbookReader();

    const freqdb::LoadResult loaded
        = freqdb::LoadLocusTableFromFolder(options.dataDir, options.population, *reader, format);
    if (loaded.status != freqdb::LoadStatus::Loaded) {
        err << loaded.message << '\n';
        if (loaded.status == freqdb::LoadStatus::FilesNotFound)
            err << "Папка: " << options.dataDir.string() << '\n';
        return kExitFailure;
    }

    exchange::LoadedResults evaluated
        = exchange::evaluateGenotypeWorkbook(options.cases.front(), *reader, loaded.table, format);
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
    // The prior was checked with a comma; the texts are written with the locale's separator.
    const std::string prior = priorText(options.prior, format.decimalSeparator()).value_or(options.prior);
    const engine::CombinedIndexResult combined = engine::CombineIndex(rows, prior, format);
    if (combined.status == engine::CombinedIndexStatus::BadPrior) {
        err << combined.message << '\n';
        return kExitUsage;
    }
    if (combined.status != engine::CombinedIndexStatus::Ok)
        err << combined.message << '\n';

    BatchReport report{std::string(freqdb::populationCode(options.population)), &grid, combined.cpiText,
                       combined.probabilityText};
    switch (options.format) {
    case OutputFormat::Text:
        writeText(report, out);
        break;
    case OutputFormat::Csv:
        writeCsv(report, out);
        err << report.cpi << '\n' << report.probability << '\n';
        break;
    case OutputFormat::Json:
        writeJson(report, out);
        break;
    }
    out.flush();

    // The workbook and the report are written independently: one that fails does not keep the
    // other from being written, and either failure ends with status 1.
    int status = kExitOk;
    if (options.output) {
        try {
            const auto writer = automation::makeXlsxWorkbookWriter();
            exchange::saveResultsWorkbook(*options.output, grid, report.cpi, report.probability, options.population,
                                          *writer);
        } catch (const std::exception& e) {
            err << e.what() << '\n';
            status = kExitFailure;
        }
    }
    if (options.report) {
        const std::string failure
            = writeCaseReportFile(*options.report, {&loaded.table, options.dataDir, options.cases.front(), &grid,
                                                    report.cpi, report.probability, &format});
        if (!failure.empty()) {
            err << failure << '\n';
            status = kExitFailure;
        }
    }
    return status;
}

} // namespace cli
