// SPDX-License-Identifier: GPL-3.0-or-later
#include "relativesworkbook.h"

#include "automation/cellvalue.h"
#include "automation/readmessages.h"
#include "exchange/sheetcells.h"
#include "freqdb/locustable.h"
#include "kinship/kinshiptexts.h"

namespace kinship {
namespace {

constexpr int kFirstPersonColumn = 3; // C

std::string trimmedCell(const exchange::SheetCells& sheet, int row, int column)
{
    return std::string(freqdb::withoutBlanks(sheet.text(row, column)));
}

} // namespace

KinshipCase readRelativesWorkbook(const std::filesystem::path& path, const automation::WorkbookReader& reader,
                                  const text::NumberFormat& format)
{
    const std::string file = automation::fileLabel(path);
    const auto refuse = [&](const std::string& reason) { return CaseError(file + ": " + reason); };
    KinshipCase out;
    try {
        const exchange::SheetCells sheet = exchange::readFirstSheet(path, reader, format);
        if (trimmedCell(sheet, 1, 2) != "Локус")
            throw refuse("ячейка B1: ожидается заголовок «Локус», а не «" + trimmedCell(sheet, 1, 2) + "»");
        std::vector<int> columns;
        for (int c = kFirstPersonColumn; c <= sheet.lastColumn(); ++c) {
            const std::string header = trimmedCell(sheet, 1, c);
            if (header.empty()) {
                for (int r = 2; r <= sheet.lastRow(); ++r) {
                    if (!trimmedCell(sheet, r, c).empty())
                        throw refuse("ячейка " + automation::cellName(1, c)
                                     + ": пустой заголовок над генотипами (ниже - ячейка " + automation::cellName(r, c)
                                     + ")");
                }
                continue;
            }
            const auto role = roleFromHeader(header);
            if (!role)
                throw refuse("ячейка " + automation::cellName(1, c) + " «" + header + "»: " + std::string(kNotRole));
            out.persons.push_back({*role, {}});
            columns.push_back(c);
        }
        if (const auto problem = personsProblem(
                out.persons, [&](std::size_t i) { return "ячейка " + automation::cellName(1, columns[i]); }))
            throw refuse(*problem);
        for (int r = 2; r <= sheet.lastRow(); ++r) {
            CaseLocusRow row;
            row.number = trimmedCell(sheet, r, 1);
            row.locus = trimmedCell(sheet, r, 2);
            bool blank = row.number.empty() && row.locus.empty();
            for (int c : columns) {
                row.genotypes.push_back(sheet.text(r, c));
                blank = blank && freqdb::withoutBlanks(row.genotypes.back()).empty();
            }
            if (blank)
                continue;
            row.number = exchange::rowNumberText(row.number, static_cast<int>(out.rows.size()) + 1);
            out.rows.push_back(std::move(row));
        }
    } catch (const exchange::CellFault& e) {
        throw refuse(e.what());
    } catch (const exchange::ReadFailure& e) {
        throw CaseError(e.what());
    }
    if (out.rows.empty())
        throw refuse("в листе нет строк локусов");
    return out;
}

} // namespace kinship
