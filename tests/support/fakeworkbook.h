// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An in-memory WorkbookReader for tests: paths map to workbooks given as named sheets of
// CellArrays. Opening a path that was not added throws WorkbookError, as a missing file does;
// a path added with failWith() throws the given reason, as an unreadable file does.
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "automation/workbook.h"

namespace automation {

struct FakeSheet {
    std::string name;
    CellArray cells;
};

class FakeWorkbookReader : public WorkbookReader {
public:
    void add(const std::filesystem::path& path, std::vector<FakeSheet> sheets);
    void failWith(const std::filesystem::path& path, std::string reason);

    std::unique_ptr<Workbook> open(const std::filesystem::path& path) const override;

    // How many times open() was called, successful or not.
    int openCount() const { return m_openCount; }

private:
    std::map<std::filesystem::path, std::vector<FakeSheet>> m_books;
    std::map<std::filesystem::path, std::string> m_failures;
    mutable int m_openCount = 0;
};

// Builds a CellArray from rows of values, for tests: {{"10", 0.1}, {"11", 0.2}}. Rows shorter
// than the longest are padded with empty cells.
CellArray makeCellArray(const std::vector<std::vector<CellValue>>& rows, int firstRow = 1, int firstColumn = 1);

} // namespace automation
