// SPDX-License-Identifier: GPL-3.0-or-later
#include "genotypeworkbook.h"

#include <algorithm>
#include <utility>

#include "exchange/sheetcells.h"
#include "exchange/workbooklayout.h"
#include "results/genotyperow.h"

namespace exchange {
namespace {

// A cell with something in it other than blanks; an error value counts as filled, so its row is
// read and the read names the cell.
bool filled(const SheetCells& sheet, int row, int column)
{
    try {
        return sheet.text(row, column).find_first_not_of(" \t") != std::string::npos;
    } catch (const CellFault&) {
        return true;
    }
}

// The last sheet row to evaluate. The last three used rows are the closing lines of a results
// workbook (its two result lines and the population line, text in B only) and are left out; but
// one that names a locus in B and has genotypes in C and D is a locus row of a sheet typed
// without closing lines, and the rows are read down to it.
int lastLocusRow(const SheetCells& sheet)
{
    const int lastRow = sheet.lastRow();
    int last = std::max(1, lastRow - kTrailingRows);
    for (int row = std::max(2, last + 1); row <= lastRow; ++row) {
        if (filled(sheet, row, kColumnLocus) && filled(sheet, row, kColumnFather) && filled(sheet, row, kColumnChild))
            last = row;
    }
    return last;
}

} // namespace

LoadedResults evaluateGenotypeWorkbook(const std::filesystem::path& path, const automation::WorkbookReader& reader,
                                       const freqdb::LocusTable& table, const text::NumberFormat& format)
{
    LoadedResults out;
    try {
        const SheetCells sheet = readFirstSheet(path, reader, format);
        int leftOut = 0;
        const int rows = keptRows(lastLocusRow(sheet) - 1, leftOut);
        // Three columns or fewer cannot hold a trio or a duo: nothing is evaluated, and the
        // table does not count rows that were never filled.
        const bool tooNarrow = sheet.lastRow() >= 4 && sheet.lastColumn() <= 3;
        if (tooNarrow) {
            out.notes.emplace_back(kTooNarrowNote);
        } else if (rows > 0 || sheet.lastRow() >= 4) {
            out.grid.setCell(0, results::kColumnNumber, sheet.text(1, kColumnNumber));
            out.grid.setCell(0, results::kColumnLocus, sheet.text(1, kColumnLocus));
            for (int r = 1; r <= rows; ++r) {
                const int sheetRow = r + 1;
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
        if (leftOut > 0)
            out.notes.push_back(std::string(kRowsLeftOutNote) + std::to_string(leftOut));
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
