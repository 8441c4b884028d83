// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the example relatives workbooks of examples/ (deficiency cases: the alleged father
// untyped, his relatives typed): his father and mother, his brother, and a half-sibling of the
// child through him with the half-sibling's mother; and, with --benchmark FILE, the 29-locus case
// of the benchmark (his father and mother, two of his siblings, the child's mother). The families
// are drawn from the bundled US Caucasian frequencies with a fixed seed, the alleged father being
// the true father, so every row fits; each row is checked to give an LR on both US tables.
//
// Usage: make-relatives-examples DATA_DIR OUTPUT_DIR [--benchmark FILE]
#include <filesystem>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "automation/workbook.h"
#include "automation/xlsxworkbookwriter.h"
#include "freqdb/locusloader.h"
#include "kinship/kinshipevaluation.h"
#include "text/numberformat.h"

namespace {

using Genotype = std::pair<std::string, std::string>;

// The persons of a case: a column header each and who their parents are (-1: a founder).
struct Member {
    std::string header;
    int father = -1;
    int mother = -1;
    bool typed = true;
};

struct Example {
    std::string file;
    std::vector<Member> members; // parents before their children
    int loci = 15;
};

// The alleged father is a member of every family, untyped; the child is his child.
const std::vector<Example> kExamples = {
    {"relatives-grandparents.xlsx",
     {{"Отец предполагаемого отца"},
      {"Мать предполагаемого отца"},
      {"Предполагаемый отец", 0, 1, false},
      {"Мать"},
      {"Ребенок", 2, 3}}},
    {"relatives-brother.xlsx",
     {{"father of the two", -1, -1, false},
      {"mother of the two", -1, -1, false},
      {"Предполагаемый отец", 0, 1, false},
      {"Брат предполагаемого отца 1", 0, 1},
      {"Мать"},
      {"Ребенок", 2, 4}}},
    {"relatives-half-sibling.xlsx",
     {{"Предполагаемый отец", -1, -1, false},
      {"Мать ребенка предполагаемого отца 1"},
      {"Ребенок предполагаемого отца 1", 0, 1},
      {"Мать"},
      {"Ребенок", 0, 3}}},
};

const Example kBenchmark = {"",
                            {{"Отец предполагаемого отца"},
                             {"Мать предполагаемого отца"},
                             {"Предполагаемый отец", 0, 1, false},
                             {"Брат предполагаемого отца 1", 0, 1},
                             {"Сестра предполагаемого отца 2", 0, 1},
                             {"Мать"},
                             {"Ребенок", 2, 5}},
                            29};

std::vector<std::vector<std::string>> drawFamily(const Example& e, const freqdb::LocusTable& table,
                                                 std::mt19937& random)
{
    std::vector<std::vector<std::string>> values;
    std::vector<std::string> header{"№", "Локус"};
    for (const Member& m : e.members) {
        if (m.typed)
            header.push_back(m.header);
    }
    values.push_back(header);
    for (int k = 1; k <= table.LocusCount() && static_cast<int>(values.size()) <= e.loci; ++k) {
        const freqdb::LocusRecord& locus = table.record(static_cast<std::uint8_t>(k));
        std::vector<double> weights;
        for (int a = 1; a <= locus.AlleleCount; ++a)
            weights.push_back(static_cast<double>(locus.Frequencies[static_cast<std::size_t>(a)]));
        std::discrete_distribution<int> allele(weights.begin(), weights.end());
        std::bernoulli_distribution coin(0.5);
        std::vector<Genotype> g;
        for (const Member& m : e.members) {
            if (m.father < 0) {
                g.push_back({locus.Labels[static_cast<std::size_t>(allele(random) + 1)],
                             locus.Labels[static_cast<std::size_t>(allele(random) + 1)]});
            } else {
                const Genotype& f = g[static_cast<std::size_t>(m.father)];
                const Genotype& mo = g[static_cast<std::size_t>(m.mother)];
                g.push_back({coin(random) ? f.first : f.second, coin(random) ? mo.first : mo.second});
            }
        }
        std::vector<std::string> row{std::to_string(values.size()), locus.Name};
        for (std::size_t i = 0; i < e.members.size(); ++i) {
            if (e.members[i].typed)
                row.push_back(g[i].first + "/" + g[i].second);
        }
        values.push_back(row);
    }
    return values;
}

// Every row gives an LR on the table.
bool check(const std::string& file, const std::vector<std::vector<std::string>>& values,
           const freqdb::LocusTable& table)
{
    kinship::KinshipCase c;
    for (std::size_t col = 2; col < values[0].size(); ++col)
        c.persons.push_back({*kinship::roleFromHeader(values[0][col]), {}});
    for (std::size_t r = 1; r < values.size(); ++r)
        c.rows.push_back({values[r][0], values[r][1], {values[r].begin() + 2, values[r].end()}, {}});
    const auto result = kinship::evaluateKinshipCase(c, table, text::NumberFormat(","), "0,5");
    bool ok = true;
    for (const auto& row : result.rows) {
        if (row.lr.empty() || row.lr == "0") {
            std::cerr << file << ", " << row.locus << ": " << row.formula << '\n';
            ok = false;
        }
    }
    return ok;
}

void write(const std::vector<std::vector<std::string>>& values, const std::filesystem::path& file)
{
    const int rows = static_cast<int>(values.size()), columns = static_cast<int>(values[0].size());
    auto writer = automation::makeXlsxWorkbookWriter();
    writer->addWorksheet("Лист1");
    writer->setTextFormat({1, 1, rows, columns});
    writer->setAlignment({1, 1, rows, columns}, automation::HorizontalAlignment::Center);
    writer->setValues({1, 1, rows, columns}, values);
    writer->setColumnWidth({1, 1, 1, 1}, 5);
    writer->setColumnWidth({1, 2, 1, 2}, 12);
    writer->setColumnWidth({1, 3, 1, columns}, 18);
    writer->setWrap({1, 1, 1, columns});
    writer->save(file);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3 && !(argc == 5 && std::string(argv[3]) == "--benchmark")) {
        std::cerr << "usage: make-relatives-examples DATA_DIR OUTPUT_DIR [--benchmark FILE]\n";
        return 2;
    }
    const auto reader = automation::makeFileWorkbookReader();
    std::vector<freqdb::LocusTable> tables;
    for (auto population : {freqdb::Population::UsCaucasians, freqdb::Population::UsBlacks}) {
        auto loaded = freqdb::LoadLocusTableFromFolder(argv[1], population, *reader, text::NumberFormat(","));
        if (loaded.status != freqdb::LoadStatus::Loaded) {
            std::cerr << loaded.message << '\n';
            return 1;
        }
        tables.push_back(std::move(loaded.table));
    }
    std::vector<Example> examples = kExamples;
    if (argc == 5) {
        examples = {kBenchmark};
        examples.front().file = argv[4];
    }
    std::mt19937 random(34);
    try {
        for (const Example& e : examples) {
            // Draw again until every row fits both tables (an allele one of them lacks).
            for (int attempt = 0;; ++attempt) {
                const auto values = drawFamily(e, tables.front(), random);
                if (!check(e.file, values, tables[0]) || !check(e.file, values, tables[1])) {
                    if (attempt < 50)
                        continue;
                    return 1;
                }
                const std::filesystem::path file
                    = argc == 5 ? std::filesystem::path(e.file) : std::filesystem::path(argv[2]) / e.file;
                write(values, file);
                std::cout << file.string() << '\n';
                break;
            }
        }
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
    return 0;
}
