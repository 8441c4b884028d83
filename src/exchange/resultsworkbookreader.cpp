// SPDX-License-Identifier: GPL-3.0-or-later
#include "resultsworkbookreader.h"

#include <utility>

#include "exchange/sheetcells.h"
#include "exchange/workbooklayout.h"
#include "results/genotyperow.h"

namespace exchange {
namespace {

// The sheet columns that fill grid columns 0..6: A, B, then F..J.
int sheetColumnOf(int gridColumn)
{
    return gridColumn <= results::kColumnLocus ? gridColumn + 1 : gridColumn + kGridToSheetOffset;
}

} // namespace

LoadedResults loadResultsWorkbook(const std::filesystem::path& path, const automation::WorkbookReader& reader,
                                  const text::NumberFormat& format)
{
    LoadedResults out;
    try {
        const SheetCells sheet = readFirstSheet(path, reader, format);
        int leftOut = 0;
        const int rows = resultRowsOf(sheet.lastRow(), leftOut);
        // Two columns or fewer hold no result: the table stays empty rather than counting rows
        // that have nothing in them.
        const bool tooNarrow = sheet.lastRow() >= 4 && sheet.lastColumn() <= 2;
        if (tooNarrow) {
            out.notes.emplace_back(kTooNarrowNote);
        } else if (sheet.lastRow() >= 4) {
            for (int c = 0; c < results::kColumnCount; ++c)
                out.grid.setCell(0, c, sheet.text(1, sheetColumnOf(c)));
            std::string unsplitRows;
            for (int r = 1; r <= rows; ++r) {
                const int sheetRow = r + 1;
                for (int c = 0; c < results::kColumnCount; ++c)
                    out.grid.setCell(r, c, sheet.text(sheetRow, sheetColumnOf(c)));
                const results::GenotypeCells cells{sheet.text(sheetRow, kColumnFather),
                                                   sheet.text(sheetRow, kColumnChild),
                                                   sheet.text(sheetRow, kColumnMother)};
                auto row = results::genotypeFromCells(cells);
                // A row saved without genotypes has all three cells empty; that is no fault.
                const bool none = cells.father.empty() && cells.child.empty() && cells.mother.empty();
                if (row.unsplit && !none)
                    unsplitRows += (unsplitRows.empty() ? "" : ", ") + std::to_string(r);
                out.grid.setRowGenotypes(r, std::move(row.genotype));
            }
            out.grid.setResultCount(static_cast<std::uint16_t>(rows));
            if (!unsplitRows.empty())
                out.notes.push_back(std::string(kUnsplitGenotypeNote) + unsplitRows);
        }
        if (leftOut > 0)
            out.notes.push_back(std::string(kRowsLeftOutNote) + std::to_string(leftOut));
    } catch (const ReadFailure& e) {
        return LoadedResults{false, e.what(), {}, {}, {}};
    } catch (const CellFault& e) {
        return LoadedResults{false, readFailedMessage(path, e.what()), {}, {}, {}};
    }
    out.ok = true;
    out.caption = std::string(kCaptionPrefix) + fullPathText(path);
    return out;
}

} // namespace exchange
