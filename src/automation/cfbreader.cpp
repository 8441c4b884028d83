// SPDX-License-Identifier: GPL-3.0-or-later
#include "cfbreader.h"

#include <cstdint>
#include <vector>

#include "automation/workbook.h"

namespace automation {
namespace {

constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kMaxRegularSector = 0xFFFFFFFA;
constexpr char kSignature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";

class Container {
public:
    Container(std::string_view data, const std::string& where) : m_data(data), m_where(where)
    {
        if (data.size() < 512)
            fail("файл обрывается");
        const unsigned shift = u16(0x1E);
        const unsigned miniShift = u16(0x20);
        if ((shift != 9 && shift != 12) || miniShift != 6)
            fail("неверный заголовок");
        m_sectorSize = std::size_t{1} << shift;
        m_sectorCount = (data.size() - m_sectorSize) / m_sectorSize; // a partial last sector is unused
        if (data.size() < m_sectorSize)
            fail("файл обрывается");
        readFat();
    }

    // A regular chain from `start`, `size` bytes long (the chain may be longer).
    std::string regularChain(std::uint32_t start, std::uint64_t size) const
    {
        return chain(start, size, m_fat, m_sectorSize, [&](std::uint32_t s) { return sector(s); });
    }

    std::optional<std::string> stream(std::string_view wanted)
    {
        const std::string directory = regularChain(u32(0x30), UINT64_MAX);
        checkMiniStream(directory);
        std::optional<std::size_t> found;
        for (std::size_t e = 0; e + 128 <= directory.size(); e += 128) {
            const std::string_view entry(directory.data() + e, 128);
            const unsigned nameBytes = get16(entry, 0x40);
            // A name holds at most 32 UTF-16 characters, the terminating zero included.
            if (nameBytes > 64 || nameBytes % 2 != 0)
                fail("неверная длина имени в каталоге");
            if (nameBytes < 2 || static_cast<unsigned char>(entry[0x42]) != 2)
                continue;
            std::string name;
            for (unsigned k = 0; k + 2 < nameBytes; k += 2) {
                const unsigned ch = get16(entry, k);
                name += ch < 0x80 ? static_cast<char>(ch >= 'a' && ch <= 'z' ? ch - 32 : ch) : '?';
            }
            std::string upper(wanted);
            for (char& c : upper)
                c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
            if (name == upper && !found)
                found = e;
        }
        if (!found)
            return std::nullopt;
        const std::string_view entry(directory.data() + *found, 128);
        const std::uint32_t start = get32(entry, 0x74);
        std::uint64_t size = get32(entry, 0x78);
        if (m_sectorSize == 4096)
            size |= static_cast<std::uint64_t>(get32(entry, 0x7C)) << 32;
        if (size > m_data.size())
            fail("размер потока больше файла");
        if (size >= u32(0x38))
            return regularChain(start, size);
        return miniChain(start, size, directory);
    }

private:
    // The mini stream (kept in the root entry's chain) and the mini FAT are walked at open,
    // whatever stream is wanted: a declared size without a valid chain behind it is damage.
    void checkMiniStream(const std::string& directory) const
    {
        if (directory.size() < 128)
            fail("каталог пуст");
        const std::string_view root(directory.data(), 128);
        const std::uint64_t rootSize = get32(root, 0x78);
        if (rootSize > m_data.size())
            fail("размер мини-потока больше файла");
        if (rootSize > 0)
            (void)regularChain(get32(root, 0x74), rootSize);
        const std::uint64_t miniFatBytes = static_cast<std::uint64_t>(u32(0x40)) * m_sectorSize;
        if (miniFatBytes > m_data.size())
            fail("размер мини-FAT больше файла");
        if (miniFatBytes > 0)
            (void)regularChain(u32(0x3C), miniFatBytes);
    }

    [[noreturn]] void fail(const std::string& reason) const
    {
        throw WorkbookError(m_where + ": файл поврежден (контейнер OLE: " + reason + ")");
    }
    static unsigned get16(std::string_view d, std::size_t at)
    {
        return static_cast<unsigned char>(d[at]) | static_cast<unsigned char>(d[at + 1]) << 8;
    }
    static std::uint32_t get32(std::string_view d, std::size_t at)
    {
        return get16(d, at) | static_cast<std::uint32_t>(get16(d, at + 2)) << 16;
    }
    unsigned u16(std::size_t at) const { return get16(m_data, at); }
    std::uint32_t u32(std::size_t at) const { return get32(m_data, at); }

