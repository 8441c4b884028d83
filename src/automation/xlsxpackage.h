// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The package structure of an .xlsx file, read from its zip: the workbook part found through
// _rels/.rels, its worksheets in workbook order with their part names resolved through the
// workbook's relationships, the shared strings part, and whether the writer asked for a full
// recalculation on load (libxlsxwriter and openpyxl do; their stored formula results are then
// not what a spreadsheet program shows).
//
// Relationship targets may be relative to the source part ("worksheets/sheet1.xml", Excel,
// LibreOffice, libxlsxwriter) or absolute in the package ("/xl/worksheets/sheet1.xml",
// openpyxl); both resolve to the zip entry name.
#include <string>
#include <string_view>
#include <vector>

namespace automation {

class ZipArchive;

struct XlsxSheetEntry {
    std::string name;
    std::string part; // zip entry name of the worksheet XML
};

struct XlsxPackage {
    std::string workbookPart;
    std::vector<XlsxSheetEntry> sheets; // worksheets only; chart and macro sheets are left out
    std::string sharedStringsPart; // empty when the workbook has none
    std::string stylesPart; // empty when the workbook has none
    bool date1904 = false; // serial days count from 1904-01-01
    bool recalculateOnLoad = false;

    // Throws WorkbookError (prefixed with `where`) when the package is not a workbook or a
    // worksheet's part is missing.
    static XlsxPackage read(ZipArchive& zip, const std::string& where);
};

// The zip entry name of `target` as seen from part `source` ("xl/workbook.xml").
std::string resolvePartTarget(std::string_view source, std::string_view target);

// Reads the shared string table: each item's text, rich text runs joined, phonetic runs left out.
std::vector<std::string> readSharedStrings(ZipArchive& zip, const std::string& part, const std::string& where);

} // namespace automation
