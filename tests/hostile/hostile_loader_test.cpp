// SPDX-License-Identifier: GPL-3.0-or-later
// Hostile and broken locus workbooks through the loader. Each file goes into a data folder as
// D3S1358.<ext>, after a good bundled workbook (CSF1PO.xls) that sorts before it, and the folder
// is loaded for the US Caucasians. A refused file must give the read error on the first line and
// a second line naming the file and the reason, in valid UTF-8; no file may change; the memory
// the load takes stays bounded, and ctest's TIMEOUT bounds its time.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <ostream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "automation/workbook.h"
#include "freqdb/loadmessages.h"
#include "freqdb/locusloader.h"
#include "hostilesupport.h"
#include "text/numberformat.h"

namespace hostile {
namespace {

namespace fs = std::filesystem;
using freqdb::LoadStatus;

enum class Expect {
    Refused, // the read error, with the file and the reason
    Control, // loads, and D3S1358 holds the control table
    RefusedOrControl, // either, never anything else (a partial or altered table)
    RefusedOrLoaded, // either; a loaded table has short, valid labels
    LongLabels, // loads with labels cut to five characters
};

struct Case {
    const char* name; // test name
    const char* file;
    bool big = false; // made at test time
    Expect expect = Expect::Refused;
};

const Case kCases[] = {
    {"GoodXls", "good.xls", false, Expect::Control},
    {"GoodXlsx", "good.xlsx", false, Expect::Control},
    {"GoodOds", "good.ods", false, Expect::Control},
    {"GoodOdsWithDataDescriptors", "good-descriptors.ods", false, Expect::Control},
    {"GoodXlsxWithZip64Records", "good-zip64.xlsx", false, Expect::Control},
    {"TruncatedHalfXls", "truncated-half.xls"},
    {"TruncatedHalfXlsx", "truncated-half.xlsx"},
    {"TruncatedHalfOds", "truncated-half.ods"},
    {"TruncatedHeaderXls", "truncated-header.xls"},
    {"TruncatedHeaderXlsx", "truncated-header.xlsx"},
    {"TruncatedHeaderOds", "truncated-header.ods"},
    {"TruncatedLastByteXls", "truncated-last-byte.xls", false, Expect::RefusedOrControl},
    // Only the high byte of the zip comment's length is missing: every entry is whole.
    {"TruncatedLastByteXlsx", "truncated-last-byte.xlsx", false, Expect::RefusedOrControl},
    {"TruncatedLastByteOds", "truncated-last-byte.ods"},
    {"EmptyXls", "empty.xls"},
    {"EmptyXlsx", "empty.xlsx"},
    {"EmptyOds", "empty.ods"},
    {"ZipNotAWorkbookXlsx", "not-a-workbook.xlsx"},
    {"ZipNotAWorkbookOds", "not-a-workbook.ods"},
    {"ZipNamedXls", "zip-as.xls"},
    {"TextNamedXlsx", "text-as.xlsx"},
    {"TextNamedXls", "text-as.xls"},
    {"WorksheetPartMissing", "missing-part.xlsx"},
    {"EntityBombInSheet", "entity-bomb-sheet.xlsx"},
    {"EntityBombInSharedStrings", "entity-bomb-strings.xlsx"},
    {"EntityBombOds", "entity-bomb.ods"},
    {"ExternalEntity", "external-entity.xlsx"},
    {"DeclaredDimensionWholeSheet", "declared-dimension.xlsx", false, Expect::Control},
    {"CellInLastRowXlsx", "far-row.xlsx"},
    {"CellInLastRowOds", "far-row.ods"},
    {"CellInLastRowXls", "far-row.xls"},
    {"CellInLastCornerXlsx", "far-corner.xlsx"},
    {"CellInLastCornerXls", "far-corner.xls"},
    {"RepeatedEmptyRowsOds", "repeated-empty.ods", false, Expect::Control},
    {"RepeatedValueWholeSheetOds", "repeated-values.ods"},
    {"SheetsOfFarCornersOds", "far-corner-sheets.ods", false, Expect::Control},
    {"SheetsSharingAFarCornerPart", "carried-corner-sheets.xlsx", false, Expect::Control},
    {"SheetsOfAMillionNumbersOds", "million-cell-sheets.ods"},
    {"LongLabelsXls", "long-labels.xls", false, Expect::LongLabels},
    {"LongLabelsXlsx", "long-labels.xlsx", false, Expect::LongLabels},
    {"LongLabelsOds", "long-labels.ods", false, Expect::LongLabels},
    {"FrequencyNanXlsx", "freq-nan.xlsx"},
    {"FrequencyNanOds", "freq-nan.ods"},
    {"FrequencyNanXls", "freq-nan.xls"},
    {"FrequencyInfXlsx", "freq-inf.xlsx"},
    {"FrequencyInfOds", "freq-inf.ods"},
    {"FrequencyInfXls", "freq-inf.xls"},
    {"FrequencyMinusInfXlsx", "freq-minus-inf.xlsx"},
    {"FrequencyMinusInfOds", "freq-minus-inf.ods"},
    {"FrequencyNegativeXlsx", "freq-negative.xlsx"},
    {"FrequencyNegativeOds", "freq-negative.ods"},
    {"FrequencyNegativeXls", "freq-negative.xls"},
    {"Frequency1e400Xlsx", "freq-1e400.xlsx"},
    {"Frequency1e400Ods", "freq-1e400.ods"},
    {"FrequencyTextNanXlsx", "freq-text-nan.xlsx"},
    {"FrequencyTextNanXls", "freq-text-nan.xls"},
    {"FrequencyTextInfXlsx", "freq-text-inf.xlsx"},
    {"FrequencyTextInfXls", "freq-text-inf.xls"},
    {"FrequencyTextNegativeXlsx", "freq-text-negative.xlsx"},
    {"FrequencyTextNegativeXls", "freq-text-negative.xls"},
    {"FrequencyText1e400Xlsx", "freq-text-1e400.xlsx"},
    {"FrequencyText1e400Xls", "freq-text-1e400.xls"},
    {"SheetNameNotUtf8", "sheet-name-cp1251.xlsx"},
    {"LabelNotUtf8", "label-cp1251.xlsx"},
    {"ZipBombXlsx", "zip-bomb.xlsx", true, Expect::RefusedOrControl},
    {"ZipBombOds", "zip-bomb.ods", true, Expect::RefusedOrControl},
    {"FiftyMegabyteCellXlsx", "big-cell.xlsx", true, Expect::RefusedOrLoaded},
    {"FiftyMegabyteCellOds", "big-cell.ods", true, Expect::RefusedOrLoaded},
    {"ThousandsOfSheetsXlsx", "many-sheets.xlsx", true, Expect::Control},
    {"ThousandsOfSheetsOds", "many-sheets.ods", true, Expect::Control},
    {"ThousandsOfSheetsXls", "many-sheets.xls", true, Expect::Control},
};

void PrintTo(const Case& c, std::ostream* out)
{
    *out << c.file;
}

const text::NumberFormat kFormat(",");

std::string extensionOf(const std::string& file)
{
    return fs::path(file).extension().string();
}

// The control table of make_hostile.py: alleles 12 to 19, then the closing row.
void expectControl(const freqdb::LocusTable& table)
{
    ASSERT_EQ(table.LocusCount(), 2);
    EXPECT_EQ(table.record(1).Name, "CSF1PO");
    const auto& d3 = table.record(2);
    EXPECT_EQ(d3.Name, "D3S1358");
    ASSERT_EQ(d3.AlleleCount, 8);
    const double frequencies[] = {0.002, 0.003, 0.102, 0.262, 0.253, 0.211, 0.147, 0.015};
    for (int i = 1; i <= 8; ++i) {
        EXPECT_EQ(d3.Labels[i], std::to_string(11 + i));
        EXPECT_NEAR(static_cast<double>(d3.Frequencies[i]), frequencies[i - 1], 1e-12);
    }
}

void expectRefused(const freqdb::LoadResult& result, const std::string& fileName)
{
    ASSERT_EQ(result.status, LoadStatus::Failed) << result.message;
    const auto text = lines(result.message);
    ASSERT_GE(text.size(), 2u) << result.message;
    EXPECT_EQ(text[0], freqdb::kReadFailed);
    EXPECT_NE(result.message.find(fileName), std::string::npos) << result.message;
    EXPECT_GT(text[1].size(), fileName.size() + 5) << "no reason given: " << result.message;
    EXPECT_TRUE(isValidUtf8(result.message)) << result.message;
}

void expectSaneLabels(const freqdb::LocusTable& table)
{
    for (int k = 1; k <= table.LocusCount(); ++k) {
        const auto& record = table.record(static_cast<std::uint8_t>(k));
        for (int i = 1; i <= record.AlleleCount; ++i) {
            EXPECT_TRUE(isValidUtf8(record.Labels[i])) << record.Name << " allele " << i;
            EXPECT_LE(record.Labels[i].size(), 5u * 4) << record.Name << " allele " << i;
            EXPECT_TRUE(std::isfinite(static_cast<double>(record.Frequencies[i])));
        }
    }
}

class HostileLocusWorkbook : public ::testing::TestWithParam<Case> {};

TEST_P(HostileLocusWorkbook, AnswersWithinBounds)
{
    const Case& c = GetParam();
    const fs::path source = c.big ? bigFile(c.file) : smallFile(c.file);
    ASSERT_TRUE(fs::exists(source)) << source;
    WorkFolder work;
    fs::copy_file(bundledLocusBeforeD3(), work.dataDir() / "CSF1PO.xls");
    const fs::path target = work.dataDir() / ("D3S1358" + extensionOf(c.file));
    fs::copy_file(source, target);
    const std::string before = fileBytes(target);

    const auto reader = automation::makeFileWorkbookReader();
    const double memoryBefore = peakMemoryMiB();
    const auto result = freqdb::LoadLocusTable(work.path(), freqdb::Population::UsCaucasians, *reader, kFormat);
    const double memoryTaken = peakMemoryMiB() - memoryBefore;

    EXPECT_EQ(fileBytes(target), before) << "the load changed the file";
    if (memoryIsMeasurable()) {
        EXPECT_LT(memoryTaken, kMemoryBoundMiB) << "MiB taken by the load";
    }
    switch (c.expect) {
    case Expect::Refused:
        expectRefused(result, target.filename().string());
        break;
    case Expect::Control:
        ASSERT_EQ(result.status, LoadStatus::Loaded) << result.message;
        expectControl(result.table);
        break;
    case Expect::RefusedOrControl:
        if (result.status == LoadStatus::Loaded)
            expectControl(result.table);
        else
            expectRefused(result, target.filename().string());
        break;
    case Expect::RefusedOrLoaded:
        if (result.status == LoadStatus::Loaded)
            expectSaneLabels(result.table);
        else
            expectRefused(result, target.filename().string());
        break;
    case Expect::LongLabels: {
        ASSERT_EQ(result.status, LoadStatus::Loaded) << result.message;
        const auto& d3 = result.table.record(2);
        ASSERT_EQ(d3.AlleleCount, 4);
        EXPECT_EQ(d3.Labels[1], "ABCDE");
        EXPECT_EQ(d3.Labels[2], "Аллел");
        EXPECT_EQ(d3.Labels[3], "12345");
        EXPECT_EQ(d3.Labels[4], "12");
        break;
    }
    }
}

INSTANTIATE_TEST_SUITE_P(Files, HostileLocusWorkbook, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Files that are no regular file, or go away, in the place of a locus workbook.
class HostileDataFolder : public ::testing::Test {
protected:
    HostileDataFolder() { fs::copy_file(bundledLocusBeforeD3(), work.dataDir() / "CSF1PO.xls"); }
    freqdb::LoadResult load(const automation::WorkbookReader& reader) const
    {
        return freqdb::LoadLocusTable(work.path(), freqdb::Population::UsCaucasians, reader, kFormat);
    }
    freqdb::LoadResult load() const { return load(*m_reader); }

    WorkFolder work;
    const std::unique_ptr<automation::WorkbookReader> m_reader = automation::makeFileWorkbookReader();
};

TEST_F(HostileDataFolder, FolderNamedLikeAWorkbook)
{
    fs::create_directory(work.dataDir() / "D3S1358.xlsx");
    expectRefused(load(), "D3S1358.xlsx");
}

TEST_F(HostileDataFolder, FileWithoutReadPermission)
{
    const auto target = work.dataDir() / "D3S1358.xlsx";
    fs::copy_file(smallFile("good.xlsx"), target);
    fs::permissions(target, fs::perms::none);
    if (::access(target.c_str(), R_OK) == 0)
        GTEST_SKIP() << "this user reads files without read permission (root)";
    expectRefused(load(), "D3S1358.xlsx");
}

TEST_F(HostileDataFolder, FileVanishesBetweenSearchAndOpen)
{
    const auto target = work.dataDir() / "D3S1358.xlsx";
    fs::copy_file(smallFile("good.xlsx"), target);
    const VanishingReader reader(*m_reader, target);
    expectRefused(load(reader), "D3S1358.xlsx");
}

TEST_F(HostileDataFolder, NamedPipeIsNotWaitedOn)
{
    const auto target = work.dataDir() / "D3S1358.xlsx";
    ASSERT_EQ(::mkfifo(target.c_str(), 0644), 0);
    expectRefused(load(), "D3S1358.xlsx");
}

TEST_F(HostileDataFolder, EndlessDeviceIsNotReadForever)
{
    fs::create_symlink("/dev/zero", work.dataDir() / "D3S1358.xls");
    const double memoryBefore = peakMemoryMiB();
    expectRefused(load(), "D3S1358.xls");
    if (memoryIsMeasurable()) {
        EXPECT_LT(peakMemoryMiB() - memoryBefore, kMemoryBoundMiB);
    }
}

TEST_F(HostileDataFolder, DanglingLink)
{
    fs::create_symlink(work.path() / "gone.xlsx", work.dataDir() / "D3S1358.xlsx");
    expectRefused(load(), "D3S1358.xlsx");
}

TEST_F(HostileDataFolder, FileNameNotUtf8)
{
    // "Дан" in Windows-1251, as a file copied from an old lab computer may be named.
    fs::copy_file(smallFile("good.xlsx"), work.dataDir() / "\xc4\xe0\xed.xlsx");
    const auto result = load();
    ASSERT_EQ(result.status, LoadStatus::Failed) << result.message;
    EXPECT_EQ(lines(result.message).at(0), freqdb::kReadFailed);
    EXPECT_TRUE(isValidUtf8(result.message)) << "the message must stay readable text: " << result.message;
}

} // namespace
} // namespace hostile
