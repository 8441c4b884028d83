// SPDX-License-Identifier: GPL-3.0-or-later
#include "lxwsupport.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <mutex>
#include <system_error>
#include <utility>

#include "automation/readbackcheck.h"
#include "automation/workbook.h"

namespace automation::lxw {
namespace {

namespace fs = std::filesystem;

fs::path folderOf(const fs::path& file)
{
    return file.parent_path().empty() ? fs::path(".") : file.parent_path();
}

// libxlsxwriter prints its own diagnostics in English to the C library's standard error stream
// ("[ERROR] workbook_close(): ..."); the user gets this program's message, which names the file
// and the reason. While a write runs, `stderr` points at /dev/null; std::cerr keeps the stream it
// was built on, so the program's own messages are not affected.
class LibraryMessagesHidden {
public:
    LibraryMessagesHidden()
    {
        const std::lock_guard lock(mutex());
        if (depth()++ > 0)
            return;
        static FILE* sink = std::fopen("/dev/null", "we");
        if (sink) {
            saved() = stderr;
            stderr = sink;
        }
    }
    ~LibraryMessagesHidden()
    {
        const std::lock_guard lock(mutex());
        if (--depth() == 0 && saved())
            stderr = std::exchange(saved(), nullptr);
    }
    LibraryMessagesHidden(const LibraryMessagesHidden&) = delete;
    LibraryMessagesHidden& operator=(const LibraryMessagesHidden&) = delete;

private:
    static std::mutex& mutex()
    {
        static std::mutex m;
        return m;
    }
    static int& depth()
    {
        static int d = 0;
        return d;
    }
    static FILE*& saved()
    {
        static FILE* s = nullptr;
        return s;
    }
};

// The temporary file, created and locked by this save before libxlsxwriter writes into it: a
// locked temporary is being written, an unlocked one was left by a save that was killed.
class LockedTemporary {
public:
    LockedTemporary(const fs::path& target, const std::string& shown)
    {
        for (int attempt = 0; m_fd < 0; ++attempt) {
            m_path = temporaryName(target);
            m_fd = ::open(m_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            const int error = errno;
            if (m_fd < 0 && (error != EEXIST || attempt > 100))
                throw WorkbookError("Книга «" + shown + "» не сохранена: нельзя создать файл в ее папке ("
                                    + std::strerror(error) + ")");
        }
        ::flock(m_fd, LOCK_EX | LOCK_NB);
    }
    ~LockedTemporary()
    {
        if (!m_kept)
            ::unlink(m_path.c_str());
        ::close(m_fd);
    }
    const fs::path& path() const { return m_path; }
    int fd() const { return m_fd; }
    void kept() { m_kept = true; }
    LockedTemporary(const LockedTemporary&) = delete;
    LockedTemporary& operator=(const LockedTemporary&) = delete;

private:
    fs::path m_path;
    int m_fd = -1;
    bool m_kept = false;
};

// Removes the temporaries of `target` that no save holds and that are older than a minute (a
// save that has just created its file may not have locked it yet).
void removeAbandonedTemporaries(const fs::path& target)
{
    const std::string prefix = "." + target.filename().string() + ".tmp-";
    const auto now = fs::file_time_type::clock::now();
    std::error_code ec;
    for (fs::directory_iterator it(folderOf(target), ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.rfind(prefix, 0) != 0 || name.find_first_not_of("0123456789-", prefix.size()) != std::string::npos)
            continue;
        std::error_code fileEc;
        if (!it->is_regular_file(fileEc) || now - it->last_write_time(fileEc) < std::chrono::minutes(1) || fileEc)
            continue;
        const int fd = ::open(it->path().c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(it->path().c_str());
        ::close(fd);
    }
}

} // namespace

CNumericLocale::CNumericLocale()
{
    locale_t base = duplocale(LC_GLOBAL_LOCALE);
    if (base)
        m_locale = newlocale(LC_NUMERIC_MASK, "C", base);
    if (m_locale)
        m_previous = uselocale(m_locale);
    else if (base)
        freelocale(base);
}

CNumericLocale::~CNumericLocale()
{
    if (m_locale) {
        uselocale(m_previous);
        freelocale(m_locale);
    }
}

Workbook::Workbook(const fs::path& file) : m_partsFolder(folderOf(file).string())
{
    lxw_workbook_options options{};
    options.tmpdir = m_partsFolder.data();
    m_workbook = workbook_new_opt(file.c_str(), &options);
}

Workbook::~Workbook()
{
    if (m_workbook)
        workbook_close(m_workbook); // an abandoned write: free it; the file is removed by the caller
}

lxw_error Workbook::close()
{
    lxw_workbook* wb = std::exchange(m_workbook, nullptr);
    return workbook_close(wb);
}

fs::path temporaryName(const fs::path& target)
{
    static std::atomic<unsigned> counter{0};
    for (;;) {
        // Built by appending: g++ 12 warns falsely (-Wrestrict) on a chain of + here.
        std::string file = ".";
        file += target.filename().string();
        file += ".tmp-";
        file += std::to_string(getpid());
        file += '-';
        file += std::to_string(counter++);
        auto name = folderOf(target) / file;
        std::error_code ec;
        if (!fs::exists(fs::symlink_status(name, ec)))
            return name;
    }
}

void saveThroughTemporary(const fs::path& path, const std::string& shown, const std::vector<NamedSheet>& expected,
                          const std::function<void(const fs::path&)>& write)
{
    const std::string failed = "Книга «" + shown + "» не сохранена: ";
    std::error_code ec;
    if (fs::is_directory(path, ec))
        throw WorkbookError(failed + "это папка");
    removeAbandonedTemporaries(path);
    LockedTemporary temporary(path, shown);
    {
        LibraryMessagesHidden quiet;
        CNumericLocale cLocale;
        if (!cLocale.active())
            throw WorkbookError(failed + "нет локали «C» для записи чисел");
        write(temporary.path());
    }
    checkReadBack(temporary.path(), shown, expected);
    // The data on the disk before the name: after a power cut the target is the old file or the
    // new one, never an empty one.
    if (::fsync(temporary.fd()) != 0) {
        const int error = errno;
        throw WorkbookError(failed + "файл не записан на диск (" + std::strerror(error) + ")");
    }
    if (::rename(temporary.path().c_str(), path.c_str()) != 0) {
        const int error = errno;
        throw WorkbookError(failed + "не удалось заменить файл (" + std::strerror(error) + ")");
    }
    temporary.kept();
    // The new name on the disk too. A folder that cannot be opened for this (no read right) or
    // whose file system does not sync folders (EINVAL) is left to the system.
    const int folder = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return;
    const int synced = ::fsync(folder) == 0 ? 0 : errno;
    ::close(folder);
    if (synced != 0 && synced != EINVAL)
        throw WorkbookError("Книга «" + shown + "» записана, но ее папка не записана на диск (" + std::strerror(synced)
                            + ")");
}

void throwCloseError(lxw_error error, const std::string& shown)
{
    if (error == LXW_ERROR_CREATING_XLSX_FILE || error == LXW_ERROR_CREATING_TMPFILE)
        throw WorkbookError("Книга «" + shown + "» не сохранена: нельзя создать файл в ее папке");
    throw WorkbookError("Книга «" + shown + "» не сохранена: ошибка записи (" + std::string(lxw_strerror(error)) + ")");
}

} // namespace automation::lxw
