// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sheets of an OpenDocument spreadsheet, read from its content.xml in one streaming pass
// (an XmlHandler for XmlStream). Each table:table of office:spreadsheet is a sheet; its rows
// and cells are placed by position, repeats included (number-rows-repeated,
// number-columns-repeated; covered cells of a merge take their place, and what a merge kept
// hidden in them is read, as the .xlsx and .xls readers read it). Cells are read as the contract
// of cellvalue.h says:
//   float, percentage, currency: the number of office:value (a percentage as the fraction); a
//     formula's 1 or 0 shown as TRUE or FALSE is the boolean LibreOffice stored it for;
//   string: office:string-value when there is one, else the text of its paragraphs joined by
//     line breaks, with text:s, text:tab and text:line-break spelled out and spans followed
//     (annotations and drawings in the cell are not its text); a formula's empty text result,
//     stored as an empty paragraph without a value type, is the empty text;
//   date and time: the text "2023-03-15", "2023-03-15 08:30:15" or "08:30:15";
//   boolean, an error result of a formula (whatever type it is stored under), a formula with
//     no stored result: a CellError.
// A cell that cannot be read faithfully (another value type, a number, a date or a time that
// does not parse) makes reading its sheet fail, naming the cell; the other sheets stay readable.
// Limits on a cell's text, and on the value cells and the text the workbook spells out (text:s
// and repeats counted, all sheets together, since every sheet is kept until the workbook is
// closed), fail the whole workbook: a few kilobytes of repeats cannot make it hold gigabytes.
#include <cstdint>
#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "automation/cellarray.h"
#include "automation/usedrangebuilder.h"
#include "automation/xmlstream.h"

namespace automation {

class OdsContentReader : public XmlHandler {
public:
    // `path` names the file in messages.
    explicit OdsContentReader(std::filesystem::path path);

    void startElement(std::string_view name, const char** attributes) override;
    void endElement(std::string_view name) override;
    void characters(std::string_view text) override;

    struct Sheet {
        std::string name;
        UsedRangeBuilder cells; // built into a CellArray only when the sheet is read
        std::string error; // non-empty when the sheet cannot be read
    };
    // The sheets read, once the whole part has been fed.
    std::vector<Sheet> takeSheets();

private:
    struct SheetCells {
        std::string name;
        UsedRangeBuilder range;
        std::string rangeError; // the used range broke a limit
        std::string problem; // a cell that cannot be read; rangeError wins over it
    };

    void startSheet(const char** attributes);
    void startCell(const char** attributes);
    void finishCell();
    void setProblem(std::string problem);
    void place(long long row, long long column, const CellValue& value);
    void checkTextRoom(std::size_t bytes) const;
    void appendText(std::string_view text);
    void countText(std::uint64_t bytes);

    std::filesystem::path m_path;
    std::string m_where;
    std::deque<SheetCells> m_sheets;
    std::uint64_t m_expandedCells = 0; // value cells spelled out, repeats counted
    std::uint64_t m_textBytes = 0; // text read from paragraphs and copied by repeats, all sheets

    // Depths of the open elements that give structure; -1 when not open. Elements outside
    // this structure (a sub-table, an annotation, a drawing) are skipped with their content.
    int m_depth = 0;
    int m_skipDepth = -1;
    int m_spreadsheetDepth = -1;
    int m_tableDepth = -1;
    int m_rowDepth = -1;
    int m_cellDepth = -1;
    int m_paragraphDepth = -1;

    long long m_row = 0; // 0-based position in the current sheet
    long long m_column = 0;
    long m_rowRepeat = 1;

    // The cell being read.
    long m_columnRepeat = 1;
    std::string m_type;
    std::string m_value;
    std::optional<std::string> m_stringValue;
    std::string m_boolean;
    std::string m_date;
    std::string m_time;
    std::string m_calcType;
    bool m_formula = false;
    int m_paragraphs = 0;
    std::string m_text;
};

} // namespace automation
