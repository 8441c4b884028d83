// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A zip archive held in memory (minizip over our own I/O callbacks), read entry by entry in
// chunks. Every byte decompressed counts against limits::kEntryBytes and, over the archive's
// life, limits::kTotalUnzippedBytes, whatever the entries declare: a zip bomb ends in a
// WorkbookError, not in exhausted memory. Entry names are looked up exactly, then ignoring
// ASCII case (package part names are case-insensitive).
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace automation {

// The archive's bytes and the read position of minizip's I/O callbacks.
struct ZipMemoryFile {
    std::string_view data;
    std::uint64_t position = 0;
};

class ZipArchive {
public:
    // `data` must outlive the archive; `where` prefixes every message («a.xlsx»).
    ZipArchive(std::string_view data, std::string where);
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    // True when the bytes open as a zip archive at all.
    static bool isZip(std::string_view data);

    bool contains(std::string_view name) const;

    using Sink = std::function<void(const char* data, std::size_t size)>;
    // Streams the decompressed entry to sink. Throws WorkbookError when the entry is missing,
    // damaged (CRC), encrypted or too large.
    void read(std::string_view name, const Sink& sink);
    // Throws when an entry declares more than the limits allow. For libraries that size their
    // buffers from the declared sizes (orcus) before reading.
    void checkDeclaredSizes() const;

    // The whole entry, for small ones; at most maxBytes.
    std::string readAll(std::string_view name, std::size_t maxBytes);

private:
    const std::string* find(std::string_view name) const;

    ZipMemoryFile m_memory;
    std::string m_where;
    void* m_zip = nullptr;
    struct Entry {
        std::uint64_t offset; // in the central directory
        std::uint64_t declaredSize;
    };
    std::map<std::string, Entry> m_entries;
    std::uint64_t m_totalRead = 0;
};

} // namespace automation
