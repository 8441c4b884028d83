// SPDX-License-Identifier: GPL-3.0-or-later
#include "recoveryfile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
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
    const std::string own = kPrefix + std::to_string(::getpid());
    m_file = m_folder / (own + std::string(kWorkbookExtension));
    m_lockFile = m_folder / (own + kLockExtension);
    m_lock = tryLock(m_lockFile);
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
                         automation::WorkbookWriter& writer)
{
    if (grid.ResultCount() == 0) {
        remove();
        return;
    }
    saveResultsWorkbook(m_file, grid, cpiLine, probabilityLine, population, writer,
                        {std::string(kRecoveryPriorLabel), prior});
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
