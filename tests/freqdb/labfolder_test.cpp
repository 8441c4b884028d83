// SPDX-License-Identifier: GPL-3.0-or-later
// The lab's folder over the installed one across a package update, through the same lookup and
// loader the program uses: two installed versions in turn under a temporary prefix, the second
// with one frequency corrected, and a lab folder copied whole from the first (as earlier versions
// told labs to do). The update must reach the lab unless the lab changed that table itself.
#include <fstream>

#include <gtest/gtest.h>

#include "automation/cellworkbookwriter.h"
#include "freqdb/datafiles.h"
#include "freqdb/filedigest.h"
#include "freqdb/locusloader.h"
#include "freqdb/shippedfiles.h"

#include "support/tempdir.h"

namespace freqdb {
namespace {

namespace fs = std::filesystem;
const text::NumberFormat kComma(",");

automation::CellArray table(double p15)
{
    automation::CellArray cells(3, 2);
    cells.set(1, 1, std::string("14"));
    cells.set(1, 2, 0.1);
    cells.set(2, 1, std::string("15"));
    cells.set(2, 2, p15);
    cells.set(3, 1, std::string("Сумма"));
    return cells;
}

struct Machine {
    testsupport::TempDir root;
    DataFolderPlaces places
        = dataFolderPlaces(root / "work", "", (root / "home").string(), root / "usr" / "bin" / "paternity-index");
    std::string shipped; // the list of every version installed so far

    // Installs a package whose D3S1358 has p(15) = p15 in both populations' worksheets.
    void install(double p15, const std::string& help)
    {
        const fs::path& folder = places.installedFolder;
        fs::remove_all(folder);
        fs::create_directories(folder);
        automation::saveCellWorkbook(folder / "D3S1358.xlsx",
                                     {{"D3S1358-white", table(p15)}, {"D3S1358-black", table(p15)}});
        // TH01 is the same file in both packages (the writer stamps the time it writes).
        const fs::path th01 = root / "TH01.xlsx";
        if (!fs::exists(th01))
            automation::saveCellWorkbook(th01, {{"TH01-white", table(0.5)}, {"TH01-black", table(0.5)}});
        fs::copy_file(th01, folder / "TH01.xlsx");
        std::ofstream(folder / "help.html") << help;
        for (const char* name : {"D3S1358.xlsx", "TH01.xlsx", "help.html"})
            shipped += *fileSha256(folder / name) + "  " + name + "\n";
        std::ofstream(folder / kShippedFilesName) << shipped;
    }

    LoadResult load(Population population) const
    {
        const DataFolderLookup found = findDataFolder(places);
        EXPECT_TRUE(found.data);
        const auto reader = automation::makeFileWorkbookReader();
        return LoadDataFolder(*found.data, population, *reader, kComma);
    }

