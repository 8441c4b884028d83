// SPDX-License-Identifier: GPL-3.0-or-later
#include "odscontentreader.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "automation/readlimits.h"
#include "automation/readmessages.h"
#include "automation/workbook.h"

namespace automation {
namespace {

// Value cells a workbook may spell out, repeats counted: as many as one sheet's used range may
// hold, far more than any workbook of ours. Every one is kept until the workbook is closed.
constexpr std::uint64_t kExpandedCells = limits::kRangeCells;
// Copies of one value cell (rows x columns repeated) placed on a sheet.
constexpr long long kCellCopies = 10'000;

const char* const kFormulaWithoutValue = "формула без сохраненного значения";

long repeatCount(const char** attributes, std::string_view name)
{
    const char* value = xmlAttribute(attributes, name);
    if (!value)
        return 1;
    const long n = std::strtol(value, nullptr, 10);
    return n < 1 ? 1 : n > limits::kMaxSheetRow ? limits::kMaxSheetRow : n;
}

std::string attribute(const char** attributes, std::string_view name, std::string_view ns)
{
    const char* value = xmlAttribute(attributes, name, ns);
    return value ? value : "";
}

// The text a spreadsheet program shows for a formula's error result. Excel stores such a result
// as the number 0 with this text, some writers as a text; either way it is not the cell's value.
bool isErrorText(std::string_view text)
{
    for (std::string_view error : {"#NULL!", "#DIV/0!", "#VALUE!", "#REF!", "#NAME?", "#NUM!", "#N/A"}) {
        if (text == error)
            return true;
    }
    return false;
}

// The start of a value for a message: a cut may split a character, which then shows as U+FFFD.
std::string excerpt(const std::string& value)
{
    return validUtf8(std::string_view(value).substr(0, 40));
}

// office:value as an xsd:double: spaces around it and a leading '+' are allowed there, and
// from_chars takes neither.
bool parseDouble(std::string_view text, double& number)
{
    constexpr std::string_view kSpace = " \t\r\n";
    const auto first = text.find_first_not_of(kSpace);
    if (first == std::string_view::npos)
        return false;
    text = text.substr(first, text.find_last_not_of(kSpace) - first + 1);
    if (text.front() == '+') {
        text.remove_prefix(1);
        if (text.empty() || text.front() == '-')
            return false;
    }
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
    return ec == std::errc() && end == text.data() + text.size();
}

// "2023-03-15": the day of a date cell as the other readers give it.
bool isIsoDay(std::string_view text)
{
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return false;
    for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
        if (text[i] < '0' || text[i] > '9')
            return false;
    }
    return true;
}

// A date cell's office:date-value as the contract's text: "2023-03-15" for a day (at midnight),
// "2023-03-15 08:30:15" for a day with a time of day (fractions of a second dropped).
std::optional<std::string> dateText(std::string_view value)
{
    const std::string_view day = value.substr(0, 10);
    if (!isIsoDay(day))
        return std::nullopt;
    if (value.size() == 10)
        return std::string(day);
    const std::string_view time = value.substr(11, 8);
    if (value[10] != 'T' || time.size() != 8 || time[2] != ':' || time[5] != ':')
        return std::nullopt;
    for (std::size_t i : {0, 1, 3, 4, 6, 7}) {
        if (time[i] < '0' || time[i] > '9')
            return std::nullopt;
    }
    const std::string_view rest = value.substr(19);
    if (!rest.empty() && (rest[0] != '.' || rest.find_first_not_of("0123456789", 1) != std::string_view::npos))
        return std::nullopt;
    if (time == "00:00:00")
        return std::string(day);
    return std::string(day) + " " + std::string(time);
}

// A time cell's office:time-value, an ISO duration ("PT08H30M15S", "PT36H00M00.5S"), as the
// time of day the other formats show for it: "08:30:15", "12:00:01" (whole seconds, rounded).
std::optional<std::string> timeText(std::string_view value)
{
    if (value.substr(0, 1) != "P")
        return std::nullopt;
    value.remove_prefix(1);
    double seconds = 0;
    bool inTime = false;
    while (!value.empty()) {
        if (value.front() == 'T' && !inTime) {
            inTime = true;
            value.remove_prefix(1);
            continue;
        }
        double number = 0;
        const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), number);
        if (ec != std::errc() || end == value.data() + value.size() || number < 0 || number > 1e9)
            return std::nullopt;
        const char unit = *end;
        value.remove_prefix(static_cast<std::size_t>(end - value.data()) + 1);
        if (unit == 'D' && !inTime)
            seconds += number * 86400;
        else if (unit == 'H' && inTime)
            seconds += number * 3600;
        else if (unit == 'M' && inTime)
            seconds += number * 60;
        else if (unit == 'S' && inTime)
            seconds += number;
        else
            return std::nullopt;
    }
    const long long whole = std::llround(seconds) % 86400;
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", static_cast<int>(whole / 3600),
                  static_cast<int>(whole / 60 % 60), static_cast<int>(whole % 60));
    return std::string(buffer);
}

