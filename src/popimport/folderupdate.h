// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Carries out an ImportPlan all or nothing. Every new workbook is first written under a
// temporary name in the data folder; only when all are written are the originals moved into
// DIR/backup-<date>-<time>/ and the new workbooks renamed into place. A failure at any step
// undoes the steps before it, so the folder is as it was. Renames never replace a file.
#include <filesystem>
#include <string>

#include "popimport/importplan.h"

namespace popimport {

struct UpdateResult {
    std::filesystem::path backupDir; // empty when nothing was moved there
};

// Throws ImportError when the folder cannot be updated (nothing changed then).
UpdateResult applyImport(const ImportPlan& plan, const std::filesystem::path& dataDir);

} // namespace popimport
