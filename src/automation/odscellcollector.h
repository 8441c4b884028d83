// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Receives the cells orcus parses from an .ods file, through orcus's import interface, and
// keeps each sheet's used range. Taking the cells directly (instead of orcus's document model)
// keeps memory to the cells that exist and needs no formula engine. A sheet that breaks a limit
// keeps its error, which reading that sheet reports; the other sheets stay readable.
#include <memory>
#include <string>
#include <vector>

#include "automation/cellarray.h"

namespace automation {

class OdsCellCollector {
public:
    // `where` names the file in messages.
    explicit OdsCellCollector(std::string where);
    ~OdsCellCollector();

    // Parses the whole .ods file with orcus. Throws WorkbookError when orcus fails.
    void read(std::string_view bytes);

    // Adds a cell that orcus does not pass on (0-based sheet index, 1-based row and column).
    void addCell(std::size_t sheet, int row, int column, CellValue value);

    struct Sheet {
        std::string name;
        CellArray cells;
        std::string error; // non-empty when the sheet cannot be read
    };
    std::size_t sheetCount() const;
    std::vector<Sheet> takeSheets();

private:
    class Factory;
    std::unique_ptr<Factory> m_factory;
    std::string m_where;
};

} // namespace automation
