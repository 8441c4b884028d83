// SPDX-License-Identifier: GPL-3.0-or-later
// Real .xlsx files: written by the libxlsxwriter writer, checked cell by cell, merge by merge and
// width by width with python3-openpyxl (an independent reader), and read back with our reader.
#include <clocale>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

#include <gtest/gtest.h>

#include "automation/workbook.h"
#include "automation/xlsxworkbookwriter.h"
#include "exchange/genotypeworkbook.h"
#include "exchange/resultsworkbookreader.h"
#include "exchange/resultsworkbookwriter.h"
#include "exchangetesting.h"
#include "results/genotyperow.h"

namespace exchange {
namespace {

const text::NumberFormat kFormat(",");

struct DumpedCell {
    std::string format, alignment;
    bool wrap = false;
    std::string json; // the value as JSON: "\"text\"" or null
};
struct Dump {
    std::string sheet;
    std::map<std::string, DumpedCell> cells;
    std::vector<std::string> merges;
    std::vector<std::string> widths; // "B E 8.7109375"
};

// Runs dump_xlsx.py; nullopt when Debian's python3 with openpyxl is not there.
std::optional<Dump> dumpWorkbook(const std::filesystem::path& file)
{
    if (std::system("/usr/bin/python3 -c 'import openpyxl' 2>/dev/null") != 0)
        return std::nullopt;
    const std::string command = "/usr/bin/python3 '" PI_EXCHANGE_TEST_DIR "/dump_xlsx.py' '" + file.string() + "'";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return std::nullopt;
    std::string output;
    char buffer[4096];
    while (const std::size_t n = fread(buffer, 1, sizeof buffer, pipe))
        output.append(buffer, n);
    if (pclose(pipe) != 0)
        throw std::runtime_error("dump_xlsx.py failed on " + file.string() + ":\n" + output);
    Dump dump;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream in(line);
        std::string kind;
        in >> kind;
        if (kind == "sheet") {
            in >> std::ws;
            std::getline(in, dump.sheet);
        } else if (kind == "cell") {
            std::string name;
            DumpedCell cell;
            int wrap = 0;
            in >> name >> cell.format >> cell.alignment >> wrap >> std::ws;
            cell.wrap = wrap != 0;
            std::getline(in, cell.json);
            dump.cells[name] = cell;
        } else if (kind == "merge") {
            std::string range;
            in >> range;
            dump.merges.push_back(range);
        } else if (kind == "width") {
            in >> std::ws;
            std::string rest;
            std::getline(in, rest);
            dump.widths.push_back(rest);
        }
    }
    return dump;
}

// A JSON text literal of the plain texts the tests write (no quotes or backslashes in them).
std::string jsonText(const std::string& s)
{
    return s.empty() ? "null" : "\"" + s + "\"";
}

results::ResultsGrid sampleTable(int rows)
{
    results::ResultsGrid grid;
    const auto table = testing::makeTable();
    for (int r = 1; r <= rows; ++r) {
        const bool duo = r % 2 == 0;
        const std::string locus = r % 3 == 0 ? "ТН01-Ж" : "D3S1358";
        results::RowGenotype g = r % 3 == 0 ? results::RowGenotype{"7", "10", "9,3", "7", "9,3", "6"}
                                            : results::RowGenotype{"17", "18", "15", "17", "15", "16"};
        if (duo)
            g.mother1 = g.mother2 = "Нет";
        const int row = grid.AppendRow(locus, g);
        grid.applyOutcome(row, results::evaluateGenotypeRow(table, locus, g, kFormat));
        if (r % 4 == 0)
            grid.ToggleMark(row);
    }
    return grid;
}

TEST(XlsxResultsWorkbook, FileHoldsEveryCellMergeAndWidth)
{
    testing::TempDir dir;
    const auto grid = sampleTable(99);
    const auto file = dir.path() / "результаты.xlsx";
    const auto writer = automation::makeXlsxWorkbookWriter();
    saveResultsWorkbook(file, grid, "Индекс отцовства (Combined Paternity Index) CPI=12,5",
                        "Вероятность отцовства P=92,5926% (априор.вероятность pp=0,5)", freqdb::Population::Russians,
                        *writer);
    testing::RecordingWriter expected;
    saveResultsWorkbook(file, grid, "Индекс отцовства (Combined Paternity Index) CPI=12,5",
                        "Вероятность отцовства P=92,5926% (априор.вероятность pp=0,5)", freqdb::Population::Russians,
                        expected);

    const auto dump = dumpWorkbook(file);
    if (!dump)
        GTEST_SKIP() << "/usr/bin/python3 with openpyxl is not installed";
    EXPECT_EQ(dump->sheet, "Лист1");
    const int last = 99 + 4;
    for (int row = 1; row <= last; ++row) {
        for (int column = 1; column <= 11; ++column) {
            const bool mergedRest = row > 100 && column >= 3 && column <= 6;
            const std::string name = automation::cellName(row, column);
            const auto it = dump->cells.find(name);
            if (mergedRest) {
                EXPECT_EQ(it, dump->cells.end()) << name;
                continue;
            }
            ASSERT_NE(it, dump->cells.end()) << name;
            const DumpedCell& cell = it->second;
            EXPECT_EQ(cell.format, "@") << name;
            EXPECT_EQ(cell.alignment, row <= 100 ? "center" : "left") << name;
            const bool wrap
                = (row == 1 && column >= 2 && column <= 8) || (column == 6 && row <= 100) || (row > 100 && column == 2);
            EXPECT_EQ(cell.wrap, wrap) << name;
            EXPECT_EQ(cell.json, jsonText(expected.values[row - 1][column - 1])) << name;
        }
    }
    EXPECT_EQ(dump->cells.size(), static_cast<std::size_t>(last * 11 - 3 * 4));
    EXPECT_EQ(dump->merges, (std::vector<std::string>{"B101:F101", "B102:F102", "B103:F103"}));
    // libxlsxwriter stores a width in characters plus its padding of 0.7109375.
    EXPECT_EQ(dump->widths, (std::vector<std::string>{"A A 4.7109375", "B E 8.7109375", "F F 14.7109375",
                                                      "G H 11.7109375", "I J 7.7109375"}));
}

TEST(XlsxResultsWorkbook, SavedFileLoadsBackWithTheSameTextsAndGenotypes)
{
    testing::TempDir dir;
    const auto grid = sampleTable(99);
    const auto file = dir.path() / "дело.xlsx";
    saveResultsWorkbook(file, grid, "CPI", "P", freqdb::Population::UsCaucasians,
                        *automation::makeXlsxWorkbookWriter());
    const auto loaded = loadResultsWorkbook(file, *automation::makeFileWorkbookReader(), kFormat);
    ASSERT_TRUE(loaded.ok) << loaded.error;
    ASSERT_EQ(loaded.grid.ResultCount(), 99);
    for (int r = 0; r <= 99; ++r) {
        for (int c = 0; c < results::kColumnCount; ++c)
            EXPECT_EQ(loaded.grid.cell(r, c), grid.cell(r, c)) << "row " << r << " column " << c;
        if (r >= 1) {
            EXPECT_EQ(loaded.grid.RowGenotypes(r), grid.RowGenotypes(r)) << "row " << r;
        }
    }
}

// Under a comma locale printf writes "8,71"; the writer must still write a valid file.
TEST(XlsxResultsWorkbook, SaveUnderRussianLocaleGivesAValidFile)
{
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "ru_RU.UTF-8"))
        GTEST_SKIP() << "locale ru_RU.UTF-8 is not installed (localedef -i ru_RU -f UTF-8 ru_RU.UTF-8)";
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 9.5);
    testing::TempDir dir;
    const auto file = dir.path() / "ru.xlsx";
    try {
        saveResultsWorkbook(file, sampleTable(3), "CPI", "P", freqdb::Population::Russians,
                            *automation::makeXlsxWorkbookWriter());
    } catch (...) {
        std::setlocale(LC_ALL, previous.c_str());
        throw;
    }
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_STREQ(probe, "9,5") << "the locale did not switch the decimal separator";
    const auto dump = dumpWorkbook(file);
    if (!dump)
        GTEST_SKIP() << "/usr/bin/python3 with openpyxl is not installed";
    EXPECT_EQ(dump->widths.front(), "A A 4.7109375");
    const auto loaded = loadResultsWorkbook(file, *automation::makeFileWorkbookReader(), kFormat);
    ASSERT_TRUE(loaded.ok) << loaded.error;
    EXPECT_EQ(loaded.grid.ResultCount(), 3);
}

