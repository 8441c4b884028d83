// SPDX-License-Identifier: GPL-3.0-or-later
// Where the data folder is found, and the lab's writable copy of the installed one.
#include <sys/stat.h>

#include <fstream>
#include <stdexcept>

#include <gtest/gtest.h>

#include "freqdb/datafolder.h"
#include "freqdb/loadmessages.h"

#include "support/tempdir.h"

namespace freqdb {
namespace {

namespace fs = std::filesystem;

// A current directory, a home and an unpacked package root under one temporary folder.
struct Machine {
    testsupport::TempDir root;
    fs::path work = root / "work";
    fs::path home = root / "home";
    fs::path prefix = root / "opt" / "pi";
    DataFolderPlaces places = dataFolderPlaces(work, "", home.string(), prefix / "bin" / "paternity-index");

    Machine() { fs::create_directories(work); }

    static void put(const fs::path& folder, const std::string& name, const std::string& content = "table")
    {
        fs::create_directories(folder);
        std::ofstream(folder / name) << content;
    }
};

TEST(DataFolder, PlacesFollowTheEnvironmentAndTheExecutable)
{
    const auto places = dataFolderPlaces("/w", "/x", "/h", "/opt/pi/bin/paternity-index");
    EXPECT_EQ(places.inOrder(),
              (std::vector<fs::path>{"/w/data", "/x/paternity-index/data", "/opt/pi/share/paternity-index/data"}));
    // XDG_DATA_HOME unset or relative: the home's .local/share; no home either: no lab folder.
    EXPECT_EQ(dataFolderPlaces("/w", "", "/h", "/usr/bin/paternity-index").labFolder,
              "/h/.local/share/paternity-index/data");
    EXPECT_EQ(dataFolderPlaces("/w", "rel", "/h", "/usr/bin/paternity-index").labFolder,
              "/h/.local/share/paternity-index/data");
    EXPECT_EQ(dataFolderPlaces("/w", "", "", "/usr/bin/paternity-index").inOrder(),
              (std::vector<fs::path>{"/w/data", "/usr/share/paternity-index/data"}));
    // The running test program is an executable too: its prefix is two levels up.
    const fs::path self = fs::read_symlink("/proc/self/exe");
    EXPECT_EQ(dataFolderPlaces("/w").installedFolder,
              self.parent_path().parent_path() / "share" / "paternity-index" / "data");
}

TEST(DataFolder, TheFirstPlaceThatExistsWins)
{
    struct Case {
        const char* name;
        bool work, lab, installed;
        int expected; // index in places.inOrder(); -1: none
    };
    const Case cases[] = {
        {"all three", true, true, true, 0},
        {"no ./data", false, true, true, 1},
        {"only the installed copy", false, false, true, 2},
        {"./data beside the installed copy", true, false, true, 0},
        {"none", false, false, false, -1},
    };
    for (const Case& c : cases) {
        Machine m;
        if (c.work)
            fs::create_directories(m.places.workFolder); // an empty ./data still wins, as before
        if (c.lab)
            Machine::put(m.places.labFolder, "D3S1358.xls");
        if (c.installed)
            Machine::put(m.places.installedFolder, "D3S1358.xls");
        const DataFolderLookup found = findDataFolder(m.places);
        if (c.expected < 0) {
            EXPECT_FALSE(found.folder) << c.name;
            EXPECT_EQ(found.lookedIn, m.places.inOrder()) << c.name;
        } else {
            EXPECT_EQ(found.folder, m.places.inOrder()[static_cast<std::size_t>(c.expected)]) << c.name;
        }
    }
}

TEST(DataFolder, MissingMessageNamesEveryFolderLookedIn)
{
    EXPECT_EQ(dataFolderMissingMessage({"/w/data", "/h/.local/share/paternity-index/data"}),
              std::string(kFilesNotFound)
                  + "\nПапка данных не найдена. Искали:\n  /w/data\n  /h/.local/share/paternity-index/data");
}

TEST(DataFolder, WritingStartsWithACopyOfTheInstalledFolderInTheLabsFolder)
{
    Machine m;
    Machine::put(m.places.installedFolder, "D3S1358.xls", "installed");
    Machine::put(m.places.installedFolder / "sub", "help.html", "help");
    fs::permissions(m.places.installedFolder / "D3S1358.xls", fs::perms::owner_read | fs::perms::group_read);

    const WritableDataFolder first = writableDataFolder(m.places);
    EXPECT_EQ(first.folder, m.places.labFolder);
    EXPECT_NE(first.note.find(m.places.installedFolder.string()), std::string::npos) << first.note;
    EXPECT_NE(first.note.find(m.places.labFolder.string()), std::string::npos) << first.note;
    std::ifstream copied(m.places.labFolder / "D3S1358.xls");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(copied), {}), "installed");
    EXPECT_TRUE(fs::exists(m.places.labFolder / "sub" / "help.html"));
    EXPECT_NE(fs::status(m.places.labFolder / "D3S1358.xls").permissions() & fs::perms::owner_write, fs::perms::none);
    // Only the complete copy is left, and from now on it is the data folder.
    EXPECT_EQ(std::distance(fs::directory_iterator(m.places.labFolder.parent_path()), fs::directory_iterator()), 1);
    EXPECT_EQ(findDataFolder(m.places).folder, m.places.labFolder);

    const WritableDataFolder again = writableDataFolder(m.places);
    EXPECT_EQ(again.folder, m.places.labFolder);
    EXPECT_EQ(again.note, "");
    // The installed copy named explicitly is never written into either.
    EXPECT_EQ(writableDataFolder(m.places, m.places.installedFolder).folder, m.places.labFolder);
}

TEST(DataFolder, WritableFolderIsTheOneFoundOrGivenUnlessItIsTheInstalledOne)
{
    Machine m;
    Machine::put(m.places.installedFolder, "D3S1358.xls");
    fs::create_directories(m.places.workFolder);
    EXPECT_EQ(writableDataFolder(m.places).folder, m.places.workFolder);
    EXPECT_FALSE(fs::exists(m.places.labFolder));
    EXPECT_EQ(writableDataFolder(m.places, m.root / "own").folder, m.root / "own");

    // Nothing installed and nothing found: an empty lab folder is made, and said so.
    Machine bare;
    const WritableDataFolder made = writableDataFolder(bare.places);
    EXPECT_EQ(made.folder, bare.places.labFolder);
    EXPECT_TRUE(fs::is_directory(bare.places.labFolder));
    EXPECT_NE(made.note, "");

    // No home: nowhere to write.
    DataFolderPlaces homeless = m.places;
    homeless.workFolder = m.root / "nowhere";
    homeless.labFolder.clear();
    EXPECT_THROW(writableDataFolder(homeless), std::runtime_error);
}

TEST(DataFolder, AFailedCopyLeavesNoPartialFolderBehind)
{
    Machine m;
    Machine::put(m.places.installedFolder, "D3S1358.xls");
    Machine::put(m.places.installedFolder, "TH01.xls");
    // A named pipe cannot be copied: the copy stops half-way.
    ASSERT_EQ(mkfifo((m.places.installedFolder / "pipe").c_str(), 0644), 0);
    EXPECT_THROW(writableDataFolder(m.places), std::runtime_error);
    EXPECT_TRUE(fs::is_empty(m.places.labFolder.parent_path()));
    EXPECT_EQ(findDataFolder(m.places).folder, m.places.installedFolder);
}

} // namespace
} // namespace freqdb
