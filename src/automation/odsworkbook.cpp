// SPDX-License-Identifier: GPL-3.0-or-later
#include "odsworkbook.h"

#include <charconv>
#include <cstdlib>
#include <optional>

#include "automation/readlimits.h"
#include "automation/readmessages.h"
#include "automation/xmlstream.h"
#include "automation/ziparchive.h"
#include "automation/zipmemorywriter.h"

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
// here as the numbers they are), booleans, text and error results of formulas, and every value
// cell of a repeated row after its first copy (orcus places only the first). Time cells fail
// their sheet, naming the cell.
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
            startCell(attributes);
        } else if (m_inCell && name == "p") {
            if (m_paragraphs++ > 0)
                appendText("\n");
            m_inParagraph = true;
        } else if (m_inCell && m_inParagraph && name == "s") {
            appendText(std::string(static_cast<std::size_t>(repeatCount(attributes, "c")) % 1000, ' '));
        } else if (m_inCell && m_inParagraph && name == "tab") {
            appendText("\t");
        } else if (m_inCell && m_inParagraph && name == "line-break") {
            appendText("\n");
        }
    }
    void endElement(std::string_view name) override
    {
        if (name == "table-row") {
            m_row += m_rowRepeat;
        } else if (name == "table-cell" || name == "covered-table-cell") {
            if (m_inCell)
                finishCell();
            m_inCell = false;
            m_column += m_columnRepeat;
        } else if (name == "p") {
            m_inParagraph = false;
        }
    }
    void characters(std::string_view text) override
    {
        if (m_inCell && m_inParagraph)
            appendText(text);
    }

private:
    void appendText(std::string_view text)
    {
        if (m_text.size() + text.size() > limits::kTextBytes)
            throw WorkbookError(m_where + ": слишком длинный текст в ячейке " + cellName(m_row + 1, m_column + 1));
        m_text.append(text);
    }

    static std::string attribute(const char** attributes, std::string_view name, std::string_view ns = ":office:")
    {
        const char* value = xmlAttribute(attributes, name, ns);
        return value ? value : "";
    }

    void startCell(const char** attributes)
    {
        m_columnRepeat = repeatCount(attributes, "number-columns-repeated");
        m_type = attribute(attributes, "value-type");
        m_inCell = !m_type.empty();
        if (!m_inCell)
            return;
        m_cells += static_cast<std::uint64_t>(m_rowRepeat) * static_cast<std::uint64_t>(m_columnRepeat);
        if (m_cells > kExpandedCells)
            throw WorkbookError(m_where + ": в книге слишком много ячеек");
        m_value = attribute(attributes, "value");
        m_stringValue = xmlAttribute(attributes, "string-value", ":office:")
                            ? std::optional<std::string>(attribute(attributes, "string-value"))
                            : std::nullopt;
        m_boolean = attribute(attributes, "boolean-value");
        m_date = attribute(attributes, "date-value");
        m_calcType = attribute(attributes, "value-type", ":calcext:");
        m_formula = xmlAttribute(attributes, "formula") != nullptr;
        m_text.clear();
        m_paragraphs = 0;
        m_inParagraph = false;
    }

    void finishCell()
    {
        Table& table = tables.back();
        if (!table.problem.empty())
            return;
        const std::string here = cellName(m_row + 1, m_column + 1);
        // Whether orcus places this cell itself (then only the copies of a repeated row are ours).
        bool orcusPlaces = true;
        CellValue value;
        if (m_type == "float" || m_type == "percentage" || m_type == "currency") {
            double number = 0;
            const auto [end, ec] = std::from_chars(m_value.data(), m_value.data() + m_value.size(), number);
            if (ec != std::errc() || end != m_value.data() + m_value.size() || m_value.empty()) {
                table.problem = "ячейка " + here + ": число «" + m_value.substr(0, 40) + "» не читается";
                return;
            }
            value = number;
            orcusPlaces = m_type == "float";
        } else if (m_type == "string") {
            if (m_formula && m_calcType == "error")
                value = CellError{"ошибка в формуле"};
            else
                value = m_stringValue ? *m_stringValue : m_text;
            orcusPlaces = !m_formula;
        } else if (m_type == "boolean") {
            value = CellError{m_boolean == "true" ? "логическое значение ИСТИНА" : "логическое значение ЛОЖЬ"};
            orcusPlaces = false;
        } else if (m_type == "date") {
            // orcus gives the date as ISO text; copies of a repeated row get the same.
            value = m_date.size() > 10 && m_date.substr(10) == "T00:00:00" ? m_date.substr(0, 10) : m_date;
            if (m_date.size() > 10 && m_date[10] == 'T' && m_date.substr(10) != "T00:00:00") {
                table.problem
                    = "ячейка " + here + " с датой и временем не читается; задайте ей числовой или текстовый формат";
                return;
            }
        } else {
            table.problem = "ячейка " + here + " в формате «" + m_type
                            + "» не читается; задайте ей числовой или текстовый формат";
            return;
        }
        const long firstRow = orcusPlaces ? 1 : 0;
        if (m_rowRepeat * m_columnRepeat > 10000) {
            table.problem = "ячейка " + here + " повторена слишком много раз";
            return;
        }
        for (long r = firstRow; r < m_rowRepeat; ++r) {
            for (long c = 0; c < m_columnRepeat; ++c)
                table.cells.push_back({static_cast<int>(m_row + r + 1), static_cast<int>(m_column + c + 1), value});
        }
    }

    std::string m_where;
    long m_row = 0; // 0-based, of the current table
    long m_column = 0;
    long m_rowRepeat = 1;
    long m_columnRepeat = 1;
    std::uint64_t m_cells = 0;
    bool m_inCell = false;
    bool m_inParagraph = false;
    bool m_formula = false;
    int m_paragraphs = 0;
    std::string m_type;
    std::string m_value;
    std::optional<std::string> m_stringValue;
    std::string m_boolean;
    std::string m_date;
    std::string m_calcType;
    std::string m_text;
};

