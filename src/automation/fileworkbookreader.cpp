// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileworkbookreader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>

#include "automation/cfbreader.h"
#include "automation/odsworkbook.h"
#include "automation/readlimits.h"
#include "automation/readmessages.h"
#include "automation/xlsworkbook.h"
#include "automation/xlsxworkbook.h"
#include "automation/ziparchive.h"

namespace automation {
namespace {

enum class Format { Xls, Xlsx, Ods };

std::string readFile(const std::filesystem::path& path)
{
    const std::string where = fileLabel(path);
    // What is not a regular file is refused before it is opened: opening a FIFO to read would
    // take it from its writer, and a device is no workbook.
    struct stat before {};
    if (::stat(path.c_str(), &before) == 0 && !S_ISREG(before.st_mode))
        throw WorkbookError(where
                            + (S_ISDIR(before.st_mode) ? ": это папка, а не файл книги" : ": это не обычный файл"));
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR)
            throw WorkbookError(where + ": файл не найден");
        if (error == EACCES || error == EPERM)
            throw WorkbookError(where + ": нет прав на чтение файла");
        throw WorkbookError(where + ": файл не открывается (код ошибки " + std::to_string(error) + ")");
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        throw WorkbookError(where + ": файл не читается");
    if (S_ISDIR(info.st_mode))
        throw WorkbookError(where + ": это папка, а не файл книги");
    if (!S_ISREG(info.st_mode))
        throw WorkbookError(where + ": это не обычный файл");
    if (static_cast<std::uintmax_t>(info.st_size) > limits::kFileBytes)
        throw WorkbookError(where + ": файл слишком велик для книги (более " + std::to_string(limits::kFileBytes >> 20)
                            + " МБ)");
    std::string bytes;
    bytes.resize(static_cast<std::size_t>(info.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw WorkbookError(where + ": ошибка чтения файла");
        if (n == 0)
            break; // the file shrank while being read: what was read is judged by its content
        done += static_cast<std::size_t>(n);
    }
    bytes.resize(done);
    return bytes;
}

std::string lowerExtension(const std::filesystem::path& path)
{
    std::string ext = path.extension().string();
    for (char& c : ext)
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    return ext;
}

Format zipFormat(const std::string& bytes, const std::filesystem::path& path)
{
    const std::string where = fileLabel(path);
    ZipArchive zip(bytes, where);
    bool ods = false;
    if (zip.contains("mimetype")) {
        const std::string mime = zip.readAll("mimetype", 256);
        if (mime.rfind("application/vnd.oasis.opendocument.spreadsheet", 0) == 0)
            ods = true;
        else if (mime.rfind("application/vnd.oasis.opendocument.", 0) == 0)
            throw WorkbookError(where + ": документ OpenDocument не является электронной таблицей");
    }
    ods = ods || zip.contains("content.xml");
    const bool xlsx = zip.contains("[Content_Types].xml") || zip.contains("xl/workbook.xml");
    if (ods && xlsx)
        return lowerExtension(path) == ".ods" ? Format::Ods : Format::Xlsx;
    if (ods)
        return Format::Ods;
    if (xlsx)
        return Format::Xlsx;
    throw WorkbookError(where + ": архив не является книгой .xlsx или .ods");
}

} // namespace

std::unique_ptr<Workbook> FileWorkbookReader::open(const std::filesystem::path& path) const
{
    const std::string where = fileLabel(path);
    try {
        std::string bytes = readFile(path);
        if (bytes.empty())
            throw WorkbookError(where + ": файл пуст");
        if (CfbReader::hasSignature(bytes))
            return std::make_unique<XlsWorkbook>(bytes, path);
        if (bytes.rfind("PK", 0) == 0) {
            if (zipFormat(bytes, path) == Format::Ods)
                return std::make_unique<OdsWorkbook>(bytes, path);
            return std::make_unique<XlsxWorkbook>(std::move(bytes), path);
        }
        throw WorkbookError(where + ": файл не является книгой .xls, .xlsx или .ods (неизвестный формат)");
    } catch (const std::bad_alloc&) {
        throw WorkbookError(where + ": не хватает памяти для чтения книги");
    }
}

std::unique_ptr<WorkbookReader> makeFileWorkbookReader()
{
    return std::make_unique<FileWorkbookReader>();
}

} // namespace automation
