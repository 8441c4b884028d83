// SPDX-License-Identifier: GPL-3.0-or-later
// The update of the data folder when a step fails part way: a workbook vanishes between the plan
// and the moves (another program, a colleague), after the originals were already moved into the
// backup folder. Every move done must be undone and every temporary file removed.
#include <fstream>
#include <iterator>
#include <map>
#include <vector>

#include <gtest/gtest.h>

#include "popimport/folderupdate.h"
#include "popimport/tablereader.h"

#include "support/tempdir.h"

namespace popimport {
namespace {

std::map<std::string, std::string> snapshot(const std::filesystem::path& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        std::ifstream in(entry.path(), std::ios::binary);
        files[std::filesystem::relative(entry.path(), folder).string()]
            = entry.is_directory() ? "<dir>" : std::string(std::istreambuf_iterator<char>(in), {});
    }
    return files;
}

TEST(FolderUpdate, AFailedMoveUndoesEveryStepBeforeIt)
{
    testsupport::TempDir dir;
    const auto data = dir / "data";
    std::filesystem::create_directory(data);
    for (const char* locus : {"CSF1PO", "TH01", "TPOX"})
        std::filesystem::copy_file(std::string(PI_SOURCE_DIR) + "/data/" + locus + ".xls",
                                   data / (std::string(locus) + ".xls"));
    std::ofstream(dir / "t.csv") << "locus,allele,frequency\nCSF1PO,10,1\nTH01,9.3,1\n";

    const text::NumberFormat comma(",");
    const auto reader = automation::makeFileWorkbookReader();
    const FrequencyTable table = readFrequencyTable(dir / "t.csv", std::nullopt, *reader, comma);
    const ImportPlan plan = planImport(table, {data, freqdb::Population::Russians, false, true}, *reader);
    ASSERT_EQ(plan.updates.size(), 2u);
    ASSERT_EQ(plan.pruned.size(), 1u);

    // TPOX.xls, to be pruned after both originals are moved, is gone when its turn comes.
    std::filesystem::rename(data / "TPOX.xls", dir / "TPOX.xls");
    const auto before = snapshot(data);
    EXPECT_THROW(applyImport(plan, data), ImportError);
    EXPECT_EQ(snapshot(data), before);
}

TEST(FolderUpdate, ACancelledImportLeavesTheFolderAsItWas)
{
    testsupport::TempDir dir;
    const auto data = dir / "data";
    std::filesystem::create_directory(data);
    for (const char* locus : {"CSF1PO", "TH01"})
        std::filesystem::copy_file(std::string(PI_SOURCE_DIR) + "/data/" + locus + ".xls",
                                   data / (std::string(locus) + ".xls"));
    std::ofstream(dir / "t.csv") << "locus,allele,frequency\nCSF1PO,10,1\nTH01,9.3,1\n";
    const auto reader = automation::makeFileWorkbookReader();
    const FrequencyTable table = readFrequencyTable(dir / "t.csv", std::nullopt, *reader, text::NumberFormat(","));
    const ImportPlan plan = planImport(table, {data, freqdb::Population::Russians, false, false}, *reader);
    const auto before = snapshot(data);
    // Stopped after the first of two workbooks is written.
    std::vector<std::size_t> told;
    const ImportProgress stopAfterFirst = [&](std::size_t done, std::size_t total) {
        told.push_back(done * 10 + total);
        return false;
    };
    EXPECT_THROW(applyImport(plan, data, stopAfterFirst), ImportCancelled);
    EXPECT_EQ(told, std::vector<std::size_t>{12});
    EXPECT_EQ(snapshot(data), before);
}

} // namespace
} // namespace popimport
