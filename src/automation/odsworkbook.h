// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An OpenDocument spreadsheet (.ods): the zip container read by ZipArchive (sizes checked, real
// and declared), content.xml read once by OdsContentReader into each sheet's used range, and the
// other XML parts parsed only to refuse a DTD or an oversized part as the other readers do.
#include <filesystem>
#include <string>
#include <vector>

#include "automation/odscontentreader.h"
#include "automation/workbook.h"

namespace automation {

class OdsWorkbook : public Workbook {
public:
    OdsWorkbook(std::string_view bytes, std::filesystem::path path);

    int sheetCount() const override;
    std::string sheetName(int index) const override;
    CellArray usedRange(int index) const override;

private:
    const OdsContentReader::Sheet& sheet(int index) const;

    std::filesystem::path m_path;
    std::vector<OdsContentReader::Sheet> m_sheets;
};

} // namespace automation
