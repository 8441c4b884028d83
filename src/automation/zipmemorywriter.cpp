// SPDX-License-Identifier: GPL-3.0-or-later
#include "zipmemorywriter.h"

#include <minizip/zip.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace automation {
namespace {

using Buffer = ZipMemoryWriter::Buffer;

voidpf ZCALLBACK bufferOpen(voidpf opaque, const void*, int)
{
    return opaque;
}

uLong ZCALLBACK bufferRead(voidpf, voidpf stream, void* out, uLong size)
{
    auto* buffer = static_cast<Buffer*>(stream);
    if (buffer->position >= buffer->bytes.size())
        return 0;
    const auto n = static_cast<uLong>(std::min<std::uint64_t>(size, buffer->bytes.size() - buffer->position));
    std::memcpy(out, buffer->bytes.data() + buffer->position, n);
    buffer->position += n;
    return n;
}

// Writes at the position, over what is there (minizip goes back to fill in sizes) or past it.
uLong ZCALLBACK bufferWrite(voidpf, voidpf stream, const void* data, uLong size)
{
    auto* buffer = static_cast<Buffer*>(stream);
    const std::uint64_t end = buffer->position + size;
    if (end > buffer->bytes.size())
        buffer->bytes.resize(end);
    std::memcpy(buffer->bytes.data() + buffer->position, data, size);
    buffer->position = end;
    return size;
}

ZPOS64_T ZCALLBACK bufferTell(voidpf, voidpf stream)
{
    return static_cast<Buffer*>(stream)->position;
}

long ZCALLBACK bufferSeek(voidpf, voidpf stream, ZPOS64_T offset, int origin)
{
    auto* buffer = static_cast<Buffer*>(stream);
    const std::uint64_t base = origin == ZLIB_FILEFUNC_SEEK_CUR   ? buffer->position
                               : origin == ZLIB_FILEFUNC_SEEK_END ? buffer->bytes.size()
                                                                  : 0;
    if (offset > buffer->bytes.size() || base + offset > buffer->bytes.size())
        return -1;
    buffer->position = base + offset;
    return 0;
}

int ZCALLBACK bufferClose(voidpf, voidpf)
{
    return 0;
}

int ZCALLBACK bufferError(voidpf, voidpf)
{
    return 0;
}

[[noreturn]] void failed(const char* what)
{
    throw std::runtime_error(std::string("zip writer: ") + what);
}

} // namespace

ZipMemoryWriter::ZipMemoryWriter()
{
    zlib_filefunc64_def functions{};
    functions.zopen64_file = bufferOpen;
    functions.zread_file = bufferRead;
    functions.zwrite_file = bufferWrite;
    functions.ztell64_file = bufferTell;
    functions.zseek64_file = bufferSeek;
    functions.zclose_file = bufferClose;
    functions.zerror_file = bufferError;
    functions.opaque = &m_buffer;
    m_zip = zipOpen2_64("", APPEND_STATUS_CREATE, nullptr, &functions);
    if (!m_zip)
        failed("open");
}

ZipMemoryWriter::~ZipMemoryWriter()
{
    if (m_zip)
        zipClose(m_zip, nullptr);
}

void ZipMemoryWriter::startEntry(const std::string& name)
{
    closeEntry();
    zip_fileinfo info{};
    // Fast deflate: the archive lives for one read, and a large part should not cost its size
    // twice in memory.
    if (zipOpenNewFileInZip64(m_zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, 1, 0) != ZIP_OK)
        failed("entry");
    m_inEntry = true;
}

void ZipMemoryWriter::write(const char* data, std::size_t size)
{
    while (size > 0) {
        const auto n = static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30));
        if (zipWriteInFileInZip(m_zip, data, n) != ZIP_OK)
            failed("write");
        data += n;
        size -= n;
    }
}

void ZipMemoryWriter::closeEntry()
{
    if (m_inEntry && zipCloseFileInZip(m_zip) != ZIP_OK)
        failed("entry");
    m_inEntry = false;
}

std::string ZipMemoryWriter::finish()
{
    closeEntry();
    const int rc = zipClose(m_zip, nullptr);
    m_zip = nullptr;
    if (rc != ZIP_OK)
        failed("close");
    return std::move(m_buffer.bytes);
}

} // namespace automation
