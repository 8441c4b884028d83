// SPDX-License-Identifier: GPL-3.0-or-later
#include "filereplacement.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <system_error>

namespace archive {
namespace {

namespace fs = std::filesystem;

// A free name ".<target name>.tmp-<pid>-<n>" in the target's folder: a hidden file, never taken
// for a summary, and one a rename within the folder can move.
fs::path temporaryBeside(const fs::path& target)
{
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    for (unsigned n = 0;; ++n) {
        const fs::path name
            = folder
              / ("." + target.filename().string() + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(n));
        std::error_code ec;
        if (!fs::exists(fs::symlink_status(name, ec)))
            return name;
    }
}

} // namespace

int replaceFile(const fs::path& path, std::string_view bytes)
{
    const fs::path temporary = temporaryBeside(path);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return errno;
    int error = 0;
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = n < 0 ? errno : EIO;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    if (!error && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && !error)
        error = errno;
    if (!error && ::rename(temporary.c_str(), path.c_str()) != 0)
        error = errno;
    if (error)
        ::unlink(temporary.c_str());
    return error;
}

} // namespace archive
