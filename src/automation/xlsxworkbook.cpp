// SPDX-License-Identifier: GPL-3.0-or-later
#include "xlsxworkbook.h"

#include "automation/readmessages.h"
#include "automation/xlsxsheetreader.h"
#include "automation/xlsxstyles.h"

namespace automation {

XlsxWorkbook::XlsxWorkbook(std::string bytes, std::filesystem::path path)
    : m_path(std::move(path)), m_bytes(std::make_unique<const std::string>(std::move(bytes))),
      m_zip(std::make_unique<ZipArchive>(*m_bytes, fileLabel(m_path))),
      m_package(XlsxPackage::read(*m_zip, fileLabel(m_path)))
{
}

int XlsxWorkbook::sheetCount() const
{
    return static_cast<int>(m_package.sheets.size());
}

const XlsxSheetEntry& XlsxWorkbook::sheet(int index) const
{
    if (index < 1 || index > sheetCount())
        throw WorkbookError(fileLabel(m_path) + ": нет листа с номером " + std::to_string(index));
    return m_package.sheets[static_cast<std::size_t>(index - 1)];
}

std::string XlsxWorkbook::sheetName(int index) const
{
    return sheet(index).name;
}

CellArray XlsxWorkbook::usedRange(int index) const
{
    const XlsxSheetEntry& entry = sheet(index);
    if (!m_sharedStrings) {
        m_sharedStrings = m_package.sharedStringsPart.empty() || !m_zip->contains(m_package.sharedStringsPart)
                              ? std::vector<std::string>()
                              : readSharedStrings(*m_zip, m_package.sharedStringsPart, fileLabel(m_path));
    }
    if (!m_cellKinds) {
        m_cellKinds = m_package.stylesPart.empty() || !m_zip->contains(m_package.stylesPart)
                          ? std::vector<NumberKind>()
                          : readXlsxCellKinds(*m_zip, m_package.stylesPart, fileLabel(m_path));
    }
    const XlsxSheetSource source{*m_sharedStrings, *m_cellKinds, m_package.date1904, m_package.recalculateOnLoad,
                                 sheetLabel(m_path, entry.name)};
    return readXlsxSheet(*m_zip, entry.part, source);
}

} // namespace automation
