// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The results an archive run finds in its results folder before it starts: results workbooks,
// reports and the summary of an earlier run. A run asked to write into such a folder is told so
// before it begins, and afterwards which of those files it left as they were (they hold the
// results of the earlier run, computed with the tables and settings of then).
#include <filesystem>
#include <vector>

namespace archive {

struct ResultFile {
    std::filesystem::path path;
    std::filesystem::file_time_type written;
};

// The results workbooks, reports and summary file directly in `folder`, by name; none when the
// folder does not exist.
std::vector<ResultFile> resultFilesIn(const std::filesystem::path& folder);

// Those of `before` still in place and unchanged: not rewritten by the run since.
std::vector<std::filesystem::path> leftFromEarlierRun(const std::vector<ResultFile>& before);

// A folder beside `folder` that does not exist yet: "<folder> (2)", "(3)" and so on.
std::filesystem::path freshFolderBeside(const std::filesystem::path& folder);

} // namespace archive
