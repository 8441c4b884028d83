// SPDX-License-Identifier: GPL-3.0-or-later
#include "zipcontainer.h"

#include <algorithm>
#include <optional>

#include "automation/readlimits.h"
#include "automation/workbook.h"

namespace automation {
namespace {

constexpr std::uint32_t kLocalHeader = 0x04034b50;
constexpr std::uint32_t kCentralHeader = 0x02014b50;
constexpr std::uint32_t kEndRecord = 0x06054b50;
constexpr std::uint32_t kZip64EndRecord = 0x06064b50;
constexpr std::uint32_t kZip64Locator = 0x07064b50;
constexpr std::uint32_t kDescriptor = 0x08074b50;
constexpr std::uint16_t kZip64ExtraId = 0x0001;

constexpr std::uint64_t kLocalHeaderBytes = 30;
constexpr std::uint64_t kCentralHeaderBytes = 46;
constexpr std::uint64_t kEndRecordBytes = 22;
constexpr std::uint64_t kZip64EndRecordBytes = 56;
constexpr std::uint64_t kZip64LocatorBytes = 20;
// zip readers look for the end record (and the ZIP64 locator) this far back from the end.
constexpr std::uint64_t kEndSearchBytes = 0xFFFF;
constexpr std::uint32_t kSaturated32 = 0xFFFFFFFF;
constexpr std::uint16_t kSaturated16 = 0xFFFF;
// deflate cannot expand its input more than 1032 times.
constexpr std::uint64_t kDeflateRatio = 1032;

constexpr std::uint16_t kEncrypted = 1;
constexpr std::uint16_t kHasDescriptor = 8;
constexpr std::uint16_t kStored = 0;
constexpr std::uint16_t kDeflated = 8;

// Little-endian fields of the archive, each read only after its range is checked.
class Bytes {
public:
    explicit Bytes(std::string_view data) : m_data(data) {}

    std::uint64_t size() const { return m_data.size(); }
    // Whether [offset, offset + length) lies within [0, end) and within the data.
    bool fits(std::uint64_t offset, std::uint64_t length, std::uint64_t end) const
    {
        end = std::min<std::uint64_t>(end, m_data.size());
        return offset <= end && length <= end - offset;
    }
    std::uint64_t value(std::uint64_t offset, int bytes) const
    {
        std::uint64_t v = 0;
        for (int i = bytes - 1; i >= 0; --i)
            v = (v << 8) | static_cast<unsigned char>(m_data[offset + static_cast<std::uint64_t>(i)]);
        return v;
    }
    std::uint16_t u16(std::uint64_t offset) const { return static_cast<std::uint16_t>(value(offset, 2)); }
    std::uint32_t u32(std::uint64_t offset) const { return static_cast<std::uint32_t>(value(offset, 4)); }
    std::uint64_t u64(std::uint64_t offset) const { return value(offset, 8); }
    bool signatureAt(std::uint64_t offset, std::uint32_t signature) const
    {
        return fits(offset, 4, m_data.size()) && u32(offset) == signature;
    }
    // The last offset at or after `from` where `signature` starts, if any.
    std::optional<std::uint64_t> lastSignature(std::uint32_t signature, std::uint64_t from) const
    {
        if (m_data.size() < 4)
            return std::nullopt;
        for (std::uint64_t p = m_data.size() - 3; p-- > from;) {
            if (u32(p) == signature)
                return p;
        }
        return std::nullopt;
    }
    std::string_view text(std::uint64_t offset, std::uint64_t length) const { return m_data.substr(offset, length); }

private:
    std::string_view m_data;
};

// The ZIP64 extended information field within [offset, offset + length), if any; a field whose
// length runs past the extra data is damage.
struct ExtraBlock {
    std::uint64_t offset;
    std::uint16_t length;
};

class ContainerCheck {
public:
    ContainerCheck(std::string_view data, const std::string& where) : m_bytes(data), m_where(where) {}

    std::vector<ZipEntryLayout> run()
    {
        readEnd();
        readCentralDirectory();
        for (ZipEntryLayout& entry : m_entries)
            readLocalHeader(entry);
        checkNoOverlap();
        return std::move(m_entries);
    }

private:
    [[noreturn]] void damaged(const std::string& reason) const
    {
        throw WorkbookError(m_where + ": файл поврежден (" + reason + ")");
    }
    [[noreturn]] void entryDamaged(const ZipEntryLayout& entry, const std::string& reason) const
    {
        damaged("часть «" + entry.name + "» в архиве: " + reason);
    }

