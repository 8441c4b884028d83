// SPDX-License-Identifier: GPL-3.0-or-later
// The update of the data folder when a step fails part way: a workbook vanishes between the plan
// and the moves (another program, a colleague), after the originals were already moved into the
// backup folder. Every move done must be undone and every temporary file removed.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <future>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "freqdb/locusloader.h"
#include "freqdb/tablesfingerprint.h"
#include "freqdb/unfinishedimport.h"
#include <fcntl.h>
#include <sys/file.h>

#include "popimport/folderguard.h"
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
    ImportPlan plan = planImport(table, {data, freqdb::Population::Russians, false, true, {}, false}, *reader);
    ASSERT_EQ(plan.updates.size(), 2u);
    ASSERT_EQ(plan.pruned.size(), 1u);

    // TPOX.xls, to be pruned after both originals are moved, is gone when its turn comes (as if
    // it went between the check of the folder and the move).
    std::filesystem::rename(data / "TPOX.xls", dir / "TPOX.xls");
    plan.folderState = folderState(data);
    const auto before = snapshot(data);
    EXPECT_THROW(applyImport(plan, data), ImportError);
    EXPECT_EQ(snapshot(data), before);
}

// Into the lab's folder over the installed copy an import writes only the lab's own worksheets:
// the other populations keep reading the installed workbooks, which a package update replaces,
// and the loci the table lacks are left out for its population only.
TEST(FolderUpdate, OverTheInstalledCopyOnlyTheLabsOwnWorksheetsAreWritten)
{
    testsupport::TempDir dir;
    const auto installed = dir / "installed";
    const auto lab = dir / "lab";
    std::filesystem::create_directory(installed);
    for (const char* locus : {"CSF1PO", "TH01", "TPOX"})
        std::filesystem::copy_file(std::string(PI_SOURCE_DIR) + "/data/" + locus + ".xls",
                                   installed / (std::string(locus) + ".xls"));
    std::ofstream(dir / "t.csv") << "locus,allele,frequency\nCSF1PO,10,1\nTH01,9.3,1\n";
    const text::NumberFormat comma(",");
    const auto reader = automation::makeFileWorkbookReader();
    const FrequencyTable table = readFrequencyTable(dir / "t.csv", std::nullopt, *reader, comma);
    const auto installedBefore = snapshot(installed);
    const ImportRequest request{lab, freqdb::Population::Russians, false, true, installed, true};
    applyImport(planImport(table, request, *reader), lab);

    EXPECT_EQ(snapshot(installed), installedBefore);
    for (const char* locus : {"CSF1PO", "TH01"}) {
        const auto book = reader->open(lab / (std::string(locus) + ".xlsx"));
        ASSERT_EQ(book->sheetCount(), 1);
        EXPECT_EQ(book->sheetName(1), std::string(locus) + "-rus");
    }
    const freqdb::DataFolder data{lab, installed};
    const auto rus = freqdb::LoadDataFolder(data, freqdb::Population::Russians, *reader, comma);
    ASSERT_EQ(rus.status, freqdb::LoadStatus::Loaded) << rus.message;
    EXPECT_EQ(rus.table.LocusCount(), 2);
    ASSERT_EQ(rus.notes.size(), 1u);
    EXPECT_NE(rus.notes[0].find("пропущены локусы TPOX"), std::string::npos) << rus.notes[0];
    const auto white = freqdb::LoadDataFolder(data, freqdb::Population::UsCaucasians, *reader, comma);
    const auto whiteInstalled
        = freqdb::LoadLocusTableFromFolder(installed, freqdb::Population::UsCaucasians, *reader, comma);
    ASSERT_EQ(white.status, freqdb::LoadStatus::Loaded) << white.message;
    ASSERT_EQ(white.table.LocusCount(), 3);
    for (std::uint8_t k = 1; k <= 3; ++k)
        EXPECT_EQ(white.table.record(k).Frequencies, whiteInstalled.table.record(k).Frequencies);
    EXPECT_TRUE(white.notes.empty());
}

