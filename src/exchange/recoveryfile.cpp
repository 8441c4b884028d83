// SPDX-License-Identifier: GPL-3.0-or-later
#include "recoveryfile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <random>
#include <stdexcept>
#include <system_error>

#include "exchange/resultsworkbookreader.h"
#include "exchange/resultsworkbookwriter.h"
#include "exchange/sheetcells.h"
#include "exchange/workbooklayout.h"

namespace exchange {
namespace {

const std::string kPrefix = "recovery-";
const std::string kLockExtension = ".lock";

// An exclusive lock on `path` without waiting; -1 when another process holds it or it cannot
// be opened. The lock ends with the descriptor, so a killed process leaves its files unlocked.
int tryLock(const std::filesystem::path& path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

std::filesystem::path lockOf(const std::filesystem::path& workbook)
{
    std::filesystem::path lock = workbook;
    return lock.replace_extension(kLockExtension);
}

// Owner only, whatever the umask: the files hold genotypes of named persons.
constexpr auto kOwnerOnly = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write;

// This window's lock file, made new: "recovery-<pid>-<random>.lock". The process number alone
// is not enough (PID namespaces, a reboot): a crashed window of the same number left its file
// under that name, and it must be offered, not taken over. Returns the descriptor, -1 on failure.
int makeOwnLock(const std::filesystem::path& folder, std::filesystem::path& lockFile)
{
    std::random_device random;
    for (int attempt = 0; attempt < 16; ++attempt) {
        char tag[16];
        std::snprintf(tag, sizeof tag, "%08x", static_cast<unsigned>(random()));
        lockFile = folder / (kPrefix + std::to_string(::getpid()) + "-" + tag + kLockExtension);
        const int fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return fd;
        ::close(fd);
        return -1;
    }
    return -1;
}

// The time a declined copy was set aside, from its name "declined-…-yyyymmdd-hhmmss.xlsx";
// nullopt when the name does not end so.
std::optional<std::time_t> declinedAt(const std::string& stem)
{
    std::tm when{};
    if (stem.size() < 15
        || std::sscanf(stem.c_str() + stem.size() - 15, "%4d%2d%2d-%2d%2d%2d", &when.tm_year, &when.tm_mon,
                       &when.tm_mday, &when.tm_hour, &when.tm_min, &when.tm_sec)
               != 6)
        return std::nullopt;
    when.tm_year -= 1900;
    when.tm_mon -= 1;
    when.tm_isdst = -1;
    const std::time_t at = std::mktime(&when);
    return at == static_cast<std::time_t>(-1) ? std::nullopt : std::optional<std::time_t>(at);
}

std::string timeStamp()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

} // namespace

RecoveryFile::RecoveryFile(std::filesystem::path folder) : m_folder(std::move(folder))
{
    std::error_code error;
    std::filesystem::create_directories(m_folder, error);
    // Only the operator reads the copies, on a workstation shared by several people too.
    std::filesystem::permissions(m_folder, std::filesystem::perms::owner_all, error);
    tidy();
    m_lock = makeOwnLock(m_folder, m_lockFile);
    m_file = std::filesystem::path(m_lockFile).replace_extension(kWorkbookExtension);
    if (m_lock < 0)
        throw std::runtime_error("Папка восстановления " + m_folder.string()
                                 + " недоступна для записи: несохранённые результаты не будут сберегаться.");
}

RecoveryFile::~RecoveryFile()
{
    for (const auto& [orphan, fd] : m_claimed)
        ::close(fd);
    std::error_code error;
    // A file still here at the end is kept for the next start: only its lock goes.
    std::filesystem::remove(m_lockFile, error);
    ::close(m_lock);
}

std::filesystem::path RecoveryFile::defaultFolder()
{
    const char* state = std::getenv("XDG_STATE_HOME");
    const char* home = std::getenv("HOME");
    return defaultFolder(state ? state : "", home ? home : "");
}

std::filesystem::path RecoveryFile::defaultFolder(const std::string& xdgStateHome, const std::string& home)
{
    // The XDG base directory rules ignore a relative path.
    if (!xdgStateHome.empty() && std::filesystem::path(xdgStateHome).is_absolute())
        return std::filesystem::path(xdgStateHome) / "paternity-index";
    if (!home.empty())
        return std::filesystem::path(home) / ".local" / "state" / "paternity-index";
    return {};
}

void RecoveryFile::write(const results::ResultsGrid& grid, const std::string& cpiLine,
                         const std::string& probabilityLine, freqdb::Population population, const std::string& prior,
                         const std::vector<std::string>& exportLines, automation::WorkbookWriter& writer)
{
    if (grid.ResultCount() == 0) {
        remove();
        return;
    }
    saveResultsWorkbook(m_file, grid, cpiLine, probabilityLine, population, writer, exportLines,
                        {std::string(kRecoveryPriorLabel), prior});
    std::error_code error;
    std::filesystem::permissions(m_file, kOwnerOnly, error);
}

void RecoveryFile::tidy(std::time_t now)
{
    std::error_code error;
    for (std::filesystem::directory_iterator it(m_folder, error), end; !error && it != end; it.increment(error)) {
        const std::filesystem::path path = it->path();
        const std::string name = path.filename().string();
        std::error_code fileError;
        if (!it->is_regular_file(fileError))
            continue;
        const bool declined = name.rfind("declined-", 0) == 0 && path.extension() == kWorkbookExtension;
        if (declined) {
            const auto at = declinedAt(path.stem().string());
            if (at && now - *at > kDeclinedKeptDays * 24 * 3600) {
                std::filesystem::remove(path, fileError);
                continue;
            }
        }
        // Copies written by earlier versions with the umask's mode.
        if (declined || name.rfind(kPrefix, 0) == 0)
            std::filesystem::permissions(path, kOwnerOnly, fileError);
    }
}

RecoveredCase RecoveryFile::read(const std::filesystem::path& path, const automation::WorkbookReader& reader,
                                 const text::NumberFormat& format)
{
    RecoveredCase out;
    out.results = loadResultsWorkbook(path, reader, format);
    if (!out.results.ok)
        return out;
    try {
        const SheetCells sheet = readFirstSheet(path, reader, format);
        if (sheet.text(1, kBesideBlockColumn) == kRecoveryPriorLabel)
            out.prior = sheet.text(1, kBesideBlockColumn + 1);
    } catch (const std::exception&) {
        // The case was read; without its prior the field keeps what it shows.
    }
    return out;
}

void RecoveryFile::remove()
{
    std::error_code error;
    std::filesystem::remove(m_file, error);
}

std::vector<std::filesystem::path> RecoveryFile::claimOrphans()
{
    std::vector<std::pair<std::filesystem::file_time_type, std::filesystem::path>> found;
    std::error_code error;
    for (std::filesystem::directory_iterator it(m_folder, error), end; !error && it != end; it.increment(error)) {
        const std::filesystem::path path = it->path();
        const std::string name = path.filename().string();
        if (path == m_file || name.rfind(kPrefix, 0) != 0 || path.extension() != kWorkbookExtension)
            continue;
        if (std::any_of(m_claimed.begin(), m_claimed.end(), [&](const auto& c) { return c.first == path; }))
            continue;
        const int fd = tryLock(lockOf(path));
        if (fd < 0)
            continue; // its window is still running, or another start claimed it
        std::error_code timeError;
        const auto written = std::filesystem::last_write_time(path, timeError);
        m_claimed.emplace_back(path, fd);
        found.emplace_back(written, path);
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<std::filesystem::path> out;
    for (const auto& f : found)
        out.push_back(f.second);
    return out;
}

std::filesystem::path RecoveryFile::setAside(const std::filesystem::path& orphan)
{
    const std::string pid = orphan.stem().string().substr(kPrefix.size());
    const std::filesystem::path aside = orphan.parent_path() / ("declined-" + pid + "-" + timeStamp() + ".xlsx");
    std::filesystem::rename(orphan, aside);
    release(orphan);
    return aside;
}

void RecoveryFile::discard(const std::filesystem::path& orphan)
{
    std::error_code error;
    std::filesystem::remove(orphan, error);
    release(orphan);
}

void RecoveryFile::release(const std::filesystem::path& orphan)
{
    for (auto it = m_claimed.begin(); it != m_claimed.end(); ++it) {
        if (it->first != orphan)
            continue;
        std::error_code error;
        std::filesystem::remove(lockOf(orphan), error);
        ::close(it->second);
        m_claimed.erase(it);
        return;
    }
}

} // namespace exchange
