// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An .xls (BIFF8) workbook: FreeXL reads the cells, and our own scan of the "Workbook" stream
// supplies what FreeXL 1.0.6 misses (formula results, boolean and error constants) and checks
// each sheet's declared size before FreeXL allocates storage for it.
#include <filesystem>
#include <string>
#include <vector>

#include "automation/biffscan.h"
#include "automation/workbook.h"

namespace automation {

class FreeXlWorkbook : public Workbook {
public:
    // `bytes` is the file's content, read once by the caller; FreeXL reads the file by path.
    FreeXlWorkbook(std::string_view bytes, std::filesystem::path path);
    ~FreeXlWorkbook() override;
    FreeXlWorkbook(const FreeXlWorkbook&) = delete;
    FreeXlWorkbook& operator=(const FreeXlWorkbook&) = delete;

    int sheetCount() const override;
    std::string sheetName(int index) const override;
    CellArray usedRange(int index) const override;

private:
    struct Sheet {
        std::string name;
        const BiffSheet* scanned = nullptr;
    };
    const Sheet& sheet(int index) const;

    std::filesystem::path m_path;
    const void* m_handle = nullptr;
    std::vector<BiffSheet> m_scanned;
    std::vector<Sheet> m_sheets;
};

} // namespace automation
