// SPDX-License-Identifier: GPL-3.0-or-later
#include "resultsworkbookreader.h"

#include <string_view>
#include <utility>
#include <vector>

#include "engine/combinedindex.h"
#include "engine/enginetexts.h"
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

// The text of column B of a result line, when it is one (it starts with the line's own words);
// anything else in its place (an error value included) is no result of these rows and gives
// the empty text.
std::string resultLine(const SheetCells& sheet, int row, std::string_view prefix)
{
    try {
        std::string line = sheet.text(row, kColumnLocus);
        return line.rfind(prefix, 0) == 0 ? line : std::string();
    } catch (const CellFault&) {
        return {};
    }
}

// The population a closing line "Использовались референтные частоты аллелей для <genitive>"
// names; Unset for any other text.
freqdb::Population statedPopulation(const std::string& line)
{
    for (const auto population :
         {freqdb::Population::Russians, freqdb::Population::UsCaucasians, freqdb::Population::UsBlacks})
        if (line == std::string(kPopulationLinePrefix) + std::string(freqdb::genitiveName(population)))
            return population;
    return freqdb::Population::Unset;
}

} // namespace

LoadedResults loadResultsWorkbook(const std::filesystem::path& path, const automation::WorkbookReader& reader,
                                  const text::NumberFormat& format)
{
    LoadedResults out;
    try {
        const SheetCells sheet = readFirstSheet(path, reader, format);
        const SheetTable layout = tableRows(sheet);
        int leftOut = 0;
        const int rows = keptRows(static_cast<int>(layout.rows.size()), leftOut);
        // Two columns or fewer hold no result: the table stays empty rather than counting rows
        // that have nothing in them.
        const bool tooNarrow = sheet.lastRow() >= 4 && sheet.lastColumn() <= 2;
        if (tooNarrow) {
            out.notes.emplace_back(kTooNarrowNote);
        } else if (rows > 0 || sheet.lastRow() >= 4) {
            for (int c = 0; c < results::kColumnCount; ++c)
                out.grid.setCell(0, c, sheet.text(1, sheetColumnOf(c)));
            std::string unsplitRows;
            for (int r = 1; r <= rows; ++r) {
                const int sheetRow = layout.rows[r - 1];
                for (int c = 0; c < results::kColumnCount; ++c)
                    out.grid.setCell(r, c, sheet.text(sheetRow, sheetColumnOf(c)));
                out.grid.setCell(r, results::kColumnNumber, rowNumberText(out.grid.cell(r, results::kColumnNumber), r));
                const results::GenotypeCells cells{sheet.text(sheetRow, kColumnFather),
                                                   sheet.text(sheetRow, kColumnChild),
                                                   sheet.text(sheetRow, kColumnMother)};
                auto row = results::genotypeFromCells(cells);
                // An empty cell is a person not typed at the locus (or a row saved without
                // genotypes): no fault. A text without "/" is one.
                if (row.unsplit)
                    unsplitRows += (unsplitRows.empty() ? "" : ", ") + std::to_string(r);
                out.grid.setRowGenotypes(r, std::move(row.genotype));
            }
            out.grid.setResultCount(static_cast<std::uint16_t>(rows));
            // The two result lines were formed from exactly these rows; with rows left out they
            // would stand beside a table they were not computed from. A sheet whose last rows
            // are result rows has no result lines.
            if (leftOut == 0 && layout.closingLinesFound()) {
                if (layout.populationRow)
                    out.statedPopulation
                        = statedPopulation(resultLine(sheet, layout.populationRow, kPopulationLinePrefix));
                if (layout.cpiRow)
                    out.cpiLine = resultLine(sheet, layout.cpiRow, engine::kCpiPrefix);
                if (layout.probabilityRow)
                    out.probabilityLine = resultLine(sheet, layout.probabilityRow, engine::kProbabilityPrefix);
                // Lines edited apart from their rows (a mark or an LR changed in the sheet) are
                // the index of other rows: the operator forms it anew with "Перемножить".
                std::vector<engine::CombinedIndexRow> combined;
                for (int r = 1; r <= rows; ++r)
                    combined.push_back({out.grid.cell(r, results::kColumnNumber), out.grid.cell(r, results::kColumnLr),
                                        out.grid.cell(r, results::kColumnMark)});
                if (!engine::ResultLinesBelong(combined, out.cpiLine, out.probabilityLine, format)) {
                    out.cpiLine.clear();
                    out.probabilityLine.clear();
                }
            }
            if (!unsplitRows.empty())
                out.notes.push_back(std::string(kUnsplitGenotypeNote) + unsplitRows);
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
        return LoadedResults::failed(e.what());
    } catch (const CellFault& e) {
        return LoadedResults::failed(readFailedMessage(path, e.what()));
    }
    out.ok = true;
    out.caption = std::string(kCaptionPrefix) + fullPathText(path);
    return out;
}

std::string otherPopulationNote(freqdb::Population stated, freqdb::Population current)
{
    return "Строки книги рассчитаны по частотам аллелей для " + std::string(freqdb::genitiveName(stated))
           + ", а выбраны частоты для " + std::string(freqdb::genitiveName(current))
           + ": строки не пересчитаны. Чтобы пересчитать их, выберите популяцию командой «Популяция».";
}

} // namespace exchange
