// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The recovery file of one running window: the case as a results workbook, rewritten after every
// change of the table, so a crash, a forced log-out or a power cut loses nothing the operator
// entered. It lives in the state folder, $XDG_STATE_HOME/paternity-index
// (~/.local/state/paternity-index when XDG_STATE_HOME is unset or relative):
//
//   recovery-<pid>-<tag>.xlsx   the case of the window of process <pid>; <tag> is random, so a
//                               window never takes the name of a file another window left
//   recovery-<pid>-<tag>.lock   held locked (flock) by that process as long as it runs
//   declined-<pid>-<tag>-<yyyymmdd-hhmmss>.xlsx   a recovery the operator declined, kept for
//                               kDeclinedKeptDays days, not offered
// (recovery-<pid>.xlsx, the name of earlier versions, is still offered.)
//
// A recovery file whose lock nobody holds belongs to a process that ended without removing it:
// it is offered at the next start. The lock, not the process number, tells a running window from
// a dead one, so a reused number never hides a file, and two windows keep their own files.
// Writes go through the results workbook writer, which replaces the file atomically. The folder
// is the operator's alone (700) and its files 600, whatever the umask: they hold genotypes. Beside
// the results block the file keeps the prior field as the operator left it (workbooklayout.h), so
// a recovered case goes on with the prior its probability line was formed with.
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "automation/workbook.h"
#include "automation/workbookwriter.h"
#include "exchange/loadedresults.h"
#include "freqdb/population.h"
#include "results/resultsgrid.h"
#include "text/numberformat.h"

namespace exchange {

// How long a declined copy is kept before a window's start removes it.
inline constexpr int kDeclinedKeptDays = 30;

// A recovery file read back: the case as the results workbook reader gives it, and the prior
// field's text (empty when the file keeps none, as a file of an earlier version).
struct RecoveredCase {
    LoadedResults results;
    std::string prior;
};

class RecoveryFile {
public:
    // Creates `folder` when missing and locks this process's own lock file there. Throws
    // std::runtime_error (in Russian, naming the folder) when that fails.
    explicit RecoveryFile(std::filesystem::path folder);
    ~RecoveryFile();
    RecoveryFile(const RecoveryFile&) = delete;
    RecoveryFile& operator=(const RecoveryFile&) = delete;

    // $XDG_STATE_HOME/paternity-index, else $HOME/.local/state/paternity-index; empty when
    // neither names a folder.
    static std::filesystem::path defaultFolder();
    static std::filesystem::path defaultFolder(const std::string& xdgStateHome, const std::string& home);

    // This window's recovery file.
    const std::filesystem::path& file() const { return m_file; }
    const std::filesystem::path& folder() const { return m_folder; }

    // Saves the case; an empty table has nothing to recover and removes the file instead.
    // `exportLines`: the lines about the genotyping export the rows came from, kept below the
    // rows as a saved results workbook keeps them, so a recovered case still names its source.
    // Throws automation::WorkbookError when the file cannot be written (the previous one stays).
    void write(const results::ResultsGrid& grid, const std::string& cpiLine, const std::string& probabilityLine,
               freqdb::Population population, const std::string& prior, const std::vector<std::string>& exportLines,
               automation::WorkbookWriter& writer);
    // Reads a recovery file (this window's or one left by another).
    static RecoveredCase read(const std::filesystem::path& path, const automation::WorkbookReader& reader,
                              const text::NumberFormat& format);
    // The case was saved, or the window closed on the operator's word: nothing to recover.
    void remove();

    // The recovery files of processes no longer running, the most recent first. Each one found is
    // claimed (its lock taken) until it is set aside or discarded, so a second window starting
    // at the same time does not offer it too.
    std::vector<std::filesystem::path> claimOrphans();
    // Renames a declined recovery file to declined-<pid>-<time>.xlsx beside it; returns the new name.
    std::filesystem::path setAside(const std::filesystem::path& orphan);
    // Removes a recovery file whose case was taken into this window.
    void discard(const std::filesystem::path& orphan);
    // Removes the declined copies set aside more than kDeclinedKeptDays days before `now` and
    // makes every copy the operator's alone; done at the start of each window.
    void tidy(std::time_t now = std::time(nullptr));

private:
    void release(const std::filesystem::path& orphan);

    std::filesystem::path m_folder;
    std::filesystem::path m_file;
    std::filesystem::path m_lockFile;
    int m_lock = -1;
    std::vector<std::pair<std::filesystem::path, int>> m_claimed; // orphan file, its lock
};

} // namespace exchange
