// SPDX-License-Identifier: GPL-3.0-or-later
#include "ziparchive.h"

#include <minizip/unzip.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "automation/readlimits.h"
#include "automation/workbook.h"
#include "automation/zipcontainer.h"

namespace automation {
namespace {

using MemoryFile = ZipMemoryFile;

voidpf ZCALLBACK memOpen(voidpf opaque, const void*, int)
{
    return opaque;
}

uLong ZCALLBACK memRead(voidpf, voidpf stream, void* buffer, uLong size)
{
    auto* file = static_cast<MemoryFile*>(stream);
    if (file->position >= file->data.size())
        return 0;
    const auto n = static_cast<uLong>(std::min<std::uint64_t>(size, file->data.size() - file->position));
    std::memcpy(buffer, file->data.data() + file->position, n);
    file->position += n;
    return n;
}

uLong ZCALLBACK memWrite(voidpf, voidpf, const void*, uLong)
{
    return 0;
}

ZPOS64_T ZCALLBACK memTell(voidpf, voidpf stream)
{
    return static_cast<MemoryFile*>(stream)->position;
}

long ZCALLBACK memSeek(voidpf, voidpf stream, ZPOS64_T offset, int origin)
{
    auto* file = static_cast<MemoryFile*>(stream);
    std::uint64_t base = 0;
    switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET:
        base = 0;
        break;
    case ZLIB_FILEFUNC_SEEK_CUR:
        base = file->position;
        break;
    case ZLIB_FILEFUNC_SEEK_END:
        base = file->data.size();
        break;
    default:
        return -1;
    }
    if (offset > file->data.size() || base + offset > file->data.size())
        return -1;
    file->position = base + offset;
    return 0;
}

int ZCALLBACK memClose(voidpf, voidpf)
{
    return 0;
}
int ZCALLBACK memError(voidpf, voidpf)
{
    return 0;
}

unzFile openMemoryZip(MemoryFile* file)
{
    zlib_filefunc64_def functions{};
    functions.zopen64_file = memOpen;
    functions.zread_file = memRead;
    functions.zwrite_file = memWrite;
    functions.ztell64_file = memTell;
    functions.zseek64_file = memSeek;
    functions.zclose_file = memClose;
    functions.zerror_file = memError;
    functions.opaque = file;
    return unzOpen2_64("", &functions);
}

std::string lowerAscii(std::string_view text)
{
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

} // namespace

ZipArchive::ZipArchive(std::string_view data, std::string where) : m_memory{data, 0}, m_where(std::move(where))
{
    // Every declared size and offset is checked before minizip follows any of them.
    checkZipContainer(data, m_where);
    // minizip keeps a pointer to m_memory, so the archive is neither copied nor moved.
    m_zip = openMemoryZip(&m_memory);
    if (!m_zip)
        throw WorkbookError(m_where + ": файл поврежден или не является книгой (архив не читается)");
    int rc = unzGoToFirstFile(m_zip);
    while (rc == UNZ_OK) {
        if (m_entries.size() >= limits::kZipEntries) {
            unzClose(m_zip);
            throw WorkbookError(m_where + ": в архиве слишком много файлов");
        }
        unz_file_info64 info{};
        char name[1024];
        if (unzGetCurrentFileInfo64(m_zip, &info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK)
            break;
        m_entries.emplace(std::string(name, strnlen(name, sizeof name)), unzGetOffset64(m_zip));
        rc = unzGoToNextFile(m_zip);
    }
    if (rc != UNZ_END_OF_LIST_OF_FILE) {
        unzClose(m_zip);
        throw WorkbookError(m_where + ": файл поврежден (оглавление архива не читается)");
    }
}

ZipArchive::~ZipArchive()
{
    if (m_zip)
        unzClose(m_zip);
}

const std::string* ZipArchive::find(std::string_view name) const
{
    if (auto it = m_entries.find(std::string(name)); it != m_entries.end())
        return &it->first;
    const std::string wanted = lowerAscii(name);
    for (const auto& entry : m_entries) {
        if (lowerAscii(entry.first) == wanted)
            return &entry.first;
    }
    return nullptr;
}

bool ZipArchive::contains(std::string_view name) const
{
    return find(name) != nullptr;
}

void ZipArchive::read(std::string_view name, const Sink& sink)
{
    const std::string* entry = find(name);
    if (!entry)
        throw WorkbookError(m_where + ": в книге нет части «" + std::string(name) + "»");
    const std::string damaged = m_where + ": файл поврежден (часть «" + *entry + "» не читается)";
    if (unzSetOffset64(m_zip, m_entries.at(*entry)) != UNZ_OK)
        throw WorkbookError(damaged);
    unz_file_info64 info{};
    if (unzGetCurrentFileInfo64(m_zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
        throw WorkbookError(damaged);
    if (info.flag & 1u)
        throw WorkbookError(m_where + ": книга зашифрована");
    if (unzOpenCurrentFile(m_zip) != UNZ_OK)
        throw WorkbookError(damaged);
    // Left unzeroed: unzReadCurrentFile fills what it reports, and a part is read through it.
    constexpr unsigned kChunk = 64 * 1024;
    const auto buffer = std::make_unique_for_overwrite<char[]>(kChunk);
    std::uint64_t entryRead = 0;
    try {
        for (;;) {
            const int n = unzReadCurrentFile(m_zip, buffer.get(), kChunk);
            if (n < 0)
                throw WorkbookError(damaged);
            if (n == 0)
                break;
            entryRead += static_cast<unsigned>(n);
            m_totalRead += static_cast<unsigned>(n);
            if (entryRead > limits::kEntryBytes || m_totalRead > limits::kTotalUnzippedBytes)
                throw WorkbookError(m_where + ": распакованные данные книги слишком велики (более "
                                    + std::to_string(limits::kTotalUnzippedBytes >> 20) + " МБ)");
            sink(buffer.get(), static_cast<std::size_t>(n));
        }
    } catch (...) {
        unzCloseCurrentFile(m_zip);
        throw;
    }
    if (unzCloseCurrentFile(m_zip) != UNZ_OK)
        throw WorkbookError(damaged);
}

std::string ZipArchive::readAll(std::string_view name, std::size_t maxBytes)
{
    std::string out;
    read(name, [&](const char* data, std::size_t size) {
        if (out.size() + size > maxBytes)
            throw WorkbookError(m_where + ": часть «" + std::string(name) + "» слишком велика");
        out.append(data, size);
    });
    return out;
}

} // namespace automation