// LibreOffice stores a comparison's result as the number 1 or 0 shown as TRUE or FALSE when the
// cell has no boolean format; the .xlsx and .xls it saves from the same sheet hold a boolean.
std::optional<bool> shownBoolean(std::string_view text, double number)
{
    if (number == 1 && (text == "TRUE" || text == "ИСТИНА"))
        return true;
    if (number == 0 && (text == "FALSE" || text == "ЛОЖЬ"))
        return false;
    return std::nullopt;
}

// A 0-based position as the 1-based int of messages and of UsedRangeBuilder (which refuses
// anything past the sheet's last row or column).
int oneBased(long long position)
{
    return static_cast<int>(std::min<long long>(position + 1, INT_MAX));
}

} // namespace

OdsContentReader::OdsContentReader(std::filesystem::path path) : m_path(std::move(path)), m_where(fileLabel(m_path)) {}

void OdsContentReader::startElement(std::string_view name, const char** attributes)
{
    ++m_depth;
    if (m_skipDepth >= 0)
        return;
    if (m_tableDepth < 0) {
        if (name == "spreadsheet" && m_spreadsheetDepth < 0)
            m_spreadsheetDepth = m_depth;
        else if (name == "table" && m_spreadsheetDepth >= 0 && m_depth == m_spreadsheetDepth + 1)
            startSheet(attributes);
        return;
    }
    if (m_paragraphDepth >= 0) {
        // Inside a cell's paragraph: spans, links and fields give their text.
        if (name == "s") {
            const auto count = static_cast<std::size_t>(repeatCount(attributes, "c"));
            checkTextRoom(count);
            countText(count);
            m_text.append(count, ' ');
        } else if (name == "tab") {
            appendText("\t");
        } else if (name == "line-break") {
            appendText("\n");
        } else if (name == "annotation" || name == "note" || name == "frame") {
            m_skipDepth = m_depth;
        }
        return;
    }
    if (m_cellDepth >= 0) {
        if (name == "p" && m_depth == m_cellDepth + 1 && (!m_type.empty() || m_formula)) {
            if (m_paragraphs++ > 0)
                appendText("\n");
            m_paragraphDepth = m_depth;
        } else {
            m_skipDepth = m_depth; // an annotation, a drawing, a sub-table
        }
        return;
    }
    if (m_rowDepth >= 0) {
        if (m_depth == m_rowDepth + 1 && (name == "table-cell" || name == "covered-table-cell"))
            startCell(attributes);
        else
            m_skipDepth = m_depth;
        return;
    }
    // In the sheet, outside rows: rows may sit in header-rows, row-groups and the like.
    if (name == "table-row") {
        m_rowDepth = m_depth;
        m_rowRepeat = repeatCount(attributes, "number-rows-repeated");
        m_column = 0;
    } else if (name == "table") {
        m_skipDepth = m_depth;
    }
}

