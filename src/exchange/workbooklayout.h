// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The results workbook: its layout and the exact texts around it. The writer, both readers, the
// window and the tests take positions and texts from here.
//
// One worksheet "Лист1". With n result rows, the block A1:K(n + 4) is written, every cell with
// the text number format "@" and every value as text, exactly as the results table shows it:
//
//   row       A      B              C              D                E                F ... J      K
//   1         "№"    "  Локус"      "Генотип отца" "Генотип ребенка" "Генотип матери" headers 2..6  -
//   2..n+1    number locus          father "a/b"   child "a/b"      mother "a/b"     columns 2..6 -
//   n+2       -      CPI line, merged B:F                                             -            -
//   n+3       -      probability line, merged B:F                                     -            -
//   n+4       -      population line, merged B:F                                      -            -
//
// Genotype cells are written only when the row's father allele 1 is not empty. Rows 1..n+1 are
// centred, rows n+2..n+4 left-aligned. Widths in characters: A 4; B-E 8; F 14; G, H 11; I, J 7;
// K the default. Wrapped: B1:H1 and F1:F(n + 1).
//
// Reading back (results or genotype workbook): the closing lines are known by their texts in B
// (the CPI line, the probability line, the population line); the result rows are the rows from 2
// down to the first of them, and rows under the population line are not read. A sheet without
// them keeps the older rule: rows 2..R-3 of a sheet with R used rows are the result rows, and of
// the last three only those down to the last one that names a locus in B and holds genotypes in C
// and D (a sheet typed by hand). Blank rows are skipped (exchange::tableRows). A genotype workbook
// is the same layout read only in columns A to E; its formula, frequency, LR and mark columns are
// ignored.
#include <array>
#include <string_view>

namespace exchange {

inline constexpr std::string_view kSheetName = "Лист1";

// 1-based sheet columns.
inline constexpr int kColumnNumber = 1; // A: grid column 0
inline constexpr int kColumnLocus = 2; // B: grid column 1
inline constexpr int kColumnFather = 3; // C
inline constexpr int kColumnChild = 4; // D
inline constexpr int kColumnMother = 5; // E
inline constexpr int kColumnFormula = 6; // F..J: grid columns 2..6
inline constexpr int kColumnMark = 10; // J
inline constexpr int kBlockColumns = 11; // A..K
inline constexpr int kGridToSheetOffset = 4; // grid column 2..6 -> sheet column 6..10

// Texts beside the block, from row 1 of column M on, which no reader of the block takes: the
// recovery file keeps the window's prior field there (M1 the label, N1 the field's text).
inline constexpr int kBesideBlockColumn = 13; // M
inline constexpr std::string_view kRecoveryPriorLabel = "Поле априорной вероятности";

// Rows after the result rows: the two result lines and the population line.
inline constexpr int kTrailingRows = 3;
// The first and last sheet columns merged in each trailing row (B:F).
inline constexpr int kTrailingMergeFirst = 2;
inline constexpr int kTrailingMergeLast = 6;

inline constexpr std::array<std::string_view, 3> kGenotypeHeaders
    = {"Генотип отца", "Генотип ребенка", "Генотип матери"};

// Followed directly by the population's name in the genitive ("русских").
inline constexpr std::string_view kPopulationLinePrefix = "Использовались референтные частоты аллелей для ";

// Lines under the population line (merged B:F, like it) about the genotyping export the rows came
// from: "Экспорт генотипов: /path/run.txt; отец «F», ребенок «C»", then one per note. Readers
// keep them; an older reader loads the workbook and counts them as lines that are no locus rows.
inline constexpr std::string_view kExportLinePrefix = "Экспорт генотипов";
// A table computed with θ has one more line under them, the last (merged B:F): freqdb::kThetaNote,
// what p in the formulas stands for. Readers skip it; a save writes it from the settings anew.

struct ColumnWidth {
    int firstColumn;
    int lastColumn;
    double characters;
};
inline constexpr std::array<ColumnWidth, 5> kColumnWidths
    = {{{1, 1, 4}, {2, 5, 8}, {6, 6, 14}, {7, 8, 11}, {9, 10, 7}}};

// The window's texts around the workbooks.
inline constexpr std::string_view kCaptionPrefix = "Paternity Index - ";
inline constexpr std::string_view kSavedMessage = "Файл сохранен";
inline constexpr std::string_view kSaveChangesQuestion = "Сохранить изменения?";
inline constexpr std::string_view kUntitledName = "Untitled.xlsx";
inline constexpr std::string_view kWorkbookExtension = ".xlsx";

// Notes on a workbook that was read, shown after the table was filled.
inline constexpr std::string_view kRowsLeftOutNote
    = "Таблица вмещает 99 строк: загружены первые 99, не загружено строк: "; // + count
inline constexpr std::string_view kTooNarrowNote
    = "В первом листе книги слишком мало столбцов: строки результатов не загружены";
inline constexpr std::string_view kRowsAfterClosingLinesNote
    = "Строки под итоговыми строками книги - не строки локусов, не загружено строк: "; // + count
inline constexpr std::string_view kUnsplitGenotypeNote
    = "Генотип без «/» (строки таблицы): "; // + row numbers, for the results reader

} // namespace exchange
