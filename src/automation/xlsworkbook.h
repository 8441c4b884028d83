// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An .xls (BIFF8) workbook: the "Workbook" stream taken out of its compound file (cfbreader) and
// its cells read at open (biffreader); a used range is built from them when asked for.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "automation/biffreader.h"
#include "automation/workbook.h"

namespace automation {

class XlsWorkbook : public Workbook {
public:
    // `bytes` is the file's content, read once by the caller; `path` names it in messages.
    XlsWorkbook(std::string_view bytes, std::filesystem::path path);

    int sheetCount() const override;
    std::string sheetName(int index) const override;
    CellArray usedRange(int index) const override;

private:
    const BiffWorksheet& sheet(int index) const;

    std::filesystem::path m_path;
    std::vector<BiffWorksheet> m_sheets;
};

} // namespace automation
