// SPDX-License-Identifier: GPL-3.0-or-later
#include "resultsworkbookwriter.h"

#include <algorithm>
#include <vector>

#include "exchange/workbooklayout.h"
#include "exchange/wrappedtext.h"
#include "results/genotyperow.h"

namespace exchange {
namespace {

// The width of a sheet column in characters; K keeps the spreadsheet's default.
double columnWidth(int column)
{
    for (const auto& w : kColumnWidths)
        if (column >= w.firstColumn && column <= w.lastColumn)
            return w.characters;
    return 8.43;
}

// Heights for the rows whose wrapped texts need more than one line: the header (B..H), the
// formula column of the result rows, and the three closing lines in their merged B:F.
void setWrappedRowHeights(const std::vector<std::vector<std::string>>& values, int n,
                          automation::WorkbookWriter& writer)
{
    auto give = [&](int row, int lines) {
        if (lines > 1)
            writer.setRowHeight(row, lines * kLinePoints);
    };
    int header = 1;
    for (int column = 2; column <= 8; ++column)
        header = std::max(header, wrappedLineCount(values[0][column - 1], columnWidth(column)));
    give(1, header);
    for (int row = 2; row <= n + 1; ++row)
        give(row, wrappedLineCount(values[row - 1][kColumnFormula - 1], columnWidth(kColumnFormula)));
    double merged = 0;
    for (int column = kTrailingMergeFirst; column <= kTrailingMergeLast; ++column)
        merged += columnWidth(column);
    for (int row = n + 2; row <= static_cast<int>(values.size()); ++row)
        give(row, wrappedLineCount(values[row - 1][kColumnLocus - 1], merged));
}

} // namespace

void saveResultsWorkbook(const std::filesystem::path& path, const results::ResultsGrid& grid,
                         const std::string& cpiLine, const std::string& probabilityLine, freqdb::Population population,
                         automation::WorkbookWriter& writer, const std::vector<std::string>& exportLines,
                         const std::vector<std::string>& besideBlock, const freqdb::LabSettings* settings)
{
    using automation::CellRange;
    const int n = grid.ResultCount();
    const bool thetaNote = settings && settings->theta;
    const int lastRow = n + 1 + kTrailingRows + static_cast<int>(exportLines.size()) + (thetaNote ? 1 : 0);
    const CellRange block{1, 1, lastRow, kBlockColumns};

    // Sheet row g + 1 holds grid row g; the rows below the table (n + 1, n + 2) are empty in a
    // consistent table and are written all the same, beside the two result lines.
    std::vector<std::vector<std::string>> values(lastRow, std::vector<std::string>(kBlockColumns));
    for (int g = 0; g <= n + 2 && g < lastRow; ++g) {
        auto& row = values[g];
        row[kColumnNumber - 1] = grid.cell(g, results::kColumnNumber);
        row[kColumnLocus - 1] = grid.cell(g, results::kColumnLocus);
        for (int c = results::kColumnFormula; c <= results::kColumnMark; ++c)
            row[c + kGridToSheetOffset - 1] = grid.cell(g, c);
    }
    for (int r = 1; r <= n; ++r) {
        const auto& g = grid.RowGenotypes(r);
        if (g.father1.empty())
            continue;
        values[r][kColumnFather - 1] = results::genotypeCellText(g.father1, g.father2, g.fatherCell);
        values[r][kColumnChild - 1] = results::genotypeCellText(g.child1, g.child2, g.childCell);
        values[r][kColumnMother - 1] = results::genotypeCellText(g.mother1, g.mother2, g.motherCell);
    }
    for (int k = 0; k < 3; ++k)
        values[0][kColumnFather - 1 + k] = std::string(kGenotypeHeaders[k]);
    values[n + 1][kColumnLocus - 1] = cpiLine;
    values[n + 2][kColumnLocus - 1] = probabilityLine;
    values[n + 3][kColumnLocus - 1]
        = std::string(kPopulationLinePrefix) + std::string(freqdb::genitiveName(population));
    for (std::size_t k = 0; k < exportLines.size(); ++k)
        values[n + 4 + k][kColumnLocus - 1] = exportLines[k];
    if (thetaNote)
        values[lastRow - 1][kColumnLocus - 1] = std::string(freqdb::kThetaNote);

    writer.addWorksheet(std::string(kSheetName));
    writer.setAlignment(block, automation::HorizontalAlignment::Center);
    writer.setAlignment({n + 2, 1, lastRow, kBlockColumns}, automation::HorizontalAlignment::Left);
    writer.setTextFormat(block);
    for (int row = n + 2; row <= lastRow; ++row)
        writer.merge({row, kTrailingMergeFirst, row, kTrailingMergeLast});
    writer.setValues(block, values);
    for (const auto& w : kColumnWidths)
        writer.setColumnWidth({1, w.firstColumn, 1, w.lastColumn}, w.characters);
    writer.setWrap({1, 2, 1, 8});
    writer.setWrap({1, kColumnFormula, n + 1, kColumnFormula});
    // Beyond the layout itself: the closing lines wrap inside their merged cells, the rows are as
    // high as their wrapped texts, and the block prints one page wide with the header repeated.
    writer.setWrap({n + 2, kTrailingMergeFirst, lastRow, kTrailingMergeLast});
    setWrappedRowHeights(values, n, writer);
    writer.setPageSetup({true, true, 1, 1});
    if (!besideBlock.empty()) {
        const int last = kBesideBlockColumn + static_cast<int>(besideBlock.size()) - 1;
        writer.setTextFormat({1, kBesideBlockColumn, 1, last});
        writer.setValues({1, kBesideBlockColumn, 1, last}, {besideBlock});
    }
    writer.save(path);
}

std::filesystem::path proposedSaveName(const std::filesystem::path& loadedWorkbook,
                                       const std::filesystem::path& workDir)
{
    if (loadedWorkbook.empty() || !loadedWorkbook.has_filename())
        return workDir / kUntitledName;
    auto name = loadedWorkbook;
    name.replace_extension(kWorkbookExtension);
    return name;
}

} // namespace exchange
