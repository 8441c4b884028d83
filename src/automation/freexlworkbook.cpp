// SPDX-License-Identifier: GPL-3.0-or-later
#include "freexlworkbook.h"

#include <freexl.h>

#include <cmath>

#include "automation/cfbreader.h"
#include "automation/readlimits.h"
#include "automation/readmessages.h"
#include "automation/usedrangebuilder.h"

namespace automation {

FreeXlWorkbook::FreeXlWorkbook(std::string_view bytes, std::filesystem::path path) : m_path(std::move(path))
{
    const std::string where = fileLabel(m_path);
    std::optional<std::string> stream = CfbReader::readStream(bytes, "Workbook", where);
    if (!stream) {
        if (CfbReader::readStream(bytes, "Book", where))
            throw WorkbookError(where + ": книга старого формата Excel (до Excel 97) не поддерживается");
        throw WorkbookError(where + ": файл OLE не содержит книги Excel (возможно, это другой документ)");
    }
    m_scanned = scanBiffWorkbook(*stream, where);
    for (const BiffSheet& s : m_scanned) {
        if (s.declaredRows > 65536 || s.declaredColumns > 256
            || static_cast<std::uint64_t>(s.declaredRows) * s.declaredColumns > limits::kXlsDeclaredCells)
            throw WorkbookError(sheetLabel(m_path, s.name) + ": заявленный размер листа слишком велик ("
                                + std::to_string(s.declaredRows) + " строк, " + std::to_string(s.declaredColumns)
                                + " столбцов)");
    }

    const int rc = freexl_open(m_path.c_str(), &m_handle);
    if (rc != FREEXL_OK || !m_handle) {
        if (m_handle)
            freexl_close(m_handle);
        m_handle = nullptr;
        throw WorkbookError(where + ": файл поврежден или не читается (FreeXL, код " + std::to_string(rc) + ")");
    }
    unsigned password = 0;
    if (freexl_get_info(m_handle, FREEXL_BIFF_PASSWORD, &password) == FREEXL_OK && password == FREEXL_BIFF_OBFUSCATED) {
        freexl_close(m_handle);
        throw WorkbookError(where + ": книга защищена паролем");
    }
    unsigned count = 0;
    freexl_get_info(m_handle, FREEXL_BIFF_SHEET_COUNT, &count);
    std::vector<bool> used(m_scanned.size());
    for (unsigned i = 0; i < count; ++i) {
        const char* name = nullptr;
        if (freexl_get_worksheet_name(m_handle, static_cast<unsigned short>(i), &name) != FREEXL_OK || !name)
            name = "";
        Sheet sheet{validUtf8(name), nullptr};
        // FreeXL and the scan list the same worksheets; they are paired by name, so a sheet
        // the scan did not see fails instead of losing its formula results.
        for (std::size_t k = 0; k < m_scanned.size(); ++k) {
            if (!used[k] && m_scanned[k].name == sheet.name) {
                used[k] = true;
                sheet.scanned = &m_scanned[k];
                break;
            }
        }
        m_sheets.push_back(std::move(sheet));
    }
}

FreeXlWorkbook::~FreeXlWorkbook()
{
    if (m_handle)
        freexl_close(m_handle);
}

int FreeXlWorkbook::sheetCount() const
{
    return static_cast<int>(m_sheets.size());
}

const FreeXlWorkbook::Sheet& FreeXlWorkbook::sheet(int index) const
{
    if (index < 1 || index > sheetCount())
        throw WorkbookError(fileLabel(m_path) + ": нет листа с номером " + std::to_string(index));
    return m_sheets[static_cast<std::size_t>(index - 1)];
}

std::string FreeXlWorkbook::sheetName(int index) const
{
    return sheet(index).name;
}

CellArray FreeXlWorkbook::usedRange(int index) const
{
    const Sheet& s = sheet(index);
    const std::string where = sheetLabel(m_path, s.name);
    if (!s.scanned)
        throw WorkbookError(where + ": лист не найден в потоке книги, формулы не читаются");
    if (freexl_select_active_worksheet(m_handle, static_cast<unsigned short>(index - 1)) != FREEXL_OK)
        throw WorkbookError(where + ": лист не читается");
    unsigned rows = 0;
    unsigned short columns = 0;
    if (freexl_worksheet_dimensions(m_handle, &rows, &columns) != FREEXL_OK)
        throw WorkbookError(where + ": размер листа не читается");
    // A BIFF8 sheet has at most 65536 rows and 256 columns; a larger count (with a zero on the
    // other side the product passes any cell limit) would only make the scan below loop for long.
    if (rows > 65536 || columns > 256 || static_cast<std::uint64_t>(rows) * columns > limits::kXlsDeclaredCells)
        throw WorkbookError(where + ": заявленный размер листа слишком велик (" + std::to_string(rows) + " строк, "
                            + std::to_string(columns) + " столбцов)");
    if (columns == 0)
        rows = 0;

    UsedRangeBuilder range(where);
    for (unsigned r = 0; r < rows; ++r) {
        for (unsigned c = 0; c < columns; ++c) {
            const int row = static_cast<int>(r) + 1;
            const int column = static_cast<int>(c) + 1;
            if (s.scanned->cells.count({row, column}))
                continue;
            FreeXL_CellValue value;
            if (freexl_get_cell_value(m_handle, r, static_cast<unsigned short>(c), &value) != FREEXL_OK)
                throw WorkbookError(where + ": ячейка " + cellName(row, column) + " не читается");
            switch (value.type) {
            case FREEXL_CELL_INT:
                range.add(row, column, static_cast<double>(value.value.int_value));
                break;
            case FREEXL_CELL_DOUBLE:
                range.add(row, column,
                          std::isfinite(value.value.double_value) ? CellValue(value.value.double_value)
                                                                  : CellValue(CellError{"#NUM!"}));
                break;
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT:
            case FREEXL_CELL_DATE:
            case FREEXL_CELL_DATETIME:
            case FREEXL_CELL_TIME:
                range.add(row, column, validUtf8(value.value.text_value ? value.value.text_value : ""));
                break;
            default:
                break;
            }
        }
    }
    for (const auto& [cell, value] : s.scanned->cells)
        range.add(cell.first, cell.second, value);
    return range.build();
}

} // namespace automation