    // The end record, and the ZIP64 end record when the archive has one, as minizip finds them:
    // the last signature within the last 64 KB.
    void readEnd()
    {
        const std::uint64_t from = m_bytes.size() > kEndSearchBytes ? m_bytes.size() - kEndSearchBytes : 0;
        const auto end = m_bytes.lastSignature(kEndRecord, from);
        if (!end || !m_bytes.fits(*end, kEndRecordBytes, m_bytes.size()))
            throw WorkbookError(m_where + ": файл поврежден или не является книгой (архив не читается)");
        const std::uint64_t e = *end;
        if (!m_bytes.fits(e + kEndRecordBytes, m_bytes.u16(e + 20), m_bytes.size()))
            damaged("комментарий архива выходит за конец файла");
        std::uint64_t disk = m_bytes.u16(e + 4);
        std::uint64_t directoryDisk = m_bytes.u16(e + 6);
        std::uint64_t entriesHere = m_bytes.u16(e + 8);
        std::uint64_t entries = m_bytes.u16(e + 10);
        std::uint64_t directorySize = m_bytes.u32(e + 12);
        std::uint64_t directoryOffset = m_bytes.u32(e + 16);
        m_directoryEnd = e;

        if (const auto zip64 = zip64EndRecord()) {
            const std::uint64_t r = *zip64;
            // The locator sits right before the end record, the ZIP64 end record right before it.
            const std::uint64_t locator = e >= kZip64LocatorBytes ? e - kZip64LocatorBytes : m_bytes.size();
            if (!m_bytes.signatureAt(locator, kZip64Locator) || m_bytes.u64(locator + 8) != r
                || !m_bytes.fits(r, kZip64EndRecordBytes, locator) || m_bytes.u64(r + 4) != locator - r - 12)
                damaged("записи ZIP64 в конце архива не сходятся");
            // A field of the end record either holds the value or says it is in the ZIP64 record.
            const std::uint64_t values[][3] = {{disk, m_bytes.u32(r + 16), kSaturated16},
                                               {directoryDisk, m_bytes.u32(r + 20), kSaturated16},
                                               {entriesHere, m_bytes.u64(r + 24), kSaturated16},
                                               {entries, m_bytes.u64(r + 32), kSaturated16},
                                               {directorySize, m_bytes.u64(r + 40), kSaturated32},
                                               {directoryOffset, m_bytes.u64(r + 48), kSaturated32}};
            for (const auto& [inEnd, inZip64, saturated] : values) {
                if (inEnd != inZip64 && inEnd != saturated)
                    damaged("записи ZIP64 в конце архива не сходятся");
            }
            disk = values[0][1];
            directoryDisk = values[1][1];
            entriesHere = values[2][1];
            entries = values[3][1];
            directorySize = values[4][1];
            directoryOffset = values[5][1];
            m_directoryEnd = r;
        }
        if (disk != 0 || directoryDisk != 0 || entriesHere != entries)
            damaged("архив из нескольких томов");
        if (entries > limits::kZipEntries)
            throw WorkbookError(m_where + ": в архиве слишком много файлов");
        // The central directory ends where the end records begin: no bytes before the archive
        // shift the offsets, and no entry hides between the directory and its end.
        if (directoryOffset > m_directoryEnd || directorySize != m_directoryEnd - directoryOffset
            || entries * kCentralHeaderBytes > directorySize)
            damaged("оглавление архива не на своем месте");
        m_entryCount = entries;
        m_directoryOffset = directoryOffset;
    }

    // Where minizip takes the ZIP64 end record from: the last locator within the last 64 KB,
    // if it names the first volume, one volume in all, and a ZIP64 end record signature.
    std::optional<std::uint64_t> zip64EndRecord() const
    {
        const std::uint64_t from = m_bytes.size() > kEndSearchBytes ? m_bytes.size() - kEndSearchBytes : 0;
        const auto locator = m_bytes.lastSignature(kZip64Locator, from);
        if (!locator || !m_bytes.fits(*locator, kZip64LocatorBytes, m_bytes.size()))
            return std::nullopt;
        const std::uint64_t record = m_bytes.u64(*locator + 8);
        if (m_bytes.u32(*locator + 4) != 0 || m_bytes.u32(*locator + 16) != 1
            || !m_bytes.signatureAt(record, kZip64EndRecord))
            return std::nullopt;
        return record;
    }

    std::optional<ExtraBlock> zip64Extra(const ZipEntryLayout& entry, std::uint64_t offset, std::uint64_t length) const
    {
        std::optional<ExtraBlock> found;
        const std::uint64_t end = offset + length;
        while (m_bytes.fits(offset, 4, end)) {
            const std::uint16_t id = m_bytes.u16(offset);
            const std::uint16_t size = m_bytes.u16(offset + 2);
            if (!m_bytes.fits(offset + 4, size, end))
                entryDamaged(entry, "дополнительные сведения выходят за свои границы");
            if (id == kZip64ExtraId && !found)
                found = ExtraBlock{offset + 4, size};
            offset += 4 + size;
        }
        return found;
    }