// Over the installed copy, a locus a later table lacks is left out for its population: the lab's
// worksheet of that locus from an earlier import must not be loaded beside the new table.
TEST(FolderUpdate, OverTheInstalledCopyALocusLeftOutKeepsNoEarlierWorksheet)
{
    const text::NumberFormat comma(",");
    const auto reader = automation::makeFileWorkbookReader();
    const auto run = [&](const testsupport::TempDir& dir, freqdb::Population population, const char* rows) {
        std::ofstream(dir / "t.csv") << "locus,allele,frequency\n" << rows;
        const FrequencyTable table = readFrequencyTable(dir / "t.csv", std::nullopt, *reader, comma);
        const ImportRequest request{dir / "lab", population, false, true, dir / "installed", true};
        applyImport(planImport(table, request, *reader), dir / "lab");
    };
    const auto setUp = [&](const testsupport::TempDir& dir) {
        std::filesystem::create_directory(dir / "installed");
        for (const char* locus : {"CSF1PO", "TH01", "TPOX"})
            std::filesystem::copy_file(std::string(PI_SOURCE_DIR) + "/data/" + locus + ".xls",
                                       dir / "installed" / (std::string(locus) + ".xls"));
        run(dir, freqdb::Population::Russians, "CSF1PO,10,1\nTH01,9.3,1\nTPOX,8,1\n");
    };
    {
        // The lab's TPOX.xlsx holds only the earlier TPOX-rus: it goes to the backup folder.
        testsupport::TempDir dir;
        setUp(dir);
        run(dir, freqdb::Population::Russians, "CSF1PO,11,1\nTH01,6,1\n");
        EXPECT_FALSE(std::filesystem::exists(dir / "lab" / "TPOX.xlsx"));
        const auto rus
            = freqdb::LoadDataFolder({dir / "lab", dir / "installed"}, freqdb::Population::Russians, *reader, comma);
        ASSERT_EQ(rus.status, freqdb::LoadStatus::Loaded) << rus.message;
        ASSERT_EQ(rus.table.LocusCount(), 2);
        EXPECT_EQ(rus.table.record(1).Labels[1], "11");
        EXPECT_EQ(rus.table.record(2).Labels[1], "6");
    }
    {
        // TPOX.xlsx holds the lab's TPOX-white as well: refused, nothing written.
        testsupport::TempDir dir;
        setUp(dir);
        run(dir, freqdb::Population::UsCaucasians, "TPOX,9,1\n");
        const auto before = snapshot(dir / "lab");
        EXPECT_THROW(run(dir, freqdb::Population::Russians, "CSF1PO,11,1\nTH01,6,1\n"), ImportError);
        EXPECT_EQ(snapshot(dir / "lab"), before);
    }
}

// The loader refuses a folder of more than 100 locus workbooks, so an import must not make one.
TEST(FolderUpdate, NewLociBeyondTheLoaderLimitAreRefused)
{
    testsupport::TempDir dir;
    const auto data = dir / "data";
    std::filesystem::create_directory(data);
    std::filesystem::copy_file(std::string(PI_SOURCE_DIR) + "/data/TH01.xls", data / "TH01.xls");
    const text::NumberFormat comma(",");
    const auto reader = automation::makeFileWorkbookReader();
    for (const int newLoci : {99, 100}) {
        std::ofstream table(dir / "t.csv");
        table << "locus,allele,frequency\nTH01,9.3,1\n";
        for (int i = 1; i <= newLoci; ++i)
            table << "X" << i << ",9,1\n";
        table.close();
        const FrequencyTable read = readFrequencyTable(dir / "t.csv", std::nullopt, *reader, comma);
        const ImportRequest request{data, freqdb::Population::Russians, true, false, {}, false};
        if (newLoci == 99)
            EXPECT_EQ(planImport(read, request, *reader).updates.size(), 100u);
        else
            EXPECT_THROW(planImport(read, request, *reader), ImportError);
    }
}

// A folder with three loci and a table that replaces two, adds one and prunes the third.
struct KillBench {
    testsupport::TempDir dir;
    std::filesystem::path data = dir / "data";
    text::NumberFormat comma{","};
    std::unique_ptr<automation::WorkbookReader> reader = automation::makeFileWorkbookReader();
    std::optional<FrequencyTable> table;
    ImportRequest request{data, freqdb::Population::Russians, true, true, {}, false};

    KillBench()
    {
        std::filesystem::create_directory(data);
        for (const char* locus : {"CSF1PO", "TH01", "TPOX"})
            std::filesystem::copy_file(std::string(PI_SOURCE_DIR) + "/data/" + locus + ".xls",
                                       data / (std::string(locus) + ".xls"));
        std::ofstream(dir / "t.csv") << "locus,allele,frequency\nCSF1PO,10,1\nTH01,9.3,1\nD99S1,7,1\n";
        table = readFrequencyTable(dir / "t.csv", std::nullopt, *reader, comma);
    }

