// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An OpenDocument spreadsheet (.ods), parsed by orcus into OdsCellCollector. Before orcus sees
// anything, our own pass over the zip and content.xml checks the container and enforces the
// size limits (real and declared entry sizes, repeated cells), refuses DTDs, and supplies the cells that orcus 0.17
// drops without a word (percentages, currency amounts, booleans, text results of formulas), or
// makes reading their sheet fail loudly (times), instead of giving empty cells. orcus then
// reads content.xml as our pass read it, from an archive written anew, never the file itself.
#include <filesystem>
#include <string>
#include <vector>

#include "automation/odscellcollector.h"
#include "automation/workbook.h"

namespace automation {

class OdsWorkbook : public Workbook {
public:
    OdsWorkbook(std::string_view bytes, std::filesystem::path path);

    int sheetCount() const override;
    std::string sheetName(int index) const override;
    CellArray usedRange(int index) const override;

private:
    const OdsCellCollector::Sheet& sheet(int index) const;

    std::filesystem::path m_path;
    std::vector<OdsCellCollector::Sheet> m_sheets;
};

} // namespace automation
