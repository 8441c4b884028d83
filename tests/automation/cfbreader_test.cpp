// SPDX-License-Identifier: GPL-3.0-or-later
// The compound file reader on containers built here: a stream kept in the mini stream (real
// .xls files keep the workbook in regular sectors, so the fixtures do not reach this path) and
// broken chains.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "automation/cfbreader.h"
#include "automation/workbook.h"

using namespace automation;

namespace {

constexpr std::uint32_t kFree = 0xFFFFFFFF;
constexpr std::uint32_t kEnd = 0xFFFFFFFE;
constexpr std::uint32_t kFatSector = 0xFFFFFFFD;

void put16(std::string& b, std::size_t at, unsigned v)
{
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>(v >> 8 & 0xFF);
}
void put32(std::string& b, std::size_t at, std::uint32_t v)
{
    put16(b, at, v & 0xFFFF);
    put16(b, at + 2, v >> 16);
}

void directoryEntry(std::string& b, std::size_t at, const std::u16string& name, int type, std::uint32_t start,
                    std::uint32_t size)
{
    for (std::size_t i = 0; i < name.size(); ++i)
        put16(b, at + 2 * i, name[i]);
    put16(b, at + 0x40, static_cast<unsigned>(2 * (name.size() + 1)));
    b[at + 0x42] = static_cast<char>(type);
    put32(b, at + 0x44, kFree);
    put32(b, at + 0x48, kFree);
    put32(b, at + 0x4C, kFree);
    put32(b, at + 0x74, start);
    put32(b, at + 0x78, size);
}

// Header, then sector 0 FAT, 1 directory, 2 mini FAT, 3 mini stream. "Workbook" holds 100 bytes
// in mini sectors 0 and 1.
std::string miniStreamContainer()
{
    std::string b(512 * 5, '\0');
    b.replace(0, 8, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
    put16(b, 0x18, 0x3E);
    put16(b, 0x1A, 3);
    put16(b, 0x1C, 0xFFFE);
    put16(b, 0x1E, 9);
    put16(b, 0x20, 6);
    put32(b, 0x2C, 1);
    put32(b, 0x30, 1);
    put32(b, 0x38, 4096);
    put32(b, 0x3C, 2);
    put32(b, 0x40, 1);
    put32(b, 0x44, kEnd);
    put32(b, 0x4C, 0);
    for (int i = 1; i < 109; ++i)
        put32(b, 0x4C + 4 * static_cast<std::size_t>(i), kFree);
    const std::size_t fat = 512;
    for (int i = 0; i < 128; ++i)
        put32(b, fat + 4 * static_cast<std::size_t>(i), kFree);
    put32(b, fat + 0, kFatSector);
    put32(b, fat + 4, kEnd);
    put32(b, fat + 8, kEnd);
    put32(b, fat + 12, kEnd);
    const std::size_t dir = 1024;
    directoryEntry(b, dir, u"Root Entry", 5, 3, 512);
    directoryEntry(b, dir + 128, u"Workbook", 2, 0, 100);
    const std::size_t miniFat = 1536;
    for (int i = 0; i < 128; ++i)
        put32(b, miniFat + 4 * static_cast<std::size_t>(i), kFree);
    put32(b, miniFat + 0, 1);
    put32(b, miniFat + 4, kEnd);
    for (int i = 0; i < 100; ++i)
        b[2048 + static_cast<std::size_t>(i)] = static_cast<char>('a' + i % 26);
    return b;
}

TEST(CfbReader, ReadsAStreamFromTheMiniStream)
{
    const std::string container = miniStreamContainer();
    const auto stream = CfbReader::readStream(container, "workbook", "«t.xls»");
    ASSERT_TRUE(stream.has_value());
    ASSERT_EQ(stream->size(), 100u);
    EXPECT_EQ(stream->substr(0, 3), "abc");
    EXPECT_EQ((*stream)[99], 'a' + 99 % 26);
    EXPECT_FALSE(CfbReader::readStream(container, "Book", "«t.xls»").has_value());
}

TEST(CfbReader, BrokenMiniChainsFail)
{
    std::string cyclic = miniStreamContainer();
    put32(cyclic, 1536, 0); // mini sector 0 leads to itself
    EXPECT_THROW(CfbReader::readStream(cyclic, "Workbook", "«t.xls»"), WorkbookError);

    std::string beyond = miniStreamContainer();
    put32(beyond, 1536, 500); // mini sector 0 leads past the mini stream
    EXPECT_THROW(CfbReader::readStream(beyond, "Workbook", "«t.xls»"), WorkbookError);

    std::string tooLong = miniStreamContainer();
    put32(tooLong, 1024 + 128 + 0x78, 4000); // more than its chain holds
    EXPECT_THROW(CfbReader::readStream(tooLong, "Workbook", "«t.xls»"), WorkbookError);

    EXPECT_THROW(CfbReader::readStream(miniStreamContainer().substr(0, 300), "Workbook", "«t.xls»"), WorkbookError);
}

} // namespace
