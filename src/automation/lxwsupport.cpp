// SPDX-License-Identifier: GPL-3.0-or-later
#include "lxwsupport.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <system_error>
#include <utility>

#include "automation/workbook.h"

namespace automation::lxw {

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

Workbook::Workbook(const std::string& file) : m_workbook(workbook_new(file.c_str())) {}

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

std::filesystem::path temporaryName(const std::filesystem::path& target)
{
    static std::atomic<unsigned> counter{0};
    const auto folder = target.parent_path().empty() ? std::filesystem::path(".") : target.parent_path();
    for (;;) {
        // Built by appending: g++ 12 warns falsely (-Wrestrict) on a chain of + here.
        std::string file = ".";
        file += target.filename().string();
        file += ".tmp-";
        file += std::to_string(getpid());
        file += '-';
        file += std::to_string(counter++);
        auto name = folder / file;
        std::error_code ec;
        if (!std::filesystem::exists(name, ec))
            return name;
    }
}

void syncFile(const std::filesystem::path& file)
{
    const int fd = ::open(file.c_str(), O_RDONLY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

void saveThroughTemporary(const std::filesystem::path& path, const std::string& shown,
                          const std::function<void(const std::filesystem::path&)>& write)
{
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        throw WorkbookError("Книга «" + shown + "» не сохранена: это папка");
    const auto temporary = temporaryName(path);
    try {
        CNumericLocale cLocale;
        if (!cLocale.active())
            throw WorkbookError("Книга «" + shown + "» не сохранена: нет локали «C» для записи чисел");
        write(temporary);
    } catch (...) {
        std::filesystem::remove(temporary, ec);
        throw;
    }
    syncFile(temporary);
    std::filesystem::rename(temporary, path, ec);
    if (ec) {
        std::filesystem::remove(temporary, ec);
        throw WorkbookError("Книга «" + shown + "» не сохранена: не удалось заменить файл (" + ec.message() + ")");
    }
}

void throwCloseError(lxw_error error, const std::string& shown)
{
    if (error == LXW_ERROR_CREATING_XLSX_FILE || error == LXW_ERROR_CREATING_TMPFILE)
        throw WorkbookError("Книга «" + shown + "» не сохранена: нельзя создать файл в ее папке");
    throw WorkbookError("Книга «" + shown + "» не сохранена: ошибка записи (" + std::string(lxw_strerror(error)) + ")");
}

} // namespace automation::lxw
