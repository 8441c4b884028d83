// SPDX-License-Identifier: GPL-3.0-or-later
#include "batchrun.h"

#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "archive/archiverun.h"
#include "archive/caseindex.h"
#include "archive/casereservations.h"
#include "archive/casesummary.h"
#include "automation/workbook.h"
#include "automation/workbookwriter.h"
#include "cli/batchreport.h"
#include "cli/casereportfile.h"
#include "cli/commanddata.h"
#include "cli/exitstatus.h"
#include "cli/exportcase.h"
#include "cli/settingoverrides.h"
#include "engine/combinedindex.h"
#include "exchange/genotypeworkbook.h"
#include "exchange/resultsworkbookwriter.h"
#include "freqdb/locusloader.h"
#include "text/numberformat.h"

namespace cli {
namespace {

namespace fs = std::filesystem;

// One case: the table, its two result lines and, with --output, its results workbook.
int runOneCase(const BatchOptions& options, const freqdb::LocusTable& table, const std::filesystem::path& dataDir,
               const automation::WorkbookReader& reader, const std::string& prior, const text::NumberFormat& format,
               std::ostream& out, std::ostream& err)
{
    ExportCase fromExport = evaluateExportCase(options, table, format);
    if (fromExport.wrongArguments) {
        err << fromExport.loaded.error << '\n';
        return kExitUsage;
    }
    exchange::LoadedResults evaluated
        = fromExport.isExport ? std::move(fromExport.loaded)
                              : exchange::evaluateGenotypeWorkbook(options.cases.front(), reader, table, format);
    if (!evaluated.ok) {
        err << evaluated.error << '\n';
        return kExitFailure;
    }
    for (const auto& note : evaluated.notes)
        err << note << '\n';

    results::ResultsGrid& grid = evaluated.grid;
    const engine::CombinedIndexResult combined = archive::markAndCombine(grid, prior, format);
    if (combined.status == engine::CombinedIndexStatus::BadPrior) {
        err << combined.message << '\n';
        return kExitUsage;
    }
    // Every row with an LR is marked: no selection means no row has one, and the case has no
    // index. The rows are still shown and written, but the run does not end as a success.
    const bool noIndex = combined.status == engine::CombinedIndexStatus::NoSelection;
    const archive::CaseReservations reservations = archive::reservationsOf(evaluated, combined);
    if (noIndex)
        err << options.cases.front().string() << ": " << archive::kNoIndexReason << '\n';
    else if (reservations.any())
        err << options.cases.front().string() << ": " << reservations.status() << '\n';
    if (combined.status == engine::CombinedIndexStatus::BadLr)
        err << combined.message << '\n';

    BatchReport report{std::string(freqdb::populationCode(options.population)), &grid, combined.cpiText,
                       archive::shownProbability(combined), &table.settings()};
    report.table = &table;
    report.format = &format;
    switch (options.format) {
    case OutputFormat::Text:
        writeText(report, out);
        break;
    case OutputFormat::Csv:
        writeCsv(report, out);
        err << report.cpi << '\n' << report.probability << '\n';
        if (const std::string cpe = cpeLine(report); !cpe.empty())
            err << cpe << '\n';
        if (report.settings->any())
            err << freqdb::settingsSummary(*report.settings) << '\n';
        if (const std::string line = mutationLociLine(report); !line.empty())
            err << line << '\n';
        break;
    case OutputFormat::Json:
        writeJson(report, out);
        break;
    }
    out.flush();

    // The workbook and the report are written independently: one that fails does not keep the
    // other from being written, and either failure ends with status 1.
    int status = noIndex ? kExitFailure : reservations.any() ? kExitIncomplete : kExitOk;
    const fs::path& caseFile = options.cases.front();
    if (options.output && archive::fileIdentity(*options.output) == archive::fileIdentity(caseFile)) {
        // The results workbook would replace the case's own genotype workbook.
        err << "книга результатов не записана: " << options.output->string() << " - книга генотипов этого дела\n";
        status = kExitFailure;
    } else if (options.output) {
        try {
            const auto writer = automation::makeXlsxWorkbookWriter();
            exchange::saveResultsWorkbook(*options.output, grid, report.cpi, combined.probabilityText,
                                          options.population, *writer, evaluated.exportLines, {}, &table.settings());
        } catch (const std::exception& e) {
            err << e.what() << '\n';
            status = kExitFailure;
        }
    }
    if (options.report && archive::fileIdentity(*options.report) == archive::fileIdentity(caseFile)) {
        // The readers know a workbook by its content, whatever its name ends with.
        err << "отчёт не записан: " << options.report->string() << " - книга генотипов этого дела\n";
        status = kExitFailure;
    } else if (options.report) {
        const std::string failure = writeCaseReportFile(
            *options.report, {&table, dataDir, options.cases.front(), &grid, report.cpi, combined.probabilityText,
                              &format, evaluated.sourceSamples, evaluated.exportLines});
        if (!failure.empty()) {
            err << failure << '\n';
            status = kExitFailure;
        }
    }
    return status;
}

// Many cases in one run (archive/archiverun.h), the summary printed in the format asked for.
int runCases(const BatchOptions& options, const freqdb::LocusTable& table, const fs::path& dataDir,
             const automation::WorkbookReader& reader, const std::string& prior, const text::NumberFormat& format,
             std::ostream& out, std::ostream& err)
{
    archive::ArchiveRequest request;
    request.cases = options.cases;
    request.outputDir = options.outputDir;
    request.reportDir = options.reportDir;
    request.population = options.population;
    request.prior = prior;
    // Reports draw with Qt: one offscreen application for the whole run.
    std::optional<ReportDrawing> drawing;
    if (options.reportDir)
        drawing.emplace();
    archive::CaseProgress progress;
    if (options.progress)
        progress = [&err](std::size_t done, std::size_t total, const fs::path&) {
            err << '\r' << done + 1 << '/' << total << std::flush;
            return true;
        };
    const archive::ArchiveResult run
        = archive::runArchive(request, {&table, dataDir, &reader, &format}, writeCaseReportFile, progress, err);
    if (!run.folderFailure.empty()) {
        err << run.folderFailure << '\n';
        return kExitFailure;
    }
    if (options.progress)
        err << '\n';

    const archive::RunIdentity identity = archive::runIdentity(table, dataDir, options.population, prior);
    switch (options.format) {
    case OutputFormat::Text:
        archive::writeSummaryText(identity, run.cases, out);
        break;
    case OutputFormat::Csv:
        archive::writeSummaryCsv(identity, run.cases, out);
        break;
    case OutputFormat::Json:
        archive::writeSummaryJson(identity, run.cases, out);
        break;
    }
    return !run.allEvaluated ? kExitFailure : run.anyIncomplete ? kExitIncomplete : kExitOk;
}

} // namespace

int runBatch(const BatchOptions& options, std::ostream& out, std::ostream& err)
{
    const text::NumberFormat format(text::decimalSeparatorFromEnvironment());
    const auto reader = automation::makeFileWorkbookReader();

    std::optional<CommandData> loadedData = loadCommandData(options.dataDir, options.population, *reader, format, err);
    if (!loadedData)
        return kExitFailure;
    const freqdb::DataFolder& data = loadedData->data;
    freqdb::LoadResult& loaded = loadedData->loaded;
    // The report names both folders of the lab's folder over the installed one: its tables come from both.
    const std::filesystem::path dataDir = data.layered() ? std::filesystem::path(data.shown()) : data.folder;
    if (const auto conflict = applySettingOverrides(loaded.table, options.mutation, options.minFrequency, options.theta,
                                                    format.decimalSeparator())) {
        err << *conflict << '\n';
        return kExitUsage;
    }
    // The prior was checked with a comma; the texts are written with the locale's separator.
    const std::string prior = priorText(options.prior, format.decimalSeparator()).value_or(options.prior);

    std::error_code ec;
    const bool oneCase = options.cases.size() == 1 && !fs::is_directory(options.cases.front(), ec) && !options.outputDir
                         && !options.reportDir;
    if (oneCase)
        return runOneCase(options, loaded.table, dataDir, *reader, prior, format, out, err);
    return runCases(options, loaded.table, dataDir, *reader, prior, format, out, err);
}

} // namespace cli