    std::string_view sector(std::uint32_t s) const
    {
        if (s >= m_sectorCount)
            fail("ссылка на сектор за концом файла");
        return m_data.substr((static_cast<std::size_t>(s) + 1) * m_sectorSize, m_sectorSize);
    }

    void readFat()
    {
        const std::uint32_t fatSectors = u32(0x2C);
        if (fatSectors > m_sectorCount)
            fail("неверное число секторов FAT");
        std::vector<std::uint32_t> fatList;
        for (unsigned i = 0; i < 109 && fatList.size() < fatSectors; ++i)
            fatList.push_back(u32(0x4C + 4 * i));
        std::uint32_t difat = u32(0x44);
        std::size_t steps = 0;
        while (fatList.size() < fatSectors) {
            if (difat > kMaxRegularSector || ++steps > m_sectorCount)
                fail("цепочка DIFAT оборвана или зациклена");
            const std::string_view d = sector(difat);
            const std::size_t perSector = m_sectorSize / 4 - 1;
            for (std::size_t i = 0; i < perSector && fatList.size() < fatSectors; ++i)
                fatList.push_back(get32(d, 4 * i));
            difat = get32(d, 4 * perSector);
        }
        m_fat.reserve(fatList.size() * (m_sectorSize / 4));
        for (std::uint32_t s : fatList) {
            const std::string_view d = sector(s);
            for (std::size_t i = 0; i < m_sectorSize / 4; ++i)
                m_fat.push_back(get32(d, 4 * i));
        }
    }

    template <typename SectorAt>
    std::string chain(std::uint32_t start, std::uint64_t size, const std::vector<std::uint32_t>& fat, std::size_t unit,
                      SectorAt sectorAt) const
    {
        std::string out;
        std::vector<bool> visited(fat.size());
        std::uint32_t s = start;
        while (s != kEndOfChain && out.size() < size) {
            if (s >= fat.size() || visited[s])
                fail("цепочка секторов оборвана или зациклена");
            visited[s] = true;
            const std::string_view bytes = sectorAt(s);
            if (bytes.size() < unit)
                fail("ссылка на сектор за концом файла");
            out.append(bytes);
            s = fat[s];
        }
        if (size != UINT64_MAX) {
            if (out.size() < size)
                fail("поток короче заявленного");
            out.resize(static_cast<std::size_t>(size));
        }
        return out;
    }

    std::string miniChain(std::uint32_t start, std::uint64_t size, const std::string& directory) const
    {
        if (directory.size() < 128)
            fail("нет корневого каталога");
        const std::string_view root(directory.data(), 128);
        const std::uint64_t rootSize = get32(root, 0x78);
        if (rootSize > m_data.size())
            fail("размер мини-потока больше файла");
        const std::string miniStream = regularChain(get32(root, 0x74), rootSize);
        std::vector<std::uint32_t> miniFat;
        const std::string miniFatBytes = regularChain(u32(0x3C), static_cast<std::uint64_t>(u32(0x40)) * m_sectorSize);
        for (std::size_t i = 0; i + 4 <= miniFatBytes.size(); i += 4)
            miniFat.push_back(get32(miniFatBytes, i));
        return chain(start, size, miniFat, 64, [&](std::uint32_t s) {
            const std::size_t at = static_cast<std::size_t>(s) * 64;
            return at + 64 <= miniStream.size() ? std::string_view(miniStream).substr(at, 64) : std::string_view();
        });
    }

    std::string_view m_data;
    const std::string& m_where;
    std::size_t m_sectorSize = 512;
    std::size_t m_sectorCount = 0;
    std::vector<std::uint32_t> m_fat;
};

} // namespace

bool CfbReader::hasSignature(std::string_view data)
{
    return data.substr(0, 8) == std::string_view(kSignature, 8);
}

std::optional<std::string> CfbReader::readStream(std::string_view data, std::string_view name, const std::string& where)
{
    Container container(data, where);
    return container.stream(name);
}

} // namespace automation
