// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A full disk, for real: a child process gets a mount namespace of its own (and a user namespace
// when it is not root) in which a folder is a 64 KB tmpfs, filled up to `freeBytes` bytes (in
// pages of 4 KB). What the child does there is seen only by the child, so the test's body runs in
// it and returns what it found wrong ("" when all held); files outside the folder are shared.
// A system that allows no such namespaces (a locked-down container) skips the test.
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>

namespace testsupport {

namespace smallfolder_detail {

inline bool writeAll(const char* file, const std::string& text)
{
    const int fd = ::open(file, O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::close(fd);
    return ok;
}

// The child's own mount namespace, and the tmpfs on `folder` with `freeBytes` left.
inline bool mountSmallFolder(const std::filesystem::path& folder, std::size_t freeBytes,
                             const std::function<void(const std::filesystem::path&)>& fill)
{
    const uid_t uid = ::geteuid();
    const gid_t gid = ::getegid();
    if (::unshare(CLONE_NEWNS) != 0) {
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
            return false;
        writeAll("/proc/self/setgroups", "deny");
        if (!writeAll("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1\n")
            || !writeAll("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1\n"))
            return false;
    }
    if (::mount("none", "/", "none", MS_REC | MS_PRIVATE, nullptr) != 0
        || ::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=64k,mode=0777") != 0)
        return false;
    if (fill)
        fill(folder);
    // Fill up, then give back what is to stay free.
    const auto filler = folder / ".filler";
    {
        std::ofstream out(filler, std::ios::binary);
        const std::string block(4096, 'x');
        while (out.write(block.data(), static_cast<std::streamsize>(block.size())))
            out.flush();
    }
    std::error_code ec;
    const auto size = std::filesystem::file_size(filler, ec);
    std::filesystem::resize_file(filler, size > freeBytes ? size - freeBytes : 0, ec);
    return true;
}

} // namespace smallfolder_detail

// Runs `body` in a child where `folder` (an existing empty folder) is a small file system, after
// `fill` has put its files there and the rest was filled up to `freeBytes`. Returns what `body`
// returned, or nothing when the system allows no mount of the child's own.
inline std::optional<std::string> inSmallFolder(const std::filesystem::path& folder, std::size_t freeBytes,
                                                const std::function<void(const std::filesystem::path&)>& fill,
                                                const std::function<std::string()>& body)
{
    int channel[2];
    if (::pipe(channel) != 0)
        return std::nullopt;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        std::string report = "\x01"; // no small folder
        if (smallfolder_detail::mountSmallFolder(folder, freeBytes, fill))
            report = body();
        [[maybe_unused]] const auto written = ::write(channel[1], report.data(), report.size());
        ::_exit(0);
    }
    ::close(channel[1]);
    std::string report;
    char buffer[4096];
    for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        report.append(buffer, static_cast<std::size_t>(n));
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (child < 0 || report == "\x01")
        return std::nullopt;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return "the child process ended abnormally";
    return report;
}

} // namespace testsupport
