// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheetcells.h"

#include <algorithm>
#include <utility>
#include <variant>

#include "automation/readmessages.h"
#include "engine/enginetexts.h"
#include "exchange/workbooklayout.h"
#include "freqdb/labsettings.h"
#include "freqdb/loadmessages.h"
#include "results/resultsgrid.h"

namespace exchange {

SheetCells::SheetCells(automation::CellArray range, const text::NumberFormat& format)
    : m_range(std::move(range)), m_format(format)
{
    if (!m_range.empty()) {
        m_lastRow = m_range.firstRow() + m_range.rows() - 1;
        m_lastColumn = m_range.firstColumn() + m_range.columns() - 1;
    }
}

std::string SheetCells::text(int row, int column) const
{
    const auto& value = m_range.at(row - m_range.firstRow() + 1, column - m_range.firstColumn() + 1);
    if (const auto* error = std::get_if<automation::CellError>(&value))
        throw CellFault("ячейка " + automation::cellName(row, column) + ": " + error->reason);
    return automation::cellText(value, m_format);
}

std::string readFailedMessage(const std::filesystem::path& path, const std::string& reason)
{
    // The readers name the file themselves ("«case.xlsx»: ..."); the full path given here says
    // it already.
    std::string_view shown = reason;
    const std::string ownName = automation::fileLabel(path) + ": ";
    if (shown.substr(0, ownName.size()) == ownName)
        shown.remove_prefix(ownName.size());
    return std::string(freqdb::kReadFailed) + "\nКнига «" + automation::validUtf8(path.string())
           + "»: " + std::string(shown);
}

int keptRows(int rows, int& leftOut)
{
    const int kept = rows < results::kLastDataRow ? rows : results::kLastDataRow;
    leftOut = rows - kept;
    return kept;
}

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

enum class ClosingLine { None, Cpi, Probability, Population };

ClosingLine closingLineAt(const SheetCells& sheet, int row)
{
    std::string line;
    try {
        line = sheet.text(row, kColumnLocus);
    } catch (const CellFault&) {
        return ClosingLine::None;
    }
    if (line.starts_with(engine::kCpiPrefix))
        return ClosingLine::Cpi;
    if (line.starts_with(engine::kProbabilityPrefix))
        return ClosingLine::Probability;
    if (line.starts_with(kPopulationLinePrefix))
        return ClosingLine::Population;
    return ClosingLine::None;
}

bool blankRow(const SheetCells& sheet, int row)
{
    for (int column = kColumnNumber; column <= kColumnMark; ++column) {
        if (filled(sheet, row, column))
            return false;
    }
    return true;
}

// A row with nothing in A to J but column B (blank rows included): the shape of a closing line.
bool lineTextOnly(const SheetCells& sheet, int row)
{
    for (int column = kColumnNumber; column <= kColumnMark; ++column) {
        if (column != kColumnLocus && filled(sheet, row, column))
            return false;
    }
    return true;
}

// A line about the genotyping export the rows came from, as the writer puts it under the
// population line.
bool isExportLine(const SheetCells& sheet, int row)
{
    try {
        return lineTextOnly(sheet, row) && sheet.text(row, kColumnLocus).starts_with(kExportLinePrefix);
    } catch (const CellFault&) {
        return false;
    }
}

// The note the writer puts under the lines of a table computed with θ: what p stands for.
bool isThetaNote(const SheetCells& sheet, int row)
{
    try {
        return lineTextOnly(sheet, row) && sheet.text(row, kColumnLocus) == freqdb::kThetaNote;
    } catch (const CellFault&) {
        return false;
    }
}

// The last row of the table of a sheet without recognised closing lines: R-3, or further down to
// the last of the last three rows that names a locus and holds genotypes. 1 when there is none.
int lastRowWithoutClosingLines(const SheetCells& sheet)
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

SheetTable tableRows(const SheetCells& sheet)
{
    SheetTable out;
    const int lastRow = sheet.lastRow();
    int firstClosing = 0;
    ClosingLine firstLine = ClosingLine::None;
    for (int row = 2; row <= lastRow && firstClosing == 0; ++row) {
        firstLine = closingLineAt(sheet, row);
        if (firstLine != ClosingLine::None)
            firstClosing = row;
    }
    int tableEnd = lastRow;
    if (firstClosing == 0) {
        tableEnd = lastRowWithoutClosingLines(sheet);
    } else {
        // The lines before the first one recognised are in their places above it when they hold
        // nothing but a text in B (a CPI line with other words, or an empty one); a row with
        // anything else is a row of the table.
        const int place = firstLine == ClosingLine::Cpi ? 0 : firstLine == ClosingLine::Probability ? 1 : 2;
        int blockStart = firstClosing;
        while (firstClosing - blockStart < place && blockStart > 2 && lineTextOnly(sheet, blockStart - 1))
            --blockStart;
        for (int row = blockStart; row < firstClosing; ++row)
            (place - (firstClosing - row) == 0 ? out.cpiRow : out.probabilityRow) = row;
        tableEnd = blockStart - 1;
        // From the first recognised line on: the lines in their order, blank rows between them
        // allowed; the block ends with the population line, or at anything that is none of them.
        int blockEnd = firstClosing;
        for (int row = firstClosing; row <= std::min(lastRow, blockStart + kTrailingRows - 1); ++row) {
            const ClosingLine line = closingLineAt(sheet, row);
            if (line == ClosingLine::Cpi && !out.cpiRow && !out.probabilityRow) {
                out.cpiRow = row;
            } else if (line == ClosingLine::Probability && !out.probabilityRow) {
                out.probabilityRow = row;
            } else if (line == ClosingLine::Population) {
                out.populationRow = row;
                blockEnd = row;
                break;
            } else if (!blankRow(sheet, row)) {
                break;
            }
            if (line != ClosingLine::None)
                blockEnd = row;
        }
        int row = blockEnd + 1;
        if (out.populationRow) {
            for (; row <= lastRow && (blankRow(sheet, row) || isExportLine(sheet, row) || isThetaNote(sheet, row));
                 ++row) {
                if (isExportLine(sheet, row))
                    out.exportLineRows.push_back(row);
            }
        }
        for (; row <= lastRow; ++row)
            out.rowsAfterClosingLines += blankRow(sheet, row) ? 0 : 1;
    }
    for (int row = 2; row <= tableEnd; ++row) {
        if (!blankRow(sheet, row))
            out.rows.push_back(row);
    }
    return out;
}

std::string rowNumberText(std::string cell, int row)
{
    return cell.empty() ? std::to_string(row) : cell;
}

std::string fullPathText(const std::filesystem::path& path)
{
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(path, ec);
    return (ec ? path : absolute.lexically_normal()).string();
}

SheetCells readFirstSheet(const std::filesystem::path& path, const automation::WorkbookReader& reader,
                          const text::NumberFormat& format)
{
    try {
        const auto book = reader.open(path);
        if (!book || book->sheetCount() < 1)
            throw ReadFailure(readFailedMessage(path, "в книге нет листов"));
        return SheetCells(book->usedRange(1), format);
    } catch (const ReadFailure&) {
        throw;
    } catch (const std::exception& e) {
        throw ReadFailure(readFailedMessage(path, e.what()));
    }
}

} // namespace exchange
