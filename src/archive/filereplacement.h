// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A file written whole or not at all: the bytes go to a hidden temporary file beside the target
// (".<name>.tmp-<pid>-<n>", never taken for a case or a summary), every write, the fsync and the
// close are checked, and only then is it renamed over the target. On failure the temporary is
// removed and the target stays as it was.
#include <filesystem>
#include <string_view>

namespace archive {

// 0 when `path` now holds `bytes`, else the errno of the first step that failed (ENOSPC on a
// full disk), for the caller's message.
int replaceFile(const std::filesystem::path& path, std::string_view bytes);

} // namespace archive
