// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The spreadsheet operations the program uses, with no library type showing through.
//
// Reading: open a workbook read-only (the format is chosen by the file's content, the
// extension only breaks ties), list its worksheets, and take a worksheet's used range (the
// rectangle from the first to the last non-empty cell, wherever it lies) as a CellArray.
// Files are never written by the reading half.
//
// Writing: WorkbookWriter (workbookwriter.h) builds one new workbook in memory and saves it.
//
// Failures throw WorkbookError with a reason in Russian that names the file and, where it
// applies, the sheet and cell.
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "automation/cellarray.h"

namespace automation {

class WorkbookError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Workbook {
public:
    virtual ~Workbook() = default;

    virtual int sheetCount() const = 0;
    // Name of worksheet `index`, 1 <= index <= sheetCount().
    virtual std::string sheetName(int index) const = 0;
    // Used range of worksheet `index`; an empty CellArray for an empty sheet.
    virtual CellArray usedRange(int index) const = 0;

    // 1-based index of the worksheet named `name` (exactly, or else regardless of letter case,
    // as a spreadsheet program finds it), 0 when there is none.
    int sheetIndex(std::string_view name) const;
};

// Opens workbooks; the file-backed reader and the tests' in-memory fake both implement it.
class WorkbookReader {
public:
    virtual ~WorkbookReader() = default;
    virtual std::unique_ptr<Workbook> open(const std::filesystem::path& path) const = 0;
};

// The reader over real files: .xls, .xlsx and .ods.
std::unique_ptr<WorkbookReader> makeFileWorkbookReader();

} // namespace automation
