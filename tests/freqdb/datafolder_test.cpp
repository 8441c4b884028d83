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

// A place counts only when it is a folder with a locus workbook; the lab's folder lies over the
// installed one; a place that cannot be read is passed over and named.
TEST(DataFolder, TheFirstFolderWithWorkbooksWinsAndTheLabsLiesOverTheInstalled)
{
    enum Work { NoWork, EmptyWork, HelpOnlyWork, PlainFileWork, LoopWork, WorkbookWork };
    enum Lab { NoLab, EmptyLab, WorkbookLab };
    struct Case {
        const char* name;
        Work work;
        Lab lab;
        bool installed;
        const char* folder; // "work", "lab", "installed", nullptr: none
        bool layered;
    };
    const Case cases[] = {
        {"all three", WorkbookWork, WorkbookLab, true, "work", false},
        {"no ./data", NoWork, WorkbookLab, true, "lab", true},
        {"an empty ./data", EmptyWork, NoLab, true, "installed", false},
        {"./data with only help.html", HelpOnlyWork, WorkbookLab, true, "lab", true},
        {"a plain file named data", PlainFileWork, NoLab, true, "installed", false},
        {"./data that cannot be read", LoopWork, EmptyLab, true, "lab", true},
        {"a lab folder of settings only", NoWork, EmptyLab, true, "lab", true},
        {"the lab's alone", NoWork, WorkbookLab, false, "lab", false},
        {"none", EmptyWork, EmptyLab, false, nullptr, false},
    };
    for (const Case& c : cases) {
        Machine m;
        const fs::path& work = m.places.workFolder;
        if (c.work == EmptyWork)
            fs::create_directories(work);
        if (c.work == HelpOnlyWork)
            Machine::put(work, "help.html");
        if (c.work == PlainFileWork)
            std::ofstream(work) << "not a folder";
        if (c.work == LoopWork)
            fs::create_symlink(work, work);
        if (c.work == WorkbookWork)
            Machine::put(work, "D3S1358.xls");
        if (c.lab == EmptyLab)
            Machine::put(m.places.labFolder, "settings.ini", "");
        if (c.lab == WorkbookLab)
            Machine::put(m.places.labFolder, "D3S1358.xlsx");
        if (c.installed)
            Machine::put(m.places.installedFolder, "D3S1358.xls");
        const DataFolderLookup found = findDataFolder(m.places);
        ASSERT_EQ(found.data.has_value(), c.folder != nullptr) << c.name;
        if (c.work == LoopWork) {
            ASSERT_EQ(found.notes.size(), 1u) << c.name;
            EXPECT_NE(found.notes[0].find(work.string() + " не читается"), std::string::npos) << found.notes[0];
        }
        if (!c.folder) {
            const std::string message = dataFolderMissingMessage(found.lookedIn);
            EXPECT_EQ(message, std::string(kFilesNotFound) + "\nПапка данных не найдена. Искали:\n  " + work.string()
                                   + " — нет книг локусов (*.xls, *.xlsx, *.ods)\n  " + m.places.labFolder.string()
                                   + " — нет книг локусов (*.xls, *.xlsx, *.ods)\n  "
                                   + m.places.installedFolder.string() + " — нет такой папки");
            continue;
        }
        const std::string folder = c.folder;
        const fs::path expected = folder == "work"  ? work
                                  : folder == "lab" ? m.places.labFolder
                                                    : m.places.installedFolder;
        EXPECT_EQ(found.data->folder, expected) << c.name;
        EXPECT_EQ(found.data->installed, c.layered ? m.places.installedFolder : fs::path()) << c.name;
    }
}

// An import writes into the folder found, never into the installed copy, and makes nothing
// before it writes.
TEST(DataFolder, AnImportWritesIntoTheLabsFolderOverTheInstalledAndMakesNothingFirst)
{
    Machine m;
    Machine::put(m.places.installedFolder, "D3S1358.xls");
    const DataFolder target = importDataFolder(m.places);
    EXPECT_EQ(target.folder, m.places.labFolder);
    EXPECT_EQ(target.installed, m.places.installedFolder);
    EXPECT_FALSE(fs::exists(m.places.labFolder));
    EXPECT_THROW(importDataFolder(m.places, m.places.installedFolder), std::runtime_error);
    EXPECT_EQ(importDataFolder(m.places, m.root / "own").folder, m.root / "own");

    Machine::put(m.places.workFolder, "TH01.xls");
    EXPECT_EQ(importDataFolder(m.places).folder, m.places.workFolder);
    EXPECT_FALSE(importDataFolder(m.places).layered());

    DataFolderPlaces homeless = m.places;
    homeless.workFolder = m.root / "nowhere";
    homeless.labFolder.clear();
    EXPECT_THROW(importDataFolder(homeless), std::runtime_error);
}

} // namespace
} // namespace freqdb
