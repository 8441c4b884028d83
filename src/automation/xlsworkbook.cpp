// SPDX-License-Identifier: GPL-3.0-or-later
#include "xlsworkbook.h"

#include "automation/cfbreader.h"
#include "automation/readmessages.h"
#include "automation/usedrangebuilder.h"

namespace automation {

XlsWorkbook::XlsWorkbook(std::string_view bytes, std::filesystem::path path) : m_path(std::move(path))
{
    const std::string where = fileLabel(m_path);
    std::optional<std::string> stream = CfbReader::readStream(bytes, "Workbook", where);
    if (!stream) {
        if (CfbReader::readStream(bytes, "Book", where))
            throw WorkbookError(where + ": книга старого формата Excel (до Excel 97) не поддерживается");
        throw WorkbookError(where + ": файл OLE не содержит книги Excel (возможно, это другой документ)");
    }
    m_sheets = readBiffWorkbook(*stream, where);
}

int XlsWorkbook::sheetCount() const
{
    return static_cast<int>(m_sheets.size());
}

const BiffWorksheet& XlsWorkbook::sheet(int index) const
{
    if (index < 1 || index > sheetCount())
        throw WorkbookError(fileLabel(m_path) + ": нет листа с номером " + std::to_string(index));
    return m_sheets[static_cast<std::size_t>(index - 1)];
}

std::string XlsWorkbook::sheetName(int index) const
{
    return sheet(index).name;
}

CellArray XlsWorkbook::usedRange(int index) const
{
    const BiffWorksheet& s = sheet(index);
    UsedRangeBuilder range(sheetLabel(m_path, s.name));
    for (const BiffCell& cell : s.cells)
        range.add(cell.row, cell.column, cell.value);
    return range.build();
}

} // namespace automation
