// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Two imports into one data folder must not cross: a second window or command would otherwise
// write workbooks planned from what the folder held before the first import changed it, and the
// first import's worksheets would silently go to the backup folder. An import therefore holds
// the folder's lock while it writes, and writes only when the folder is as it was when its plan
// was read.
#include <filesystem>
#include <string>

namespace popimport {

// What the folder holds, for telling whether it changed: the name, size and modification time
// of each entry, in name order; empty for a folder that does not exist.
std::string folderState(const std::filesystem::path& dataDir);

// An exclusive lock on the folder itself (no file is made in it), released when destroyed. Waits
// for loads reading the folder (freqdb::FolderReadLock); throws ImportError when another import
// holds it.
class FolderLock {
public:
    explicit FolderLock(const std::filesystem::path& dataDir);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int m_fd = -1;
};

} // namespace popimport