void OdsContentReader::endElement(std::string_view)
{
    const int depth = m_depth--;
    if (m_skipDepth >= 0) {
        if (depth == m_skipDepth)
            m_skipDepth = -1;
        return;
    }
    if (depth == m_paragraphDepth) {
        m_paragraphDepth = -1;
    } else if (depth == m_cellDepth) {
        finishCell();
        m_cellDepth = -1;
        m_column += m_columnRepeat;
    } else if (depth == m_rowDepth) {
        m_rowDepth = -1;
        m_row += m_rowRepeat;
    } else if (depth == m_tableDepth) {
        m_tableDepth = -1;
    } else if (depth == m_spreadsheetDepth) {
        m_spreadsheetDepth = -1;
    }
}

void OdsContentReader::characters(std::string_view text)
{
    if (m_paragraphDepth >= 0 && m_skipDepth < 0)
        appendText(text);
}

void OdsContentReader::startSheet(const char** attributes)
{
    if (m_sheets.size() >= static_cast<std::size_t>(limits::kSheets))
        throw WorkbookError(m_where + ": слишком много листов (более " + std::to_string(limits::kSheets) + ")");
    std::string name = validUtf8(attribute(attributes, "name", ":table:"));
    UsedRangeBuilder range(sheetLabel(m_path, name));
    m_sheets.push_back({std::move(name), std::move(range), {}, {}});
    m_tableDepth = m_depth;
    m_row = 0;
    m_column = 0;
}

void OdsContentReader::startCell(const char** attributes)
{
    m_cellDepth = m_depth;
    m_columnRepeat = repeatCount(attributes, "number-columns-repeated");
    m_type = attribute(attributes, "value-type", ":office:");
    const char* formula = xmlAttribute(attributes, "formula", ":table:");
    m_formula = formula && *formula;
    m_paragraphs = 0;
    m_text.clear();
    if (m_type.empty() && !m_formula)
        return;
    m_expandedCells += static_cast<std::uint64_t>(m_rowRepeat) * static_cast<std::uint64_t>(m_columnRepeat);
    if (m_expandedCells > kExpandedCells)
        throw WorkbookError(m_where + ": в книге слишком много ячеек");
    m_value = attribute(attributes, "value", ":office:");
    const char* stringValue = xmlAttribute(attributes, "string-value", ":office:");
    m_stringValue = stringValue ? std::optional<std::string>(stringValue) : std::nullopt;
    m_boolean = attribute(attributes, "boolean-value", ":office:");
    m_date = attribute(attributes, "date-value", ":office:");
    m_time = attribute(attributes, "time-value", ":office:");
    m_calcType = attribute(attributes, "value-type", ":calcext:");
}