    static long double p15(const LoadResult& loaded) { return loaded.table.record(1).Frequencies[2]; }
};

std::string joined(const std::vector<std::string>& notes)
{
    std::string all;
    for (const auto& n : notes)
        all += n + "\n";
    return all;
}

TEST(LabFolder, APackageUpdateReachesTheLabUnlessTheLabChangedThatTable)
{
    Machine m;
    m.install(0.2729, "help 1");
    fs::create_directories(m.places.labFolder.parent_path());
    fs::copy(m.places.installedFolder, m.places.labFolder, fs::copy_options::recursive);
    fs::remove(m.places.labFolder / kShippedFilesName);
    LoadResult loaded = m.load(Population::UsCaucasians);
    ASSERT_EQ(loaded.status, LoadStatus::Loaded) << loaded.message;
    EXPECT_DOUBLE_EQ(static_cast<double>(Machine::p15(loaded)), 0.2729);
    EXPECT_EQ(joined(loaded.notes), "");

    // The update: the copy of the first package is passed over, and that is said.
    m.install(0.1729, "help 2");
    loaded = m.load(Population::UsCaucasians);
    ASSERT_EQ(loaded.status, LoadStatus::Loaded) << loaded.message;
    EXPECT_DOUBLE_EQ(static_cast<double>(Machine::p15(loaded)), 0.1729);
    EXPECT_EQ(joined(loaded.notes), "Установленные таблицы обновлены: копии прежней версии в "
                                        + m.places.labFolder.string() + " не используются (D3S1358.xlsx).\n");
    const DataFolder data = *findDataFolder(m.places).data;
    EXPECT_EQ(fileInForce(data, "help.html"), m.places.installedFolder / "help.html");

    // A table the lab changed itself stays the lab's, and the window and stderr say whose it is.
    automation::saveCellWorkbook(m.places.labFolder / "D3S1358.xlsx",
                                 {{"D3S1358-white", table(0.3)}, {"D3S1358-black", table(0.1729)}});
    loaded = m.load(Population::UsCaucasians);
    ASSERT_EQ(loaded.status, LoadStatus::Loaded) << loaded.message;
    EXPECT_DOUBLE_EQ(static_cast<double>(Machine::p15(loaded)), 0.3);
    EXPECT_NE(joined(loaded.notes).find("Таблицы лаборатории вместо установленных: D3S1358-white."), std::string::npos)
        << joined(loaded.notes);
    // The lab's workbook of one population's worksheet leaves the others to the installed copy.
    loaded = m.load(Population::UsBlacks);
    ASSERT_EQ(loaded.status, LoadStatus::Loaded) << loaded.message;
    EXPECT_DOUBLE_EQ(static_cast<double>(Machine::p15(loaded)), 0.1729);
    automation::saveCellWorkbook(m.places.labFolder / "D3S1358.xlsx", {{"D3S1358-rus", table(0.4)}});
    loaded = m.load(Population::UsCaucasians);
    EXPECT_DOUBLE_EQ(static_cast<double>(Machine::p15(loaded)), 0.1729);
    EXPECT_EQ(m.load(Population::Russians).status, LoadStatus::Failed); // TH01 has no -rus anywhere
}

// An import of an earlier version wrote the lab's worksheet into its copy of the installed
// workbook and moved that copy into a backup folder: the worksheets it carried along are the
// program's, and a later package's corrections replace them; the lab's worksheet stays.
TEST(LabFolder, WorksheetsAnEarlierImportCarriedGiveWayToAnUpdate)
{
    Machine m;
    m.install(0.2729, "help 1");
    const fs::path backup = m.places.labFolder / "backup-20261201-101010";
    fs::create_directories(backup);
    fs::copy_file(m.places.installedFolder / "D3S1358.xlsx", backup / "D3S1358.xlsx");
    automation::saveCellWorkbook(
        m.places.labFolder / "D3S1358.xlsx",
        {{"D3S1358-white", table(0.2729)}, {"D3S1358-black", table(0.2729)}, {"D3S1358-rus", table(0.4)}});
    fs::copy_file(m.places.installedFolder / "TH01.xlsx", m.places.labFolder / "TH01.xlsx");
    EXPECT_EQ(joined(m.load(Population::UsCaucasians).notes), "");

    m.install(0.1729, "help 2");
    LoadResult loaded = m.load(Population::UsCaucasians);
    ASSERT_EQ(loaded.status, LoadStatus::Loaded) << loaded.message;
    EXPECT_DOUBLE_EQ(static_cast<double>(Machine::p15(loaded)), 0.1729);
    EXPECT_NE(joined(loaded.notes).find("не используются: D3S1358-white."), std::string::npos) << joined(loaded.notes);
    // The lab's own worksheet is its own (TH01 has none: it is left out, as named below).
    std::ofstream(m.places.labFolder / "skipped-loci.txt") << "rus TH01\n";
    loaded = m.load(Population::Russians);
    ASSERT_EQ(loaded.status, LoadStatus::Loaded) << loaded.message;
    EXPECT_DOUBLE_EQ(static_cast<double>(Machine::p15(loaded)), 0.4);
}

} // namespace
} // namespace freqdb
