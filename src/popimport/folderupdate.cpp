// SPDX-License-Identifier: GPL-3.0-or-later
#include "folderupdate.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

#include <fstream>
#include <optional>

#include "automation/readmessages.h"
#include "freqdb/skippedloci.h"
#include "freqdb/unfinishedimport.h"
#include "popimport/folderguard.h"

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

// The renames in a folder written to the disk; a failure is the import's failure (EINVAL: a file
// system that does not sync folders).
void syncFolderChecked(const std::filesystem::path& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    int error = fd < 0 ? errno : ::fsync(fd) == 0 ? 0 : errno;
    if (fd >= 0)
        ::close(fd);
    if (error != 0 && error != EINVAL)
        throw ImportError("Не записать на диск папку " + automation::validUtf8(folder.string()) + ": "
                          + std::strerror(error));
}

// Writes `text` to a new file `path`, every step checked; the file is on the disk when this returns.
void writeNewFile(const std::filesystem::path& path, const std::string& text)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    int error = fd < 0 ? errno : 0;
    for (std::size_t done = 0; !error && done < text.size();) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            error = n < 0 ? errno : EIO;
        else
            done += static_cast<std::size_t>(n);
    }
    if (!error && ::fsync(fd) != 0)
        error = errno;
    if (fd >= 0 && ::close(fd) != 0 && !error)
        error = errno;
    if (error)
        throw ImportError("Не записать " + shown(path) + ": " + std::strerror(error));
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

namespace fs = std::filesystem;

constexpr const char* kJournalHeader
    = "# Внос таблицы частот (paternity-index import) не завершён: книги переносились, когда его\n"
      "# остановили. Верните папку к прежнему виду: paternity-index import --undo --data <эта папка>\n";

std::string relativeName(const fs::path& path, const fs::path& dataDir)
{
    return fs::path(path).lexically_relative(dataDir).string();
}

// Writes a small text file whole or not at all, and to the disk before it is used.
void writeDurably(const fs::path& path, const std::string& text)
{
    const fs::path temporary
        = path.parent_path() / ("." + path.filename().string() + ".import-" + std::to_string(::getpid()));
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    bool ok = fd >= 0;
    if (ok) {
        ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()) && ::fsync(fd) == 0;
        ok = ::close(fd) == 0 && ok;
    }
    if (!ok || ::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        throw ImportError("Не записать " + shown(path) + ": " + std::strerror(error));
    }
    syncFolderChecked(path.parent_path());
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
        std::filesystem::remove(m_dataDir / freqdb::kImportJournalName, ignored);
        if (m_madeFolder)
            std::filesystem::remove(m_dataDir, ignored); // only when empty again
    }

    void madeFolder() { m_madeFolder = true; }

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

    // The renames are on the disk before the import counts as done; otherwise they are undone.
    void commit()
    {
        syncFolderChecked(m_dataDir);
        if (!m_backupDir.empty())
            syncFolderChecked(m_backupDir);
        m_committed = true;
    }

private:
    std::filesystem::path m_dataDir;
    std::vector<std::filesystem::path> m_temporaries;
    std::vector<std::pair<std::filesystem::path, std::filesystem::path>> m_renames;
    std::filesystem::path m_backupDir;
    bool m_committed = false;
    bool m_madeFolder = false;
};

struct Move {
    fs::path from, to;
};

} // namespace

