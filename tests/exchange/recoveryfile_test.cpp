// SPDX-License-Identifier: GPL-3.0-or-later
// The state folder of the recovery files: a window never takes over the file a crashed window of
// the same process number left (it is offered), the copies are the operator's alone whatever the
// umask, and a declined copy is removed once it is older than the days it is kept.
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <fstream>

#include <gtest/gtest.h>

#include "automation/workbook.h"
#include "automation/workbookwriter.h"
#include "exchange/recoveryfile.h"
#include "exchange/workbooklayout.h"
#include "results/resultsgrid.h"
#include "support/tempdir.h"

namespace exchange {
namespace {

namespace fs = std::filesystem;

fs::perms modeOf(const fs::path& path)
{
    return fs::status(path).permissions() & fs::perms::mask;
}

std::string stamp(std::time_t at)
{
    std::tm local{};
    localtime_r(&at, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

// A window of a PID namespace, a container or after a reboot gets the number of the window that
// crashed before it: the file that window left is still offered, and this window writes its own.
TEST(RecoveryFile, AFileLeftUnderThisProcesssNumberIsOffered)
{
    testsupport::TempDir dir;
    const fs::path folder = dir / "paternity-index";
    fs::create_directories(folder);
    const fs::path left = folder / ("recovery-" + std::to_string(::getpid()) + ".xlsx");
    std::ofstream(left) << "the crashed window's case";
    RecoveryFile mine(folder);
    EXPECT_NE(mine.file(), left);
    EXPECT_EQ(mine.claimOrphans(), std::vector<fs::path>{left});
    mine.remove();
    EXPECT_TRUE(fs::exists(left));
}

TEST(RecoveryFile, CopiesAreTheOperatorsAloneAndDeclinedOnesExpire)
{
    testsupport::TempDir dir;
    const fs::path folder = dir / "paternity-index";
    fs::create_directories(folder);
    fs::permissions(folder, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec
                                | fs::perms::others_read | fs::perms::others_exec);
    const std::time_t now = std::time(nullptr);
    const fs::path old = folder / ("declined-77-" + stamp(now - (kDeclinedKeptDays + 1) * 24 * 3600) + ".xlsx");
    const fs::path recent = folder / ("declined-78-abcd0123-" + stamp(now - 2 * 24 * 3600) + ".xlsx");
    const fs::path orphan = folder / "recovery-79.xlsx";
    const mode_t umaskBefore = ::umask(0);
    for (const fs::path& file : {old, recent, orphan}) {
        std::ofstream(file) << "case";
        fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read
                                  | fs::perms::others_read);
    }
    {
        RecoveryFile mine(folder);
        EXPECT_EQ(modeOf(folder), fs::perms::owner_all);
        EXPECT_FALSE(fs::exists(old));
        const auto ownerOnly = fs::perms::owner_read | fs::perms::owner_write;
        EXPECT_EQ(modeOf(recent), ownerOnly);
        EXPECT_EQ(modeOf(orphan), ownerOnly);
        const fs::path aside = mine.setAside(mine.claimOrphans().at(0));
        EXPECT_EQ(modeOf(aside), ownerOnly);
        EXPECT_TRUE(fs::exists(aside));
    }
    // A new folder is made the operator's alone too.
    {
        RecoveryFile fresh(dir / "new" / "paternity-index");
    }
    EXPECT_EQ(modeOf(dir / "new" / "paternity-index"), fs::perms::owner_all);
    ::umask(umaskBefore);
}

// A case from a genotyping export keeps the lines naming the export in its recovery copy, as a saved
// workbook does: the recovered case's report and its next save still say where the rows came from.
TEST(RecoveryFile, ACaseFromAnExportIsRecoveredWithItsExportLines)
{
    testsupport::TempDir dir;
    RecoveryFile mine(dir / "paternity-index");
    results::ResultsGrid grid;
    grid.AppendRow("D3S1358", {"Нет", "Нет", "15", "16", "15", "18"});
    const std::vector<std::string> exportLines
        = {std::string(kExportLinePrefix) + ": /runs/run.txt; отец «F», ребенок «C»",
           std::string(kExportLinePrefix) + ": маркеры без таблицы частот: THO1"};
    mine.write(grid, "", "", freqdb::Population::Russians, "0,5", exportLines, *automation::makeXlsxWorkbookWriter());

    const RecoveredCase recovered
        = RecoveryFile::read(mine.file(), *automation::makeFileWorkbookReader(), text::NumberFormat(","));
    ASSERT_TRUE(recovered.results.ok) << recovered.results.error;
    EXPECT_EQ(recovered.results.grid.ResultCount(), 1);
    EXPECT_EQ(recovered.results.exportLines, exportLines);
    EXPECT_EQ(recovered.prior, "0,5");
}

} // namespace
} // namespace exchange
