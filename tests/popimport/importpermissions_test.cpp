// SPDX-License-Identifier: GPL-3.0-or-later
// An import replaces locus workbooks with new ones; each keeps the permissions of the workbook
// it replaces, so a lab's shared folder (group-writable workbooks) stays writable for the group.
#include <gtest/gtest.h>

#include <fstream>

#include "popimport/folderupdate.h"
#include "popimport/tablereader.h"

#include "support/tempdir.h"

namespace popimport {
namespace {

namespace fs = std::filesystem;

TEST(ImportPermissions, EachNewWorkbookKeepsTheModeOfTheOneItReplaces)
{
    testsupport::TempDir dir;
    const auto data = dir / "data";
    fs::create_directory(data);
    const std::pair<const char*, fs::perms> cases[] = {
        {"CSF1PO", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::group_write
                       | fs::perms::others_read}, // 664
        {"TH01", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read}, // 640
    };
    for (const auto& [locus, mode] : cases) {
        fs::copy_file(std::string(PI_SOURCE_DIR) + "/data/" + locus + ".xls", data / (std::string(locus) + ".xls"));
        fs::permissions(data / (std::string(locus) + ".xls"), mode);
    }
    std::ofstream(dir / "t.csv") << "locus,allele,frequency\nCSF1PO,10,1\nTH01,9.3,1\n";
    const text::NumberFormat comma(",");
    const auto reader = automation::makeFileWorkbookReader();
    const FrequencyTable table = readFrequencyTable(dir / "t.csv", std::nullopt, *reader, comma);
    applyImport(planImport(table, {data, freqdb::Population::Russians, false, false, {}, false}, *reader), data);
    for (const auto& [locus, mode] : cases)
        EXPECT_EQ(fs::status(data / (std::string(locus) + ".xlsx")).permissions(), mode) << locus;
}

} // namespace
} // namespace popimport