UpdateResult applyImport(const ImportPlan& plan, const std::filesystem::path& dataDir, const BeforeRename& beforeRename,
                         const ImportProgress& progress)
{
    std::optional<FolderLock> lock; // released after the transaction has undone a failure
    Transaction transaction(dataDir);
    std::error_code error;
    if (!fs::exists(dataDir, error)) {
        if (!fs::create_directories(dataDir, error))
            throw ImportError("Не создать папку данных " + automation::validUtf8(dataDir.string()) + ": "
                              + error.message());
        transaction.madeFolder();
    }
    if (::access(dataDir.c_str(), W_OK) != 0)
        throw ImportError("В папку данных " + automation::validUtf8(dataDir.string())
                          + " нельзя записывать; укажите свою копию папки данных: --data ПАПКА");
    // The plan holds whole workbooks as they were read: written over a folder that another import
    // or a hand has changed since, it would put back what that change replaced.
    lock.emplace(dataDir);
    if (folderState(dataDir) != plan.folderState)
        throw ImportError("Папка данных " + automation::validUtf8(dataDir.string())
                          + " изменилась после проверки таблицы (другой внос или правка книг). "
                            "Проверьте таблицу снова.");
    std::vector<Move> moves;
    std::vector<Move> placements; // temporary -> target, after every original is out of the way
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
        placements.push_back({temporary, update.target});
        // The writing is the long part; the moves that follow are quick and run as one.
        if (progress && !progress(placements.size(), plan.updates.size()))
            throw ImportCancelled();
    }
    if (plan.skippedLociText) {
        const fs::path target = dataDir / freqdb::kSkippedLociName;
        const auto temporary = transaction.temporaryFor(target);
        writeNewFile(temporary, *plan.skippedLociText);
        if (fs::exists(target))
            moves.push_back({target, transaction.backupDir() / target.filename()});
        placements.push_back({temporary, target});
    }
    for (const auto& update : plan.updates) {
        if (!update.original.empty())
            moves.push_back({update.original, transaction.backupDir() / update.original.filename()});
    }
    for (const auto& file : plan.pruned)
        moves.push_back({file, transaction.backupDir() / file.filename()});
    moves.insert(moves.end(), placements.begin(), placements.end());

    std::string journal = kJournalHeader;
    for (const Move& move : moves)
        journal += "move\t" + relativeName(move.from, dataDir) + "\t" + relativeName(move.to, dataDir) + "\n";
    writeDurably(dataDir / freqdb::kImportJournalName, journal);
    int number = 0;
    for (const Move& move : moves) {
        if (beforeRename)
            beforeRename(++number);
        transaction.move(move.from, move.to);
    }
    UpdateResult result;
    result.backupDir = transaction.backupDirIfMade();
    transaction.commit();
    fs::remove(dataDir / freqdb::kImportJournalName, error);
    syncFolder(dataDir);
    return result;
}

std::string undoImport(const std::filesystem::path& dataDir)
{
    const FolderLock lock(dataDir);
    std::error_code error;
    const fs::path journalPath = dataDir / freqdb::kImportJournalName;
    std::vector<Move> moves;
    std::ifstream journal(journalPath);
    std::string line;
    while (std::getline(journal, line)) {
        if (line.rfind("move\t", 0) != 0)
            continue;
        const auto tab = line.find('\t', 5);
        if (tab == std::string::npos)
            throw ImportError("Журнал " + shown(journalPath) + " испорчен: строка «" + automation::validUtf8(line)
                              + "»");
        moves.push_back({dataDir / line.substr(5, tab - 5), dataDir / line.substr(tab + 1)});
    }
    int undone = 0;
    for (auto it = moves.rbegin(); it != moves.rend(); ++it) {
        const bool done = fs::exists(fs::symlink_status(it->to, error));
        const bool back = fs::exists(fs::symlink_status(it->from, error));
        if (!done || back)
            continue;
        int failure = 0;
        if (!renameNoReplace(it->to, it->from, failure))
            throw ImportError("Не удалось вернуть " + shown(it->to) + " на место " + shown(it->from) + ": "
                              + std::strerror(failure));
        ++undone;
    }
    int removed = 0;
    for (const auto& entry : fs::directory_iterator(dataDir)) {
        if (freqdb::isImportTemporaryName(entry.path().filename().string())) {
            fs::remove(entry.path(), error);
            ++removed;
        }
    }
    std::vector<fs::path> backups;
    for (const Move& move : moves)
        if (move.to.parent_path() != dataDir)
            backups.push_back(move.to.parent_path());
    for (const fs::path& backup : backups)
        fs::remove(backup, error); // only when empty again
    syncFolder(dataDir);
    fs::remove(journalPath, error);
    syncFolder(dataDir);
    return "Возвращено на место: " + std::to_string(undone) + ", удалено временных файлов: " + std::to_string(removed)
           + ". Папка " + automation::validUtf8(dataDir.string()) + " такая, какой была до вноса.";
}

} // namespace popimport
