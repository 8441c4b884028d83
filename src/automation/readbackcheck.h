// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A written workbook is not trusted unseen: the writer's library can report success for a file
// whose parts it could not write (a full disk), so the file is opened with this program's own
// reader and compared with what was meant before it replaces anything.
#include <filesystem>
#include <string>
#include <vector>

#include "automation/cellworkbookwriter.h"

namespace automation {

// Opens `file` and compares it with `expected`: the same sheets in the same order, by name, and
// in each the same cell values at the same places. An empty text and an empty cell are alike (a
// writer stores an empty text as no cell); numbers agree to the 16 significant digits the
// writer prints. Throws WorkbookError "Книга «shown» не сохранена: ..." at the first difference.
void checkReadBack(const std::filesystem::path& file, const std::string& shown,
                   const std::vector<NamedSheet>& expected);

} // namespace automation
