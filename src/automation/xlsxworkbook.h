// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An .xlsx workbook read with our own small reader (minizip + expat). It follows absolute
// relationship targets (openpyxl) and reads inline-string cells (openpyxl, libxlsxwriter's
// constant-memory mode), which a general-purpose reader may silently leave out. Reading only the
// few parts a used range needs also puts every size under our own limits.
//
// The package structure is read when the workbook opens; the shared strings and the cell styles'
// number formats on the first usedRange(), a worksheet's cells on each usedRange() of it.
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "automation/numberformatkind.h"
#include "automation/workbook.h"
#include "automation/xlsxpackage.h"
#include "automation/ziparchive.h"

namespace automation {

class XlsxWorkbook : public Workbook {
public:
    XlsxWorkbook(std::string bytes, std::filesystem::path path);

    int sheetCount() const override;
    std::string sheetName(int index) const override;
    CellArray usedRange(int index) const override;

private:
    const XlsxSheetEntry& sheet(int index) const;

    std::filesystem::path m_path;
    std::unique_ptr<const std::string> m_bytes; // the zip reads from here
    std::unique_ptr<ZipArchive> m_zip;
    XlsxPackage m_package;
    mutable std::optional<std::vector<std::string>> m_sharedStrings;
    mutable std::optional<std::vector<NumberKind>> m_cellKinds; // of each cell style
};

} // namespace automation