// A lab's own .xls genotype workbook: row numbers typed as numbers, a numeric first row.
TEST(XlsGenotypeWorkbook, NumbersInCellsReadAsTheirTexts)
{
    testing::TempDir dir;
    const auto file = dir.path() / "дело.xls";
    const std::string script
        = "import sys, xlwt\n"
          "wb = xlwt.Workbook(); ws = wb.add_sheet('1')\n"
          "rows = [(1, 'D3S1358', '15/16', '15/17', '17/18'), (2, 'ТН01-Ж', '9,3/6', '9,3/7', '7/10')]\n"
          "for c, t in enumerate(['N', 'Локус', 'Отец', 'Ребенок', 'Мать']): ws.write(0, c, t)\n"
          "for r, row in enumerate(rows, 1):\n"
          "    for c, v in enumerate(row): ws.write(r, c, v)\n"
          "for r, t in enumerate(['a', 'b', 'c'], 3): ws.write(r, 1, t)\n"
          "wb.save(sys.argv[1])\n";
    std::ofstream(dir.path() / "make.py") << script;
    if (std::system("/usr/bin/python3 -c 'import xlwt' 2>/dev/null") != 0)
        GTEST_SKIP() << "/usr/bin/python3 with xlwt is not installed";
    ASSERT_EQ(
        std::system(("/usr/bin/python3 '" + (dir.path() / "make.py").string() + "' '" + file.string() + "'").c_str()),
        0);
    const auto loaded
        = evaluateGenotypeWorkbook(file, *automation::makeFileWorkbookReader(), testing::makeTable(), kFormat);
    ASSERT_TRUE(loaded.ok) << loaded.error;
    ASSERT_EQ(loaded.grid.ResultCount(), 2);
    EXPECT_EQ(loaded.grid.cell(1, 0), "1");
    EXPECT_EQ(loaded.grid.cell(1, 5), "2,00");
    EXPECT_EQ(loaded.grid.cell(2, 1), "ТН01-Ж");
    EXPECT_EQ(loaded.grid.cell(2, 2), "1/2p(9,3)");
}

