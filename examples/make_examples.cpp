// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the example genotype workbooks of examples/: a trio, a duo and a trio with exclusions,
// over loci of the bundled data. Every label is checked against the bundled US Caucasian and
// African American tables first, so an example never shows a verdict for a label the data lacks.
//
// Usage: make-examples DATA_DIR OUTPUT_DIR
#include <ctime>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "automation/workbook.h"
#include "automation/xlsxworkbookwriter.h"
#include "exchange/workbooklayout.h"
#include "freqdb/locusloader.h"
#include "results/genotyperow.h"
#include "text/numberformat.h"

namespace {

struct Locus {
    std::string name, father, child, mother;
};

struct Case {
    std::string file;
    std::vector<std::string> notes; // the three trailing lines, never read by the program
    std::vector<Locus> loci;
};

// 2026-12-07 20:31:20 UTC, the date the examples were first written.
constexpr std::time_t kCreated = 1796675480;

const std::vector<Case> kCases = {
    {"trio.xlsx",
     {"Пример: трио (предполагаемый отец, ребенок, мать), 15 локусов; отцовство не исключается",
      "Генотипы вымышлены, для знакомства с программой", "Последние три строки книги программа не читает"},
     {{"D3S1358", "15/17", "15/16", "16/18"},
      {"vWA", "16/18", "17/18", "14/17"},
      {"FGA", "21/24", "22/24", "20/22"},
      {"D8S1179", "13/13", "12/13", "12/14"},
      {"D21S11", "29/30", "30/31,2", "28/31,2"},
      {"D18S51", "14/17", "14/15", "15/16"},
      {"D5S818", "11/12", "11/13", "12/13"},
      {"D13S317", "8/12", "11/12", "11/11"},
      {"D7S820", "10/10", "10/11", "9/11"},
      {"CSF1PO", "10/12", "11/12", "11/13"},
      {"TPOX", "8/8", "8/8", "8/11"},
      {"TH01", "6/9,3", "9,3/9,3", "7/9,3"},
      {"D16S539", "11/13", "9/11", "9/12"},
      {"D2S1338", "17/20", "19/20", "19/24"},
      {"D19S433", "13/14", "14/14", "14/15"}}},
    {"duo.xlsx",
     {"Пример: дуо (предполагаемый отец и ребенок, мать не типирована: Нет/Нет), 13 локусов",
      "Генотипы вымышлены, для знакомства с программой", "Последние три строки книги программа не читает"},
     {{"D3S1358", "15/16", "15/16", "Нет/Нет"},
      {"vWA", "17/17", "17/18", "Нет/Нет"},
      {"FGA", "21/22", "22/23", "Нет/Нет"},
      {"D8S1179", "12/13", "13/14", "Нет/Нет"},
      {"D21S11", "28/30", "30/30", "Нет/Нет"},
      {"D18S51", "15/16", "12/16", "Нет/Нет"},
      {"D5S818", "11/12", "11/12", "Нет/Нет"},
      {"D13S317", "11/12", "8/12", "Нет/Нет"},
      {"D7S820", "10/11", "10/11", "Нет/Нет"},
      {"CSF1PO", "12/12", "12/12", "Нет/Нет"},
      {"TPOX", "8/11", "8/9", "Нет/Нет"},
      {"TH01", "6/9,3", "6/7", "Нет/Нет"},
      {"D16S539", "12/13", "11/13", "Нет/Нет"}}},
    {"exclusion.xlsx",
     {"Пример: трио, в котором отцовство исключается в четырех локусах (D3S1358, FGA, D21S11, TH01)",
      "Генотипы вымышлены, для знакомства с программой", "Последние три строки книги программа не читает"},
     {{"D3S1358", "14/15", "16/17", "17/18"},
      {"vWA", "16/18", "17/18", "14/17"},
      {"FGA", "20/21", "22/24", "22/25"},
      {"D8S1179", "13/14", "12/13", "12/15"},
      {"D21S11", "28/29", "30/31,2", "30/32,2"},
      {"D18S51", "14/17", "14/15", "15/16"},
      {"D5S818", "11/12", "12/13", "10/13"},
      {"TH01", "6/7", "8/9,3", "9,3/9,3"},
      {"TPOX", "8/11", "8/8", "8/9"},
      {"CSF1PO", "10/12", "11/12", "11/13"}}},
};

bool checkLabels(const Case& c, const freqdb::LocusTable& table, std::string_view population)
{
    bool ok = true;
    for (const auto& l : c.loci) {
        const auto row = results::genotypeFromCells({l.father, l.child, l.mother});
        const auto outcome = results::evaluateGenotypeRow(table, l.name, row, text::NumberFormat(","));
        if (outcome.verdict == engine::Verdict::Failed) {
            std::cerr << c.file << ", " << l.name << " (" << population << "): " << outcome.formula << '\n';
            ok = false;
        }
    }
    return ok;
}

void write(const Case& c, const std::filesystem::path& file)
{
    using namespace exchange;
    const int n = static_cast<int>(c.loci.size());
    const int lastRow = n + 1 + kTrailingRows;
    std::vector<std::vector<std::string>> values(lastRow, std::vector<std::string>(kColumnMother));
    values[0] = {"№", "  Локус", std::string(kGenotypeHeaders[0]), std::string(kGenotypeHeaders[1]),
                 std::string(kGenotypeHeaders[2])};
    for (int r = 1; r <= n; ++r) {
        const auto& l = c.loci[r - 1];
        values[r] = {std::to_string(r), l.name, l.father, l.child, l.mother};
    }
    for (int k = 0; k < kTrailingRows; ++k)
        values[n + 1 + k][kColumnLocus - 1] = c.notes[k];

    // A fixed creation date: a rebuild of unchanged examples leaves the files as they were.
    auto writer = std::make_unique<automation::XlsxWorkbookWriter>();
    writer->setCreated(kCreated);
    writer->addWorksheet(std::string(kSheetName));
    writer->setAlignment({1, 1, n + 1, kColumnMother}, automation::HorizontalAlignment::Center);
    writer->setAlignment({n + 2, 1, lastRow, kColumnMother}, automation::HorizontalAlignment::Left);
    writer->setTextFormat({1, 1, lastRow, kColumnMother});
    writer->setValues({1, 1, lastRow, kColumnMother}, values);
    for (const auto& w : kColumnWidths) {
        if (w.firstColumn <= kColumnMother)
            writer->setColumnWidth({1, w.firstColumn, 1, w.lastColumn}, w.characters);
    }
    writer->setWrap({1, 2, 1, kColumnMother});
    writer->save(file);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: make-examples DATA_DIR OUTPUT_DIR\n";
        return 2;
    }
    const auto reader = automation::makeFileWorkbookReader();
    bool ok = true;
    for (auto population : {freqdb::Population::UsCaucasians, freqdb::Population::UsBlacks}) {
        const auto loaded = freqdb::LoadLocusTableFromFolder(argv[1], population, *reader, text::NumberFormat(","));
        if (loaded.status != freqdb::LoadStatus::Loaded) {
            std::cerr << loaded.message << '\n';
            return 1;
        }
        for (const auto& c : kCases)
            ok = checkLabels(c, loaded.table, freqdb::populationCode(population)) && ok;
    }
    if (!ok)
        return 1;
    try {
        for (const auto& c : kCases) {
            write(c, std::filesystem::path(argv[2]) / c.file);
            std::cout << (std::filesystem::path(argv[2]) / c.file).string() << '\n';
        }
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
    return 0;
}
