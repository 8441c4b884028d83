// SPDX-License-Identifier: GPL-3.0-or-later
#include "cellworkbookwriter.h"

#include "automation/lxwsupport.h"
#include "automation/readmessages.h"
#include "automation/workbook.h"
#include "automation/xstring.h"

namespace automation {
namespace {

void writeSheet(lxw_workbook* workbook, const NamedSheet& sheet, const std::string& shown)
{
    const std::string where = "Книга «" + shown + "» не сохранена: лист «" + validUtf8(sheet.name) + "»";
    if (const lxw_error e = workbook_validate_sheet_name(workbook, sheet.name.c_str()); e != LXW_NO_ERROR)
        throw WorkbookError(where + " — недопустимое имя листа (" + lxw_strerror(e) + ")");
    lxw_worksheet* out = workbook_add_worksheet(workbook, sheet.name.c_str());
    if (!out)
        throw WorkbookError(where + " — недопустимое или повторное имя листа");
    const CellArray& cells = sheet.cells;
    for (int r = 1; r <= cells.rows(); ++r) {
        for (int c = 1; c <= cells.columns(); ++c) {
            const CellValue& value = cells.at(r, c);
            const auto row = static_cast<lxw_row_t>(cells.firstRow() + r - 2);
            const auto column = static_cast<lxw_col_t>(cells.firstColumn() + c - 2);
            lxw_error e = LXW_NO_ERROR;
            if (const auto* textValue = std::get_if<std::string>(&value))
                e = worksheet_write_string(out, row, column, escapeXStringLiterals(*textValue).c_str(), nullptr);
            else if (const auto* number = std::get_if<double>(&value))
                e = worksheet_write_number(out, row, column, *number, nullptr);
            else if (const auto* error = std::get_if<CellError>(&value))
                throw WorkbookError(where + ", ячейка " + cells.sheetCellName(r, c) + ": значение нельзя перенести ("
                                    + error->reason + ")");
            if (e != LXW_NO_ERROR)
                throw WorkbookError(where + ", ячейка " + cells.sheetCellName(r, c) + " не записана (" + lxw_strerror(e)
                                    + ")");
        }
    }
}

} // namespace

void saveCellWorkbook(const std::filesystem::path& path, const std::vector<NamedSheet>& sheets)
{
    const std::string shown = validUtf8(path.filename().string());
    if (sheets.empty())
        throw WorkbookError("Книга «" + shown + "» не сохранена: в ней нет листа");
    lxw::saveThroughTemporary(path, shown, sheets, [&](const std::filesystem::path& file) {
        lxw::Workbook workbook(file);
        if (!workbook.get())
            throw WorkbookError("Книга «" + shown + "» не сохранена: не хватает памяти");
        for (const auto& sheet : sheets)
            writeSheet(workbook.get(), sheet, shown);
        const lxw_error e = workbook.close();
        if (e != LXW_NO_ERROR)
            lxw::throwCloseError(e, shown);
    });
}

} // namespace automation
