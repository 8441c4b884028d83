// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A zip archive held in memory (minizip over our own I/O callbacks), read entry by entry in
// chunks. The archive's declared counts, sizes and offsets are checked first
// (checkZipContainer), so a damaged archive is refused before minizip follows any of them.
// Every byte decompressed counts against limits::kEntryBytes and, over the archive's life,
// limits::kTotalUnzippedBytes, whatever the entries declare: a zip bomb ends in a
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

    bool contains(std::string_view name) const;

    using Sink = std::function<void(const char* data, std::size_t size)>;
    // Streams the decompressed entry to sink. Throws WorkbookError when the entry is missing,
    // damaged (CRC), encrypted or too large.
    void read(std::string_view name, const Sink& sink);
    // The whole entry, for small ones; at most maxBytes.
    std::string readAll(std::string_view name, std::size_t maxBytes);

private:
    const std::string* find(std::string_view name) const;

    ZipMemoryFile m_memory;
    std::string m_where;
    void* m_zip = nullptr;
    std::map<std::string, std::uint64_t> m_entries; // name, offset in the central directory
    std::uint64_t m_totalRead = 0;
};

} // namespace automation
