// SPDX-License-Identifier: GPL-3.0-or-later
#include "freqdb/unfinishedimport.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "freqdb/loadmessages.h"
#include "text/utf8.h"

namespace freqdb {

bool isImportTemporaryName(const std::string& fileName)
{
    return !fileName.empty() && fileName.front() == '.' && fileName.find(".import-") != std::string::npos;
}

FolderReadLock::FolderReadLock(const std::filesystem::path& folder)
{
    m_fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_fd < 0)
        return; // a folder that cannot be opened fails the load with its own reason
    // An import writes for seconds; one that holds the folder far longer is stuck (or is this
    // process's own, which must not wait for itself).
    using namespace std::chrono_literals;
    const auto giveUp = std::chrono::steady_clock::now() + 120s;
    while (::flock(m_fd, LOCK_SH | LOCK_NB) != 0) {
        if (std::chrono::steady_clock::now() >= giveUp) {
            m_failed = std::string(kReadFailed) + "\nВ папку " + text::validUtf8(folder.string())
                       + " все еще вносится таблица частот (import). Загрузите таблицы, когда внос закончится.";
            return;
        }
        std::this_thread::sleep_for(50ms);
    }
}

FolderReadLock::~FolderReadLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

std::optional<std::string> unfinishedImport(const std::filesystem::path& folder)
{
    std::error_code error;
    std::string found;
    if (std::filesystem::exists(std::filesystem::symlink_status(folder / kImportJournalName, error)))
        found = kImportJournalName;
    std::filesystem::directory_iterator it(folder, error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (found.empty() && isImportTemporaryName(name))
            found = name;
    }
    if (found.empty())
        return std::nullopt;
    const std::string shown = text::validUtf8(folder.string());
    return std::string(kReadFailed) + "\nВ папке " + shown + " не завершён внос таблицы частот (import): там «"
           + text::validUtf8(found)
           + "», и части книг локусов может не быть на месте. Верните папку к прежнему виду командой "
             "«paternity-index import --undo --data "
           + shown + "» и повторите внос.";
}

} // namespace freqdb