    // Runs `work` in a child; true when the child was killed (SIGKILL), false when it finished.
    template <typename Work> static bool killed(Work work)
    {
        const pid_t child = ::fork();
        if (child == 0) {
            work();
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        return WIFSIGNALED(status);
    }
};

// Three originals to the backup folder, skipped-loci.txt and three new workbooks into place.
constexpr int kRenames = 7;

// An import killed at any of its renames (or just before its journal): the folder then refuses
// every load and import with a message that names the way back, and `import --undo` gives back
// the folder as it was, with no backup folder left behind.
TEST(FolderUpdate, AnImportKilledAtAnyRenameIsRefusedUntilUndone)
{
    KillBench bench;
    const auto& data = bench.data;
    const auto before = snapshot(data);
    const auto loadedBefore
        = freqdb::LoadLocusTableFromFolder(data, freqdb::Population::UsCaucasians, *bench.reader, bench.comma);
    ASSERT_EQ(loadedBefore.status, freqdb::LoadStatus::Loaded) << loadedBefore.message;

    for (int killAt = 0; killAt <= kRenames + 1; ++killAt) {
        const ImportPlan plan = planImport(*bench.table, bench.request, *bench.reader);
        const bool wasKilled = KillBench::killed([&] {
            applyImport(plan, data, [killAt](int rename) {
                if (rename == killAt)
                    ::raise(SIGKILL);
            });
        });
        if (killAt > kRenames) {
            ASSERT_FALSE(wasKilled) << "the import has more renames than counted";
            break;
        }
        ASSERT_TRUE(wasKilled) << killAt;

        const auto refused
            = freqdb::LoadLocusTableFromFolder(data, freqdb::Population::UsCaucasians, *bench.reader, bench.comma);
        EXPECT_EQ(refused.status, freqdb::LoadStatus::Failed) << killAt;
        EXPECT_NE(refused.message.find("import --undo --data " + data.string()), std::string::npos) << refused.message;
        EXPECT_THROW(planImport(*bench.table, bench.request, *bench.reader), ImportError) << killAt;

        undoImport(data);
        EXPECT_EQ(snapshot(data), before) << "killed at rename " << killAt;
    }
}

// The undo itself killed at any of its steps (the last is just before it removes the journal,
// with the folder whole again), then run again: each run decides from what is on disk, so no
// original is ever lost and the folder ends as it was.
TEST(FolderUpdate, AnUndoKilledAtAnyStepAndRunAgainLosesNothing)
{
    KillBench bench;
    const auto& data = bench.data;
    const auto before = snapshot(data);
    for (int importKilledAt : {1, 4, kRenames}) {
        for (int undoKilledAt = 1;; ++undoKilledAt) {
            const ImportPlan plan = planImport(*bench.table, bench.request, *bench.reader);
            ASSERT_TRUE(KillBench::killed([&] {
                applyImport(plan, data, [importKilledAt](int rename) {
                    if (rename == importKilledAt)
                        ::raise(SIGKILL);
                });
            }));
            const bool undoKilled = KillBench::killed([&] {
                undoImport(data, [undoKilledAt](int step) {
                    if (step == undoKilledAt)
                        ::raise(SIGKILL);
                });
            });
            const std::string where
                = "import killed at " + std::to_string(importKilledAt) + ", undo at " + std::to_string(undoKilledAt);
            if (undoKilled) {
                EXPECT_TRUE(freqdb::unfinishedImport(data)) << where;
                undoImport(data);
            }
            EXPECT_EQ(snapshot(data), before) << where;
            if (!undoKilled)
                break;
        }
    }
}

// A load that starts while an import writes waits for it and reads the new tables whole: never
// the old tables of some loci and the new of others, never the import's half-done folder.
TEST(FolderUpdate, ALoadDuringAnImportReadsTheTablesOfOneImport)
{
    KillBench bench;
    const auto& data = bench.data;
    const auto load = [&] {
        return freqdb::LoadLocusTableFromFolder(data, freqdb::Population::Russians, *bench.reader, bench.comma);
    };
    const ImportPlan plan = planImport(*bench.table, bench.request, *bench.reader);
    std::future<freqdb::LoadResult> during;
    bool waited = false;
    applyImport(plan, data, {}, [&](std::size_t done, std::size_t) {
        if (done == 1) {
            during = std::async(std::launch::async, load);
            // The load must not finish while the import still holds the folder.
            waited = during.wait_for(std::chrono::milliseconds(300)) == std::future_status::timeout;
        }
        return true;
    });
    const freqdb::LoadResult loaded = during.get();
    EXPECT_TRUE(waited) << "the load read the folder while the import wrote it";
    ASSERT_EQ(loaded.status, freqdb::LoadStatus::Loaded) << loaded.message;
    const freqdb::LoadResult after = load();
    ASSERT_EQ(after.status, freqdb::LoadStatus::Loaded) << after.message;
    EXPECT_EQ(freqdb::tablesFingerprint(loaded.table), freqdb::tablesFingerprint(after.table));
}

// The moves fail part way and so does their undo (a full disk): the journal stays, the message
// says where the originals are and how to finish, and `import --undo` then puts the folder back.
TEST(FolderUpdate, AFailedUndoOfAFailedImportKeepsTheJournalAndSaysHowToFinish)
{
    KillBench bench;
    const auto& data = bench.data;
    const auto before = snapshot(data);
    const ImportPlan plan = planImport(*bench.table, bench.request, *bench.reader);
    try {
        applyImport(
            plan, data,
            [](int rename) {
                if (rename == 5)
                    throw ImportError("Не удалось переместить книгу: No space left on device");
            },
            {},
            [](int step) {
                if (step == 2)
                    throw ImportError("Не удалось вернуть книгу: No space left on device");
            });
        ADD_FAILURE() << "the failed import reported success";
    } catch (const ImportUnfinished& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find("import --undo --data " + data.string()), std::string::npos) << message;
        EXPECT_NE(message.find("backup-"), std::string::npos) << message;
    }
    EXPECT_TRUE(std::filesystem::exists(data / freqdb::kImportJournalName));
    EXPECT_EQ(
        freqdb::LoadLocusTableFromFolder(data, freqdb::Population::UsCaucasians, *bench.reader, bench.comma).status,
        freqdb::LoadStatus::Failed);
    undoImport(data);
    EXPECT_EQ(snapshot(data), before);
}

} // namespace
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
    const ImportPlan plan = planImport(table, {data, freqdb::Population::Russians, false, false, {}, false}, *reader);
    const auto before = snapshot(data);
    // Stopped after the first of two workbooks is written.
    std::vector<std::size_t> told;
    const ImportProgress stopAfterFirst = [&](std::size_t done, std::size_t total) {
        told.push_back(done * 10 + total);
        return false;
    };
    EXPECT_THROW(applyImport(plan, data, {}, stopAfterFirst), ImportCancelled);
    EXPECT_EQ(told, std::vector<std::size_t>{12});
    EXPECT_EQ(snapshot(data), before);
}