    void readCentralDirectory()
    {
        std::uint64_t p = m_directoryOffset;
        std::uint64_t total = 0;
        for (std::uint64_t i = 0; i < m_entryCount; ++i) {
            if (!m_bytes.fits(p, kCentralHeaderBytes, m_directoryEnd) || m_bytes.u32(p) != kCentralHeader)
                damaged("оглавление архива не читается");
            const std::uint64_t nameLength = m_bytes.u16(p + 28);
            const std::uint64_t extraLength = m_bytes.u16(p + 30);
            const std::uint64_t commentLength = m_bytes.u16(p + 32);
            if (!m_bytes.fits(p + kCentralHeaderBytes, nameLength + extraLength + commentLength, m_directoryEnd))
                damaged("оглавление архива не читается");
            ZipEntryLayout entry;
            entry.name = std::string(m_bytes.text(p + kCentralHeaderBytes, nameLength));
            entry.flags = m_bytes.u16(p + 8);
            entry.method = m_bytes.u16(p + 10);
            entry.crc = m_bytes.u32(p + 16);
            entry.compressedSize = m_bytes.u32(p + 20);
            entry.uncompressedSize = m_bytes.u32(p + 24);
            std::uint64_t disk = m_bytes.u16(p + 34);
            entry.headerOffset = m_bytes.u32(p + 42);
            // Values too large for their field are in the ZIP64 field, in this order.
            if (entry.uncompressedSize == kSaturated32 || entry.compressedSize == kSaturated32
                || entry.headerOffset == kSaturated32 || disk == kSaturated16) {
                const auto extra = zip64Extra(entry, p + kCentralHeaderBytes + nameLength, extraLength);
                if (!extra)
                    entryDamaged(entry, "нет сведений ZIP64");
                std::uint64_t q = extra->offset;
                const std::uint64_t end = extra->offset + extra->length;
                auto take = [&](std::uint64_t& value, int bytes) {
                    if (!m_bytes.fits(q, static_cast<std::uint64_t>(bytes), end))
                        entryDamaged(entry, "сведения ZIP64 неполны");
                    value = m_bytes.value(q, bytes);
                    q += static_cast<std::uint64_t>(bytes);
                };
                if (entry.uncompressedSize == kSaturated32)
                    take(entry.uncompressedSize, 8);
                if (entry.compressedSize == kSaturated32)
                    take(entry.compressedSize, 8);
                if (entry.headerOffset == kSaturated32)
                    take(entry.headerOffset, 8);
                if (disk == kSaturated16)
                    take(disk, 4);
            } else {
                zip64Extra(entry, p + kCentralHeaderBytes + nameLength, extraLength); // bounds only
            }
            if (disk != 0)
                damaged("архив из нескольких томов");
            checkSizes(entry, total);
            m_entries.push_back(std::move(entry));
            p += kCentralHeaderBytes + nameLength + extraLength + commentLength;
        }
        if (p != m_directoryEnd)
            damaged("размер оглавления архива не сходится с его записями");
    }

    // Declared sizes against the limits and against each other; the data's place is checked
    // with the local header.
    void checkSizes(const ZipEntryLayout& entry, std::uint64_t& total) const
    {
        if (entry.uncompressedSize > limits::kEntryBytes
            || entry.uncompressedSize > limits::kTotalUnzippedBytes - total)
            throw WorkbookError(m_where + ": распакованные данные книги слишком велики (более "
                                + std::to_string(limits::kTotalUnzippedBytes >> 20) + " МБ)");
        total += entry.uncompressedSize;
        if (entry.compressedSize > m_directoryOffset)
            entryDamaged(entry, "размер больше архива");
        if (entry.flags & kEncrypted)
            return; // refused when read, as encrypted
        if ((entry.method == kStored && entry.compressedSize != entry.uncompressedSize)
            || (entry.method == kDeflated && entry.uncompressedSize > entry.compressedSize * kDeflateRatio))
            entryDamaged(entry, "размеры не сходятся");
    }

    // A value of the local header or the data descriptor: the central directory's, or zero when
    // a descriptor follows the data.
    static bool agrees(std::uint64_t local, std::uint64_t central, bool descriptor)
    {
        return local == central || (descriptor && local == 0);
    }

