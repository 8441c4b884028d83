// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/fakeworkbook.h"

#include <algorithm>

namespace automation {
namespace {

class FakeWorkbook : public Workbook {
public:
    explicit FakeWorkbook(std::vector<FakeSheet> sheets) : m_sheets(std::move(sheets)) {}

    int sheetCount() const override { return static_cast<int>(m_sheets.size()); }
    std::string sheetName(int index) const override { return sheet(index).name; }
    CellArray usedRange(int index) const override { return sheet(index).cells; }

private:
    const FakeSheet& sheet(int index) const
    {
        if (index < 1 || index > sheetCount())
            throw WorkbookError("нет листа с номером " + std::to_string(index));
        return m_sheets[static_cast<std::size_t>(index - 1)];
    }

    std::vector<FakeSheet> m_sheets;
};

} // namespace

void FakeWorkbookReader::add(const std::filesystem::path& path, std::vector<FakeSheet> sheets)
{
    m_failures.erase(path);
    m_books[path] = std::move(sheets);
}

void FakeWorkbookReader::failWith(const std::filesystem::path& path, std::string reason)
{
    m_books.erase(path);
    m_failures[path] = std::move(reason);
}

std::unique_ptr<Workbook> FakeWorkbookReader::open(const std::filesystem::path& path) const
{
    ++m_openCount;
    if (auto f = m_failures.find(path); f != m_failures.end())
        throw WorkbookError(f->second);
    auto b = m_books.find(path);
    if (b == m_books.end())
        throw WorkbookError("файл " + path.string() + " не найден");
    return std::make_unique<FakeWorkbook>(b->second);
}

CellArray makeCellArray(const std::vector<std::vector<CellValue>>& rows, int firstRow, int firstColumn)
{
    std::size_t columns = 0;
    for (const auto& row : rows)
        columns = std::max(columns, row.size());
    CellArray cells(static_cast<int>(rows.size()), static_cast<int>(columns), firstRow, firstColumn);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t c = 0; c < rows[r].size(); ++c)
            cells.set(static_cast<int>(r + 1), static_cast<int>(c + 1), rows[r][c]);
    }
    return cells;
}

} // namespace automation
