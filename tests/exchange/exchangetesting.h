// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers of the exchange tests: a locus table filled by hand, a WorkbookWriter that records
// what it is told, and the sheet a spreadsheet program would read back from those records.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "automation/cellarray.h"
#include "automation/workbookwriter.h"
#include "freqdb/locustable.h"

#include "support/tempdir.h"

namespace exchange::testing {

using TempDir = testsupport::TempDir;

inline freqdb::LocusRecord makeLocus(std::string name, std::vector<std::pair<std::string, long double>> alleles)
{
    freqdb::LocusRecord record;
    record.Name = std::move(name);
    record.AlleleCount = static_cast<std::uint8_t>(alleles.size());
    for (std::size_t i = 0; i < alleles.size(); ++i) {
        record.Labels[i + 1] = alleles[i].first;
        record.Frequencies[i + 1] = alleles[i].second;
    }
    return record;
}

// Two loci: D3S1358 and a Cyrillic-named one with labels like the bundled data ("9,3").
inline freqdb::LocusTable makeTable()
{
    freqdb::LocusTable table;
    table.setPopulation(freqdb::Population::UsCaucasians);
    table.setLocusCount(2);
    table.replaceRecord(1,
                        makeLocus("D3S1358", {{"14", 0.1L}, {"15", 0.25L}, {"16", 0.2L}, {"17", 0.2L}, {"18", 0.15L}}));
    table.replaceRecord(2, makeLocus("ТН01-Ж", {{"6", 0.2L}, {"7", 0.15L}, {"9", 0.1L}, {"9,3", 0.3L}, {"10", 0.05L}}));
    return table;
}

// Everything a WorkbookWriter was told, in order.
class RecordingWriter : public automation::WorkbookWriter {
public:
    struct Format {
        automation::CellRange range;
        std::string what; // "center", "left", "text", "wrap"
    };
    struct Width {
        automation::CellRange range;
        double characters;
    };

    void addWorksheet(const std::string& name) override { sheets.push_back(name); }
    void setAlignment(const automation::CellRange& range, automation::HorizontalAlignment a) override
    {
        formats.push_back({range, a == automation::HorizontalAlignment::Center ? "center" : "left"});
    }
    void setTextFormat(const automation::CellRange& range) override { formats.push_back({range, "text"}); }
    void merge(const automation::CellRange& range) override { merges.push_back(range); }
    void setValues(const automation::CellRange& range, const std::vector<std::vector<std::string>>& v) override
    {
        valueRange = range;
        values = v;
    }
    void setColumnWidth(const automation::CellRange& range, double characters) override
    {
        widths.push_back({range, characters});
    }
    void setWrap(const automation::CellRange& range) override { formats.push_back({range, "wrap"}); }
    void setRowHeight(int row, double points) override { rowHeights[row] = points; }
    void setPageSetup(const automation::PageSetup& setup) override { pageSetup = setup; }
    void save(const std::filesystem::path& path) override { savedTo = path; }

    // The used range a spreadsheet program would read back: the written texts, empty texts as
    // empty cells, trimmed to the rows and columns that hold something.
    automation::CellArray usedRange() const
    {
        int lastRow = 0, lastColumn = 0;
        for (std::size_t r = 0; r < values.size(); ++r) {
            for (std::size_t c = 0; c < values[r].size(); ++c) {
                if (!values[r][c].empty()) {
                    lastRow = std::max(lastRow, static_cast<int>(r) + 1);
                    lastColumn = std::max(lastColumn, static_cast<int>(c) + 1);
                }
            }
        }
        automation::CellArray cells(lastRow, lastColumn);
        for (int r = 1; r <= lastRow; ++r) {
            for (int c = 1; c <= lastColumn; ++c) {
                if (!values[r - 1][c - 1].empty())
                    cells.set(r, c, values[r - 1][c - 1]);
            }
        }
        return cells;
    }

    std::vector<std::string> sheets;
    std::vector<Format> formats;
    std::vector<automation::CellRange> merges;
    automation::CellRange valueRange;
    std::vector<std::vector<std::string>> values;
    std::vector<Width> widths;
    std::map<int, double> rowHeights;
    automation::PageSetup pageSetup;
    std::filesystem::path savedTo;
};

} // namespace exchange::testing

namespace automation {
inline bool operator==(const CellRange& a, const CellRange& b)
{
    return a.firstRow == b.firstRow && a.firstColumn == b.firstColumn && a.lastRow == b.lastRow
           && a.lastColumn == b.lastColumn;
}
inline std::ostream& operator<<(std::ostream& out, const CellRange& r)
{
    return out << cellName(r.firstRow, r.firstColumn) << ":" << cellName(r.lastRow, r.lastColumn);
}
} // namespace automation
