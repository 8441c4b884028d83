// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Carries out an ImportPlan all or nothing. Every new workbook is first written under a
// temporary name in the data folder; only when all are written are the originals moved into
// DIR/backup-<date>-<time>/ and the new workbooks renamed into place. A failure at any step
// undoes the steps before it, so the folder is as it was. Renames never replace a file.
#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>

#include "popimport/importplan.h"

namespace popimport {

struct UpdateResult {
    std::filesystem::path backupDir; // empty when nothing was moved there
};

// Told after each new workbook is written (under its temporary name): `done` of `total`.
// Returning false stops the import before any original is moved: ImportCancelled is thrown and
// the folder is as it was.
using ImportProgress = std::function<bool(std::size_t done, std::size_t total)>;

// The operator stopped the import; nothing was changed.
class ImportCancelled : public ImportError {
public:
    ImportCancelled() : ImportError("Импорт прерван.") {}
};

// Throws ImportError when the folder cannot be updated (nothing changed then).
UpdateResult applyImport(const ImportPlan& plan, const std::filesystem::path& dataDir,
                         const ImportProgress& progress = {});

} // namespace popimport
