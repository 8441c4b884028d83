// SPDX-License-Identifier: GPL-3.0-or-later
// The results workbook through the writer interface and the fake reader: layout, round trip,
// batch evaluation of a saved table, and the faults of reading that must leave no trace.
#include <gtest/gtest.h>

#include "engine/combinedindex.h"
#include "engine/enginetexts.h"
#include "exchange/genotypeworkbook.h"
#include "exchange/resultsworkbookreader.h"
#include "exchange/resultsworkbookwriter.h"
#include "exchange/workbooklayout.h"
#include "exchangetesting.h"
#include "freqdb/loadmessages.h"
#include "results/genotyperow.h"
#include "results/stalerows.h"
#include "support/fakeworkbook.h"

namespace exchange {
namespace {

using automation::CellArray;
using automation::CellRange;
using automation::CellValue;
using automation::FakeWorkbookReader;
using testing::RecordingWriter;

const text::NumberFormat kFormat(",");

// A full table: 99 rows over Cyrillic locus names, with marks, both verdicts, absent mothers,
// a row without genotypes and texts of every column.
results::ResultsGrid fullTable()
{
    results::ResultsGrid grid;
    const auto table = testing::makeTable();
    for (int r = 1; r <= results::kLastDataRow; ++r) {
        results::RowGenotype g;
        std::string locus;
        switch (r % 4) {
        case 0:
            locus = "D3S1358";
            g = {"Нет", "Нет", "15", "16", "15", "18"};
            break;
        case 1:
            locus = "ТН01-Ж";
            g = {"7", "10", "9,3", "7", "9,3", "6"};
            break;
        case 2:
            locus = "D3S1358";
            g = {"17", "18", "16", "17", "14", "14"};
            break; // paternity excluded
        default:
            locus = "Локус №" + std::to_string(r);
            g = {"Нет", "Нет", "1", "2", "3", "4"};
            break;
        }
        const int row = grid.AppendRow(locus, g);
        grid.applyOutcome(row, results::evaluateGenotypeRow(table, locus, g, kFormat));
        if (r % 3 == 0)
            grid.ToggleMark(row);
    }
    grid.setCell(50, results::kColumnFormula, "Материнство исключается");
    grid.setRowGenotypes(52, {}); // a row entered without genotypes
    return grid;
}

// Saves `grid` through a recording writer and returns the reader that holds the sheet it wrote.
FakeWorkbookReader savedAsWorkbook(const results::ResultsGrid& grid, const std::filesystem::path& path,
                                   RecordingWriter& writer)
{
    saveResultsWorkbook(path, grid, "CPI=1,0", "P=50,0000", freqdb::Population::Russians, writer);
    FakeWorkbookReader reader;
    reader.add(path, {{std::string(kSheetName), writer.usedRange()}});
    return reader;
}

TEST(ResultsWorkbookWriter, WritesTheBlockFormatsMergesWidthsAndWrap)
{
    results::ResultsGrid grid;
    grid.AppendRow("D3S1358", {"Нет", "Нет", "15", "16", "15", "18"});
    grid.AppendRow("TH01", {}); // no genotypes: C..E stay empty
    RecordingWriter writer;
    saveResultsWorkbook("/x/out.xlsx", grid, "CPI line", "P line", freqdb::Population::UsBlacks, writer);

    EXPECT_EQ(writer.sheets, std::vector<std::string>{"Лист1"});
    EXPECT_EQ(writer.savedTo, "/x/out.xlsx");
    ASSERT_EQ(writer.formats.size(), 6u);
    EXPECT_EQ(writer.formats[0].what, "center");
    EXPECT_EQ(writer.formats[0].range, (CellRange{1, 1, 6, 11}));
    EXPECT_EQ(writer.formats[1].what, "left");
    EXPECT_EQ(writer.formats[1].range, (CellRange{4, 1, 6, 11}));
    EXPECT_EQ(writer.formats[2].what, "text");
    EXPECT_EQ(writer.formats[2].range, (CellRange{1, 1, 6, 11}));
    EXPECT_EQ(writer.formats[3].range, (CellRange{1, 2, 1, 8}));
    EXPECT_EQ(writer.formats[4].range, (CellRange{1, 6, 3, 6}));
    EXPECT_EQ(writer.formats[5].range, (CellRange{4, 2, 6, 6})); // the closing lines wrap in their merges
    EXPECT_EQ(writer.merges, (std::vector<CellRange>{{4, 2, 4, 6}, {5, 2, 5, 6}, {6, 2, 6, 6}}));
    ASSERT_EQ(writer.widths.size(), 5u);
    const std::vector<std::pair<CellRange, double>> widths
        = {{{1, 1, 1, 1}, 4}, {{1, 2, 1, 5}, 8}, {{1, 6, 1, 6}, 14}, {{1, 7, 1, 8}, 11}, {{1, 9, 1, 10}, 7}};
    for (std::size_t i = 0; i < widths.size(); ++i) {
        EXPECT_EQ(writer.widths[i].range, widths[i].first);
        EXPECT_EQ(writer.widths[i].characters, widths[i].second);
    }

    EXPECT_EQ(writer.valueRange, (CellRange{1, 1, 6, 11}));
    const std::vector<std::vector<std::string>> expected = {
        {"№", "  Локус", "Генотип отца", "Генотип ребенка", "Генотип матери", " Формула", "Частота аллеля",
         "Частота аллеля", " LR", "Выбрать", ""},
        {"1", "D3S1358", "15/18", "15/16", "Нет/Нет", "", "", "", "", "", ""},
        {"2", "TH01", "", "", "", "", "", "", "", "", ""},
        {"", "CPI line", "", "", "", "", "", "", "", "", ""},
        {"", "P line", "", "", "", "", "", "", "", "", ""},
        {"", "Использовались референтные частоты аллелей для негров США", "", "", "", "", "", "", "", "", ""},
    };
    EXPECT_EQ(writer.values, expected);
}

TEST(ResultsWorkbookWriter, EmptyTableGivesFourRowsAndUnsetPopulationEndsWithTheSpace)
{
    RecordingWriter writer;
    saveResultsWorkbook("e.xlsx", results::ResultsGrid(), "", "", freqdb::Population::Unset, writer);
    ASSERT_EQ(writer.values.size(), 4u);
    EXPECT_EQ(writer.values[3][1], "Использовались референтные частоты аллелей для ");
    EXPECT_EQ(writer.formats[4].range, (CellRange{1, 6, 1, 6})); // wrap of F covers F1 only
    EXPECT_EQ(writer.merges.front(), (CellRange{2, 2, 2, 6}));
}

TEST(ResultsWorkbook, NinetyNineRowsComeBackWithTheSameTextsAndGenotypes)
{
    const auto grid = fullTable();
    RecordingWriter writer;
    const auto reader = savedAsWorkbook(grid, "/cases/дело 1.xlsx", writer);
    const auto loaded = loadResultsWorkbook("/cases/дело 1.xlsx", reader, kFormat);

    ASSERT_TRUE(loaded.ok) << loaded.error;
    EXPECT_TRUE(loaded.notes.empty());
    EXPECT_EQ(loaded.statedPopulation, freqdb::Population::Russians);
    EXPECT_EQ(loaded.caption, "Paternity Index - /cases/дело 1.xlsx");
    EXPECT_EQ(loaded.grid.ResultCount(), 99);
    for (int r = 0; r <= 99; ++r) {
        for (int c = 0; c < results::kColumnCount; ++c)
            EXPECT_EQ(loaded.grid.cell(r, c), grid.cell(r, c)) << "row " << r << " column " << c;
        if (r >= 1) {
            EXPECT_EQ(loaded.grid.RowGenotypes(r), grid.RowGenotypes(r)) << "row " << r;
        }
    }
}

TEST(ResultsWorkbook, SavedTableEvaluatedAsGenotypeWorkbookRecomputesEveryRow)
{
    const auto grid = fullTable();
    RecordingWriter writer;
    const auto reader = savedAsWorkbook(grid, "case.xlsx", writer);
    const auto table = testing::makeTable();
    const auto evaluated = evaluateGenotypeWorkbook("case.xlsx", reader, table, kFormat);

    ASSERT_TRUE(evaluated.ok) << evaluated.error;
    ASSERT_EQ(evaluated.grid.ResultCount(), 99);
    for (int r = 1; r <= 99; ++r) {
        const auto& g = grid.RowGenotypes(r);
        EXPECT_EQ(evaluated.grid.RowGenotypes(r), g) << "row " << r;
        EXPECT_EQ(evaluated.grid.cell(r, 0), grid.cell(r, 0));
        EXPECT_EQ(evaluated.grid.cell(r, 1), grid.cell(r, 1));
        EXPECT_EQ(evaluated.grid.cell(r, results::kColumnMark), "") << "marks come back empty";
        if (g.father1.empty()) {
            // The row saved without genotypes cannot be evaluated and says so.
            EXPECT_EQ(evaluated.grid.cell(r, 2), results::untypedLocusVerdict(results::Person::Father));
            continue;
        }
        const auto outcome = results::evaluateGenotypeRow(table, grid.cell(r, 1), g, kFormat);
        EXPECT_EQ(evaluated.grid.cell(r, 2), outcome.formula) << "row " << r;
        EXPECT_EQ(evaluated.grid.cell(r, 3), outcome.frequency1.value_or("")) << "row " << r;
        EXPECT_EQ(evaluated.grid.cell(r, 4), outcome.frequency2.value_or("")) << "row " << r;
        EXPECT_EQ(evaluated.grid.cell(r, 5), outcome.lr) << "row " << r;
    }
    // The stored "Материнство исключается" of row 50 is not read: the row is computed anew.
    EXPECT_NE(evaluated.grid.cell(50, 2), "Материнство исключается");
    // Header: A1 and B1 replace columns 0 and 1, the others keep the table's own.
    EXPECT_EQ(evaluated.grid.cell(0, 1), "  Локус");
    EXPECT_EQ(evaluated.grid.cell(0, 2), " Формула");
}

// A genotype or results sheet of `rows` locus rows plus the three trailing lines.
CellArray sheetWithRows(int rows, int columns = 5)
{
    std::vector<std::vector<CellValue>> cells;
    cells.push_back(
        {std::string("N"), std::string("Локус"), std::string("Отец"), std::string("Ребенок"), std::string("Мать")});
    for (int r = 1; r <= rows; ++r)
        cells.push_back({std::to_string(r), std::string("D3S1358"), std::string("15/16"), std::string("15/17"),
                         std::string("17/18")});
    cells.push_back({std::monostate{}, std::string("CPI")});
    cells.push_back({std::monostate{}, std::string("P")});
    cells.push_back({std::monostate{}, std::string("pop")});
    for (auto& row : cells)
        row.resize(static_cast<std::size_t>(columns));
    return automation::makeCellArray(cells);
}

TEST(ReadingFaults, MoreThan99RowsKeepsTheFirst99AndSaysHowManyWereLeftOut)
{
    FakeWorkbookReader reader;
    reader.add("big.xlsx", {{"Лист1", sheetWithRows(120)}});
    const auto table = testing::makeTable();
    for (const auto& loaded : {loadResultsWorkbook("big.xlsx", reader, kFormat),
                               evaluateGenotypeWorkbook("big.xlsx", reader, table, kFormat)}) {
        ASSERT_TRUE(loaded.ok);
        EXPECT_EQ(loaded.grid.ResultCount(), 99);
        EXPECT_EQ(loaded.grid.cell(99, 0), "99");
        ASSERT_EQ(loaded.notes.size(), 1u);
        EXPECT_EQ(loaded.notes[0], std::string(kRowsLeftOutNote) + "21");
    }
}

TEST(ReadingFaults, FewerThanFourUsedRowsGiveNoRows)
{
    FakeWorkbookReader reader;
    reader.add("short.xlsx",
               {{"Лист1", automation::makeCellArray({{std::string("a"), std::string("b"), std::string("c"),
                                                      std::string("d"), std::string("e")},
                                                     {std::string("1")},
                                                     {std::string("2")}})}});
    reader.add("empty.xlsx", {{"Лист1", CellArray()}});
    const auto table = testing::makeTable();
    for (const char* file : {"short.xlsx", "empty.xlsx"}) {
        for (const auto& loaded :
             {loadResultsWorkbook(file, reader, kFormat), evaluateGenotypeWorkbook(file, reader, table, kFormat)}) {
            ASSERT_TRUE(loaded.ok) << file;
            EXPECT_EQ(loaded.grid.ResultCount(), 0) << file;
            EXPECT_EQ(loaded.grid.cell(1, 0), "") << file;
            EXPECT_EQ(loaded.grid.cell(0, 1), "  Локус") << file;
        }
    }
}

TEST(ReadingFaults, UnreadableFileGivesTheMessageAndNoTable)
{
    FakeWorkbookReader reader;
    reader.failWith("bad.xls", "файл поврежден");
    reader.add("nosheets.xlsx", {});
    const auto table = testing::makeTable();
    for (const char* file : {"bad.xls", "nosheets.xlsx", "missing.xlsx"}) {
        for (const auto& loaded :
             {loadResultsWorkbook(file, reader, kFormat), evaluateGenotypeWorkbook(file, reader, table, kFormat)}) {
            EXPECT_FALSE(loaded.ok) << file;
            EXPECT_EQ(loaded.error.rfind(std::string(freqdb::kReadFailed) + "\nКнига «" + file + "»: ", 0), 0u)
                << loaded.error;
        }
    }
}

TEST(ReadingFaults, ErrorCellNamesItsPlace)
{
    auto cells = sheetWithRows(2);
    cells.set(3, 4, automation::CellError{"#DIV/0!"});
    FakeWorkbookReader reader;
    reader.add("err.xlsx", {{"Лист1", cells}});
    const auto loaded = evaluateGenotypeWorkbook("err.xlsx", reader, testing::makeTable(), kFormat);
    EXPECT_FALSE(loaded.ok);
    EXPECT_NE(loaded.error.find("ячейка D3: #DIV/0!"), std::string::npos) << loaded.error;
}

TEST(ReadingFaults, BadRowsKeepLocusAndGenotypesAndShowAVerdictWithoutLr)
{
    auto cells = sheetWithRows(5);
    cells.set(3, 2, std::string("D99")); // row 2: locus not loaded
    cells.set(4, 3, std::string("15/99")); // row 3: allele not in the locus
    cells.set(5, 4, std::string("Нет/Нет")); // row 4: "Нет" for the child
    cells.set(6, 5, std::string("1718")); // row 5: no "/"
    FakeWorkbookReader reader;
    reader.add("bad rows.xlsx", {{"Лист1", cells}});
    const auto loaded = evaluateGenotypeWorkbook("bad rows.xlsx", reader, testing::makeTable(), kFormat);
    ASSERT_TRUE(loaded.ok);
    ASSERT_EQ(loaded.grid.ResultCount(), 5);
    EXPECT_EQ(loaded.grid.cell(1, 5), "2,00");
    EXPECT_EQ(loaded.grid.cell(2, 1), "D99");
    EXPECT_EQ(loaded.grid.cell(2, 2), "Локус D99 не загружен");
    EXPECT_EQ(loaded.grid.cell(3, 2), "Аллеля 99 (отца) нет в локусе D3S1358");
    EXPECT_EQ(loaded.grid.cell(4, 2), "Не указан генотип ребенка");
    EXPECT_EQ(loaded.grid.cell(4, 0), "4");
    EXPECT_EQ(loaded.grid.RowGenotypes(4).child1, "Нет");
    EXPECT_EQ(loaded.grid.cell(5, 2), "Генотип матери записан не как «аллель/аллель»");
    EXPECT_EQ(loaded.grid.RowGenotypes(5).mother1, "1718");
    for (int r = 2; r <= 5; ++r) {
        EXPECT_EQ(loaded.grid.cell(r, 5), "") << "row " << r;
        EXPECT_EQ(loaded.grid.cell(r, 3), "") << "row " << r;
    }
}

TEST(ReadingFaults, NarrowUsedRangesFillNothingAndCountNothing)
{
    const auto table = testing::makeTable();
    for (int columns : {1, 2, 3}) {
        FakeWorkbookReader reader;
        reader.add("n.xlsx", {{"Лист1", sheetWithRows(3, columns)}});
        const auto evaluated = evaluateGenotypeWorkbook("n.xlsx", reader, table, kFormat);
        ASSERT_TRUE(evaluated.ok);
        EXPECT_EQ(evaluated.grid.ResultCount(), 0) << columns;
        EXPECT_EQ(evaluated.notes, std::vector<std::string>{std::string(kTooNarrowNote)});
        const auto loaded = loadResultsWorkbook("n.xlsx", reader, kFormat);
        ASSERT_TRUE(loaded.ok);
        EXPECT_EQ(loaded.grid.ResultCount(), columns <= 2 ? 0 : 3) << columns;
    }
    // Four columns: the mother's cells are empty, each row says so instead of failing the read.
    FakeWorkbookReader reader;
    reader.add("four.xlsx", {{"Лист1", sheetWithRows(2, 4)}});
    const auto evaluated = evaluateGenotypeWorkbook("four.xlsx", reader, table, kFormat);
    ASSERT_TRUE(evaluated.ok);
    EXPECT_EQ(evaluated.grid.ResultCount(), 2);
    EXPECT_EQ(evaluated.grid.cell(1, 2), results::untypedLocusVerdict(results::Person::Mother));
}

TEST(ReadingFaults, UsedRangeNotStartingAtA1IsReadInItsOwnColumns)
{
    // Column A empty throughout: the used range starts at B, the locus is still column B.
    std::vector<std::vector<CellValue>> rows
        = {{std::string("Локус"), std::string("Отец"), std::string("Ребенок"), std::string("Мать")},
           {std::string("D3S1358"), std::string("15/16"), std::string("15/17"), std::string("17/18")},
           {std::string("x")},
           {std::string("y")},
           {std::string("z")}};
    FakeWorkbookReader reader;
    reader.add("b.xlsx", {{"Лист1", automation::makeCellArray(rows, 1, 2)}});
    const auto evaluated = evaluateGenotypeWorkbook("b.xlsx", reader, testing::makeTable(), kFormat);
    ASSERT_TRUE(evaluated.ok);
    ASSERT_EQ(evaluated.grid.ResultCount(), 1);
    EXPECT_EQ(evaluated.grid.cell(1, 1), "D3S1358");
    EXPECT_EQ(evaluated.grid.cell(1, 5), "2,00");
}

TEST(ResultsWorkbookReader, NonEmptyGenotypeCellWithoutSlashIsNoted)
{
    auto cells = sheetWithRows(2, 11);
    cells.set(3, 3, std::string("1516"));
    FakeWorkbookReader reader;
    reader.add("r.xlsx", {{"Лист1", cells}});
    const auto loaded = loadResultsWorkbook("r.xlsx", reader, kFormat);
    ASSERT_TRUE(loaded.ok);
    EXPECT_EQ(loaded.notes, std::vector<std::string>{std::string(kUnsplitGenotypeNote) + "2"});
    EXPECT_EQ(loaded.grid.RowGenotypes(2).father1, "1516");
}

const std::string kCpiLine = std::string(engine::kCpiPrefix) + "5,0";
const std::string kProbabilityLine = std::string(engine::kProbabilityPrefix) + "83,3333"
                                     + std::string(engine::kProbabilityMiddle) + "0,5"
                                     + std::string(engine::kProbabilitySuffix);

// Two marked rows whose LR texts give the CPI 5,0 of the lines above, and one unmarked row.
results::ResultsGrid fiveTable()
{
    results::ResultsGrid grid;
    for (const char* lr : {"2,5", "3,0", "2,0"}) {
        const int row = grid.AppendRow("D3S1358", {"Нет", "Нет", "15", "16", "15", "18"});
        grid.setCell(row, results::kColumnFormula, "1/2p(15)");
        grid.setCell(row, results::kColumnLr, lr);
    }
    grid.ToggleMark(1);
    grid.ToggleMark(3);
    return grid;
}

// The result lines of a results workbook belong to its rows: they come back with them, and only
// with all of them, only when they are result lines, and only when the rows as read still give
// them (a mark or an LR edited in the sheet makes them the index of other rows).
TEST(ResultsWorkbook, ResultLinesComeBackBesideTheirOwnRowsOnly)
{
    const auto table = testing::makeTable();
    RecordingWriter writer;
    saveResultsWorkbook("case.xlsx", fiveTable(), kCpiLine, kProbabilityLine, freqdb::Population::Russians, writer);
    RecordingWriter undefinedWriter; // a CPI whose probability could not be formed
    saveResultsWorkbook("cpi only.xlsx", fiveTable(), kCpiLine, "", freqdb::Population::Russians, undefinedWriter);
    FakeWorkbookReader reader;
    reader.add("case.xlsx", {{"Лист1", writer.usedRange()}});
    reader.add("cpi only.xlsx", {{"Лист1", undefinedWriter.usedRange()}});
    auto unmarked = writer.usedRange();
    unmarked.set(4, kColumnMark, std::string());
    reader.add("unmarked.xlsx", {{"Лист1", unmarked}});
    auto otherLr = writer.usedRange();
    otherLr.set(2, kColumnMark - 1, std::string("4,0"));
    reader.add("other lr.xlsx", {{"Лист1", otherLr}});
    auto otherPrior = writer.usedRange();
    otherPrior.set(6, kColumnLocus,
                   std::string(engine::kProbabilityPrefix) + "83,3333" + std::string(engine::kProbabilityMiddle) + "0,9"
                       + std::string(engine::kProbabilitySuffix));
    reader.add("other prior.xlsx", {{"Лист1", otherPrior}});
    auto big = sheetWithRows(120, 11); // the lines were formed from 120 rows, 21 of them left out
    big.set(123, 2, kCpiLine);
    big.set(124, 2, kProbabilityLine);
    reader.add("big.xlsx", {{"Лист1", big}});
    auto other = sheetWithRows(2, 11); // texts that are no result lines in their place
    other.set(5, 2, std::string("CPI 1000"));
    other.set(6, 2, std::string("D3S1358"));
    reader.add("other.xlsx", {{"Лист1", other}});

    const struct {
        const char* file;
        std::string cpi;
        std::string probability;
    } cases[] = {{"case.xlsx", kCpiLine, kProbabilityLine},
                 {"cpi only.xlsx", kCpiLine, ""},
                 {"unmarked.xlsx", "", ""},
                 {"other lr.xlsx", "", ""},
                 {"other prior.xlsx", "", ""},
                 {"big.xlsx", "", ""},
                 {"other.xlsx", "", ""}};
    for (const auto& c : cases) {
        const auto loaded = loadResultsWorkbook(c.file, reader, kFormat);
        ASSERT_TRUE(loaded.ok) << c.file;
        EXPECT_EQ(loaded.cpiLine, c.cpi) << c.file;
        EXPECT_EQ(loaded.probabilityLine, c.probability) << c.file;
        // Evaluated anew as a genotype workbook, the rows have no result lines yet.
        const auto evaluated = evaluateGenotypeWorkbook(c.file, reader, table, kFormat);
        ASSERT_TRUE(evaluated.ok) << c.file;
        EXPECT_EQ(evaluated.cpiLine, "") << c.file;
        EXPECT_EQ(evaluated.probabilityLine, "") << c.file;
    }
}

// `sheet` with `extra` rows put in before its sheet row `at` (after its last row when `at` is 0).
CellArray withRows(const CellArray& sheet, int at, const std::vector<std::vector<CellValue>>& extra)
{
    std::vector<std::vector<CellValue>> cells;
    for (int r = 1; r <= sheet.rows(); ++r) {
        if (r == at)
            cells.insert(cells.end(), extra.begin(), extra.end());
        cells.emplace_back();
        for (int c = 1; c <= sheet.columns(); ++c)
            cells.back().push_back(sheet.at(r, c));
    }
    if (at == 0)
        cells.insert(cells.end(), extra.begin(), extra.end());
    return automation::makeCellArray(cells);
}

// A saved results workbook edited in a spreadsheet program: the closing lines are known by their
// texts, so a remark or a signature typed under them is no locus row (it is left out, with a
// note), and a blank row inserted among the rows is skipped; the rows, their result lines and the
// stated population come back as saved, and a genotype read evaluates the same rows.
TEST(ResultsWorkbook, ClosingLinesEndTheTableWhateverIsTypedUnderIt)
{
    RecordingWriter writer;
    saveResultsWorkbook("case.xlsx", fiveTable(), kCpiLine, kProbabilityLine, freqdb::Population::Russians, writer);
    RecordingWriter undefinedWriter;
    saveResultsWorkbook("cpi only.xlsx", fiveTable(), kCpiLine, "", freqdb::Population::Russians, undefinedWriter);
    const std::vector<CellValue> note = {std::monostate{}, std::string("Эксперт: Иванов")};
    const std::vector<CellValue> signature = {std::monostate{}, std::monostate{}, std::string("подпись")};
    const struct {
        const char* name;
        CellArray sheet;
        std::string probability;
        int after; // rows under the closing lines
    } cases[] = {
        {"a note under the population line", withRows(writer.usedRange(), 0, {note}), kProbabilityLine, 1},
        {"a note and a signature after a blank row", withRows(writer.usedRange(), 0, {{}, note, signature}),
         kProbabilityLine, 2},
        {"a blank row among the rows", withRows(writer.usedRange(), 3, {{}}), kProbabilityLine, 0},
        {"no probability, then a note", withRows(undefinedWriter.usedRange(), 0, {note}), "", 1},
    };
    const auto table = testing::makeTable();
    for (const auto& c : cases) {
        FakeWorkbookReader reader;
        reader.add("case.xlsx", {{"Лист1", c.sheet}});
        const auto loaded = loadResultsWorkbook("case.xlsx", reader, kFormat);
        const auto evaluated = evaluateGenotypeWorkbook("case.xlsx", reader, table, kFormat);
        ASSERT_TRUE(loaded.ok && evaluated.ok) << c.name;
        const std::vector<std::string> notes
            = c.after ? std::vector<std::string>{std::string(kRowsAfterClosingLinesNote) + std::to_string(c.after)}
                      : std::vector<std::string>{};
        for (const auto* read : {&loaded, &evaluated}) {
            ASSERT_EQ(read->grid.ResultCount(), 3) << c.name;
            for (int r = 1; r <= 3; ++r)
                EXPECT_EQ(read->grid.cell(r, results::kColumnNumber), std::to_string(r)) << c.name;
            EXPECT_EQ(read->notes, notes) << c.name;
            EXPECT_EQ(read->rowsAfterClosingLines, c.after) << c.name;
        }
        EXPECT_EQ(loaded.grid.cell(2, results::kColumnLr), "3,0") << c.name;
        EXPECT_EQ(loaded.cpiLine, kCpiLine) << c.name;
        EXPECT_EQ(loaded.probabilityLine, c.probability) << c.name;
        EXPECT_EQ(loaded.statedPopulation, freqdb::Population::Russians) << c.name;
    }
}

// A table computed with θ is saved with the note on what p stands for as its last line, merged
// B:F like the lines above it; without θ the workbook is as before. Both read back with the same
// rows, result lines and export lines and no note about lines under the block, and a re-save of
// what was read writes the same sheet (the note comes from the settings of the save).
TEST(ResultsWorkbook, ThetaNoteIsTheLastLineAndReadsBackAsAWorkbookWithoutIt)
{
    freqdb::LabSettings withTheta;
    withTheta.theta = 0.03L;
    withTheta.thetaText = "0,03";
    const std::vector<std::string> exportLines = {std::string(kExportLinePrefix) + ": /runs/run.txt"};
    const auto table = testing::makeTable();
    std::vector<std::vector<std::string>> plainValues;
    for (const freqdb::LabSettings& settings : {freqdb::LabSettings{}, withTheta}) {
        const bool theta = settings.theta.has_value();
        RecordingWriter writer;
        saveResultsWorkbook("case.xlsx", fiveTable(), kCpiLine, kProbabilityLine, freqdb::Population::Russians, writer,
                            exportLines, {}, &settings);
        const int n = fiveTable().ResultCount();
        ASSERT_EQ(writer.values.size(), static_cast<std::size_t>(n + 5 + (theta ? 1 : 0)));
        if (theta) {
            EXPECT_EQ(writer.values.back()[kColumnLocus - 1], freqdb::kThetaNote);
            EXPECT_EQ(writer.merges.back(), (CellRange{n + 6, 2, n + 6, 6}));
            EXPECT_EQ(std::vector(writer.values.begin(), writer.values.end() - 1), plainValues);
        } else {
            plainValues = writer.values;
        }

        FakeWorkbookReader reader;
        reader.add("case.xlsx", {{"Лист1", writer.usedRange()}});
        const auto loaded = loadResultsWorkbook("case.xlsx", reader, kFormat);
        const auto evaluated = evaluateGenotypeWorkbook("case.xlsx", reader, table, kFormat);
        ASSERT_TRUE(loaded.ok && evaluated.ok) << theta;
        for (const auto* read : {&loaded, &evaluated}) {
            EXPECT_EQ(read->grid.ResultCount(), n) << theta;
            EXPECT_TRUE(read->notes.empty()) << theta;
            EXPECT_EQ(read->rowsAfterClosingLines, 0) << theta;
            EXPECT_EQ(read->exportLines, exportLines) << theta;
        }
        for (int r = 0; r <= n; ++r)
            for (int c = 0; c < results::kColumnCount; ++c)
                EXPECT_EQ(loaded.grid.cell(r, c), fiveTable().cell(r, c)) << theta << " row " << r;
        EXPECT_EQ(loaded.cpiLine, kCpiLine) << theta;
        EXPECT_EQ(loaded.probabilityLine, kProbabilityLine) << theta;

        RecordingWriter resaved;
        saveResultsWorkbook("case.xlsx", loaded.grid, loaded.cpiLine, loaded.probabilityLine, loaded.statedPopulation,
                            resaved, loaded.exportLines, {}, &settings);
        EXPECT_EQ(resaved.values, writer.values) << theta;
    }
}

// A genotype sheet typed by hand: no row numbers, and no closing lines after the last locus (or
// other lines there). Every locus row is read, numbered by its place, and enters the combined
// index; only the lines that are not locus rows are left out.
TEST(GenotypeWorkbook, HandMadeSheetsKeepEveryLocusRowAndNumberThem)
{
    const std::vector<CellValue> locusRow
        = {std::monostate{}, std::string("D3S1358"), std::string("15/16"), std::string("15/17"), std::string("17/18")};
    const std::vector<CellValue> noSlash
        = {std::monostate{}, std::string("D3S1358"), std::string("1516"), std::string("15/17"), std::string("17/18")};
    const std::vector<CellValue> header
        = {std::string("№"), std::string("Локус"), std::string("Отец"), std::string("Ребенок"), std::string("Мать")};
    auto line = [](const char* text) { return std::vector<CellValue>{std::monostate{}, std::string(text)}; };
    const struct {
        const char* name;
        std::vector<std::vector<CellValue>> body; // rows after the header
        int loci; // rows expected in the table
    } cases[] = {
        {"five loci, nothing after them", {locusRow, locusRow, locusRow, locusRow, locusRow}, 5},
        {"one locus", {locusRow}, 1},
        {"two loci", {locusRow, locusRow}, 2},
        {"closing lines of a results workbook",
         {locusRow, locusRow, line("CPI"), line("P"), line("Использовались")},
         2},
        {"one note line", {locusRow, locusRow, locusRow, locusRow, line("Эксперт: Иванов")}, 4},
        {"last locus typed without the slash", {locusRow, locusRow, locusRow, noSlash}, 4},
        {"empty row before the last locus", {locusRow, locusRow, {}, locusRow}, 3},
        {"empty rows among the loci", {locusRow, {}, locusRow, locusRow, {}, locusRow, locusRow}, 5},
    };
    const auto table = testing::makeTable();
    for (const auto& c : cases) {
        auto rows = c.body;
        rows.insert(rows.begin(), header);
        FakeWorkbookReader reader;
        reader.add("hand.xlsx", {{"Лист1", automation::makeCellArray(rows)}});
        const auto loaded = evaluateGenotypeWorkbook("hand.xlsx", reader, table, kFormat);
        ASSERT_TRUE(loaded.ok) << c.name;
        ASSERT_EQ(loaded.grid.ResultCount(), c.loci) << c.name;
        std::vector<engine::CombinedIndexRow> marked;
        for (int r = 1; r <= c.loci; ++r) {
            EXPECT_EQ(loaded.grid.cell(r, results::kColumnNumber), std::to_string(r)) << c.name;
            marked.push_back({loaded.grid.cell(r, results::kColumnNumber), loaded.grid.cell(r, results::kColumnLr),
                              std::string(results::kMark)});
        }
        EXPECT_EQ(loaded.grid.cell(1, results::kColumnLr), "2,00") << c.name;
        EXPECT_EQ(engine::CombineIndex(marked, "0,5", kFormat).status, engine::CombinedIndexStatus::Ok) << c.name;
        // Loaded as results, the same rows come back, numbered the same way.
        const auto asResults = loadResultsWorkbook("hand.xlsx", reader, kFormat);
        ASSERT_TRUE(asResults.ok) << c.name;
        ASSERT_EQ(asResults.grid.ResultCount(), c.loci) << c.name;
        EXPECT_EQ(asResults.grid.cell(c.loci, results::kColumnNumber), std::to_string(c.loci)) << c.name;
    }
}

TEST(ProposedSaveName, LoadedWorkbookGetsTheXlsxExtensionOtherwiseUntitled)
{
    EXPECT_EQ(proposedSaveName("/cases/дело.xls", "/work"), "/cases/дело.xlsx");
    EXPECT_EQ(proposedSaveName("/cases/дело.ods", "/work"), "/cases/дело.xlsx");
    EXPECT_EQ(proposedSaveName("/cases/дело", "/work"), "/cases/дело.xlsx");
    EXPECT_EQ(proposedSaveName("", "/work"), "/work/Untitled.xlsx");
}

// A person a genotyping export leaves untyped at a locus: the row's verdict is the one batch
// prints, its cell is saved empty, and loaded back (as results or as genotypes) it reads the same,
// with no note and nothing the tables in force would give otherwise.
TEST(ResultsWorkbook, UntypedPersonIsSavedEmptyAndReadsTheSameVerdict)
{
    const auto table = testing::makeTable();
    results::ResultsGrid grid;
    putGenotypeRow(grid, 1, "1", "D3S1358", {"15/16", "15/17", "17/18"}, table, kFormat);
    putGenotypeRow(grid, 2, "2", "D3S1358", {"15/16", "", "17/18"}, table, kFormat, "Локус не типирован у ребенка");
    grid.setResultCount(2);
    const std::string untyped = grid.cell(2, results::kColumnFormula);
    EXPECT_EQ(results::evaluateGenotypeRow(table, "D3S1358", grid.RowGenotypes(2), kFormat).formula, untyped);

    RecordingWriter writer;
    const auto reader = savedAsWorkbook(grid, "case.xlsx", writer);
    EXPECT_EQ(writer.values[2][kColumnChild - 1], "");
    const auto loaded = loadResultsWorkbook("case.xlsx", reader, kFormat);
    ASSERT_TRUE(loaded.ok);
    EXPECT_EQ(loaded.notes, std::vector<std::string>{});
    EXPECT_EQ(loaded.grid.cell(2, results::kColumnFormula), untyped);
    EXPECT_EQ(results::rowsNotFromTables(table, loaded.grid, kFormat), std::vector<int>{});
    EXPECT_EQ(evaluateGenotypeWorkbook("case.xlsx", reader, table, kFormat).grid.cell(2, results::kColumnFormula),
              untyped);
}

} // namespace
} // namespace exchange