std::string contents(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(XlsxWorkbookWriter, FailedSaveLeavesTheExistingFileAndNoTemporary)
{
    testing::TempDir dir;
    const auto file = dir.path() / "old.xlsx";
    std::ofstream(file) << "the operator's old workbook";

    automation::XlsxWorkbookWriter writer;
    writer.addWorksheet("bad[name]"); // refused by the library only when the file is written
    writer.setValues({1, 1, 1, 1}, {{"x"}});
    EXPECT_THROW(writer.save(file), automation::WorkbookError);
    EXPECT_EQ(contents(file), "the operator's old workbook");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

    try {
        automation::XlsxWorkbookWriter other;
        other.addWorksheet("Лист1");
        other.save(dir.path() / "no such folder" / "x.xlsx");
        FAIL() << "saved into a missing folder";
    } catch (const automation::WorkbookError& e) {
        EXPECT_NE(std::string(e.what()).find("не сохранена"), std::string::npos) << e.what();
    }
}

TEST(XlsxWorkbookWriter, SaveReplacesTheFileAndLeavesNoTemporary)
{
    testing::TempDir dir;
    const auto file = dir.path() / "book.xlsx";
    std::ofstream(file) << "old";
    automation::XlsxWorkbookWriter writer;
    writer.addWorksheet("Лист1");
    writer.setTextFormat({1, 1, 2, 2});
    writer.setValues({1, 1, 2, 2}, {{"a", ""}, {"", "0,125"}});
    writer.save(file);
    EXPECT_EQ(contents(file).substr(0, 2), "PK");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
    const auto book = automation::makeFileWorkbookReader()->open(file);
    const auto cells = book->usedRange(1);
    EXPECT_EQ(cells.at(2, 2), automation::CellValue(std::string("0,125")));
}

TEST(XlsxWorkbookWriter, RefusesOverlappingMergesAndBadRanges)
{
    automation::XlsxWorkbookWriter writer;
    writer.merge({2, 2, 2, 6});
    EXPECT_THROW(writer.merge({1, 3, 3, 3}), automation::WorkbookError);
    EXPECT_THROW(writer.setWrap({0, 1, 1, 1}), automation::WorkbookError);
    EXPECT_THROW(writer.setAlignment({2, 2, 1, 1}, automation::HorizontalAlignment::Left), automation::WorkbookError);
}

} // namespace
} // namespace exchange
