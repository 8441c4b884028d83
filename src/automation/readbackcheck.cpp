// SPDX-License-Identifier: GPL-3.0-or-later
#include "readbackcheck.h"

#include <cmath>
#include <map>
#include <utility>

#include "automation/workbook.h"

namespace automation {
namespace {

using Cells = std::map<std::pair<int, int>, const CellValue*>;

// The cells of `cells` that hold something, by their place on the sheet.
Cells filledCells(const CellArray& cells)
{
    Cells filled;
    for (int r = 1; r <= cells.rows(); ++r) {
        for (int c = 1; c <= cells.columns(); ++c) {
            const CellValue& value = cells.at(r, c);
            const auto* text = std::get_if<std::string>(&value);
            if (!isEmpty(value) && !(text && text->empty()))
                filled[{cells.firstRow() + r - 1, cells.firstColumn() + c - 1}] = &value;
        }
    }
    return filled;
}

bool sameValue(const CellValue& meant, const CellValue& read)
{
    const auto* a = std::get_if<double>(&meant);
    const auto* b = std::get_if<double>(&read);
    if (a && b)
        return *a == *b || std::fabs(*a - *b) <= 1e-15 * std::max(std::fabs(*a), std::fabs(*b));
    return meant == read;
}

} // namespace

void checkReadBack(const std::filesystem::path& file, const std::string& shown, const std::vector<NamedSheet>& expected)
{
    const std::string failed = "Книга «" + shown + "» не сохранена: ";
    std::unique_ptr<Workbook> written;
    try {
        written = makeFileWorkbookReader()->open(file);
    } catch (const WorkbookError& e) {
        throw WorkbookError(failed + "записанный файл не читается (" + e.what() + ")");
    }
    if (written->sheetCount() != static_cast<int>(expected.size()))
        throw WorkbookError(failed + "в записанном файле не те листы");
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const int index = static_cast<int>(i) + 1;
        if (written->sheetName(index) != expected[i].name)
            throw WorkbookError(failed + "в записанном файле нет листа «" + expected[i].name + "»");
        const Cells meant = filledCells(expected[i].cells);
        CellArray readCells;
        try {
            readCells = written->usedRange(index);
        } catch (const WorkbookError& e) {
            throw WorkbookError(failed + "записанный файл не читается (" + e.what() + ")");
        }
        const Cells read = filledCells(readCells);
        auto m = meant.begin();
        auto r = read.begin();
        for (; m != meant.end() && r != read.end() && m->first == r->first && sameValue(*m->second, *r->second);
             ++m, ++r) {}
        if (m != meant.end() || r != read.end()) {
            const auto place = m != meant.end() ? m->first : r->first;
            throw WorkbookError(failed + "в записанном файле ячейка " + cellName(place.first, place.second) + " листа «"
                                + expected[i].name + "» не та, что записывалась");
        }
    }
}

} // namespace automation
