// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writes a zip archive into memory (minizip's writer over our own I/O callbacks), entry by
// entry, deflated. Used to hand a zip-reading library an archive made of bytes we have already
// decompressed and checked, with sizes and offsets that are right by construction, instead of
// the file's own declared ones.
#include <cstddef>
#include <cstdint>
#include <string>

namespace automation {

class ZipMemoryWriter {
public:
    ZipMemoryWriter();
    ~ZipMemoryWriter();
    ZipMemoryWriter(const ZipMemoryWriter&) = delete;
    ZipMemoryWriter& operator=(const ZipMemoryWriter&) = delete;

    // Starts an entry; the previous one, if any, is finished.
    void startEntry(const std::string& name);
    void write(const char* data, std::size_t size);
    // Finishes the archive and gives its bytes; the writer is then spent.
    std::string finish();

    struct Buffer {
        std::string bytes;
        std::uint64_t position = 0;
    };

private:
    void closeEntry();

    Buffer m_buffer;
    void* m_zip = nullptr;
    bool m_inEntry = false;
};

} // namespace automation
