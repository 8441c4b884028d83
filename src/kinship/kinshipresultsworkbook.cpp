// SPDX-License-Identifier: GPL-3.0-or-later
#include "kinshipresultsworkbook.h"

namespace kinship {

void saveKinshipResultsWorkbook(const std::filesystem::path& path, const KinshipCase& kinshipCase,
                                const KinshipResult& result, const std::string& probabilityLine,
                                freqdb::Population population, automation::WorkbookWriter& writer)
{
    std::vector<std::vector<std::string>> values;
    std::vector<std::string> header{"№", "Локус"};
    for (const CasePerson& person : kinshipCase.persons)
        header.push_back(person.role.header());
    header.insert(header.end(), {"Формула", "LR", "Типированы"});
    values.push_back(header);
    const std::size_t columns = header.size();
    for (const KinshipRow& row : result.rows) {
        std::vector<std::string> line{row.number, row.locus};
        line.insert(line.end(), row.genotypes.begin(), row.genotypes.end());
        std::string typed;
        for (const auto& role : row.typedRoles)
            typed += (typed.empty() ? "" : ", ") + role;
        line.insert(line.end(), {row.formula, row.lr, typed});
        values.push_back(std::move(line));
    }
    for (const std::string& closing : {std::string(), result.combined.cpiText, probabilityLine,
                                       "Популяция: " + std::string(freqdb::populationName(population))}) {
        std::vector<std::string> line(columns);
        line[1] = closing;
        values.push_back(std::move(line));
    }
    const int lastRow = static_cast<int>(values.size()), lastColumn = static_cast<int>(columns);
    writer.addWorksheet("Лист1");
    writer.setTextFormat({1, 1, lastRow, lastColumn});
    writer.setValues({1, 1, lastRow, lastColumn}, values);
    writer.setColumnWidth({1, 1, 1, 1}, 5);
    writer.setColumnWidth({1, 2, 1, 2}, 12);
    writer.setColumnWidth({1, 3, 1, lastColumn - 3}, 14);
    writer.setColumnWidth({1, lastColumn - 2, 1, lastColumn - 2}, 40);
    writer.setColumnWidth({1, lastColumn - 1, 1, lastColumn - 1}, 10);
    writer.setColumnWidth({1, lastColumn, 1, lastColumn}, 40);
    writer.setPageSetup({true, true, 1, 1});
    writer.save(path);
}

} // namespace kinship
