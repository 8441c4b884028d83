// SPDX-License-Identifier: GPL-3.0-or-later
#include "folderguard.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <system_error>
#include <vector>

#include "automation/readmessages.h"
#include "popimport/frequencytable.h"

namespace popimport {

namespace fs = std::filesystem;

std::string folderState(const fs::path& dataDir)
{
    std::vector<std::string> entries;
    std::error_code error;
    for (fs::directory_iterator it(dataDir, error), end; !error && it != end; it.increment(error)) {
        std::error_code ec;
        const auto size = it->is_regular_file(ec) ? it->file_size(ec) : 0;
        const auto time = it->last_write_time(ec).time_since_epoch();
        entries.push_back(it->path().filename().string() + '\t' + std::to_string(size) + '\t'
                          + std::to_string(std::chrono::duration_cast<std::chrono::nanoseconds>(time).count()));
    }
    std::sort(entries.begin(), entries.end());
    std::string state;
    for (const std::string& entry : entries)
        state += entry + '\n';
    return state;
}

FolderLock::FolderLock(const fs::path& dataDir)
{
    m_fd = ::open(dataDir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_fd < 0)
        return; // a folder that cannot be opened fails at its first write, with its reason
    // Loads hold the lock shared for the moment they read: an import waits for them. Only
    // another import (or an undo), holding it exclusively, makes this one refuse.
    if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0
        && (::flock(m_fd, LOCK_SH | LOCK_NB) != 0 || ::flock(m_fd, LOCK_EX) != 0)) {
        ::close(m_fd);
        m_fd = -1;
        throw ImportError("В папку данных " + automation::validUtf8(dataDir.string())
                          + " сейчас вносится другая таблица (другое окно программы или команда import). "
                            "Дождитесь конца того вноса и проверьте таблицу снова.");
    }
}

FolderLock::~FolderLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

} // namespace popimport
