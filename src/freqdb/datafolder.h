// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the data folder (the locus workbooks, the settings and the help) is found, in this order:
//   1. data/ below the current directory: a lab that starts the program from its working folder
//      (and ./run.sh in the source tree) keeps exactly the tables it always had;
//   2. the lab's own folder in the user's data directory, $XDG_DATA_HOME/paternity-index/data
//      (~/.local/share/paternity-index/data when XDG_DATA_HOME is unset), laid over
//   3. the copy installed with the program, <prefix>/share/paternity-index/data, found from the
//      executable's own path (<prefix>/bin/paternity-index), so an unpacked package works from any
//      prefix.
// A place counts only when it is a folder holding at least one locus workbook; a place that
// cannot be read is passed over and said so. The lab's folder does not replace the installed
// one: it holds the lab's own workbooks, settings and help, each of which takes the place of the
// installed file of its name (freqdb/datafiles.h); everything else, and every later package's
// corrections, comes from the installed copy. An explicit folder (the command line's --data DIR)
// is taken as it is, alone.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace freqdb {

struct DataFolderPlaces {
    std::filesystem::path workFolder; // <current directory>/data
    std::filesystem::path labFolder; // empty when neither XDG_DATA_HOME nor HOME names a folder
    std::filesystem::path installedFolder; // empty when the executable's path is unknown

    // The non-empty places in the order they are tried.
    std::vector<std::filesystem::path> inOrder() const;
};

// The places for a current directory, from the environment (XDG_DATA_HOME, HOME) and the path
// of the running executable.
DataFolderPlaces dataFolderPlaces(const std::filesystem::path& workDir);

// The same from given values; xdgDataHome and home as the environment holds them ("" when unset).
// A relative XDG_DATA_HOME is ignored, as the XDG base directory rules ask.
DataFolderPlaces dataFolderPlaces(const std::filesystem::path& workDir, const std::string& xdgDataHome,
                                  const std::string& home, const std::filesystem::path& executable);

// The folder the tables are read from: `folder` alone, or `folder` (the lab's) laid over the
// installed copy. `folder` is also where an import writes; in a layered folder it may not exist
// yet.
struct DataFolder {
    std::filesystem::path folder;
    std::filesystem::path installed; // empty: `folder` alone

    bool layered() const { return !installed.empty(); }
    // The folder named to the operator: "LAB поверх INSTALLED" when layered.
    std::string shown() const;
};

struct DataFolderLookup {
    std::optional<DataFolder> data;
    std::vector<std::string> lookedIn; // every place tried, with why it was passed over
    std::vector<std::string> notes; // places passed over because they cannot be read
};

DataFolderLookup findDataFolder(const DataFolderPlaces& places);

// "Files not found" and, on the next lines, the places looked in with what each lacked.
std::string dataFolderMissingMessage(const std::vector<std::string>& lookedIn);

// The folder an import writes into: `explicitFolder` alone when given; else the data folder
// found, except that the installed copy, read-only, is never written: the lab's folder is laid
// over it (and made when the first workbook is written). Throws std::runtime_error with the
// operator message when nothing is found or there is no lab folder to write to. Writes nothing.
DataFolder importDataFolder(const DataFolderPlaces& places,
                            const std::optional<std::filesystem::path>& explicitFolder = std::nullopt);

} // namespace freqdb
