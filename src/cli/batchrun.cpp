// SPDX-License-Identifier: GPL-3.0-or-later
#include "batchrun.h"

#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "automation/workbook.h"
#include "automation/workbookwriter.h"
#include "cli/batchreport.h"
#include "cli/casereportfile.h"
#include "cli/casereservations.h"
#include "cli/casesummary.h"
#include "cli/commanddata.h"
#include "cli/exitstatus.h"
#include "cli/exportcase.h"
#include "cli/settingoverrides.h"
#include "engine/combinedindex.h"
#include "engine/enginetexts.h"
#include "exchange/genotypeworkbook.h"
#include "exchange/resultsworkbookwriter.h"
#include "freqdb/locusloader.h"
#include "results/exclusionpowers.h"
#include "results/gridtexts.h"
#include "text/casefold.h"
#include "text/numberformat.h"

namespace cli {
namespace {

namespace fs = std::filesystem;

// The identity of a file for "is this one of the inputs": its canonical path where it exists.
fs::path identity(const fs::path& file)
{
    std::error_code ec;
    fs::path canonical = fs::weakly_canonical(file, ec);
    return ec ? fs::absolute(file, ec) : canonical;
}

// Marks every row with an LR and combines them as "Перемножить" does.
engine::CombinedIndexResult markAndCombine(results::ResultsGrid& grid, const std::string& prior,
                                           const text::NumberFormat& format)
{
    std::vector<engine::CombinedIndexRow> rows;
    for (int r = 1; r <= grid.ResultCount(); ++r) {
        if (!grid.cell(r, results::kColumnLr).empty())
            grid.setCell(r, results::kColumnMark, std::string(results::kMark));
        rows.push_back({grid.cell(r, results::kColumnNumber), grid.cell(r, results::kColumnLr),
                        grid.cell(r, results::kColumnMark)});
    }
    return engine::CombineIndex(rows, prior, format);
}

// The probability line as the batch prints it: a probability without a value says so.
std::string shownProbability(const engine::CombinedIndexResult& combined)
{
    return combined.status == engine::CombinedIndexStatus::Undefined ? std::string(engine::kUndefinedProbability)
                                                                     : combined.probabilityText;
}

// One case: the table, its two result lines and, with --output, its results workbook.
int runOneCase(const BatchOptions& options, const freqdb::LocusTable& table, const std::filesystem::path& dataDir,
               const automation::WorkbookReader& reader, const std::string& prior, const text::NumberFormat& format,
               std::ostream& out, std::ostream& err)
{
    exchange::LoadedResults evaluated;
    const ExportCase fromExport = evaluateExportCase(options, table, format);
    if (fromExport.wrongArguments) {
        err << fromExport.loaded.error << '\n';
        return kExitUsage;
    }
    if (fromExport.isExport)
        evaluated = fromExport.loaded;
    else
        evaluated = exchange::evaluateGenotypeWorkbook(options.cases.front(), reader, table, format);
    if (!evaluated.ok) {
        err << evaluated.error << '\n';
        return kExitFailure;
    }
    for (const auto& note : evaluated.notes)
        err << note << '\n';

    results::ResultsGrid& grid = evaluated.grid;
    const engine::CombinedIndexResult combined = markAndCombine(grid, prior, format);
    if (combined.status == engine::CombinedIndexStatus::BadPrior) {
        err << combined.message << '\n';
        return kExitUsage;
    }
    // Every row with an LR is marked: no selection means no row has one, and the case has no
    // index. The rows are still shown and written, but the run does not end as a success.
    const bool noIndex = combined.status == engine::CombinedIndexStatus::NoSelection;
    const CaseReservations reservations = reservationsOf(evaluated, combined);
    if (noIndex)
        err << options.cases.front().string() << ": " << kNoIndexReason << '\n';
    else if (reservations.any())
        err << options.cases.front().string() << ": " << reservations.status() << '\n';
    if (combined.status == engine::CombinedIndexStatus::BadLr)
        err << combined.message << '\n';

    BatchReport report{std::string(freqdb::populationCode(options.population)), &grid, combined.cpiText,
                       shownProbability(combined), &table.settings()};
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
    if (options.output && identity(*options.output) == identity(caseFile)) {
        // The results workbook would replace the case's own genotype workbook.
        err << "книга результатов не записана: " << options.output->string() << " - книга генотипов этого дела\n";
        status = kExitFailure;
    } else if (options.output) {
        try {
            const auto writer = automation::makeXlsxWorkbookWriter();
            exchange::saveResultsWorkbook(*options.output, grid, report.cpi, combined.probabilityText,
                                          options.population, *writer);
        } catch (const std::exception& e) {
            err << e.what() << '\n';
            status = kExitFailure;
        }
    }
    if (options.report && identity(*options.report) == identity(caseFile)) {
        // The readers know a workbook by its content, whatever its name ends with.
        err << "отчёт не записан: " << options.report->string() << " - книга генотипов этого дела\n";
        status = kExitFailure;
    } else if (options.report) {
        const std::string failure
            = writeCaseReportFile(*options.report, {&table, dataDir, options.cases.front(), &grid, report.cpi,
                                                    combined.probabilityText, &format, evaluated.sourceSamples});
        if (!failure.empty()) {
            err << failure << '\n';
            status = kExitFailure;
        }
    }
    return status;
}

CaseSummary caseOf(fs::path file, std::string failure = {})
{
    CaseSummary summary;
    summary.file = std::move(file);
    summary.status = std::move(failure);
    return summary;
}

bool isGenotypeWorkbookName(const fs::path& file)
{
    std::string name = file.filename().string();
    for (char& c : name)
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    const auto endsWith = [&](std::string_view end) {
        return name.size() > end.size() && name.compare(name.size() - end.size(), end.size(), end) == 0;
    };
    // Results workbooks of an earlier run and office lock files are not cases.
    if (name.starts_with("~$") || name.starts_with(".") || endsWith(kResultsSuffix))
        return false;
    return endsWith(".xlsx") || endsWith(".xls") || endsWith(".ods");
}

// A CASE argument as the cases it names: a workbook (or a path that is none, to be reported by
// the reader), or the genotype workbooks of a folder in the order of their names. A folder that
// cannot be listed or holds no workbook becomes a case that failed, so it is accounted for; so
// does a workbook's name in it that leads to no file (a dangling symbolic link).
void expandCase(const fs::path& argument, std::vector<CaseSummary>& cases)
{
    std::error_code ec;
    if (!fs::is_directory(argument, ec)) {
        cases.push_back(caseOf(argument));
        return;
    }
    std::vector<CaseSummary> found;
    for (fs::directory_iterator it(argument, ec), end; !ec && it != end; it.increment(ec)) {
        if (!isGenotypeWorkbookName(it->path()))
            continue;
        std::error_code fileEc;
        if (it->is_regular_file(fileEc)) {
            found.push_back(caseOf(it->path()));
        } else if (it->is_symlink(fileEc) && !it->exists(fileEc)) {
            std::error_code linkEc;
            const fs::path target = fs::read_symlink(it->path(), linkEc);
            found.push_back(caseOf(it->path(), "ссылка ведет к несуществующему файлу: " + target.string()));
        }
    }
    if (ec) {
        cases.push_back(caseOf(argument, "папка не читается: " + ec.message()));
        return;
    }
    if (found.empty()) {
        cases.push_back(caseOf(argument, "в папке нет книг генотипов (.xlsx, .xls, .ods)"));
        return;
    }
    std::sort(found.begin(), found.end(), [](const CaseSummary& a, const CaseSummary& b) { return a.file < b.file; });
    for (auto& summary : found)
        cases.push_back(std::move(summary));
}

std::string oneLine(std::string text)
{
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    for (std::size_t at; (at = text.find('\n')) != std::string::npos;)
        text.replace(at, 1, "; ");
    return text;
}

// Many cases in one run: the table loaded once, every case evaluated as one case is, its results
// workbook and report written where asked, and a summary line for each.
int runCases(const BatchOptions& options, const freqdb::LocusTable& table, const fs::path& dataDir,
             const automation::WorkbookReader& reader, const std::string& prior, const text::NumberFormat& format,
             std::ostream& out, std::ostream& err)
{
    std::vector<CaseSummary> cases;
    for (const auto& argument : options.cases)
        expandCase(argument, cases);

    const std::pair<const std::optional<fs::path>*, const char*> folders[]
        = {{&options.outputDir, "Папка для книг результатов не создается: "},
           {&options.reportDir, "Папка для отчетов не создается: "}};
    for (const auto& [folder, failure] : folders) {
        if (!*folder)
            continue;
        std::error_code ec;
        fs::create_directories(**folder, ec);
        if (!fs::is_directory(**folder, ec)) {
            err << failure << (*folder)->string() << '\n';
            return kExitFailure;
        }
    }
    // Names are compared without regard to case: on a folder that does not tell "Case.xlsx" from
    // "case.xlsx" (a FAT or exFAT stick), the two are one file.
    const auto collisionKey = [](const fs::path& file) { return text::foldCase(identity(file).string()); };
    std::set<std::string> inputs;
    for (const auto& c : cases)
        inputs.insert(collisionKey(c.file));
    std::set<std::string> written; // claimed by a case of this run
    std::set<fs::path> current; // written by this run
    // A file this run writes: never one of its inputs, nor a file written for another case of the
    // same name. `what` names it in the refusal: "книга результатов не записана".
    const auto claim
        = [&](const fs::path& folder, const CaseSummary& summary, std::string_view suffix, const std::string& what) {
              const fs::path target = folder / (summary.file.stem().string() + std::string(suffix));
              const std::string id = collisionKey(target);
              if (inputs.count(id))
                  throw std::runtime_error(what + ": " + target.string() + " - одна из книг генотипов этого запуска");
              if (!written.insert(id).second)
                  throw std::runtime_error(what + ": " + target.string()
                                           + " - этот файл уже записан для другого дела с тем же именем");
              return target;
          };
    // Reports draw with Qt: one offscreen application for the whole run.
    std::optional<ReportDrawing> drawing;
    if (options.reportDir)
        drawing.emplace();

    bool allEvaluated = true;
    bool anyIncomplete = false;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        if (options.progress)
            err << '\r' << i + 1 << '/' << cases.size() << std::flush;
        CaseSummary& summary = cases[i];
        if (!summary.status.empty()) { // a folder already found wanting
            allEvaluated = false;
            continue;
        }
        exchange::LoadedResults evaluated = exchange::evaluateGenotypeWorkbook(summary.file, reader, table, format);
        if (!evaluated.ok) {
            summary.status = oneLine(evaluated.error);
            allEvaluated = false;
            continue;
        }
        for (const auto& note : evaluated.notes)
            err << summary.file.string() << ": " << note << '\n';
        results::ResultsGrid& grid = evaluated.grid;
        const engine::CombinedIndexResult combined = markAndCombine(grid, prior, format);
        const bool noIndex = combined.status == engine::CombinedIndexStatus::NoSelection;
        const CaseReservations reservations = reservationsOf(evaluated, combined);
        if (combined.status == engine::CombinedIndexStatus::BadLr)
            err << summary.file.string() << ": " << combined.message << '\n';
        summary.read = true;
        summary.loci = grid.ResultCount();
        for (int r = 1; r <= grid.ResultCount(); ++r) {
            summary.marked += grid.cell(r, results::kColumnMark).empty() ? 0 : 1;
            summary.excluded += grid.cell(r, results::kColumnFormula) == engine::kPaternityExcluded ? 1 : 0;
        }
        summary.notEvaluated = static_cast<int>(reservations.unevaluatedRows.size());
        summary.leftOut = reservations.rowsLeftOut;
        summary.mutation = mutationLoci(grid);
        summary.cpi = combined.cpiText;
        summary.cpe = results::exclusionPowers(table, grid, format).combined;
        summary.probability = shownProbability(combined);
        summary.status = noIndex              ? std::string(kNoIndexReason)
                         : reservations.any() ? reservations.status()
                                              : std::string(kCaseOk);
        allEvaluated = allEvaluated && !noIndex;
        anyIncomplete = anyIncomplete || (!noIndex && reservations.any());

        try {
            if (options.outputDir) {
                const fs::path target
                    = claim(*options.outputDir, summary, kResultsSuffix, "книга результатов не записана");
                // A writer holds one workbook: a fresh one for every case.
                const auto writer = automation::makeXlsxWorkbookWriter();
                exchange::saveResultsWorkbook(target, grid, combined.cpiText, combined.probabilityText,
                                              options.population, *writer);
                current.insert(identity(target));
            }
            if (options.reportDir) {
                const fs::path target = claim(*options.reportDir, summary, kReportSuffix, "отчёт не записан");
                const std::string failure = writeCaseReportFile(
                    target,
                    {&table, dataDir, summary.file, &grid, combined.cpiText, combined.probabilityText, &format, {}});
                if (!failure.empty())
                    throw std::runtime_error(failure);
                current.insert(identity(target));
            }
        } catch (const std::exception& e) {
            // The reservations of the evaluation stay beside the failure.
            summary.status = oneLine(e.what()) + (summary.status == kCaseOk ? "" : "; " + summary.status);
            allEvaluated = false;
        }
    }
    if (options.progress)
        err << '\n';
    // A case that failed may have a results workbook or report of an earlier run in the folders,
    // computed with the tables of then: its line says so, so it is not taken for this run's.
    for (CaseSummary& summary : cases) {
        if (summary.status == kCaseOk)
            continue;
        for (const auto& [folder, suffix] :
             {std::pair{&options.outputDir, kResultsSuffix}, std::pair{&options.reportDir, kReportSuffix}}) {
            if (!*folder)
                continue;
            const fs::path earlier = **folder / (summary.file.stem().string() + std::string(suffix));
            std::error_code ec;
            if (fs::exists(earlier, ec) && !current.count(identity(earlier)))
                summary.status += "; " + earlier.string() + " - от прежнего запуска, не обновлен";
        }
    }

    const std::string population(freqdb::populationCode(options.population));
    // The count of the mutation model's rows is a column while the model is on.
    const bool withMutation = table.settings().mutationOn();
    switch (options.format) {
    case OutputFormat::Text:
        writeSummaryText(cases, withMutation, out);
        break;
    case OutputFormat::Csv:
        writeSummaryCsv(cases, withMutation, out);
        break;
    case OutputFormat::Json:
        writeSummaryJson(population, cases, withMutation, out);
        break;
    }
    return !allEvaluated ? kExitFailure : anyIncomplete ? kExitIncomplete : kExitOk;
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
    if (const auto conflict
        = applySettingOverrides(loaded.table, options.mutation, options.minFrequency, options.theta)) {
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
