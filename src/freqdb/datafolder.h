// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the data folder (the locus workbooks and the help) is found, in this order:
//   1. data/ below the current directory: a lab that starts the program from its working folder
//      (and ./run.sh in the source tree) keeps exactly the tables it always had;
//   2. the lab's own folder in the user's data directory, $XDG_DATA_HOME/paternity-index/data
//      (~/.local/share/paternity-index/data when XDG_DATA_HOME is unset);
//   3. the copy installed with the program, <prefix>/share/paternity-index/data, found from the
//      executable's own path (<prefix>/bin/paternity-index), so an unpacked package works from any
//      prefix.
// The first that exists is the data folder; an explicit folder (the command line's --data DIR)
// is taken as it is, without a lookup. The installed copy is read-only: a command that writes
// into the data folder asks for writableDataFolder(), which first copies it to the lab's folder.
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

struct DataFolderLookup {
    std::optional<std::filesystem::path> folder; // the first place that exists
    std::vector<std::filesystem::path> lookedIn; // every place tried, in order
};

// The first place that exists. A place whose state cannot be read (no permission on a folder
// above it) counts as existing, so the loader reports why it cannot be read instead of the
// lookup passing over it silently.
DataFolderLookup findDataFolder(const DataFolderPlaces& places);

// "Files not found" and, on the next lines, the folders looked in.
std::string dataFolderMissingMessage(const std::vector<std::filesystem::path>& lookedIn);

struct WritableDataFolder {
    std::filesystem::path folder;
    std::string note; // for the operator when the folder was made or filled first; else empty
};

// The folder a command may write locus workbooks into: `explicitFolder` when given, else the
// data folder found. When that is the installed copy (or nothing exists), the installed copy is
// first copied as a whole to the lab's folder, which is then the data folder of every later
// start; `note` says so. The copy is made under a temporary name and renamed when complete, so
// an interrupted copy never hides the installed tables behind a partial set.
// Throws std::runtime_error with the operator message when there is no lab folder to write to
// or the copy fails.
WritableDataFolder writableDataFolder(const DataFolderPlaces& places,
                                      const std::optional<std::filesystem::path>& explicitFolder = std::nullopt);

} // namespace freqdb