    void readLocalHeader(ZipEntryLayout& entry) const
    {
        const std::uint64_t h = entry.headerOffset;
        if (!m_bytes.fits(h, kLocalHeaderBytes, m_directoryOffset) || m_bytes.u32(h) != kLocalHeader)
            entryDamaged(entry, "заголовок не найден");
        const std::uint16_t flags = m_bytes.u16(h + 6);
        const std::uint64_t nameLength = m_bytes.u16(h + 26);
        const std::uint64_t extraLength = m_bytes.u16(h + 28);
        if (nameLength != entry.name.size() || m_bytes.u16(h + 8) != entry.method)
            entryDamaged(entry, "заголовок не сходится с оглавлением");
        entry.dataOffset = h + kLocalHeaderBytes + nameLength + extraLength;
        if (!m_bytes.fits(h + kLocalHeaderBytes, nameLength + extraLength, m_directoryOffset)
            || !m_bytes.fits(entry.dataOffset, entry.compressedSize, m_directoryOffset))
            entryDamaged(entry, "данные выходят за конец архива");

        const bool descriptor = (flags & kHasDescriptor) != 0;
        // A size of all ones is in the local header's ZIP64 field, which carries both sizes.
        // Otherwise that field is not read (minizip writes it with zeros when the sizes fit).
        std::uint64_t compressed = m_bytes.u32(h + 18);
        std::uint64_t uncompressed = m_bytes.u32(h + 22);
        if (compressed == kSaturated32 || uncompressed == kSaturated32) {
            const auto extra = zip64Extra(entry, h + kLocalHeaderBytes + nameLength, extraLength);
            if (!extra || extra->length < 16)
                entryDamaged(entry, "нет сведений ZIP64");
            if (uncompressed == kSaturated32)
                uncompressed = m_bytes.u64(extra->offset);
            if (compressed == kSaturated32)
                compressed = m_bytes.u64(extra->offset + 8);
        } else {
            zip64Extra(entry, h + kLocalHeaderBytes + nameLength, extraLength); // bounds only
        }
        if (!agrees(m_bytes.u32(h + 14), entry.crc, descriptor) || !agrees(compressed, entry.compressedSize, descriptor)
            || !agrees(uncompressed, entry.uncompressedSize, descriptor))
            entryDamaged(entry, "заголовок не сходится с оглавлением");

        entry.end = entry.dataOffset + entry.compressedSize;
        if (descriptor)
            readDescriptor(entry);
    }

    // The data descriptor after the data: an optional signature, the CRC, then both sizes in
    // four bytes each, or eight in a ZIP64 archive. It must repeat the central directory.
    void readDescriptor(ZipEntryLayout& entry) const
    {
        auto repeats = [&](std::uint64_t at) -> std::optional<std::uint64_t> {
            if (m_bytes.fits(at, 12, m_directoryOffset) && m_bytes.u32(at) == entry.crc
                && m_bytes.u32(at + 4) == entry.compressedSize && m_bytes.u32(at + 8) == entry.uncompressedSize)
                return at + 12;
            if (m_bytes.fits(at, 20, m_directoryOffset) && m_bytes.u32(at) == entry.crc
                && m_bytes.u64(at + 4) == entry.compressedSize && m_bytes.u64(at + 12) == entry.uncompressedSize)
                return at + 20;
            return std::nullopt;
        };
        std::optional<std::uint64_t> end;
        if (m_bytes.fits(entry.end, 4, m_directoryOffset) && m_bytes.u32(entry.end) == kDescriptor)
            end = repeats(entry.end + 4);
        if (!end)
            end = repeats(entry.end);
        if (!end)
            entryDamaged(entry, "описание данных не сходится с оглавлением");
        entry.end = *end;
    }

    // Two entries may not share bytes: an overlapping archive expands the same data many times.
    void checkNoOverlap() const
    {
        std::vector<const ZipEntryLayout*> byOffset;
        for (const ZipEntryLayout& entry : m_entries)
            byOffset.push_back(&entry);
        std::sort(byOffset.begin(), byOffset.end(),
                  [](const auto* a, const auto* b) { return a->headerOffset < b->headerOffset; });
        for (std::size_t i = 1; i < byOffset.size(); ++i) {
            if (byOffset[i - 1]->end > byOffset[i]->headerOffset)
                damaged("части «" + byOffset[i - 1]->name + "» и «" + byOffset[i]->name + "» в архиве перекрываются");
        }
    }

    Bytes m_bytes;
    const std::string& m_where;
    std::uint64_t m_entryCount = 0;
    std::uint64_t m_directoryOffset = 0;
    std::uint64_t m_directoryEnd = 0; // where the end records begin
    std::vector<ZipEntryLayout> m_entries;
};

} // namespace

std::vector<ZipEntryLayout> checkZipContainer(std::string_view data, const std::string& where)
{
    return ContainerCheck(data, where).run();
}

} // namespace automation
