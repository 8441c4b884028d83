// SPDX-License-Identifier: GPL-3.0-or-later
#include "genotypeworkbook.h"

#include <utility>

#include "exchange/sheetcells.h"
#include "exchange/workbooklayout.h"
#include "results/genotyperow.h"

namespace exchange {

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
                const std::string locus = sheet.text(sheetRow, kColumnLocus);
                out.grid.setCell(r, results::kColumnNumber, rowNumberText(sheet.text(sheetRow, kColumnNumber), r));
                out.grid.setCell(r, results::kColumnLocus, locus);
                auto row = results::genotypeFromCells({sheet.text(sheetRow, kColumnFather),
                                                       sheet.text(sheetRow, kColumnChild),
                                                       sheet.text(sheetRow, kColumnMother)});
                out.grid.applyOutcome(r, results::evaluateGenotypeRow(table, locus, row, format));
                out.grid.setRowGenotypes(r, std::move(row.genotype));
            }
            out.grid.setResultCount(static_cast<std::uint16_t>(rows));
        }
        out.rowsLeftOut = leftOut;
        out.rowsAfterClosingLines = layout.rowsAfterClosingLines;
        if (leftOut > 0)
            out.notes.push_back(std::string(kRowsLeftOutNote) + std::to_string(leftOut));
        if (layout.rowsAfterClosingLines > 0)
            out.notes.push_back(std::string(kRowsAfterClosingLinesNote) + std::to_string(layout.rowsAfterClosingLines));
    } catch (const ReadFailure& e) {
        return LoadedResults::failed(e.what());
    } catch (const CellFault& e) {
        return LoadedResults::failed(readFailedMessage(path, e.what()));
    }
    out.ok = true;
    out.caption = std::string(kCaptionPrefix) + fullPathText(path);
    return out;
}

} // namespace exchange
