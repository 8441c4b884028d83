// SPDX-License-Identifier: GPL-3.0-or-later
#include "odsworkbook.h"

#include <charconv>
#include <cstdlib>

#include "automation/readlimits.h"
#include "automation/readmessages.h"
#include "automation/xmlstream.h"
#include "automation/ziparchive.h"

namespace automation {
namespace {

// Cells a sheet may spell out, repeats counted: far more than any workbook of ours, far less
// than what would keep orcus busy for minutes.
constexpr std::uint64_t kExpandedCells = 20'000'000;

long repeatCount(const char** attributes, std::string_view name)
{
    const char* value = xmlAttribute(attributes, name);
    if (!value)
        return 1;
    const long n = std::strtol(value, nullptr, 10);
    return n < 1 ? 1 : n > limits::kMaxSheetRow ? limits::kMaxSheetRow : n;
}

// Walks content.xml once before orcus, following cell positions (repeats included), and keeps
// per table the cells orcus 0.17 drops without a word: percentages and currency amounts (kept
// here as the numbers they are), booleans, text and error results of formulas, and times
// (which fail the sheet, naming the cell).
class ContentCheck : public XmlHandler {
public:
    explicit ContentCheck(std::string where) : m_where(std::move(where)) {}

    struct Extra {
        int row;
        int column;
        CellValue value;
    };
    struct Table {
        std::vector<Extra> cells;
        std::string problem;
    };
    std::vector<Table> tables;

    void startElement(std::string_view name, const char** attributes) override
    {
        if (name == "table") {
            tables.emplace_back();
            m_row = 0;
        } else if (name == "table-row") {
            m_rowRepeat = repeatCount(attributes, "number-rows-repeated");
            m_column = 0;
        } else if ((name == "table-cell" || name == "covered-table-cell") && !tables.empty()) {
            const long columns = repeatCount(attributes, "number-columns-repeated");
            const char* type = xmlAttribute(attributes, "value-type", ":office:");
            if (type) {
                m_cells += static_cast<std::uint64_t>(m_rowRepeat) * static_cast<std::uint64_t>(columns);
                if (m_cells > kExpandedCells)
                    throw WorkbookError(m_where + ": в книге слишком много ячеек");
                dropped(type, attributes, columns);
            }
            m_column += columns;
        }
    }
    void endElement(std::string_view name) override
    {
        if (name == "table-row")
            m_row += m_rowRepeat;
    }
    void characters(std::string_view) override {}

private:
    void dropped(std::string_view type, const char** attributes, long columns)
    {
        Table& table = tables.back();
        if (!table.problem.empty())
            return;
        CellValue value;
        if (type == "percentage" || type == "currency") {
            const char* text = xmlAttribute(attributes, "value", ":office:");
            double number = 0;
            const std::string_view s = text ? text : "";
            const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), number);
            if (ec != std::errc() || end != s.data() + s.size() || s.empty()) {
                table.problem = "ячейка " + cellName(m_row + 1, m_column + 1) + ": число «" + std::string(s.substr(0, 40))
                                + "» не читается";
                return;
            }
            value = number;
        } else if (type == "boolean") {
            const char* text = xmlAttribute(attributes, "boolean-value");
            value = CellError{text && std::string_view(text) == "true" ? "логическое значение ИСТИНА"
                                                                         : "логическое значение ЛОЖЬ"};
        } else if (type == "string" && xmlAttribute(attributes, "formula")) {
            const char* calcType = xmlAttribute(attributes, "value-type", ":calcext:");
            const char* text = xmlAttribute(attributes, "string-value");
            if (calcType && std::string_view(calcType) == "error")
                value = CellError{"ошибка в формуле"};
            else if (text)
                value = std::string(text);
            else
                return;  // the result is in the cell's paragraphs; orcus reports it as missing
        } else if (type == "time") {
            table.problem = "ячейка " + cellName(m_row + 1, m_column + 1)
                            + " в формате времени не читается; задайте ей числовой или текстовый формат";
            return;
        } else {
            return;
        }
        if (m_rowRepeat * columns > 10000) {
            table.problem = "ячейка " + cellName(m_row + 1, m_column + 1) + " повторена слишком много раз";
            return;
        }
        for (long r = 0; r < m_rowRepeat; ++r) {
            for (long c = 0; c < columns; ++c)
                table.cells.push_back({static_cast<int>(m_row + r + 1), static_cast<int>(m_column + c + 1), value});
        }
    }

    std::string m_where;
    long m_row = 0;  // 0-based, of the current table
    long m_column = 0;
    long m_rowRepeat = 1;
    std::uint64_t m_cells = 0;
};

// Parses one part only to check it (size, DTD).
class IgnoreAll : public XmlHandler {
public:
    void startElement(std::string_view, const char**) override {}
    void endElement(std::string_view) override {}
    void characters(std::string_view) override {}
};

void parse(ZipArchive& zip, const std::string& part, XmlHandler& handler, const std::string& where)
{
    XmlStream xml(handler, where + ", часть «" + part + "»");
    zip.read(part, [&](const char* data, std::size_t size) { xml.feed(data, size); });
    xml.finish();
}

}  // namespace

OdsWorkbook::OdsWorkbook(std::string_view bytes, std::filesystem::path path) : m_path(std::move(path))
{
    const std::string where = fileLabel(m_path);
    ContentCheck check(where);
    {
        ZipArchive zip(bytes, where);
        zip.checkDeclaredSizes();
        if (!zip.contains("content.xml"))
            throw WorkbookError(where + ": в книге нет части «content.xml»");
        parse(zip, "content.xml", check, where);
        for (const char* part : {"styles.xml", "meta.xml", "settings.xml"}) {
            IgnoreAll ignore;
            if (zip.contains(part))
                parse(zip, part, ignore, where);
        }
    }
    OdsCellCollector collector(where);
    collector.read(bytes);
    // The check and orcus see the same tables; should they ever disagree, no sheet is trusted.
    const bool matched = check.tables.size() == collector.sheetCount();
    for (std::size_t i = 0; matched && i < check.tables.size(); ++i) {
        for (ContentCheck::Extra& cell : check.tables[i].cells)
            collector.addCell(i, cell.row, cell.column, std::move(cell.value));
    }
    m_sheets = collector.takeSheets();
    for (std::size_t i = 0; i < m_sheets.size(); ++i) {
        const std::string problem = matched ? check.tables[i].problem : "разметка листов книги не распознана";
        if (m_sheets[i].error.empty() && !problem.empty())
            m_sheets[i].error = sheetLabel(m_path, m_sheets[i].name) + ": " + problem;
    }
}

int OdsWorkbook::sheetCount() const { return static_cast<int>(m_sheets.size()); }

const OdsCellCollector::Sheet& OdsWorkbook::sheet(int index) const
{
    if (index < 1 || index > sheetCount())
        throw WorkbookError(fileLabel(m_path) + ": нет листа с номером " + std::to_string(index));
    return m_sheets[static_cast<std::size_t>(index - 1)];
}

std::string OdsWorkbook::sheetName(int index) const { return sheet(index).name; }

CellArray OdsWorkbook::usedRange(int index) const
{
    const OdsCellCollector::Sheet& s = sheet(index);
    if (!s.error.empty())
        throw WorkbookError(s.error);
    return s.cells;
}

}  // namespace automation
