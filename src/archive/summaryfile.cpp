// SPDX-License-Identifier: GPL-3.0-or-later
#include "summaryfile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <sstream>
#include <stdexcept>
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
        if (!fs::exists(name, ec))
            return name;
    }
}

} // namespace

void writeSummaryCsvFile(const fs::path& path, const RunIdentity& identity, const std::vector<CaseSummary>& cases)
{
    std::ostringstream text;
    writeSummaryCsv(identity, cases, text);
    const std::string bytes = text.str();
    const auto failed = [&](const std::string& why) {
        return std::runtime_error("Сводка «" + path.string() + "» не записана: " + why);
    };

    const fs::path temporary = temporaryBeside(path);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        throw failed(std::strerror(errno));
    std::size_t done = 0;
    int error = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = errno;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    if (!error && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && !error)
        error = errno;
    std::error_code ec;
    if (!error)
        fs::rename(temporary, path, ec);
    if (error || ec) {
        const std::string why = error ? std::strerror(error) : ec.message();
        fs::remove(temporary, ec);
        throw failed(why);
    }
}

} // namespace archive
