// SPDX-License-Identifier: GPL-3.0-or-later
#include "folderupdate.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

#include "automation/readmessages.h"

namespace popimport {
namespace {

std::string shown(const std::filesystem::path& p)
{
    return automation::validUtf8(p.filename().string());
}

// A rename that fails instead of replacing an existing file.
bool renameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to, int& error)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    error = errno;
    return false;
}

void syncFolder(const std::filesystem::path& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

std::filesystem::path freeBackupName(const std::filesystem::path& dataDir)
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "backup-%Y%m%d-%H%M%S", &local);
    std::filesystem::path name = dataDir / stamp;
    for (int i = 2; std::filesystem::exists(name); ++i)
        name = dataDir / (std::string(stamp) + "-" + std::to_string(i));
    return name;
}

// The steps done so far, undone in reverse on failure.
class Transaction {
public:
    explicit Transaction(std::filesystem::path dataDir) : m_dataDir(std::move(dataDir)) {}
    ~Transaction()
    {
        if (m_committed)
            return;
        std::error_code ignored;
        for (auto it = m_renames.rbegin(); it != m_renames.rend(); ++it) {
            int error = 0;
            renameNoReplace(it->second, it->first, error);
        }
        for (const auto& t : m_temporaries)
            std::filesystem::remove(t, ignored);
        if (!m_backupDir.empty())
            std::filesystem::remove(m_backupDir, ignored); // only when empty again
    }

    // A name no entry of the folder has, so the clean-up after a failure removes only our files.
    std::filesystem::path temporaryFor(const std::filesystem::path& target)
    {
        const std::string stem = "." + target.filename().string() + ".import-" + std::to_string(::getpid());
        auto name = m_dataDir / stem;
        for (int i = 2; std::filesystem::exists(std::filesystem::symlink_status(name)); ++i)
            name = m_dataDir / (stem + "-" + std::to_string(i));
        m_temporaries.push_back(name);
        return name;
    }

    const std::filesystem::path& backupDir()
    {
        if (m_backupDir.empty()) {
            auto name = freeBackupName(m_dataDir);
            std::error_code error;
            if (!std::filesystem::create_directory(name, error))
                throw ImportError("Не создать резервную папку " + shown(name) + ": " + error.message());
            m_backupDir = name;
        }
        return m_backupDir;
    }

    const std::filesystem::path& backupDirIfMade() const { return m_backupDir; }

    void move(const std::filesystem::path& from, const std::filesystem::path& to)
    {
        int error = 0;
        if (!renameNoReplace(from, to, error))
            throw ImportError("Не удалось переместить " + shown(from) + " в " + shown(to) + ": "
                              + std::strerror(error));
        m_renames.emplace_back(from, to);
    }

    void commit()
    {
        m_committed = true;
        syncFolder(m_dataDir);
        if (!m_backupDir.empty())
            syncFolder(m_backupDir);
    }

private:
    std::filesystem::path m_dataDir;
    std::vector<std::filesystem::path> m_temporaries;
    std::vector<std::pair<std::filesystem::path, std::filesystem::path>> m_renames;
    std::filesystem::path m_backupDir;
    bool m_committed = false;
};

} // namespace

UpdateResult applyImport(const ImportPlan& plan, const std::filesystem::path& dataDir, const ImportProgress& progress)
{
    if (::access(dataDir.c_str(), W_OK) != 0)
        throw ImportError("В папку данных " + automation::validUtf8(dataDir.string())
                          + " нельзя записывать; укажите свою копию папки данных: --data ПАПКА");
    Transaction transaction(dataDir);
    std::vector<std::filesystem::path> written;
    for (const auto& update : plan.updates) {
        const auto temporary = transaction.temporaryFor(update.target);
        try {
            automation::saveCellWorkbook(temporary, update.sheets);
            if (update.permissions)
                std::filesystem::permissions(temporary, *update.permissions);
        } catch (const std::filesystem::filesystem_error& e) {
            throw ImportError(std::string("Книга ") + shown(update.target) + " не записана: " + e.code().message());
        } catch (const automation::WorkbookError& e) {
            throw ImportError(std::string("Книга ") + shown(update.target) + " не записана: " + e.what());
        }
        written.push_back(temporary);
        // The writing is the long part; the moves that follow are quick and run as one.
        if (progress && !progress(written.size(), plan.updates.size()))
            throw ImportCancelled();
    }
    UpdateResult result;
    for (const auto& update : plan.updates) {
        if (!update.original.empty())
            transaction.move(update.original, transaction.backupDir() / update.original.filename());
    }
    for (const auto& file : plan.pruned)
        transaction.move(file, transaction.backupDir() / file.filename());
    for (std::size_t i = 0; i < plan.updates.size(); ++i)
        transaction.move(written[i], plan.updates[i].target);
    result.backupDir = transaction.backupDirIfMade();
    transaction.commit();
    return result;
}

} // namespace popimport
