// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheetcells.h"

#include <algorithm>
#include <utility>
#include <variant>

#include "automation/readmessages.h"
#include "exchange/workbooklayout.h"
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

} // namespace

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
