// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A new workbook built in memory and saved as .xlsx. The operations follow what the results
// workbook needs: ranges are 1-based and inclusive; every call before save() only records.
// save() writes a temporary file in the target's folder and renames it over the target, so a
// failed save never damages an existing file. Failures throw WorkbookError.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "automation/workbook.h"

namespace automation {

struct CellRange {
    int firstRow = 1;
    int firstColumn = 1;
    int lastRow = 1;
    int lastColumn = 1;
};

enum class HorizontalAlignment { General, Center, Left };

// How the sheet prints: on A4, landscape or not, scaled so its used columns fit one page width
// (any number of pages down), with rows repeated at the top of every printed page.
struct PageSetup {
    bool landscape = false;
    bool fitToWidth = false;
    int repeatFirstRow = 0; // 1-based; 0: no rows repeated
    int repeatLastRow = 0;
};

class WorkbookWriter {
public:
    virtual ~WorkbookWriter() = default;

    // The one worksheet of the new workbook (the results workbook names it "Лист1").
    virtual void addWorksheet(const std::string& name) = 0;
    virtual void setAlignment(const CellRange& range, HorizontalAlignment alignment) = 0;
    // Number format "@": cells hold text as typed, never converted to numbers.
    virtual void setTextFormat(const CellRange& range) = 0;
    virtual void merge(const CellRange& range) = 0;
    // values[r][c] goes to cell (range.firstRow + r, range.firstColumn + c); every value is
    // stored as text, empty texts as (formatted) blanks.
    virtual void setValues(const CellRange& range, const std::vector<std::vector<std::string>>& values) = 0;
    // Width in characters for every column of the range.
    virtual void setColumnWidth(const CellRange& range, double characters) = 0;
    virtual void setWrap(const CellRange& range) = 0;
    // Height of a row in points; rows never given one keep the program's default.
    virtual void setRowHeight(int row, double points) = 0;
    virtual void setPageSetup(const PageSetup& setup) = 0;
    virtual void save(const std::filesystem::path& path) = 0;
};

// The writer over libxlsxwriter (pi_xlsxwriter; in the executable, from the writer module).
std::unique_ptr<WorkbookWriter> makeXlsxWorkbookWriter();

} // namespace automation
