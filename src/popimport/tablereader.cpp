// SPDX-License-Identifier: GPL-3.0-or-later
#include "tablereader.h"

#include "automation/readmessages.h"
#include "popimport/tablelayouts.h"
#include "popimport/xmlexport.h"
#include "tabletext/delimitedtext.h"
#include "tabletext/filebytes.h"
#include "tabletext/textdecoding.h"

namespace popimport {
namespace {

// Published tables are a few hundred kilobytes; anything far larger is not one. The cell limit
// keeps a hostile text (millions of separators) from taking gigabytes as empty cells.
constexpr std::uintmax_t kMaxTableBytes = 16u << 20;
constexpr std::size_t kMaxTableCells = 2'000'000;

bool isWorkbook(std::string_view bytes)
{
    return bytes.rfind("PK\x03\x04", 0) == 0 || bytes.rfind("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 0) == 0;
}

Grid firstSheet(const std::filesystem::path& path, const automation::WorkbookReader& reader)
{
    std::unique_ptr<automation::Workbook> book;
    automation::CellArray cells;
    try {
        book = reader.open(path);
        if (book->sheetCount() < 1)
            throw ImportError("в книге нет ни одного листа");
        cells = book->usedRange(1);
    } catch (const automation::WorkbookError& e) {
        throw ImportError(std::string("книга не читается: ") + e.what());
    }
    if (static_cast<std::size_t>(cells.rows()) * static_cast<std::size_t>(cells.columns()) > kMaxTableCells)
        throw ImportError("на первом листе больше " + std::to_string(kMaxTableCells)
                          + " ячеек — это не таблица частот");
    const text::NumberFormat point(".");
    Grid grid = Grid::forSheet(cells.firstColumn());
    for (int r = 1; r <= cells.rows(); ++r) {
        grid.beginRow(cells.firstRow() + r - 1);
        for (int c = 1; c <= cells.columns(); ++c) {
            const automation::CellValue& value = cells.at(r, c);
            if (const auto* s = std::get_if<std::string>(&value)) {
                std::string_view text = *s;
                while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
                    text.remove_suffix(1);
                while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
                    text.remove_prefix(1);
                grid.addCell(text);
            } else if (const auto* n = std::get_if<double>(&value)) {
                grid.addNumber(*n, point.general(*n));
            } else if (const auto* e = std::get_if<automation::CellError>(&value)) {
                grid.addError(e->reason);
            } else {
                grid.addCell({});
            }
        }
        grid.endRow();
    }
    return grid;
}

FrequencyTable readContent(const std::filesystem::path& path, const std::optional<std::string>& origin,
                           const automation::WorkbookReader& reader, const text::NumberFormat& format)
{
    std::string bytes;
    try {
        bytes = tabletext::readFileBytes(path, kMaxTableBytes, "файл слишком велик для таблицы частот (более 16 МБ)");
    } catch (const tabletext::FileReadError& e) {
        throw ImportError(e.what());
    }
    if (isWorkbook(bytes)) {
        FrequencyTable table = readGridTable(firstSheet(path, reader), origin, format);
        table.layout = "книга, первый лист: " + table.layout;
        return table;
    }
    auto decoded = tabletext::decodeText(bytes);
    if (!decoded)
        throw ImportError("текст в UTF-16 повреждён");
    if (looksLikeXml(decoded->utf8))
        return readXmlExport(bytes, origin, format); // expat reads the declared encoding itself
    std::string().swap(bytes); // the decoded text is all that is read from here on (clear() keeps the memory)
    // The header is looked for in the first rows before the whole text is held as cells: a text
    // that is no table is refused without that.
    tabletext::DelimitedText delimited = tabletext::splitDelimited(decoded->utf8, kMaxTableCells, 0, kHeaderSearchRows);
    if (!delimited.complete)
        throw ImportError("в таблице больше " + std::to_string(kMaxTableCells) + " ячеек — это не таблица частот");
    if (delimited.unclosedQuoteLine > 0) // the rest of the file would be one field: rows lost
        throw ImportError("строка " + std::to_string(delimited.unclosedQuoteLine)
                          + ": кавычка в начале поля не закрыта до конца файла");
    if (hasTableHeader(delimited.grid))
        delimited = tabletext::splitDelimited(decoded->utf8, kMaxTableCells, delimited.separator);
    std::string().swap(decoded->utf8); // the grid holds its own copy of the texts
    FrequencyTable table = readGridTable(delimited.grid, origin, format);
    const std::string separator = delimited.separator == '\t'  ? "табуляция"
                                  : delimited.separator == ';' ? "точка с запятой"
                                                               : "запятая";
    table.layout = "текст " + decoded->encoding + ", разделитель — " + separator + ": " + table.layout;
    return table;
}

} // namespace

FrequencyTable readFrequencyTable(const std::filesystem::path& path, const std::optional<std::string>& origin,
                                  const automation::WorkbookReader& reader, const text::NumberFormat& format)
{
    try {
        return readContent(path, origin, reader, format);
    } catch (const ImportError& e) {
        const std::string reason = e.what();
        const bool placed = reason.rfind("строка", 0) == 0 || reason.rfind("ячейка", 0) == 0;
        throw ImportError("Таблица " + automation::fileLabel(path) + (placed ? ", " : ": ") + reason);
    }
}

} // namespace popimport
