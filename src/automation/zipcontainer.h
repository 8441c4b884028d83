// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The structure of a zip archive, read from its bytes and checked before any zip reader sees
// them. Every count, size and offset the archive declares (end record, ZIP64 records, central
// directory, local headers, data descriptors) is checked against the real size of the data,
// against the other copies of the same value, and against the read limits; entries may not
// overlap. A zip reader that follows any of these fields (minizip) then stays inside the data and
// inside the limits, whichever copy of a field it believes.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace automation {

struct ZipEntryLayout {
    std::string name;
    std::uint16_t flags = 0;
    std::uint16_t method = 0;
    std::uint32_t crc = 0;
    std::uint64_t compressedSize = 0;
    std::uint64_t uncompressedSize = 0;
    std::uint64_t headerOffset = 0; // of the local header
    std::uint64_t dataOffset = 0; // of the compressed data
    std::uint64_t end = 0; // after the data and its descriptor
};

// The entries in central directory order. Throws WorkbookError, prefixed with `where`, when the
// archive is damaged, declares more than the limits allow, or spans several volumes.
std::vector<ZipEntryLayout> checkZipContainer(std::string_view data, const std::string& where);

} // namespace automation
