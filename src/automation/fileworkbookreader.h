// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The WorkbookReader over real files. It reads the file once, read-only, and chooses the format
// by content: an OLE2 compound file is .xls, a zip is .xlsx or .ods by the parts it
// holds; the extension only decides between formats the content leaves open. Anything else,
// a folder, an unreadable or oversized file, fails with a WorkbookError naming the file.
#include "automation/workbook.h"

namespace automation {

class FileWorkbookReader : public WorkbookReader {
public:
    std::unique_ptr<Workbook> open(const std::filesystem::path& path) const override;
};

} // namespace automation