// Parses one part only to check it (size, DTD).
class IgnoreAll : public XmlHandler {
public:
    void startElement(std::string_view, const char**) override {}
    void endElement(std::string_view) override {}
    void characters(std::string_view) override {}
};

// Parses a part; with `copy`, also writes the part's bytes there as they are decompressed.
void parse(ZipArchive& zip, const std::string& part, XmlHandler& handler, const std::string& where,
           ZipMemoryWriter* copy = nullptr)
{
    XmlStream xml(handler, where + ", часть «" + part + "»");
    if (copy)
        copy->startEntry(part);
    zip.read(part, [&](const char* data, std::size_t size) {
        xml.feed(data, size);
        if (copy)
            copy->write(data, size);
    });
    xml.finish();
}

} // namespace

OdsWorkbook::OdsWorkbook(std::string_view bytes, std::filesystem::path path) : m_path(std::move(path))
{
    const std::string where = fileLabel(m_path);
    ContentCheck check(where);
    // orcus gets content.xml (the only part it reads) in an archive of our own making, not the
    // file: it would size its buffers from the file's declared sizes and follow fields our zip
    // reader does not, and so read other bytes than the ones checked here.
    std::string checkedArchive;
    {
        ZipArchive zip(bytes, where);
        if (!zip.contains("content.xml"))
            throw WorkbookError(where + ": в книге нет части «content.xml»");
        ZipMemoryWriter copy;
        parse(zip, "content.xml", check, where, &copy);
        checkedArchive = copy.finish();
        for (const char* part : {"styles.xml", "meta.xml", "settings.xml"}) {
            IgnoreAll ignore;
            if (zip.contains(part))
                parse(zip, part, ignore, where);
        }
    }
    OdsCellCollector collector(where);
    collector.read(checkedArchive);
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

int OdsWorkbook::sheetCount() const
{
    return static_cast<int>(m_sheets.size());
}

const OdsCellCollector::Sheet& OdsWorkbook::sheet(int index) const
{
    if (index < 1 || index > sheetCount())
        throw WorkbookError(fileLabel(m_path) + ": нет листа с номером " + std::to_string(index));
    return m_sheets[static_cast<std::size_t>(index - 1)];
}

std::string OdsWorkbook::sheetName(int index) const
{
    return sheet(index).name;
}

CellArray OdsWorkbook::usedRange(int index) const
{
    const OdsCellCollector::Sheet& s = sheet(index);
    if (!s.error.empty())
        throw WorkbookError(s.error);
    return s.cells;
}

} // namespace automation
