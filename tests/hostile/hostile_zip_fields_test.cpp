// SPDX-License-Identifier: GPL-3.0-or-later
// Damaged zip containers, generated: in a good workbook, each size and offset field of the end
// records, of every central directory entry, of every local header (and its ZIP64 field) and of
// every data descriptor is set past the end of the file, to about 4 GB and to the ZIP64 marker,
// one at a time. Each
// such file must be refused with a read error naming it, with bounded memory (ctest's TIMEOUT
// bounds the time), whichever reader handles the format.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "automation/workbook.h"
#include "hostilesupport.h"

namespace hostile {
namespace {

namespace fs = std::filesystem;
constexpr std::size_t npos = std::string::npos;

struct Field {
    std::string what;
    std::size_t offset;
    int width; // bytes
    bool defers = false; // all ones is no damage: it says the value is in a ZIP64 field, present here
};

std::uint64_t readLe(const std::string& bytes, std::size_t offset, int width)
{
    std::uint64_t v = 0;
    for (int i = width - 1; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(bytes.at(offset + static_cast<std::size_t>(i)));
    return v;
}

void writeLe(std::string& bytes, std::size_t offset, int width, std::uint64_t value)
{
    for (int i = 0; i < width; ++i)
        bytes.at(offset + static_cast<std::size_t>(i)) = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// The ZIP64 field of a local header (uncompressed, then compressed size), or npos. It counts
// only when the header's own size fields are all ones.
std::size_t localZip64Sizes(const std::string& zip, std::size_t local)
{
    if (readLe(zip, local + 18, 8) != ~std::uint64_t(0))
        return npos;
    std::size_t p = local + 30 + readLe(zip, local + 26, 2);
    const std::size_t end = p + readLe(zip, local + 28, 2);
    for (; p + 4 <= end; p += 4 + readLe(zip, p + 2, 2)) {
        if (readLe(zip, p, 2) == 1 && readLe(zip, p + 2, 2) >= 16)
            return p + 4;
    }
    return npos;
}

// The size and offset fields of a well-formed archive.
std::vector<Field> sizeAndOffsetFields(const std::string& zip)
{
    const std::size_t end = zip.rfind(std::string("PK\x05\x06", 4));
    const bool zip64End = end >= 20 && zip.substr(end - 20, 4) == std::string("PK\x06\x07", 4);
    std::vector<Field> fields = {{"end: entries on this disk", end + 8, 2, zip64End},
                                 {"end: entries", end + 10, 2, zip64End},
                                 {"end: directory size", end + 12, 4, zip64End},
                                 {"end: directory offset", end + 16, 4, zip64End},
                                 {"end: comment length", end + 20, 2}};
    if (zip64End) {
        const std::size_t record = readLe(zip, end - 20 + 8, 8);
        fields.insert(fields.end(), {{"ZIP64 locator: end record offset", end - 20 + 8, 8},
                                     {"ZIP64 end: entries on this disk", record + 24, 8},
                                     {"ZIP64 end: entries", record + 32, 8},
                                     {"ZIP64 end: directory size", record + 40, 8},
                                     {"ZIP64 end: directory offset", record + 48, 8}});
    }
    std::size_t p = readLe(zip, end + 16, 4);
    for (std::uint64_t i = 0, n = readLe(zip, end + 10, 2); i < n; ++i) {
        const std::string name = zip.substr(p + 46, readLe(zip, p + 28, 2));
        const std::size_t local = readLe(zip, p + 42, 4);
        const std::uint64_t compressed = readLe(zip, p + 20, 4);
        const std::size_t zip64Sizes = localZip64Sizes(zip, local);
        fields.insert(fields.end(), {{name + ": directory compressed size", p + 20, 4},
                                     {name + ": directory uncompressed size", p + 24, 4},
                                     {name + ": directory name length", p + 28, 2},
                                     {name + ": directory extra length", p + 30, 2},
                                     {name + ": directory comment length", p + 32, 2},
                                     {name + ": local header offset", p + 42, 4},
                                     {name + ": local compressed size", local + 18, 4, zip64Sizes != npos},
                                     {name + ": local uncompressed size", local + 22, 4, zip64Sizes != npos},
                                     {name + ": local name length", local + 26, 2},
                                     {name + ": local extra length", local + 28, 2}});
        if (zip64Sizes != npos) {
            fields.insert(fields.end(), {{name + ": local ZIP64 uncompressed size", zip64Sizes, 8},
                                         {name + ": local ZIP64 compressed size", zip64Sizes + 8, 8}});
        }
        if (readLe(zip, local + 6, 2) & 8) {
            // A descriptor with its signature, as LibreOffice writes it.
            const std::size_t descriptor
                = local + 30 + readLe(zip, local + 26, 2) + readLe(zip, local + 28, 2) + compressed;
            EXPECT_EQ(zip.substr(descriptor, 4), std::string("PK\x07\x08", 4)) << name;
            fields.insert(fields.end(), {{name + ": descriptor compressed size", descriptor + 8, 4},
                                         {name + ": descriptor uncompressed size", descriptor + 12, 4}});
        }
        p += 46 + readLe(zip, p + 28, 2) + readLe(zip, p + 30, 2) + readLe(zip, p + 32, 2);
    }
    return fields;
}

struct Base {
    const char* name;
    const char* file;
};

const Base kBases[] = {
    {"Ods", "good.ods"},
    {"OdsWithDataDescriptors", "good-descriptors.ods"},
    {"Xlsx", "good.xlsx"},
    {"XlsxWithZip64Records", "good-zip64.xlsx"},
};

void PrintTo(const Base& base, std::ostream* out)
{
    *out << base.file;
}

// Opens the file and reads every sheet; the error message, or "" when all was read.
std::string readError(const fs::path& path)
{
    try {
        const auto book = automation::makeFileWorkbookReader()->open(path);
        for (int i = 1; i <= book->sheetCount(); ++i)
            book->usedRange(i);
    } catch (const automation::WorkbookError& e) {
        return e.what();
    }
    return "";
}

class DamagedZipField : public ::testing::TestWithParam<Base> {};

TEST_P(DamagedZipField, IsRefusedWithinBounds)
{
    const Base& base = GetParam();
    const std::string good = fileBytes(smallFile(base.file));
    ASSERT_FALSE(good.empty());
    WorkFolder work;
    const fs::path target = work.path() / ("damaged" + fs::path(base.file).extension().string());
    fs::copy_file(smallFile(base.file), target);
    ASSERT_EQ(readError(target), "") << "the unchanged file must read";

    const std::vector<Field> fields = sizeAndOffsetFields(good);
    const std::uint64_t pastEnd = good.size();
    for (const Field& field : fields) {
        std::vector<std::uint64_t> values = {0xFFFFu};
        if (field.width >= 4)
            values = {pastEnd, 0xFFFFFFF0u, 0xFFFFFFFFu};
        else if (pastEnd < 0xFFFFu)
            values.push_back(pastEnd);
        if (field.width == 8)
            values.push_back(std::uint64_t(1) << 40);
        const std::uint64_t allOnes
            = field.width == 8 ? ~std::uint64_t(0) : (std::uint64_t(1) << (8 * field.width)) - 1;
        for (const std::uint64_t value : values) {
            // An unchanged field, or an end record field deferring to a ZIP64 record, is no damage.
            if (value == readLe(good, field.offset, field.width) || (field.defers && value == allOnes))
                continue;
            SCOPED_TRACE(field.what + " set to " + std::to_string(value));
            std::string bytes = good;
            writeLe(bytes, field.offset, field.width, value);
            fs::remove(target);
            std::ofstream(target, std::ios::binary) << bytes;

            const double memoryBefore = peakMemoryMiB();
            const std::string error = readError(target);
            if (memoryIsMeasurable()) {
                EXPECT_LT(peakMemoryMiB() - memoryBefore, kMemoryBoundMiB) << "MiB taken";
            }
            EXPECT_NE(error.find(target.filename().string()), std::string::npos) << "not refused: " << error;
            EXPECT_TRUE(isValidUtf8(error)) << error;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Workbooks, DamagedZipField, ::testing::ValuesIn(kBases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace hostile
