// SPDX-License-Identifier: GPL-3.0-or-later
#include "batchreport.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

#include "cli/textcolumns.h"
#include "engine/enginetexts.h"
#include "engine/evaluatelocus.h"
#include "exchange/workbooklayout.h"
#include "results/exclusionpowers.h"
#include "results/genotyperow.h"
#include "results/gridtexts.h"
#include "text/shorttext.h"

namespace cli {
namespace {

// A person's genotype as the workbook shows it: "a/b", the cell as read when it could not be
// split ("2122", "/7"), or empty when nothing was typed.
std::string genotypeText(std::string_view first, std::string_view second, std::string_view ownCell)
{
    if (first.empty() && second.empty() && ownCell.empty())
        return {};
    return results::genotypeCellText(first, second, ownCell);
}

// The fields of one row, in the order of the JSON keys.
constexpr std::array<std::string_view, 10> kKeys
    = {"row", "locus", "father", "child", "mother", "formula", "freq1", "freq2", "lr", "mark"};

std::array<std::string, 10> rowFields(const results::ResultsGrid& grid, int r)
{
    const auto& g = grid.RowGenotypes(r);
    return {grid.cell(r, results::kColumnNumber),
            grid.cell(r, results::kColumnLocus),
            genotypeText(g.father1, g.father2, g.fatherCell),
            genotypeText(g.child1, g.child2, g.childCell),
            genotypeText(g.mother1, g.mother2, g.motherCell),
            grid.cell(r, results::kColumnFormula),
            grid.cell(r, results::kColumnFrequency1),
            grid.cell(r, results::kColumnFrequency2),
            grid.cell(r, results::kColumnLr),
            grid.cell(r, results::kColumnMark)};
}

std::array<std::string, 10> headerFields(const results::ResultsGrid& grid)
{
    return {grid.cell(0, 0),
            grid.cell(0, 1),
            std::string(exchange::kGenotypeHeaders[0]),
            std::string(exchange::kGenotypeHeaders[1]),
            std::string(exchange::kGenotypeHeaders[2]),
            grid.cell(0, 2),
            grid.cell(0, 3),
            grid.cell(0, 4),
            grid.cell(0, 5),
            grid.cell(0, 6)};
}

bool settingsOn(const BatchReport& report)
{
    return report.settings && report.settings->any();
}

bool mutationRow(const results::ResultsGrid& grid, int r)
{
    return engine::isMutationFormula(grid.cell(r, results::kColumnFormula));
}

bool mutationOn(const BatchReport& report)
{
    return report.settings && report.settings->mutationOn();
}

// The powers of exclusion of the report's rows, when it has the tables.
std::optional<results::ExclusionPowers> powers(const BatchReport& report)
{
    if (!report.table || !report.format)
        return std::nullopt;
    return results::exclusionPowers(*report.table, *report.grid, *report.format);
}

} // namespace

std::string mutationLociLine(const BatchReport& report)
{
    if (!mutationOn(report))
        return {};
    return std::string(engine::kMutationLociLabel) + ": " + std::to_string(mutationLoci(*report.grid));
}

void writeText(const BatchReport& report, std::ostream& out)
{
    const auto& grid = *report.grid;
    const auto pe = powers(report);
    const auto header = headerFields(grid);
    std::vector<std::vector<std::string>> lines{{header.begin(), header.end()}};
    if (pe)
        lines.front().emplace_back("PE");
    for (int r = 1; r <= grid.ResultCount(); ++r) {
        const auto fields = rowFields(grid, r);
        lines.emplace_back(fields.begin(), fields.end());
        if (pe)
            lines.back().push_back(pe->rows[static_cast<std::size_t>(r - 1)]);
    }
    writeTextColumns(lines, out);
    out << '\n' << report.cpi << '\n' << report.probability << '\n';
    if (pe && !pe->combined.empty())
        out << pe->line() << '\n';
    if (settingsOn(report))
        out << freqdb::settingsSummary(*report.settings) << '\n';
    if (mutationOn(report))
        out << mutationLociLine(report) << '\n';
}

void writeCsv(const BatchReport& report, std::ostream& out)
{
    const auto& grid = *report.grid;
    const bool withSettings = settingsOn(report);
    const auto pe = powers(report);
    for (std::size_t c = 0; c < kKeys.size(); ++c)
        out << (c ? "," : "") << kKeys[c];
    out << (withSettings ? ",mutation" : "") << (pe ? ",pe\n" : "\n");
    for (int r = 1; r <= grid.ResultCount(); ++r) {
        const auto fields = rowFields(grid, r);
        for (std::size_t c = 0; c < fields.size(); ++c)
            out << (c ? "," : "") << csvField(fields[c]);
        if (withSettings)
            out << (mutationRow(grid, r) ? ",1" : ",0");
        if (pe)
            out << ',' << csvField(pe->rows[static_cast<std::size_t>(r - 1)]);
        out << '\n';
    }
}

std::string cpeLine(const BatchReport& report)
{
    const auto pe = powers(report);
    return pe ? pe->line() : std::string();
}

void writeJson(const BatchReport& report, std::ostream& out)
{
    const auto& grid = *report.grid;
    const auto pe = powers(report);
    const auto textOrNull = [](const std::string& text) {
        return text.empty() ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(text);
    };
    std::vector<std::string> rows;
    rows.reserve(static_cast<std::size_t>(grid.ResultCount()));
    for (int r = 1; r <= grid.ResultCount(); ++r) {
        const auto fields = rowFields(grid, r);
        // The mark is not part of a row's JSON: every row with an LR is marked by the batch.
        archive::JsonObjectLine row;
        for (std::size_t c = 0; c + 1 < fields.size(); ++c)
            row.text(kKeys[c], fields[c]);
        if (settingsOn(report))
            row.boolean("mutation", mutationRow(grid, r));
        if (pe)
            row.textOrNull("pe", pe->rows[static_cast<std::size_t>(r - 1)]);
        rows.push_back(std::move(row).finish());
    }
    nlohmann::ordered_json document = {{"population", report.population}};
    if (settingsOn(report)) {
        // The values as the lab wrote them; null for a setting that is off.
        const freqdb::LabSettings& s = *report.settings;
        document["settings"]
            = {{"mutation_model", s.mutationOn() ? "proportional" : "off"},
               {"mutation_rate", s.mutationOn() ? nlohmann::ordered_json(s.mutationRateText) : nullptr},
               {"min_allele_frequency", s.minFrequency ? nlohmann::ordered_json(s.minFrequencyText) : nullptr},
               {"source", s.source}};
        // θ only when on, so that the settings of a lab without it read as they always did.
        if (s.theta)
            document["settings"]["theta"] = s.thetaText;
    }
    document["rows"] = nullptr; // its place: the rows are written as lines of their own
    document["cpi"] = report.cpi;
    document["probability"] = report.probability;
    if (mutationOn(report))
        document["mutation_loci"] = mutationLoci(grid);
    if (pe)
        document["cpe"] = textOrNull(pe->combined);
    writeJsonLines(document, out, "rows", rows);
}

} // namespace cli
