// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// After an import, the folder keeps what the population's table came from: a copy of the file
// read, source/<code>-<file name>, and its note source/<code>.ini with the file imported, the
// origin taken, the date and the copy's SHA-256 (freqdb/tablesource.h). `validate` reads the
// copy again with the import's reader and compares it with the workbooks. The copy of an earlier
// import under another name goes to the import's backup folder, when it made one.
#include <filesystem>
#include <string>

#include "popimport/importrun.h"

namespace popimport {

struct SourceKept {
    bool ok = false;
    std::string line; // for the operator: where the copy is, or why it is not (the workbooks are written)
};

SourceKept keepTableSource(const PreparedImport& prepared, const ImportChoice& choice,
                           const std::filesystem::path& backupDir);

} // namespace popimport
