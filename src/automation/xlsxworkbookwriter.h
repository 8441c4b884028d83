// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// WorkbookWriter over libxlsxwriter. Calls before save() are only recorded; save() turns each
// cell's alignment, text format and wrapping into one shared cell format, writes every value as
// a string (an empty value with a format as a formatted blank), the merges and the widths, to a
// temporary file beside the target, reads the file back, and renames it over the target.
//
// libxlsxwriter prints numbers (widths, row heights) with printf, which follows LC_NUMERIC: under
// a comma locale it would write width="8,71" and corrupt the file. save() therefore switches its
// own thread to the "C" locale for the write (uselocale), whatever the process locale is.
#include <ctime>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "automation/workbookwriter.h"

namespace automation {

class XlsxWorkbookWriter : public WorkbookWriter {
public:
    void addWorksheet(const std::string& name) override;
    void setAlignment(const CellRange& range, HorizontalAlignment alignment) override;
    void setTextFormat(const CellRange& range) override;
    void merge(const CellRange& range) override;
    void setValues(const CellRange& range, const std::vector<std::vector<std::string>>& values) override;
    void setColumnWidth(const CellRange& range, double characters) override;
    void setWrap(const CellRange& range) override;
    void setRowHeight(int row, double points) override;
    void setPageSetup(const PageSetup& setup) override;
    void save(const std::filesystem::path& path) override;
    // The creation date written in the workbook's properties; without it, the time of saving.
    // A fixed date makes a rebuilt file equal to the one before, byte for byte (the examples).
    void setCreated(std::time_t created) { m_created = created; }

private:
    struct Operation {
        enum class Kind { Align, Text, Wrap, Values } kind;
        CellRange range;
        HorizontalAlignment alignment = HorizontalAlignment::General;
        std::vector<std::vector<std::string>> values;
    };
    struct Width {
        CellRange range;
        double characters;
    };

    struct CellState; // a touched cell's look and value
    using CellStates = std::map<std::pair<int, int>, CellState>;
    CellStates cellStates() const;
    void writeTo(const std::filesystem::path& file, const CellStates& cells, const std::string& shown) const;

    std::optional<std::string> m_sheetName;
    std::vector<Operation> m_operations;
    std::vector<CellRange> m_merges;
    std::vector<Width> m_widths;
    std::map<int, double> m_rowHeights;
    std::optional<PageSetup> m_pageSetup;
    std::optional<std::time_t> m_created;
};

} // namespace automation
