// SPDX-License-Identifier: GPL-3.0-or-later
#include "archiverun.h"

#include <algorithm>
#include <set>
#include <stdexcept>
#include <string_view>
#include <system_error>
#include <utility>

#include "archive/caseindex.h"
#include "archive/caselisting.h"
#include "archive/casereservations.h"
#include "automation/workbookwriter.h"
#include "engine/combinedindex.h"
#include "engine/enginetexts.h"
#include "exchange/genotypeworkbook.h"
#include "exchange/resultsworkbookwriter.h"
#include "freqdb/loadmessages.h"
#include "results/exclusionpowers.h"
#include "results/gridtexts.h"
#include "text/casefold.h"

namespace archive {
namespace {

namespace fs = std::filesystem;

// A case's reason on one line. The reader's first line, "Не могу прочитать данные в массив!", is
// the window's error box heading; the reason of a case is what follows it.
std::string oneLine(std::string text)
{
    const std::string heading = std::string(freqdb::kReadFailed) + "\n";
    if (text.rfind(heading, 0) == 0)
        text.erase(0, heading.size());
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    for (std::size_t at; (at = text.find('\n')) != std::string::npos;)
        text.replace(at, 1, "; ");
    return text;
}

// The figures of an evaluated case's summary line.
void countRows(const results::ResultsGrid& grid, CaseSummary& summary)
{
    summary.read = true;
    summary.loci = grid.ResultCount();
    for (int r = 1; r <= grid.ResultCount(); ++r) {
        summary.marked += grid.cell(r, results::kColumnMark).empty() ? 0 : 1;
        summary.excluded += grid.cell(r, results::kColumnFormula) == engine::kPaternityExcluded ? 1 : 0;
    }
    summary.mutation = mutationLoci(grid);
}

} // namespace

fs::path fileIdentity(const fs::path& file)
{
    std::error_code ec;
    fs::path canonical = fs::weakly_canonical(file, ec);
    return ec ? fs::absolute(file, ec) : canonical;
}

int ArchiveResult::count(CaseOutcome outcome) const
{
    return static_cast<int>(
        std::count_if(cases.begin(), cases.end(), [outcome](const CaseSummary& c) { return c.outcome == outcome; }));
}

ArchiveResult runArchive(const ArchiveRequest& request, const ArchiveTables& tables,
                         const CaseReportWriter& writeReport, const CaseProgress& progress, std::ostream& notes)
{
    ArchiveResult result;
    std::vector<CaseSummary>& cases = result.cases;
    for (const auto& argument : request.cases)
        expandCase(argument, cases);

    const std::pair<const std::optional<fs::path>*, const char*> folders[]
        = {{&request.outputDir, "Папка для книг результатов не создается: "},
           {&request.reportDir, "Папка для отчетов не создается: "}};
    for (const auto& [folder, failure] : folders) {
        if (!*folder)
            continue;
        std::error_code ec;
        fs::create_directories(**folder, ec);
        if (!fs::is_directory(**folder, ec)) {
            result.folderFailure = failure + (*folder)->string();
            result.allEvaluated = false;
            return result;
        }
    }
    // Names are compared without regard to case: on a folder that does not tell "Case.xlsx" from
    // "case.xlsx" (a FAT or exFAT stick), the two are one file.
    const auto collisionKey = [](const fs::path& file) { return text::foldCase(fileIdentity(file).string()); };
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

    const freqdb::LocusTable& table = *tables.table;
    const text::NumberFormat& format = *tables.format;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        CaseSummary& summary = cases[i];
        if (progress && !progress(i, cases.size(), summary.file)) {
            // Stopped between two cases: the rest are listed as not begun.
            result.stopped = true;
            result.allEvaluated = false;
            for (std::size_t rest = i; rest < cases.size(); ++rest) {
                if (cases[rest].status.empty()) {
                    cases[rest].status = std::string(kNotProcessed);
                    cases[rest].outcome = CaseOutcome::NotProcessed;
                }
            }
            break;
        }
        if (!summary.status.empty()) { // a folder already found wanting
            result.allEvaluated = false;
            continue;
        }
        exchange::LoadedResults evaluated
            = exchange::evaluateGenotypeWorkbook(summary.file, *tables.reader, table, format);
        if (!evaluated.ok) {
            summary.status = oneLine(evaluated.error);
            result.allEvaluated = false;
            continue;
        }
        for (const auto& note : evaluated.notes)
            notes << summary.file.string() << ": " << note << '\n';
        results::ResultsGrid& grid = evaluated.grid;
        const engine::CombinedIndexResult combined = markAndCombine(grid, request.prior, format);
        const bool noIndex = combined.status == engine::CombinedIndexStatus::NoSelection;
        const CaseReservations reservations = reservationsOf(evaluated, combined);
        if (combined.status == engine::CombinedIndexStatus::BadLr)
            notes << summary.file.string() << ": " << combined.message << '\n';
        countRows(grid, summary);
        summary.notEvaluated = static_cast<int>(reservations.unevaluatedRows.size());
        summary.leftOut = reservations.rowsLeftOut;
        summary.cpi = combined.cpiText;
        summary.cpe = results::exclusionPowers(table, grid, format).combined;
        summary.probability = shownProbability(combined);
        summary.status = noIndex              ? std::string(kNoIndexReason)
                         : reservations.any() ? reservations.status()
                                              : std::string(kCaseOk);
        summary.outcome = noIndex              ? CaseOutcome::Failed
                          : reservations.any() ? CaseOutcome::Incomplete
                                               : CaseOutcome::Evaluated;
        result.allEvaluated = result.allEvaluated && !noIndex;
        result.anyIncomplete = result.anyIncomplete || (!noIndex && reservations.any());

        try {
            if (request.outputDir) {
                const fs::path target
                    = claim(*request.outputDir, summary, kResultsSuffix, "книга результатов не записана");
                // A writer holds one workbook: a fresh one for every case.
                const auto writer = automation::makeXlsxWorkbookWriter();
                exchange::saveResultsWorkbook(target, grid, combined.cpiText, combined.probabilityText,
                                              request.population, *writer, evaluated.exportLines, {},
                                              &table.settings());
                current.insert(fileIdentity(target));
            }
            if (request.reportDir) {
                const fs::path target = claim(*request.reportDir, summary, kReportSuffix, "отчёт не записан");
                const std::string failure = writeReport(target, {&table,
                                                                 tables.dataDir,
                                                                 summary.file,
                                                                 &grid,
                                                                 combined.cpiText,
                                                                 combined.probabilityText,
                                                                 &format,
                                                                 {},
                                                                 evaluated.exportLines});
                if (!failure.empty())
                    throw std::runtime_error(failure);
                current.insert(fileIdentity(target));
            }
        } catch (const std::exception& e) {
            // The reservations of the evaluation stay beside the failure.
            summary.status = oneLine(e.what()) + (summary.status == kCaseOk ? "" : "; " + summary.status);
            summary.outcome = CaseOutcome::Failed;
            result.allEvaluated = false;
        }
    }
    // A case that failed may have a results workbook or report of an earlier run in the folders,
    // computed with the tables of then: its line says so, so it is not taken for this run's.
    for (CaseSummary& summary : cases) {
        if (summary.status == kCaseOk)
            continue;
        for (const auto& [folder, suffix] :
             {std::pair{&request.outputDir, kResultsSuffix}, std::pair{&request.reportDir, kReportSuffix}}) {
            if (!*folder)
                continue;
            const fs::path earlier = **folder / (summary.file.stem().string() + std::string(suffix));
            std::error_code ec;
            if (fs::exists(earlier, ec) && !current.count(fileIdentity(earlier)))
                summary.status += "; " + earlier.string() + " - от прежнего запуска, не обновлен";
        }
    }
    return result;
}

} // namespace archive
