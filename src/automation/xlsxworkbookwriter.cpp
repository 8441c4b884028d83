// SPDX-License-Identifier: GPL-3.0-or-later
#include "xlsxworkbookwriter.h"

#include <algorithm>
#include <map>
#include <tuple>
#include <utility>

#include <xlsxwriter.h>

#include "automation/cellworkbookwriter.h"
#include "automation/lxwsupport.h"
#include "automation/xstring.h"

namespace automation {
namespace {

// The sheet limits of the .xlsx format.
constexpr int kMaxRows = 1048576;
constexpr int kMaxColumns = 16384;

void checkRange(const CellRange& r)
{
    if (r.firstRow < 1 || r.firstColumn < 1 || r.lastRow < r.firstRow || r.lastColumn < r.firstColumn
        || r.lastRow > kMaxRows || r.lastColumn > kMaxColumns)
        throw WorkbookError("Неверный диапазон ячеек " + cellName(r.firstRow, r.firstColumn) + ":"
                            + cellName(r.lastRow, r.lastColumn));
}

bool overlaps(const CellRange& a, const CellRange& b)
{
    return a.firstRow <= b.lastRow && b.firstRow <= a.lastRow && a.firstColumn <= b.lastColumn
           && b.firstColumn <= a.lastColumn;
}

bool contains(const CellRange& r, int row, int column)
{
    return row >= r.firstRow && row <= r.lastRow && column >= r.firstColumn && column <= r.lastColumn;
}

// What a written cell carries; cells with the same look share one libxlsxwriter format.
struct CellLook {
    HorizontalAlignment alignment = HorizontalAlignment::General;
    bool text = false;
    bool wrap = false;
    bool formatted() const { return alignment != HorizontalAlignment::General || text || wrap; }
    auto key() const { return std::make_tuple(static_cast<int>(alignment), text, wrap); }
};

} // namespace

struct XlsxWorkbookWriter::CellState {
    CellLook look;
    std::string value;
};

void XlsxWorkbookWriter::addWorksheet(const std::string& name)
{
    if (m_sheetName)
        throw WorkbookError("В новой книге уже есть лист «" + *m_sheetName + "»");
    if (name.empty())
        throw WorkbookError("Пустое имя листа");
    m_sheetName = name;
}

void XlsxWorkbookWriter::setAlignment(const CellRange& range, HorizontalAlignment alignment)
{
    checkRange(range);
    m_operations.push_back({Operation::Kind::Align, range, alignment, {}});
}

void XlsxWorkbookWriter::setTextFormat(const CellRange& range)
{
    checkRange(range);
    m_operations.push_back({Operation::Kind::Text, range, HorizontalAlignment::General, {}});
}

void XlsxWorkbookWriter::setWrap(const CellRange& range)
{
    checkRange(range);
    m_operations.push_back({Operation::Kind::Wrap, range, HorizontalAlignment::General, {}});
}

void XlsxWorkbookWriter::merge(const CellRange& range)
{
    checkRange(range);
    if (range.firstRow == range.lastRow && range.firstColumn == range.lastColumn)
        return; // one cell: nothing to merge
    // Overlapping merges make a file that spreadsheet programs refuse to open.
    for (const auto& m : m_merges) {
        if (overlaps(m, range))
            throw WorkbookError("Объединяемые диапазоны пересекаются: " + cellName(range.firstRow, range.firstColumn)
                                + ":" + cellName(range.lastRow, range.lastColumn));
    }
    m_merges.push_back(range);
}

void XlsxWorkbookWriter::setValues(const CellRange& range, const std::vector<std::vector<std::string>>& values)
{
    checkRange(range);
    Operation op{Operation::Kind::Values, range, HorizontalAlignment::General, values};
    const auto rows = static_cast<std::size_t>(range.lastRow - range.firstRow + 1);
    const auto columns = static_cast<std::size_t>(range.lastColumn - range.firstColumn + 1);
    op.values.resize(rows);
    for (auto& row : op.values)
        row.resize(columns);
    m_operations.push_back(std::move(op));
}

void XlsxWorkbookWriter::setColumnWidth(const CellRange& range, double characters)
{
    checkRange(range);
    if (!(characters >= 0 && characters <= 255))
        throw WorkbookError("Неверная ширина столбца");
    m_widths.push_back({range, characters});
}

void XlsxWorkbookWriter::setRowHeight(int row, double points)
{
    checkRange({row, 1, row, 1});
    if (!(points >= 0 && points <= 409)) // the format's largest row height
        throw WorkbookError("Неверная высота строки");
    m_rowHeights[row] = points;
}

void XlsxWorkbookWriter::setPageSetup(const PageSetup& setup)
{
    if (setup.repeatFirstRow != 0 || setup.repeatLastRow != 0)
        checkRange({setup.repeatFirstRow, 1, setup.repeatLastRow, 1});
    m_pageSetup = setup;
}

void XlsxWorkbookWriter::save(const std::filesystem::path& path)
{
    const std::string shown = path.string();
    if (!m_sheetName)
        throw WorkbookError("Книга «" + shown + "» не сохранена: в ней нет листа");
    const CellStates cells = cellStates();
    // What the file must hold when it is read back: the values, a merged area's in its top-left cell.
    int lastRow = 1;
    int lastColumn = 1;
    for (const auto& [position, cell] : cells) {
        lastRow = std::max(lastRow, position.first);
        lastColumn = std::max(lastColumn, position.second);
    }
    NamedSheet expected{*m_sheetName, CellArray(lastRow, lastColumn)};
    for (const auto& [position, cell] : cells) {
        const int row = position.first;
        const int column = position.second;
        const bool hidden = std::any_of(m_merges.begin(), m_merges.end(), [row, column](const CellRange& m) {
            return contains(m, row, column) && !(row == m.firstRow && column == m.firstColumn);
        });
        if (!hidden && !cell.value.empty())
            expected.cells.set(row, column, cell.value);
    }
    lxw::saveThroughTemporary(path, shown, {expected},
                              [&](const std::filesystem::path& file) { writeTo(file, cells, shown); });
}

XlsxWorkbookWriter::CellStates XlsxWorkbookWriter::cellStates() const
{
    // The state of every touched cell, in the order the calls were made.
    CellStates cells;
    for (const auto& op : m_operations) {
        const auto& r = op.range;
        for (int row = r.firstRow; row <= r.lastRow; ++row) {
            for (int column = r.firstColumn; column <= r.lastColumn; ++column) {
                auto& cell = cells[{row, column}];
                switch (op.kind) {
                case Operation::Kind::Align:
                    cell.look.alignment = op.alignment;
                    break;
                case Operation::Kind::Text:
                    cell.look.text = true;
                    break;
                case Operation::Kind::Wrap:
                    cell.look.wrap = true;
                    break;
                case Operation::Kind::Values:
                    cell.value = op.values[row - r.firstRow][column - r.firstColumn];
                    break;
                }
            }
        }
    }
    return cells;
}

void XlsxWorkbookWriter::writeTo(const std::filesystem::path& file, const CellStates& cells,
                                 const std::string& shown) const
{
    lxw::Workbook workbook(file);
    if (!workbook.get())
        throw WorkbookError("Книга «" + shown + "» не сохранена: не хватает памяти");
    lxw_worksheet* sheet = workbook_add_worksheet(workbook.get(), m_sheetName->c_str());
    if (!sheet)
        throw WorkbookError("Книга «" + shown + "» не сохранена: недопустимое имя листа «" + *m_sheetName + "»");
    if (m_created) {
        lxw_doc_properties properties{};
        properties.created = *m_created;
        workbook_set_properties(workbook.get(), &properties);
    }

    std::map<decltype(CellLook().key()), lxw_format*> formats;
    auto formatOf = [&](const CellLook& look) -> lxw_format* {
        if (!look.formatted())
            return nullptr;
        auto& f = formats[look.key()];
        if (!f) {
            f = workbook_add_format(workbook.get());
            if (!f)
                throw WorkbookError("Книга «" + shown + "» не сохранена: не хватает памяти");
            if (look.alignment == HorizontalAlignment::Center)
                format_set_align(f, LXW_ALIGN_CENTER);
            else if (look.alignment == HorizontalAlignment::Left)
                format_set_align(f, LXW_ALIGN_LEFT);
            if (look.text)
                format_set_num_format(f, "@");
            if (look.wrap)
                format_set_text_wrap(f);
        }
        return f;
    };
    auto check = [&](lxw_error e, int row, int column) {
        if (e != LXW_NO_ERROR)
            throw WorkbookError("Книга «" + shown + "» не сохранена: ячейка " + cellName(row, column) + " не записана ("
                                + lxw_strerror(e) + ")");
    };

    for (const auto& [position, cell] : cells) {
        const auto [row, column] = position;
        bool merged = false;
        for (const auto& m : m_merges)
            merged = merged || contains(m, row, column);
        if (merged)
            continue; // written with its merge below
        lxw_format* format = formatOf(cell.look);
        const auto r = static_cast<lxw_row_t>(row - 1);
        const auto c = static_cast<lxw_col_t>(column - 1);
        if (!cell.value.empty())
            check(worksheet_write_string(sheet, r, c, escapeXStringLiterals(cell.value).c_str(), format), row, column);
        else if (format)
            check(worksheet_write_blank(sheet, r, c, format), row, column);
    }
    for (const auto& m : m_merges) {
        // The merged area takes the look and the value of its top-left cell.
        CellState anchor;
        if (auto it = cells.find({m.firstRow, m.firstColumn}); it != cells.end())
            anchor = it->second;
        check(worksheet_merge_range(sheet, static_cast<lxw_row_t>(m.firstRow - 1),
                                    static_cast<lxw_col_t>(m.firstColumn - 1), static_cast<lxw_row_t>(m.lastRow - 1),
                                    static_cast<lxw_col_t>(m.lastColumn - 1),
                                    escapeXStringLiterals(anchor.value).c_str(), formatOf(anchor.look)),
              m.firstRow, m.firstColumn);
    }
    for (const auto& w : m_widths) {
        check(worksheet_set_column(sheet, static_cast<lxw_col_t>(w.range.firstColumn - 1),
                                   static_cast<lxw_col_t>(w.range.lastColumn - 1), w.characters, nullptr),
              1, w.range.firstColumn);
    }

    for (const auto& [row, points] : m_rowHeights)
        check(worksheet_set_row(sheet, static_cast<lxw_row_t>(row - 1), points, nullptr), row, 1);
    if (m_pageSetup) {
        constexpr uint8_t kPaperA4 = 9;
        worksheet_set_paper(sheet, kPaperA4);
        if (m_pageSetup->landscape)
            worksheet_set_landscape(sheet);
        if (m_pageSetup->fitToWidth)
            worksheet_fit_to_pages(sheet, 1, 0); // one page wide, as many pages down as it takes
        if (m_pageSetup->repeatFirstRow > 0)
            check(worksheet_repeat_rows(sheet, static_cast<lxw_row_t>(m_pageSetup->repeatFirstRow - 1),
                                        static_cast<lxw_row_t>(m_pageSetup->repeatLastRow - 1)),
                  m_pageSetup->repeatFirstRow, 1);
    }

    const lxw_error e = workbook.close();
    if (e != LXW_NO_ERROR)
        lxw::throwCloseError(e, shown);
}

std::unique_ptr<WorkbookWriter> makeXlsxWorkbookWriter()
{
    return std::make_unique<XlsxWorkbookWriter>();
}

} // namespace automation