void OdsContentReader::finishCell()
{
    if (m_type.empty() && !m_formula)
        return;
    const std::string here = cellName(oneBased(m_row), oneBased(m_column));
    CellValue value;
    if (m_type.empty()) {
        // LibreOffice stores a formula's empty text result (=ЕСЛИ(…;"";…)) as an empty paragraph
        // without a value type; the .xlsx it saves gives the empty text too. A formula with
        // nothing shown at all has no stored result.
        if (m_paragraphs > 0 && m_text.empty())
            value = std::string();
        else
            value = CellError{kFormulaWithoutValue};
    } else if (m_formula && m_calcType == "error") {
        value = CellError{isErrorText(m_text) ? m_text : std::string("ошибка в формуле")};
    } else if (m_formula && isErrorText(m_text)) {
        value = CellError{m_text};
    } else if (m_type == "float" || m_type == "percentage" || m_type == "currency") {
        double number = 0;
        if (!parseDouble(m_value, number)) {
            setProblem("ячейка " + here + ": число «" + excerpt(m_value) + "» не читается");
            return;
        }
        if (!std::isfinite(number))
            value = CellError{"#NUM!"};
        else if (const auto truth = shownBoolean(m_text, number); m_formula && truth)
            value = booleanCell(*truth);
        else
            value = number;
    } else if (m_type == "string") {
        if (m_stringValue)
            value = *m_stringValue;
        else if (m_formula || !m_text.empty())
            value = m_text;
    } else if (m_type == "boolean") {
        if (m_boolean == "true" || m_boolean == "1")
            value = booleanCell(true);
        else if (m_boolean == "false" || m_boolean == "0")
            value = booleanCell(false);
        else
            value = CellError{"логическое значение «" + excerpt(m_boolean) + "»"};
    } else if (m_type == "date" || m_type == "time") {
        const std::optional<std::string> shown = m_type == "date" ? dateText(m_date) : timeText(m_time);
        if (!shown) {
            setProblem("ячейка " + here + ": "
                       + (m_type == "date" ? "дата «" + excerpt(m_date) : "время «" + excerpt(m_time))
                       + "» не читается; задайте ей числовой или текстовый формат");
            return;
        }
        value = *shown;
    } else {
        setProblem("ячейка " + here + " в формате «" + excerpt(m_type)
                   + "» не читается; задайте ей числовой или текстовый формат");
        return;
    }
    if (isEmpty(value))
        return;
    if (static_cast<long long>(m_rowRepeat) * m_columnRepeat > kCellCopies) {
        setProblem("ячейка " + here + " повторена слишком много раз");
        return;
    }
    if (const auto* text = std::get_if<std::string>(&value)) {
        // The paragraphs' text has been counted once already as it was read.
        const std::uint64_t copies
            = static_cast<std::uint64_t>(m_rowRepeat) * static_cast<std::uint64_t>(m_columnRepeat);
        const std::uint64_t counted = m_stringValue ? 0 : m_text.size();
        countText(text->size() * copies - counted);
    }
    for (long r = 0; r < m_rowRepeat; ++r) {
        for (long c = 0; c < m_columnRepeat; ++c)
            place(m_row + r, m_column + c, value);
    }
}

void OdsContentReader::setProblem(std::string problem)
{
    SheetCells& sheet = m_sheets.back();
    if (sheet.problem.empty())
        sheet.problem = std::move(problem);
}

void OdsContentReader::place(long long row, long long column, const CellValue& value)
{
    SheetCells& sheet = m_sheets.back();
    if (!sheet.rangeError.empty())
        return;
    try {
        sheet.range.add(oneBased(row), oneBased(column), value);
    } catch (const WorkbookError& e) {
        sheet.rangeError = e.what();
    }
}

void OdsContentReader::checkTextRoom(std::size_t bytes) const
{
    if (m_text.size() + bytes > limits::kTextBytes)
        throw WorkbookError(m_where + ": слишком длинный текст в ячейке "
                            + cellName(oneBased(m_row), oneBased(m_column)));
}

void OdsContentReader::countText(std::uint64_t bytes)
{
    m_textBytes += bytes;
    if (m_textBytes > limits::kRangeTextBytes)
        throw WorkbookError(m_where + ": слишком много текста в книге");
}

void OdsContentReader::appendText(std::string_view text)
{
    checkTextRoom(text.size());
    countText(text.size());
    m_text.append(text);
}

std::vector<OdsContentReader::Sheet> OdsContentReader::takeSheets()
{
    std::vector<Sheet> out;
    out.reserve(m_sheets.size());
    for (SheetCells& sheet : m_sheets) {
        std::string error = sheet.rangeError;
        if (error.empty() && !sheet.problem.empty())
            error = sheetLabel(m_path, sheet.name) + ": " + sheet.problem;
        out.push_back({std::move(sheet.name), std::move(sheet.range), std::move(error)});
    }
    m_sheets.clear();
    return out;
}

} // namespace automation
