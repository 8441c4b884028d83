// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Carries out an ImportPlan all or nothing. Every new file (the workbooks, skipped-loci.txt) is
// first written under a temporary name in the data folder; only when all are written are the
// originals moved into DIR/backup-<date>-<time>/ and the new files renamed into place. A failure
// at any step undoes the steps before it, so the folder is as it was. Renames never replace a
// file. Before the first rename the moves are written to the journal import-unfinished.txt
// (freqdb/unfinishedimport.h), removed after the last: an import killed between its renames
// leaves the journal, which stops every load and import of the folder until undoImport() has put
// the folder back.
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

// A failed import whose undo failed too (a full disk): the folder is not whole, the journal
// stays, and the message says where the files are and that `import --undo` finishes the undo.
class ImportUnfinished : public ImportError {
public:
    using ImportError::ImportError;
};

// Called before each rename with its number, from 1, and with 0 before the journal is written;
// the tests stop the process there or make the step fail by throwing.
using BeforeRename = std::function<void(int rename)>;
// Called before each step of an undo (a removal or a rename back) with its number, from 1.
using BeforeUndoStep = std::function<void(int step)>;

// Throws ImportError when the folder cannot be updated (nothing changed then), ImportUnfinished
// when the moves failed and so did their undo. Makes dataDir when it does not exist yet (the
// lab's folder of a first import).
UpdateResult applyImport(const ImportPlan& plan, const std::filesystem::path& dataDir,
                         const BeforeRename& beforeRename = {}, const ImportProgress& progress = {},
                         const BeforeUndoStep& beforeUndoStep = {});

// Puts a folder left by an unfinished import back as it was before that import, every step
// decided from what is on disk: it may be stopped anywhere and run again, and never removes a
// file the folder held before the import. The journal goes last. Returns what was done, for the
// operator; throws ImportError when a step fails (the journal then stays, so it can be tried
// again).
std::string undoImport(const std::filesystem::path& dataDir, const BeforeUndoStep& beforeStep = {});

} // namespace popimport
