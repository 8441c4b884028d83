// SPDX-License-Identifier: GPL-3.0-or-later
#include "genotypeworkbook.h"

#include <utility>

#include "exchange/sheetcells.h"
#include "exchange/workbooklayout.h"
#include "results/genotyperow.h"

namespace exchange {

void putGenotypeRow(results::ResultsGrid& grid, int row, std::string number, std::string locus,
                    const results::GenotypeCells& cells, const freqdb::LocusTable& table,
                    const text::NumberFormat& format, const std::string& statedVerdict)
{
    auto texts = results::genotypeFromCells(cells);
    engine::LocusOutcome outcome;
    if (statedVerdict.empty()) {
        outcome = results::evaluateGenotypeRow(table, locus, texts, format);
    } else {
        outcome.verdict = engine::Verdict::Failed;
        outcome.formula = statedVerdict;
    }
    grid.setCell(row, results::kColumnNumber, std::move(number));
    grid.setCell(row, results::kColumnLocus, std::move(locus));
    grid.applyOutcome(row, outcome);
    grid.setRowGenotypes(row, std::move(texts.genotype));
}

LoadedResults evaluateGenotypeWorkbook(const std::filesystem::path& path, const automation::WorkbookReader& reader,
                                       const freqdb::LocusTable& table, const text::NumberFormat& format)
{
    LoadedResults out;
    try {
        const SheetCells sheet = readFirstSheet(path, reader, format);
        const SheetTable layout = tableRows(sheet);
        int leftOut = 0;
        const int rows = keptRows(static_cast<int>(layout.rows.size()), leftOut);
        // Three columns or fewer cannot hold a trio or a duo: nothing is evaluated, and the
        // table does not count rows that were never filled.
        const bool tooNarrow = sheet.lastRow() >= 4 && sheet.lastColumn() <= 3;
        if (tooNarrow) {
            out.notes.emplace_back(kTooNarrowNote);
        } else if (rows > 0 || sheet.lastRow() >= 4) {
            out.grid.setCell(0, results::kColumnNumber, sheet.text(1, kColumnNumber));
            out.grid.setCell(0, results::kColumnLocus, sheet.text(1, kColumnLocus));
            for (int r = 1; r <= rows; ++r) {
                const int sheetRow = layout.rows[r - 1];
                putGenotypeRow(out.grid, r, rowNumberText(sheet.text(sheetRow, kColumnNumber), r),
                               sheet.text(sheetRow, kColumnLocus),
                               {sheet.text(sheetRow, kColumnFather), sheet.text(sheetRow, kColumnChild),
                                sheet.text(sheetRow, kColumnMother)},
                               table, format);
            }
            out.grid.setResultCount(static_cast<std::uint16_t>(rows));
            for (int row : layout.exportLineRows)
                out.exportLines.push_back(sheet.text(row, kColumnLocus));
        }
        out.rowsLeftOut = leftOut;
        out.rowsAfterClosingLines = layout.rowsAfterClosingLines;
        if (leftOut > 0)
            out.notes.push_back(std::string(kRowsLeftOutNote) + std::to_string(leftOut));
        if (layout.rowsAfterClosingLines > 0)
            out.notes.push_back(std::string(kRowsAfterClosingLinesNote) + std::to_string(layout.rowsAfterClosingLines));
    } catch (const ReadFailure& e) {
        out = LoadedResults::failed(e.what());
        return out; // every path returns `out`, so the table is built in place, never moved
    } catch (const CellFault& e) {
        out = LoadedResults::failed(readFailedMessage(path, e.what()));
        return out;
    }
    out.ok = true;
    out.caption = std::string(kCaptionPrefix) + fullPathText(path);
    return out;
}

} // namespace exchange