// A plan is written only over the folder it was read from: not while another import holds the
// folder, and not after the folder changed (another import, a hand), which it would undo.
TEST(FolderUpdate, AnotherImportOrAChangeSinceThePlanWritesNothing)
{
    testsupport::TempDir dir;
    const auto data = dir / "data";
    std::filesystem::create_directory(data);
    for (const char* locus : {"CSF1PO", "TH01"})
        std::filesystem::copy_file(std::string(PI_SOURCE_DIR) + "/data/" + locus + ".xls",
                                   data / (std::string(locus) + ".xls"));
    std::ofstream(dir / "rus.csv") << "locus,allele,frequency\nCSF1PO,10,1\nTH01,9.3,1\n";
    std::ofstream(dir / "white.csv") << "locus,allele,frequency\nCSF1PO,11,1\nTH01,8,1\n";
    const auto reader = automation::makeFileWorkbookReader();
    const auto planOf = [&](const char* file, freqdb::Population population) {
        const FrequencyTable table = readFrequencyTable(dir / file, std::nullopt, *reader, text::NumberFormat(","));
        return planImport(table, {data, population, false, false, {}, false}, *reader);
    };
    const ImportPlan russians = planOf("rus.csv", freqdb::Population::Russians);

    {
        const int held = ::open(data.c_str(), O_RDONLY | O_DIRECTORY);
        ASSERT_EQ(::flock(held, LOCK_EX), 0);
        const auto before = snapshot(data);
        try {
            applyImport(russians, data);
            ADD_FAILURE() << "written while another import held the folder";
        } catch (const ImportError& e) {
            EXPECT_NE(std::string(e.what()).find("вносится другая таблица"), std::string::npos) << e.what();
        }
        EXPECT_EQ(snapshot(data), before);
        ::close(held);
    }

    applyImport(planOf("white.csv", freqdb::Population::UsCaucasians), data);
    const auto afterWhite = snapshot(data);
    try {
        applyImport(russians, data);
        ADD_FAILURE() << "the white import undone by a plan read before it";
    } catch (const ImportError& e) {
        EXPECT_NE(std::string(e.what()).find("изменилась после проверки"), std::string::npos) << e.what();
    }
    EXPECT_EQ(snapshot(data), afterWhite);
    applyImport(planOf("rus.csv", freqdb::Population::Russians), data); // planned again: written
}

} // namespace popimport
