// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An import that was stopped (killed, power lost) between its renames leaves a data folder in
// which some workbooks are in the backup folder and their replacements not yet in place. The
// import writes its journal, import-unfinished.txt, before the first rename and removes it after
// the last (popimport/folderupdate.h); its temporary workbooks are named ".<name>.import-<pid>".
// While either is in a folder, no load and no import uses it: a locus must never go missing
// silently. `paternity-index import --undo` puts the folder back as it was.
#include <filesystem>
#include <optional>
#include <string>

namespace freqdb {

inline constexpr const char* kImportJournalName = "import-unfinished.txt";

// True for the name of an import's temporary file.
bool isImportTemporaryName(const std::string& fileName);

// Held while a load reads a data folder: the folder's own lock, shared. An import holds it
// exclusively while it writes (popimport/folderguard.h), so a load waits for a running import to
// end and reads the old tables or the new, never some of each. `failed()` gives the operator's
// message when the import did not end within the wait.
class FolderReadLock {
public:
    explicit FolderReadLock(const std::filesystem::path& folder);
    ~FolderReadLock();
    FolderReadLock(const FolderReadLock&) = delete;
    FolderReadLock& operator=(const FolderReadLock&) = delete;

    const std::optional<std::string>& failed() const { return m_failed; }

private:
    int m_fd = -1;
    std::optional<std::string> m_failed;
};

// The operator message when `folder` holds an unfinished import; nullopt when it does not (or
// does not exist).
std::optional<std::string> unfinishedImport(const std::filesystem::path& folder);

} // namespace freqdb
