// SPDX-License-Identifier: GPL-3.0-or-later
#include "casereport.h"

#include <QDateTime>

#include "engine/combinedindex.h"
#include "engine/enginetexts.h"
#include "freqdb/labsettings.h"
#include "freqdb/tablesfingerprint.h"
#include "report/reporttexts.h"
#include "results/exclusionpowers.h"
#include "results/genotyperow.h"
#include "version/projectversion.h"

namespace report {
namespace {

constexpr std::array<std::string_view, 3> kGenotypeHeaders = {"Генотип отца", "Генотип ребенка", "Генотип матери"};

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::vector<engine::CombinedIndexRow> combinationRows(const results::ResultsGrid& grid)
{
    std::vector<engine::CombinedIndexRow> rows;
    for (int r = 1; r <= grid.ResultCount(); ++r)
        rows.push_back({grid.cell(r, results::kColumnNumber), grid.cell(r, results::kColumnLr),
                        grid.cell(r, results::kColumnMark)});
    return rows;
}

ReportRow rowOf(const results::ResultsGrid& grid, int r)
{
    const results::RowGenotype& g = grid.RowGenotypes(r);
    // As in the results workbook: a row without the father's first allele shows no genotypes.
    const bool typed = !g.father1.empty();
    auto genotype = [typed](const std::string& a, const std::string& b, const std::string& own) {
        return typed ? results::genotypeCellText(a, b, own) : std::string();
    };
    return {grid.cell(r, results::kColumnNumber),
            grid.cell(r, results::kColumnLocus),
            genotype(g.father1, g.father2, g.fatherCell),
            genotype(g.child1, g.child2, g.childCell),
            genotype(g.mother1, g.mother2, g.motherCell),
            grid.cell(r, results::kColumnFormula),
            grid.cell(r, results::kColumnFrequency1),
            grid.cell(r, results::kColumnFrequency2),
            grid.cell(r, results::kColumnLr),
            grid.cell(r, results::kColumnMark),
            std::string()};
}

} // namespace

CaseCounts countRows(const results::ResultsGrid& grid)
{
    CaseCounts counts;
    counts.loci = grid.ResultCount();
    for (int r = 1; r <= grid.ResultCount(); ++r) {
        // As "Перемножить" selects: marked and with an LR.
        counts.marked += grid.isMarked(r) && !grid.cell(r, results::kColumnLr).empty() ? 1 : 0;
        const std::string& formula = grid.cell(r, results::kColumnFormula);
        counts.paternityExcluded += formula == engine::kPaternityExcluded ? 1 : 0;
        counts.maternityExcluded += formula == engine::kMaternityExcluded ? 1 : 0;
        counts.mutationModel += engine::isMutationFormula(formula) ? 1 : 0;
    }
    return counts;
}

std::string currentDateTimeText()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yyyy HH:mm")).toStdString();
}

CaseReport describeCase(const CaseInputs& inputs, std::string madeAt)
{
    const results::ResultsGrid& grid = *inputs.grid;
    CaseReport report;
    report.madeAt = std::move(madeAt);
    // The version as --version and the validation protocol give it: one text for one release.
    report.program = std::string(kProgramName) + ", " + std::string(kVersionWord) + " " + version::kVersion;
    report.population = std::string(freqdb::populationName(inputs.population));
    report.dataFolder = inputs.dataFolder.string();
    report.fingerprint = freqdb::tablesFingerprint(*inputs.table);
    report.lociLoaded = inputs.table->LocusCount();
    report.source = inputs.source.string();
    report.sourceLoadedAt = inputs.sourceLoadedAt;
    report.sourceChanged = !inputs.source.empty() && inputs.sourceChanged;
    report.sourceSamples = inputs.source.empty() ? std::string() : inputs.sourceSamples;
    // The first line names the export's file and samples, which the lines above already give
    // for rows taken from the export itself.
    if (!inputs.source.empty())
        report.exportLines = inputs.exportLines;
    if (!report.sourceSamples.empty() && !report.exportLines.empty())
        report.exportLines.erase(report.exportLines.begin());

    report.header = {trimmed(grid.cell(0, results::kColumnNumber)),
                     trimmed(grid.cell(0, results::kColumnLocus)),
                     std::string(kGenotypeHeaders[0]),
                     std::string(kGenotypeHeaders[1]),
                     std::string(kGenotypeHeaders[2]),
                     trimmed(grid.cell(0, results::kColumnFormula)),
                     trimmed(grid.cell(0, results::kColumnFrequency1)),
                     trimmed(grid.cell(0, results::kColumnFrequency2)),
                     trimmed(grid.cell(0, results::kColumnLr)),
                     trimmed(grid.cell(0, results::kColumnMark)),
                     std::string(kExclusionPowerHeader)};
    const text::NumberFormat& format = *inputs.format;
    const results::ExclusionPowers powers = results::exclusionPowers(*inputs.table, grid, format);
    for (int r = 1; r <= grid.ResultCount(); ++r) {
        report.rows.push_back(rowOf(grid, r));
        report.rows.back().back() = powers.rows[static_cast<std::size_t>(r - 1)];
    }
    report.counts = countRows(grid);
    report.counts.mutationShown = report.counts.mutationModel > 0 || inputs.table->settings().mutationOn();
    // The settings the rows were computed with, on or off: a reviewer sees the plain formulas were
    // used as plainly as a mutation model.
    for (auto& [label, value] : freqdb::settingsLines(inputs.table->settings()))
        report.labSettings.push_back({std::move(label), std::move(value)});
    if (inputs.table->settings().theta)
        report.thetaNote = std::string(freqdb::kThetaNote);

    // The lines are shown only beside the rows they were formed from.
    const auto rows = combinationRows(grid);
    if (!engine::ResultLinesBelong(rows, inputs.cpiLine, inputs.probabilityLine, format))
        return report;
    report.cpiLine = inputs.cpiLine;
    report.probabilityLine = inputs.probabilityLine;
    // A prior of 1 beside an exclusion leaves the probability line empty: the report says why
    // rather than leave the reader without one.
    if (report.probabilityLine.empty()
        && engine::CombineIndex(rows, format.general(1.0L), format).status == engine::CombinedIndexStatus::Undefined)
        report.probabilityLine = std::string(engine::kUndefinedProbability);
    report.cpeLine = powers.line();
    for (const long double prior : kReportPriors) {
        const engine::CombinedIndexResult at = engine::CombineIndex(rows, format.general(prior), format);
        if (at.status == engine::CombinedIndexStatus::Ok)
            report.priorLines.push_back(at.probabilityText);
    }
    return report;
}

} // namespace report
